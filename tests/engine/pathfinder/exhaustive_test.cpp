#include "pathfinder/exhaustive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <numeric>
#include <random>

#include "core/state.h"
#include "link_networks.h"
#include "plain_path_search.h"
#include "pathfinder/dc_network.h"

namespace qv {
namespace {

using test::linkedPairs;
using test::symmetricMatrix;
using Pairs = std::set<std::pair<int, int>>;

const Currency kEight = Currency::fromInt(8);

TEST(Exhaustive, AnEqualPathDoesNotCutAShorterOneDoes) {
    EXPECT_EQ(ExhaustivePathFinder(DistanceMatrix(1, 1), 1, kEight), LinkMatrix(1, 1));
    auto d = symmetricMatrix(4, 5, {{0, 1, 1}, {1, 2, 1}, {2, 3, 1}, {0, 3, 3}});
    EXPECT_EQ(linkedPairs(ExhaustivePathFinder(d, 4, kEight)),
              (Pairs{{0, 1}, {0, 3}, {1, 2}, {2, 3}}));
    d(0, 3) = d(3, 0) = Currency::fromDouble(3.5);
    EXPECT_FALSE(linkedPairs(ExhaustivePathFinder(d, 4, kEight)).contains({0, 3}));
}

TEST(Exhaustive, SampleMatrix) {
    const DistanceMatrix sample = builtInSampleMatrix();
    const LinkMatrix links = ExhaustivePathFinder(sample, 5, kEight);
    EXPECT_EQ(linkedPairs(links), (Pairs{{0, 1}, {0, 3}, {0, 4}, {1, 2}, {2, 4}, {3, 4}}));
    EXPECT_TRUE(test::wellFormed(links));
}

// A chain of zero-distance links from concept 0 to concept `last`, all other
// pairs unlinked, and D(0, last) = 1: the chain is shorter but has `last`
// links, and every other path is longer.
DistanceMatrix chain(int n, int last) {
    auto d = symmetricMatrix(n, 8, {});
    for (int k = 0; k < last; ++k)
        d(k, k + 1) = d(k + 1, k) = Currency{};
    d(0, last) = d(last, 0) = Currency::fromInt(1);
    return d;
}

TEST(Exhaustive, PathsOfUpToTenLinksAreSearched) {
    // Ten links (nine intermediates) still cut, also among twelve concepts.
    EXPECT_FALSE(linkedPairs(ExhaustivePathFinder(chain(11, 10), 11, kEight)).contains({0, 10}));
    EXPECT_FALSE(linkedPairs(ExhaustivePathFinder(chain(12, 10), 12, kEight)).contains({0, 10}));
    // Eleven links do not.
    EXPECT_TRUE(linkedPairs(ExhaustivePathFinder(chain(12, 11), 12, kEight)).contains({0, 11}));
}

// For every j, the shortest simple path i -> j through at least one and at
// most nine other concepts, by dynamic programming over the sets of
// intermediates.
std::vector<std::optional<Int128>> shortestDetours(const DistanceMatrix& d, int n, int i) {
    const int full = 1 << n;
    std::vector<std::optional<Int128>> best(static_cast<std::size_t>(full) * n);
    auto at = [&](int mask, int v) -> std::optional<Int128>& {
        return best[static_cast<std::size_t>(mask) * n + v];
    };
    auto lower = [](std::optional<Int128>& slot, Int128 value) {
        if (!slot || value < *slot) slot = value;
    };
    for (int v = 0; v < n; ++v)
        if (v != i) at(1 << v, v) = d(i, v).raw();
    std::vector<std::optional<Int128>> shortest(static_cast<std::size_t>(n));
    for (int mask = 1; mask < full; ++mask) {
        const int size = std::popcount(static_cast<unsigned>(mask));
        if (size > 9) continue;
        for (int v = 0; v < n; ++v) {
            if (!at(mask, v)) continue;
            const Int128 sofar = *at(mask, v);
            for (int w = 0; w < n; ++w) {
                if (w == i || (mask >> w & 1)) continue;
                lower(shortest[static_cast<std::size_t>(w)], sofar + d(v, w).raw());
                if (size < 9) lower(at(mask | 1 << w, w), sofar + d(v, w).raw());
            }
        }
    }
    return shortest;
}

// The links by definition, from shortestDetours.
LinkMatrix definedLinks(const DistanceMatrix& d, int n, Currency unlinked) {
    LinkMatrix links(n, n);
    for (int i = 0; i < n; ++i) {
        const auto detours = shortestDetours(d, n, i);
        for (int j = i + 1; j < n; ++j) {
            const auto& detour = detours[static_cast<std::size_t>(j)];
            const bool linked =
                d(i, j).isZero() || (d(i, j) != unlinked && !(detour && *detour < d(i, j).raw()));
            links(i, j) = links(j, i) = linked ? 1 : 0;
        }
    }
    return links;
}

TEST(Exhaustive, MatchesTheDefinitionOnRandomMatrices) {
    std::mt19937 rng(20240607);
    const Currency unlinked = Currency::fromInt(7);
    for (int round = 0; round < 300; ++round) {
        const int n = 2 + round % 8;
        const bool symmetric = round % 3 == 0;
        const int low = round % 2 == 0 ? 0 : -3;  // odd rounds have negative distances
        std::uniform_int_distribution<int> value(low * 2, 14);
        DistanceMatrix d(n, n);
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                if (a != b && (!symmetric || a < b)) {
                    d(a, b) = Currency::fromRaw(value(rng) * 5000);  // steps of 0.5
                    if (symmetric) d(b, a) = d(a, b);
                }
        ASSERT_EQ(ExhaustivePathFinder(d, n, unlinked), definedLinks(d, n, unlinked))
            << "round " << round;
    }
}

// Small whole distances give many ties, so many paths exactly as long as the
// direct link; zeros and the unlinked value also sit inside paths.
DistanceMatrix tiedMatrix(std::mt19937& rng, int n, bool symmetric, int unlinked) {
    std::uniform_int_distribution<int> value(0, unlinked);
    DistanceMatrix d(n, n);
    for (int a = 0; a < n; ++a)
        for (int b = symmetric ? a + 1 : 0; b < n; ++b)
            if (a != b) {
                d(a, b) = Currency::fromInt(value(rng));
                if (symmetric) d(b, a) = d(a, b);
            }
    return d;
}

TEST(Exhaustive, NonNegativeMatricesMatchThePlainSearch) {
    std::mt19937 rng(31337);
    for (int round = 0; round < 480; ++round) {
        const int n = 2 + round % 8;
        const int unlinked = 2 + round % 5;
        DistanceMatrix d = tiedMatrix(rng, n, round % 4 != 0, unlinked);
        if (round % 5 == 0)  // never read, whatever its sign
            for (int k = 0; k < n; ++k)
                d(k, k) = Currency::fromInt(k % 3 - 1);
        const Currency u = Currency::fromInt(unlinked);
        ASSERT_EQ(ExhaustivePathFinder(d, n, u), test::plainExhaustiveNetwork(d, n, u))
            << "round " << round;
    }
}

// From eleven concepts on, the ten-link bound can decide: here a chain of
// zero links runs through every concept in a random order, so the far ends
// of the chain are joined by a free path that is too long to count. (The plain search is too
// slow for these sizes under the sanitizers.)
TEST(Exhaustive, TenLinkBoundOnRandomMatrices) {
    std::mt19937 rng(4242);
    for (int round = 0; round < 12; ++round) {
        const int n = 11 + round % 2;
        DistanceMatrix d = tiedMatrix(rng, n, round % 3 != 0, 4);
        for (int a = 0; a < n; ++a)
            for (int b = 0; b < n; ++b)
                if (a != b && d(a, b).isZero()) d(a, b) = Currency::fromInt(1);
        std::vector<int> order(static_cast<std::size_t>(n));
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), rng);
        for (std::size_t k = 0; k + 1 < order.size(); ++k)
            d(order[k], order[k + 1]) = d(order[k + 1], order[k]) = Currency{};
        const Currency u = Currency::fromInt(4);
        ASSERT_EQ(ExhaustivePathFinder(d, n, u), definedLinks(d, n, u)) << "round " << round;
    }
}

