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

// A formatted value: the number (empty when it has none) and its padded text.
struct FormattedValue {
    std::optional<double> value;
    std::string text;
};

// Link rates remembered per (count, total): the rounding works on decimal
// text, which is slow, and a class has few distinct pairs.
class RateTexts {
  public:
    // `maxLinks` is the largest count or total that can occur, n(n-1)/2.
    explicit RateTexts(int maxLinks);
    const FormattedValue& get(int count, int total);
    int maxLinks() const { return maxLinks_; }

  private:
    struct Slot {
        bool ready = false;
        FormattedValue formatted;
    };
    int maxLinks_;
    bool cached_;
    std::vector<std::vector<Slot>> byTotal_;
    FormattedValue scratch_;
};

// Index texts remembered per thousandth. The value is kept beside its text and
// compared exactly, so a value that merely rounds to the same thousandth is
// formatted on its own.
class IndexTexts {
  public:
    IndexTexts();
    const FormattedValue& get(std::optional<double> value);

  private:
    struct Slot {
        bool ready = false;
        FormattedValue formatted;
    };
    std::vector<Slot> slots_;
    FormattedValue scratch_;
};

}  // namespace qv
