#include "compare/graph_distance.h"

#include <gtest/gtest.h>

#include <random>

namespace qv {
namespace {

// Shortest chains by Floyd-Warshall over the directed cells (row to column);
// the pair i < j takes the i -> j length in both cells, 0 beyond seven links.
GraphDistanceMatrix plainGraphDistance(const LinkMatrix& links, int n) {
    constexpr int kFar = 1 << 20;
    Matrix<int> d(n, n, kFar);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j && links(i, j)) d(i, j) = 1;
    for (int k = 0; k < n; ++k)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                d(i, j) = std::min(d(i, j), d(i, k) + d(k, j));
    GraphDistanceMatrix g(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            g(i, j) = g(j, i) = static_cast<std::int16_t>(d(i, j) <= 7 ? d(i, j) : 0);
    return g;
}

TEST(PointDistanceNO, ChainsAreCappedAtSevenLinks) {
    LinkMatrix chain(9, 9);
    for (int i = 0; i + 1 < 9; ++i)
        chain(i, i + 1) = chain(i + 1, i) = 1;
    const GraphDistanceMatrix g = PointDistanceNO(chain, 9);
    EXPECT_EQ(g(0, 7), 7);
    EXPECT_EQ(g(8, 1), 7);
    EXPECT_EQ(g(2, 5), 3);
    EXPECT_EQ(g(0, 8), 0);
    EXPECT_EQ(g(8, 0), 0);
}

TEST(PointDistanceNO, AgreesWithFloydWarshall) {
    std::mt19937 rng(31);
    GraphDistanceMatrix reused;  // one buffer for all trials, as a run keeps it
    for (int trial = 0; trial < 200; ++trial) {
        // Sizes of one, two and three words per row; sparse enough for long chains.
        const int n = static_cast<int>(trial % 10 == 0 ? 60 + rng() % 122 : rng() % 40);
        const bool symmetric = trial % 3 != 0;
        const unsigned perThousand = 5 + rng() % 120;
        LinkMatrix links(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = symmetric ? i : 0; j < n; ++j)
                if (rng() % 1000 < perThousand) {
                    // Any non-zero cell is a link.
                    links(i, j) = static_cast<std::uint8_t>(1 + rng() % 255);
                    if (symmetric) links(j, i) = links(i, j);
                }
        const GraphDistanceMatrix plain = plainGraphDistance(links, n);
        ASSERT_EQ(PointDistanceNO(links, n), plain)
            << "n = " << n << (symmetric ? "" : ", one-way links");
        reused.fill(5);
        PointDistanceNOInto(links, n, reused);
        ASSERT_EQ(reused, plain) << "n = " << n << ", reused buffer";
    }
}

}  // namespace
}  // namespace qv
