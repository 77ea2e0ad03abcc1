#pragma once

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/run.h"
#include "core/expected.h"
#include "core/state.h"
#include "data/loaders.h"
#include "data/student_file.h"

namespace qv::cli {

// Loads the built-in sample class.
Expected<void> loadSampleClass(ClassPtr& data);

// Where a command takes its class from, and which run it makes.
struct ClassSource {
    std::string data, concepts, items, method = "triangle";
    std::string classDir;  // --class: the folder that stands for the three files
    std::string r;         // --r as typed, empty for the default (infinity)
    std::optional<int> q;  // --q, none for n - 1
    std::string referent = "design";  // --referent as typed
    bool sample = false;

    // The method with its referent (checked by classSourceProblem).
    RunMethod runMethod() const;
    // The three files, from --class or as given.
    ClassFiles files() const;
};

// Registers --class, --data, --concepts, --items, --sample, --method, --r, --q
// and --referent on a command.
void addClassSourceOptions(CLI::App& cmd, ClassSource& source);

// Registers --r and --q, the PFNET parameters.
void addPfnetOptions(CLI::App& cmd, std::string& r, std::optional<int>& q);

// What is wrong with --r and --q before a matrix or class is read: given to a
// method other than pfnet, or a q below 2. A q beyond n - 1 is refused once n
// is known.
std::optional<std::string> pfnetOptionsProblem(const std::string& method, const std::string& r,
                                               const std::optional<int>& q);

// The PFNET parameters of --r and --q.
PfnetParams pfnetParamsOf(const std::string& r, const std::optional<int>& q);

// Registers --threads (0, the default, for one per core).
void addThreadsOption(CLI::App& cmd, int& threads);

// Either --sample, --class with a folder that holds the three files, or all
// three files; PFNET options and a referent other than design only with
// pfnet. The message when not.
std::optional<std::string> classSourceProblem(const ClassSource& source);

// A path from a UTF-8 text of the command line.
std::filesystem::path pathOf(const std::string& utf8);

// Settles the text format of `output`: without --format (`given` false) its
// extension picks it among `formats` (x.csv: "csv"); a given --format that
// the extension names otherwise is refused, and the message returned. Other
// extensions leave `format` as it is.
std::optional<std::string> formatForOutput(std::string& format, bool given,
                                           const std::string& output,
                                           std::initializer_list<const char*> formats);

// The refusal when `output` is one of the class's files (however spelled):
// writing there would destroy the class being read.
std::optional<std::string> outputIsInput(const ClassSource& source, const std::string& output);

// The run's method and, for --referent matrix:FILE[,FILE...], the files'
// cell-wise sum; a file that cannot be read, or whose concept count differs
// from the first's, is named in the refusal.
Expected<void> applyMethod(const ClassSource& source, RunOptions& options);

// Loads the class and runs the chosen method, keeping the students'
// matrices only when asked; the results, or the message to print. With
// `onlyId` the run covers just the students of that ID (the others are
// dropped after loading).
Expected<RunResults> loadAndAnalyse(const ClassSource& source,
                                    const std::optional<std::string>& onlyId = std::nullopt,
                                    int threads = 0, bool keepMatrices = false);

// Loads the class with its student file indexed for reading in blocks of
// kStudentBlockGrain (see loadClassIndexed), to be joined with joinStudentBlocks.
Expected<StudentFileIndex> loadIndexedClass(ClassPtr& data, const ClassSource& source);

}  // namespace qv::cli
