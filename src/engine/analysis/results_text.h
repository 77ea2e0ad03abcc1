#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/state.h"

namespace qv {

// The header line of the results table, without its line break.
inline constexpr std::string_view kResultsHeader =
    "  ID       PFC    GTD    PRX    Match    Miss     Over     Match    Miss     Over ";

// What an index or a rate without a value shows, right-aligned in its field.
inline constexpr std::string_view kNoValueText = "N/A";
inline constexpr std::size_t kIndexWidth = 6;
inline constexpr std::size_t kRateWidth = 7;

// An index as the table shows it: its text right-aligned in six places, or
// N/A. A wider text is kept whole.
std::string indexText(std::optional<double> value);
// A link rate likewise, in seven places.
std::string rateText(std::optional<double> value);

// Appends a record's row and the line break: the rates are those of the
// record's link counts.
void appendResultRow(std::string& out, const StudentRecord& record, std::string_view lineBreak);

}  // namespace qv
