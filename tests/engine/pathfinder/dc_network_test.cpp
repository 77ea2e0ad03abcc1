#include "pathfinder/dc_network.h"

#include <gtest/gtest.h>

#include <random>

#include "dc_pair_list.h"
#include "link_networks.h"

namespace qv {
namespace {

using test::linkedPairs;
using test::symmetricMatrix;
using Pairs = std::set<std::pair<int, int>>;

const Currency kEight = Currency::fromInt(8);

TEST(DCNetwork, SmallCases) {
    EXPECT_EQ(DCNetwork(DistanceMatrix(1, 1), 1, kEight), LinkMatrix(1, 1));
    EXPECT_EQ(linkedPairs(DCNetwork(symmetricMatrix(3, 1, {{0, 2, 3}}), 3, kEight)),
              (Pairs{{0, 1}, {1, 2}}));
    EXPECT_EQ(linkedPairs(DCNetwork(symmetricMatrix(3, 1, {{0, 2, 2}}), 3, kEight)).size(), 3u);
}

TEST(DCNetwork, LinksNeedNotMeet) {
    // 0->1 and 2->3 add up to 2 < 3 although they share no concept.
    const auto d = symmetricMatrix(4, 5, {{0, 1, 1}, {2, 3, 1}, {0, 3, 3}});
    EXPECT_FALSE(linkedPairs(DCNetwork(d, 4, kEight)).contains({0, 3}));
}

TEST(DCNetwork, ThreeLinksWithANegativeMiddle) {
    // Two links from 0 and into 3 sum to 4, not below 4; a negative middle
    // link anywhere brings three links to 2.
    auto d = symmetricMatrix(5, 9, {{0, 1, 2}, {2, 3, 2}, {0, 3, 4}, {1, 4, -2}});
    EXPECT_FALSE(linkedPairs(DCNetwork(d, 5, kEight)).contains({0, 3}));
    d(1, 4) = d(4, 1) = Currency::fromInt(9);
    EXPECT_TRUE(linkedPairs(DCNetwork(d, 5, kEight)).contains({0, 3}));
    // A link as long as D(i, j) is not short, even with a negative one after it.
    const auto e = symmetricMatrix(4, 9, {{0, 3, 4}, {0, 1, 4}, {2, 3, -1}});
    EXPECT_TRUE(linkedPairs(DCNetwork(e, 4, kEight)).contains({0, 3}));
}

// On non-negative distances two short links always suffice, so a pair is cut
// exactly when the shortest link out of i and the shortest link into j add up
// to less than D(i, j).
TEST(DCNetwork, NonNegativeMatricesFollowTheTwoLinkRule) {
    std::mt19937 rng(77);
    std::uniform_int_distribution<int> value(0, 12);
    const Currency unlinked = Currency::fromInt(12);
    for (int round = 0; round < 200; ++round) {
        const int n = 2 + round % 9;
        DistanceMatrix d(n, n);
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                if (a != b) d(a, b) = Currency::fromRaw(value(rng) * 5000);
        const LinkMatrix links = DCNetwork(d, n, unlinked);
        ASSERT_TRUE(test::wellFormed(links));
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                Currency out = Currency::fromInt(1000), in = Currency::fromInt(1000);
                for (int k = 0; k < n; ++k) {
                    if (k != i) out = std::min(out, d(i, k));
                    if (k != j) in = std::min(in, d(k, j));
                }
                const bool expected =
                    d(i, j).isZero() || (d(i, j) != unlinked && !(out + in < d(i, j)));
                ASSERT_EQ(links(i, j) != 0, expected)
                    << "round " << round << " pair " << i << "-" << j;
            }
    }
}

// DCNetwork pair by pair through its defining steps.
LinkMatrix stepwiseDC(const DistanceMatrix& d, int n, Currency unlinked) {
    const std::vector<test::ConceptPair> pairs = test::BuildPairList(n);
    LinkMatrix links(n, n, 1);
    for (int i = 0; i < n; ++i)
        links(i, i) = 0;
    std::vector<test::ConceptPair> shortLinks;
    std::vector<int> fromFirst;
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const Currency dij = d(i, j);
            if (dij.isZero()) continue;
            if (dij == unlinked || (!test::CollectShorterLinks(shortLinks, pairs, d, dij) &&
                                    !test::CollectLinksFrom(shortLinks, i, fromFirst) &&
                                    test::ShortCombinationExists(shortLinks, d, dij, i, j)))
                links(i, j) = links(j, i) = 0;
        }
    return links;
}

// Small whole values for ties, zeros and the unlinked value among them, and
// in most rounds a few negative links: only with those can a middle link
// matter, and a lone one may be the first or last link as well.
TEST(DCNetwork, MatchesItsStepwiseDefinition) {
    std::mt19937 rng(515);
    for (int round = 0; round < 600; ++round) {
        const int n = 2 + round % 8;
        const bool symmetric = round % 3 == 0;
        const int unlinked = 1 + round % 5;
        std::uniform_int_distribution<int> value(0, unlinked + 1);
        std::uniform_int_distribution<int> someConcept(0, n - 1), negative(-6, -1);
        DistanceMatrix d(n, n);
        auto set = [&](int a, int b, int v) {
            d(a, b) = Currency::fromInt(v);
            if (symmetric) d(b, a) = d(a, b);
        };
        for (int a = 0; a < n; ++a)
            for (int b = symmetric ? a + 1 : 0; b < n; ++b)
                if (a != b) set(a, b, value(rng));
        for (int k = round % 4; k > 0; --k) {
            const int a = someConcept(rng), b = someConcept(rng);
            if (a != b) set(a, b, negative(rng));
        }
        if (round % 5 == 0)  // never read, whatever its sign
            for (int k = 0; k < n; ++k)
                d(k, k) = Currency::fromInt(k % 3 - 8);
        const Currency u = Currency::fromInt(unlinked);
        ASSERT_EQ(DCNetwork(d, n, u), stepwiseDC(d, n, u)) << "round " << round;
    }
}

TEST(DCNetwork, LargestSizeAndCancel) {
    DistanceMatrix d(181, 181);
    for (int a = 0; a < 181; ++a)
        for (int b = 0; b < 181; ++b)
            if (a != b) d(a, b) = Currency::fromInt(1 + (a + b) % 3);
    CancelFlag flag{true};
    EXPECT_FALSE(DCNetwork(d, 181, kEight, flag).has_value());
    flag = false;
    EXPECT_EQ(DCNetwork(d, 12, kEight, flag), DCNetwork(d, 12, kEight));
}

}  // namespace
}  // namespace qv
