#include "analysis/results_text.h"

#include <gtest/gtest.h>

#include "compare/link_flags.h"

namespace qv {
namespace {

TEST(ResultsText, FieldsAreRightAlignedAndNeverCut) {
    EXPECT_EQ(indexText(0.5), "   0.5");
    EXPECT_EQ(indexText(-0.491), "-0.491");
    EXPECT_EQ(indexText(std::nullopt), "   N/A");
    EXPECT_EQ(rateText(33.333), " 33.333");
    EXPECT_EQ(rateText(std::nullopt), "    N/A");
    EXPECT_EQ(rateText(1234.567), "1234.567");
}

// The row's fields are each value's text, padded: written directly for the
// counts of thousandths, through numberText for the rest.
TEST(ResultsText, RowsShowEachValuesText) {
    StudentRecord r;
    r.id = "90702001";
    r.pfcValue = 0.1 + 0.2;  // not the double nearest 0.3
    r.gtdValue = -0.491;
    r.rateValues = {linkRate(1, 3), linkRate(2, 3), 100.0, 0.0, std::nullopt, 1234.567};
    std::string row;
    appendResultRow(row, r, "\r\n");
    std::string expected = r.id + " " + indexText(r.pfcValue) + " " + indexText(r.gtdValue) + " " +
                           indexText(std::nullopt) + " ";
    for (const auto& rate : r.rateValues)
        expected += rateText(rate) + "% ";
    EXPECT_EQ(row, expected + "\r\n");
}

}  // namespace
}  // namespace qv
