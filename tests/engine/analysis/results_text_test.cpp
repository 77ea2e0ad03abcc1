#include "analysis/results_text.h"

#include <gtest/gtest.h>

#include "compare/link_flags.h"

namespace qv {
namespace {

TEST(ResultsText, FieldsAreRightAlignedAndNeverCut) {
    EXPECT_EQ(indexText(0.5), "   0.5");
    EXPECT_EQ(indexText(-0.491), "-0.491");
    EXPECT_EQ(indexText(std::nullopt), "   N/A");
    EXPECT_EQ(rateText(100.0), "    100");
    EXPECT_EQ(rateText(33.333), " 33.333");
    EXPECT_EQ(rateText(std::nullopt), "    N/A");
    EXPECT_EQ(rateText(1234.567), "1234.567");  // wider than its field: written whole
    EXPECT_EQ(kResultsHeader.size(), 82u);
    EXPECT_EQ(kResultsHeader.front(), ' ');
    EXPECT_EQ(kResultsHeader.back(), ' ');
}

TEST(ResultsText, RowLayout) {
    StudentRecord r;
    r.id = "90702001";
    r.pfc = "   0.5";
    r.gtd = " 0.123";
    r.prx = " -0.25";
    const char* rates[] = {"     50", "     25", "     75", "     40", "     60", " 33.333"};
    std::string* fields[] = {&r.matchOnStd,    &r.missOnStd,    &r.overOnStd,
                             &r.matchOnTarget, &r.missOnTarget, &r.overOnTarget};
    for (int k = 0; k < 6; ++k)
        *fields[k] = rates[k];
    std::string out;
    appendResultRow(out, r, kLineBreak);
    EXPECT_EQ(out,
              "90702001    0.5  0.123  -0.25      50%      25%      75%      40%      60%  33.333% "
              "\n\r\n");
}

TEST(ResultsText, RememberedRatesEqualFreshOnes) {
    RateTexts cached(190);
    for (int total = 0; total <= 190; total += 7) {
        for (int count = 0; count <= 190; count += 3) {
            for (int again = 0; again < 2; ++again) {
                const FormattedValue& f = cached.get(count, total);
                EXPECT_EQ(f.value, linkRate(count, total));
                EXPECT_EQ(f.text, rateText(linkRate(count, total)));
            }
        }
    }
    RateTexts uncached(100000);  // too many links to tabulate
    EXPECT_EQ(uncached.get(1, 3).text, " 33.333");
    EXPECT_EQ(uncached.get(2, 0).text, "    N/A");
}

TEST(ResultsText, RememberedIndicesEqualFreshOnes) {
    IndexTexts cached;
    const double values[] = {0.429,     0.794, -0.491, 1.0, -1.0, 0.0, 0.5, 0.123,
                             0.1 + 0.2,  // not the double nearest 0.3: formatted on its own
                             0.3,       2.5};
    for (int pass = 0; pass < 2; ++pass) {
        for (double v : values) {
            EXPECT_EQ(cached.get(v).text, indexText(v)) << v;
            EXPECT_EQ(cached.get(v).value, v);
        }
        EXPECT_EQ(cached.get(std::nullopt).text, "   N/A");
    }
}

}  // namespace
}  // namespace qv
