#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "analysis/run.h"
#include "core/state.h"

namespace qv::cli {

// Writes bytes to a stream opened by the caller; remembers a failed write.
class Sink {
  public:
    explicit Sink(std::FILE* file) : file_(file) {}
    void write(std::string_view bytes);
    bool ok() const { return ok_; }

  private:
    std::FILE* file_;
    bool ok_ = true;
};

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
