#pragma once

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/run.h"
#include "core/state.h"
#include "data/safe_file.h"

namespace qv::cli {

// Where a command's output goes: standard output, or a file that is replaced
// only when the whole output has been written. Keeps the first failure.
class Sink {
  public:
    explicit Sink(std::FILE* stream) : stream_(stream) {}
    explicit Sink(SafeFile& file) : file_(&file) {}
    void write(std::string_view bytes);
    // Flushes standard output, or commits the file; the first failure if any.
    Expected<void> finish();

  private:
    std::FILE* stream_ = nullptr;
    SafeFile* file_ = nullptr;
    std::optional<Error> error_;
};

// True for "-", which names standard output in --output.
inline bool isStandardOutput(const std::string& output) {
    return output == "-";
}

// The file --output names, or none for standard output (no --output, or "-").
Expected<std::optional<SafeFile>> outputFile(const std::string& output);

// Why standard output took no more, for commands that print.
Error stdoutFailure(int errnum);

// Prints to standard output; a failed write (a full disk, a closed pipe) is
// reported and gives the bad-input status like any other failure.
int printText(std::string_view text);

// One output format of analyze: what comes before the first student (asked
// for once the run has the standard network), each student's part and what
// follows the last. student() may run on several threads at once.
struct AnalyzeFormat {
    std::function<std::string()> head;
    RecordWriter student;
    std::string tail;
    // The first student's part starts with this many bytes that are left out.
    std::size_t firstSkip = 0;
};

// The results box, one line per student, each ending in one newline.
AnalyzeFormat tableFormat();

// UTF-8 with BOM, CR LF: a header row, then per student the ID, score, six
// counts, the three indices and the six rates as plain numbers, an empty cell
// where a value does not exist, and the method of n concepts.
AnalyzeFormat csvFormat(const RunMethod& method, int n);

// The run's results as JSON, by the engine's writer. The head reads the
// standard network from `standard` when it is written.
AnalyzeFormat jsonFormat(const ClassData& data, const RunResults& standard, RunMethod method);

// The long table of links, one row per student and concept pair (see
// LinksCsvWriter), against the standard network of `standard`, read when the
// first student is written.
AnalyzeFormat linksFormat(const RunResults& standard, RunMethod method);

}  // namespace qv::cli
