#include "compare/link_flags.h"

#include <gtest/gtest.h>

#include <random>

#include "core/number_text.h"

namespace qv {
namespace {

TEST(CountLinkFlags, AgreeWithPairByPairCounts) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 200; ++trial) {
        // One to three words per row; any non-zero cell is a link, and only
        // the upper triangle is read.
        const int n = static_cast<int>(trial % 5 == 0 ? 60 + rng() % 122 : rng() % 66);
        LinkMatrix s(n, n), t(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                s(i, j) = static_cast<std::uint8_t>(rng() % 3 == 0);
                t(i, j) = static_cast<std::uint8_t>((rng() % 4 == 0) * (1 + rng() % 255));
            }
        LinkFlagCounts plain{1, 2, 3, 4, 5, 6};  // counts are added to
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const bool a = s(i, j) != 0, b = t(i, j) != 0;
                plain[kMatch] += a && b;
                plain[kMiss] += a && !b;
                plain[kOver] += !a && b;
                plain[kAbsent] += !a && !b;
                plain[kStdLinks] += a;
                plain[kTargetLinks] += b;
            }
        LinkFlagCounts counts{1, 2, 3, 4, 5, 6};
        CountLinkFlags(s, t, n, counts);
        ASSERT_EQ(counts, plain) << "n = " << n;
    }
}

TEST(LinkRate, PercentagesRoundedToThreeDecimals) {
    EXPECT_EQ(linkRate(3, 4), 75.0);
    EXPECT_EQ(numberText(*linkRate(5, 6)), "83.333");
    EXPECT_EQ(numberText(*linkRate(2, 3)), "66.667");
    EXPECT_EQ(numberText(*linkRate(2, 7)), "28.571");
    EXPECT_EQ(linkRate(14, 1), 1400.0);
    EXPECT_EQ(linkRate(0, 3), 0.0);
    EXPECT_FALSE(linkRate(0, 0).has_value());
}

}  // namespace
}  // namespace qv
