#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/run.h"
#include "core/expected.h"
#include "core/state.h"
#include "data/student_file.h"

namespace qv::cli {

// Loads the built-in sample class.
Expected<void> loadSampleClass(AppState& state);

// Where a command takes its class from, and which run it makes.
struct ClassSource {
    std::string data, concepts, items, method = "triangle";
    bool sample = false;

    RunMethod runMethod() const {
        return method == "path-search" ? RunMethod::PathSearch : RunMethod::Triangle;
    }
};

// Registers --data, --concepts, --items, --sample and --method on a command.
void addClassSourceOptions(CLI::App& cmd, ClassSource& source);

// Registers --threads (0, the default, for one per core).
void addThreadsOption(CLI::App& cmd, int& threads);

// Either --sample or all three files; the message when neither.
std::optional<std::string> classSourceProblem(const ClassSource& source);

// A path from a UTF-8 text of the command line.
std::filesystem::path pathOf(const std::string& utf8);

// The refusal when `output` is one of the class's files (however spelled):
// writing there would destroy the class being read.
std::optional<std::string> outputIsInput(const ClassSource& source, const std::string& output);

// Loads the class and runs the chosen method without keeping the students'
// matrices; the results text, or the message to print. With `onlyId` the run
// covers just the records of that ID (the others are dropped after loading).
Expected<std::string> loadAndAnalyse(AppState& state, const ClassSource& source,
                                     const std::optional<std::string>& onlyId = std::nullopt,
                                     int threads = 0);

// Loads the class with its student file indexed for reading in blocks of
// kStudentBlockGrain (see loadClassIndexed), to be joined with joinStudentBlocks.
Expected<StudentFileIndex> loadIndexedClass(AppState& state, const ClassSource& source);

}  // namespace qv::cli
