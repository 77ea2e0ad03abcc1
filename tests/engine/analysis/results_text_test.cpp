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

TEST(ResultsText, RememberedTextsEqualFreshOnes) {
    RateTexts rates(190), untabulated(100000);
    for (int total = 0; total <= 190; total += 7)
        for (int count = 0; count <= 190; count += 3)
            for (int again = 0; again < 2; ++again) {
                EXPECT_EQ(rates.get(count, total).value, linkRate(count, total));
                EXPECT_EQ(rates.get(count, total).text, rateText(linkRate(count, total)));
                EXPECT_EQ(untabulated.get(count, total).text, rateText(linkRate(count, total)));
            }
    IndexTexts indices;
    // 0.1 + 0.2 is not the double nearest 0.3: it is remembered on its own.
    for (int pass = 0; pass < 2; ++pass)
        for (double v : {0.429, -0.491, 1.0, 0.0, 0.1 + 0.2, 0.3, 2.5}) {
            EXPECT_EQ(indices.get(v).text, indexText(v)) << v;
            EXPECT_EQ(indices.get(v).value, v);
        }
    EXPECT_EQ(indices.get(std::nullopt).text, "   N/A");
}

}  // namespace
}  // namespace qv
