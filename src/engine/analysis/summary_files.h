#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/class_summary.h"
#include "analysis/student_matrices.h"

namespace qv {

// The class summary as JSON: the class, the four histograms (bin edges,
// counts, students without a value, mean and median), every item with its
// concepts and correct answers, then one line per concept pair i < j
// (1-based): {"concepts": [i, j], "standard": ..., "students": K, the share
// the heat map shows ("missShare" of a standard link, "extraShare" of another
// pair), "items": the items whose concepts include i or j}. Written to
// `emit` a piece at a time: a class of many concepts and items has a long
// list of pairs, each with its items.
void writeSummaryJson(const ClassSummary& summary, const std::vector<std::string>& conceptNames,
                      const RunMethod& method, const std::function<void(std::string_view)>& emit);

// The pairs as CSV (UTF-8 with BOM, CR LF), one row per pair with the fields of
// the JSON; the items separated by spaces; last the method (methodKey).
void writeSummaryCsv(const ClassSummary& summary, const std::vector<std::string>& conceptNames,
                     const RunMethod& method, const std::function<void(std::string_view)>& emit);

}  // namespace qv
