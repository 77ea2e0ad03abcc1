#include "compare/link_flags.h"

#include <gtest/gtest.h>

#include <random>

#include "core/number_text.h"
#include "example_networks.h"

namespace qv {
namespace {

using testing::exampleNet1;
using testing::exampleNet2;
using testing::exampleNet3;
using testing::network;

LinkFlagCounts countFresh(const LinkMatrix& s, const LinkMatrix& t, int n) {
    LinkFlagCounts c{};
    CountLinkFlags(s, t, n, c);
    return c;
}

TEST(CountLinkFlags, ExampleNetworks) {
    EXPECT_EQ(countFresh(exampleNet1(), exampleNet2(), 7), (LinkFlagCounts{3, 3, 3, 12, 6, 6}));
    EXPECT_EQ(countFresh(exampleNet1(), exampleNet3(), 7), (LinkFlagCounts{5, 1, 0, 15, 6, 5}));
    // STD first: swapping the networks swaps Miss with Over and the two totals.
    EXPECT_EQ(countFresh(exampleNet3(), exampleNet1(), 7), (LinkFlagCounts{5, 0, 1, 15, 5, 6}));
    EXPECT_EQ(countFresh(exampleNet1(), exampleNet1(), 7), (LinkFlagCounts{6, 0, 0, 15, 6, 6}));
}

TEST(CountLinkFlags, AddsReadsTheUpperTriangleAndSkipsLoneConcepts) {
    LinkFlagCounts c{1, 2, 3, 4, 5, 6};
    CountLinkFlags(exampleNet1(), exampleNet2(), 1, c);
    EXPECT_EQ(c, (LinkFlagCounts{1, 2, 3, 4, 5, 6}));
    CountLinkFlags(exampleNet1(), exampleNet2(), 7, c);
    CountLinkFlags(exampleNet1(), exampleNet2(), 7, c);
    EXPECT_EQ(c, (LinkFlagCounts{7, 8, 9, 28, 17, 18}));

    LinkMatrix lower(3, 3);
    lower(2, 0) = 1;
    EXPECT_EQ(countFresh(lower, LinkMatrix(3, 3), 3), (LinkFlagCounts{0, 0, 0, 3, 0, 0}));
}

TEST(CountLinkFlags, AgreeWithPairByPairCountsOnRandomNetworks) {
    std::mt19937 rng(5);
    for (int trial = 0; trial < 200; ++trial) {
        // Both sides of 64 concepts; any non-zero cell is a link.
        const int n = static_cast<int>(trial % 5 == 0 ? 60 + rng() % 30 : rng() % 30);
        LinkMatrix s(n, n), t(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                s(i, j) = static_cast<std::uint8_t>(rng() % 3 == 0);
                t(i, j) = static_cast<std::uint8_t>((rng() % 4 == 0) * (1 + rng() % 255));
            }
        LinkFlagCounts plain{};
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
        const LinkFlagCounts c = countFresh(s, t, n);
        ASSERT_EQ(c, plain) << "n = " << n;
        EXPECT_EQ(c[kMatch] + c[kMiss] + c[kOver] + c[kAbsent], n * (n - 1) / 2);
    }
}

TEST(LinkRate, RoundedPercentages) {
    // STD with 4 links, Target with 5, 3 in common.
    const LinkMatrix s = network(5, {{'A', 'B'}, {'B', 'C'}, {'C', 'D'}, {'D', 'E'}});
    const LinkMatrix t = network(5, {{'A', 'B'}, {'B', 'C'}, {'C', 'D'}, {'A', 'E'}, {'B', 'E'}});
    const LinkFlagCounts c = countFresh(s, t, 5);
    EXPECT_EQ(c, (LinkFlagCounts{3, 1, 2, 4, 4, 5}));
    EXPECT_EQ(linkRate(c[kMatch], c[kStdLinks]), 75.0);
    EXPECT_EQ(linkRate(c[kMiss], c[kStdLinks]), 25.0);
    EXPECT_EQ(linkRate(c[kOver], c[kStdLinks]), 50.0);
    EXPECT_EQ(linkRate(c[kMatch], c[kTargetLinks]), 60.0);
    EXPECT_EQ(linkRate(c[kMiss], c[kTargetLinks]), 20.0);
    EXPECT_EQ(linkRate(c[kOver], c[kTargetLinks]), 40.0);

    EXPECT_EQ(numberText(*linkRate(5, 6)), "83.333");
    EXPECT_EQ(numberText(*linkRate(1, 6)), "16.667");
    EXPECT_EQ(numberText(*linkRate(2, 3)), "66.667");
    EXPECT_EQ(numberText(*linkRate(1, 7)), "14.286");
    EXPECT_EQ(numberText(*linkRate(2, 7)), "28.571");
    EXPECT_EQ(linkRate(14, 1), 1400.0);
    EXPECT_EQ(linkRate(0, 3), 0.0);
    EXPECT_FALSE(linkRate(0, 0).has_value());
}

}  // namespace
}  // namespace qv
