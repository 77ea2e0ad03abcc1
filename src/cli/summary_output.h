#pragma once

#include <string_view>

#include "analysis/class_summary.h"
#include "analyze_output.h"
#include "core/state.h"

namespace qv::cli {

// The class summary as JSON: the class, the four histograms (bin edges,
// counts, students without a value, mean and median), every item with its
// concepts and correct answers, then one line per concept pair i < j
// (1-based): {"concepts": [i, j], "standard": ..., "students": K, the share
// the heat map shows ("missShare" of a standard link, "extraShare" of another
// pair), "items": the items whose concepts include i or j}.
void writeSummaryJson(Sink& out, const ClassData& data, const ClassSummary& summary,
                      const RunMethod& method);

// The pairs as CSV (UTF-8 with BOM, CR LF), one row per pair with the same
// fields; the items separated by spaces.
void writeSummaryCsv(Sink& out, const ClassData& data, const ClassSummary& summary);

}  // namespace qv::cli
