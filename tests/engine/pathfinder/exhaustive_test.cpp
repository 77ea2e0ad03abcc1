#include "pathfinder/exhaustive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <limits>
#include <random>

#include "network_test_util.h"

namespace qv {
namespace {

using testing::linkedPairs;
using testing::symmetricMatrix;
using Pairs = std::set<std::pair<int, int>>;

const Currency kEight = Currency::fromInt(8);

TEST(Exhaustive, TinyAndEdgeCases) {
    EXPECT_EQ(ExhaustivePathFinder(DistanceMatrix(1, 1), 1, kEight), LinkMatrix(1, 1));
    EXPECT_EQ(linkedPairs(ExhaustivePathFinder(symmetricMatrix(2, 7, {}), 2, kEight)),
              (Pairs{{0, 1}}));
    EXPECT_TRUE(linkedPairs(ExhaustivePathFinder(symmetricMatrix(2, 8, {}), 2, kEight)).empty());

    // An equal path does not cut, a strictly shorter one does.
    const auto kept = symmetricMatrix(3, 1, {{0, 2, 2}});
    EXPECT_EQ(linkedPairs(ExhaustivePathFinder(kept, 3, kEight)), (Pairs{{0, 1}, {0, 2}, {1, 2}}));
    const auto cut = symmetricMatrix(3, 1, {{0, 2, 3}});
    EXPECT_EQ(linkedPairs(ExhaustivePathFinder(cut, 3, kEight)), (Pairs{{0, 1}, {1, 2}}));

    // Distance 0 is never examined; the unlinked distance always cuts.
    const auto zero = symmetricMatrix(3, 1, {{0, 2, 0}, {0, 1, 5}});
    EXPECT_TRUE(linkedPairs(ExhaustivePathFinder(zero, 3, kEight)).contains({0, 2}));
    const auto unlinked = symmetricMatrix(3, 8, {});
    EXPECT_TRUE(linkedPairs(ExhaustivePathFinder(unlinked, 3, kEight)).empty());
}

TEST(Exhaustive, ThreeLinkPathCutsOnlyWhenStrictlyShorter) {
    auto d = symmetricMatrix(4, 5, {{0, 1, 1}, {1, 2, 1}, {2, 3, 1}, {0, 3, 3.5}});
    EXPECT_FALSE(linkedPairs(ExhaustivePathFinder(d, 4, kEight)).contains({0, 3}));
    d(0, 3) = d(3, 0) = Currency::fromInt(3);
    EXPECT_TRUE(linkedPairs(ExhaustivePathFinder(d, 4, kEight)).contains({0, 3}));
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

// Shortest simple path i -> j through at least one and at most nine other
// concepts, by dynamic programming over the sets of intermediates.
std::optional<Int128> shortestDetour(const DistanceMatrix& d, int n, int i, int j) {
    const int full = 1 << n;
    constexpr Int128 kNone = std::numeric_limits<std::int64_t>::max();
    std::vector<Int128> best(static_cast<std::size_t>(full) * n, kNone);
    auto at = [&](int mask, int v) -> Int128& {
        return best[static_cast<std::size_t>(mask) * n + v];
    };
    for (int v = 0; v < n; ++v)
        if (v != i && v != j) at(1 << v, v) = d(i, v).raw();
    std::optional<Int128> shortest;
    for (int mask = 1; mask < full; ++mask) {
        if (std::popcount(static_cast<unsigned>(mask)) > 9) continue;
        for (int v = 0; v < n; ++v) {
            if (at(mask, v) == kNone) continue;
            const Int128 total = at(mask, v) + d(v, j).raw();
            if (!shortest || total < *shortest) shortest = total;
            for (int w = 0; w < n; ++w) {
                if (w == i || w == j || (mask >> w & 1)) continue;
                Int128& next = at(mask | 1 << w, w);
                next = std::min(next, at(mask, v) + d(v, w).raw());
            }
        }
    }
    return shortest;
}

TEST(Exhaustive, MatchesBruteForceOnRandomMatrices) {
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
        const LinkMatrix links = ExhaustivePathFinder(d, n, unlinked);
        ASSERT_TRUE(testing::wellFormed(links));
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const auto detour = shortestDetour(d, n, i, j);
                const bool expected = d(i, j).isZero() ||
                                      (d(i, j) != unlinked && !(detour && *detour < d(i, j).raw()));
                ASSERT_EQ(links(i, j) != 0, expected)
                    << "round " << round << " pair " << i << "-" << j;
            }
    }
}

TEST(Exhaustive, CancelGivesNoResult) {
    CancelFlag flag{false};
    const auto d = symmetricMatrix(5, 2, {{0, 4, 5}});
    EXPECT_EQ(ExhaustivePathFinder(d, 5, kEight, flag), ExhaustivePathFinder(d, 5, kEight));
    flag = true;
    EXPECT_FALSE(ExhaustivePathFinder(d, 5, kEight, flag).has_value());
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
