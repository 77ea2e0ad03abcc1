#pragma once

#include <cstdio>
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

// Why standard output took no more, for commands that print.
Error stdoutFailure(int errnum);

// Prints to standard output; a failed write (a full disk, a closed pipe) is
// reported and gives the bad-input status like any other failure.
int printText(std::string_view text);

// The results-box text with each line break written as one newline.
void writeTable(Sink& out, std::string_view resultsText, std::string_view lineBreak);

// UTF-8 with BOM, CR LF: a header row, then per student the ID, score, six
// counts, the three indices and the six rates as plain numbers; an empty cell
// where a value does not exist.
void writeCsv(Sink& out, const AppState& state);

// The run's results as JSON (see the function for the layout). Students'
// distance and graph-distance matrices are taken from the records when the
// run kept them and derived again otherwise.
void writeJson(Sink& out, const AppState& state, RunMethod method);

}  // namespace qv::cli
