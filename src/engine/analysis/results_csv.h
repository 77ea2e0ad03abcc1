#pragma once

#include <string>
#include <string_view>

#include "core/state.h"

namespace qv {

// The results as CSV, the same for the command line and the class window:
// UTF-8 with BOM, CR LF; a header row, then per student the ID, score, the six
// counts (Match, Miss, Over, Absent, STD links, Target links), PFC, GTD, PRX
// and the six rates as plain numbers, an empty cell where a value does not
// exist; 1 for an undetermined student, else 0; last the method (methodKey), so rows of runs pasted together stay apart.
std::string resultsCsvHead();
void appendResultsCsvRow(std::string& out, const StudentRecord& record, std::string_view method);

// A CSV cell: the text itself, or quoted when it holds a comma, quote or line end.
std::string csvField(std::string_view text);

}  // namespace qv