// With a negative link a path can shorten as it grows, and only simple paths
// count: a walk circling 1-2-1 would gain -4 per turn.
TEST(Exhaustive, NegativeDistancesCountOnSimplePathsOnly) {
    // 0-1-2-3 is 4 - 2 + 1 = 3 < 3.5, though its first link alone is not.
    auto d = symmetricMatrix(5, 9, {{0, 1, 4}, {1, 2, -2}, {2, 3, 1}, {0, 3, 3.5}});
    EXPECT_FALSE(linkedPairs(ExhaustivePathFinder(d, 5, kEight)).contains({0, 3}));
    d(0, 3) = d(3, 0) = Currency::fromInt(3);
    EXPECT_TRUE(linkedPairs(ExhaustivePathFinder(d, 5, kEight)).contains({0, 3}));
}

// Both searches add path sums; two of these distances pass 2^63.
TEST(SearchNetworks, SumsBeyondSixtyFourBitsDoNotWrap) {
    const std::int64_t big = 5'000'000'000'000'000'000;
    DistanceMatrix d(3, 3);
    d(0, 1) = d(1, 0) = d(1, 2) = d(2, 1) = Currency::fromRaw(big);
    d(0, 2) = d(2, 0) = Currency::fromRaw(big + 1);
    EXPECT_EQ(linkedPairs(ExhaustivePathFinder(d, 3, kEight)), (Pairs{{0, 1}, {0, 2}, {1, 2}}));
    EXPECT_EQ(linkedPairs(DCNetwork(d, 3, kEight)), (Pairs{{0, 1}, {0, 2}, {1, 2}}));
}

TEST(Exhaustive, CancelGivesNoResultAndUnsetFlagChangesNothing) {
    const DistanceMatrix sample = builtInSampleMatrix();
    CancelFlag flag{false};
    const auto run = ExhaustivePathFinder(sample, 5, kEight, flag);
    ASSERT_TRUE(run.has_value());
    EXPECT_EQ(*run, ExhaustivePathFinder(sample, 5, kEight));
    flag = true;
    EXPECT_FALSE(ExhaustivePathFinder(sample, 5, kEight, flag).has_value());
}

TEST(NetworkLimits, RefusesCountsOutOfRange) {
    const DistanceMatrix d(5, 5);
    EXPECT_TRUE(checkConceptCount(d, 5));
    EXPECT_TRUE(checkConceptCount(d, 0));
    EXPECT_FALSE(checkConceptCount(d, -1));
    EXPECT_FALSE(checkConceptCount(d, 6));
    EXPECT_FALSE(checkConceptCount(DistanceMatrix(5, 4), 5));
    EXPECT_FALSE(checkConceptCount(d, 40000));
    const DistanceMatrix big(182, 182);
    EXPECT_TRUE(checkDcConceptCount(big, 181));
    ASSERT_FALSE(checkDcConceptCount(big, 182));
    EXPECT_NE(checkDcConceptCount(big, 182).error().message().find("181"), std::string::npos);
    EXPECT_FALSE(checkDcConceptCount(d, -2));
}

}  // namespace
}  // namespace qv
