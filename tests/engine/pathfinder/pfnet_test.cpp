#include "pathfinder/pfnet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <vector>

#include "core/limits.h"
#include "core/state.h"
#include "link_networks.h"
#include "pathfinder/pfnet_internal.h"

namespace qv {
namespace {

using test::linkedPairs;
using test::symmetricMatrix;
using Pairs = std::set<std::pair<int, int>>;

// The definition, walked out link by link for every q at once: after k steps
// `best` holds each concept's shortest path of at most k links from the
// source. Lengths in 128 bits, so no sum can wrap. Entry q of the result is
// PFNET(r, q); entry 0 is unused.
std::vector<LinkMatrix> plainPfnet(const DistanceMatrix& d, int n, PfnetR r) {
    const auto size = static_cast<std::size_t>(n);
    std::vector<Int128> link(size * size);
    for (std::size_t c = 0; c < link.size(); ++c)
        link[c] = d(static_cast<int>(c / size), static_cast<int>(c % size)).raw();
    std::vector<LinkMatrix> byQ(std::max<std::size_t>(size, 1), LinkMatrix(n, n));
    const Int128 none = Int128{1} << 100;
    for (std::size_t source = 0; source < size; ++source) {
        std::vector<Int128> best(size, none), next;
        best[source] = 0;
        bool settled = false;  // no more links make any path shorter
        for (std::size_t q = 1; q < size; ++q) {
            next = best;
            for (std::size_t u = 0; u < size && !settled; ++u) {
                if (best[u] == none) continue;
                const Int128* from = link.data() + u * size;
                for (std::size_t v = 0; v < size; ++v) {
                    const Int128 length =
                        r == PfnetR::One ? best[u] + from[v] : std::max(best[u], from[v]);
                    if (v != u && length < next[v]) next[v] = length;
                }
            }
            settled = next == best;
            best.swap(next);
            for (std::size_t j = 0; j < size; ++j)
                if (j != source && !(best[j] < link[source * size + j]))
                    byQ[q](static_cast<int>(source), static_cast<int>(j)) = 1;
        }
    }
    return byQ;
}

LinkMatrix pfnet(const DistanceMatrix& d, PfnetR r, int q = 0) {
    auto links = PfnetNetwork(d, d.rows(), {r, q});
    return links ? *links : LinkMatrix(1, 1, 7);
}

TEST(Pfnet, NamedCases) {
    const DistanceMatrix sample = builtInSampleMatrix();
    // r = infinity: the tree 0-1, 1-2, 0-3, 0-4 and nothing else, at any q.
    const Pairs tree{{0, 1}, {1, 2}, {0, 3}, {0, 4}};
    EXPECT_EQ(linkedPairs(pfnet(sample, PfnetR::Infinity)), tree);
    EXPECT_EQ(linkedPairs(pfnet(sample, PfnetR::Infinity, 2)), tree);
    // r = 1: 2-4 (5) ties the path 2-1-0-4 and stays; 2-3 (5) falls to
    // 2-1-0-3 (4), a path of three links, so it stays at q = 2.
    EXPECT_EQ(linkedPairs(pfnet(sample, PfnetR::One)),
              (Pairs{{0, 1}, {1, 2}, {0, 3}, {0, 4}, {2, 4}, {3, 4}}));
    EXPECT_EQ(linkedPairs(pfnet(sample, PfnetR::One, 2)),
              (Pairs{{0, 1}, {1, 2}, {0, 3}, {0, 4}, {2, 3}, {2, 4}, {3, 4}}));
    EXPECT_EQ(pfnetName({}, 20), "PFNET(r=∞, q=19)");
    EXPECT_EQ(pfnetName({PfnetR::One, 3}, 20), "PFNET(r=1, q=3)");

    // No concept, one, two: nothing to cut.
    EXPECT_EQ(pfnet(DistanceMatrix(0, 0), PfnetR::One).rows(), 0);
    EXPECT_EQ(pfnet(DistanceMatrix(1, 1), PfnetR::Infinity), LinkMatrix(1, 1));
    EXPECT_EQ(linkedPairs(pfnet(symmetricMatrix(2, 9, {}), PfnetR::One)), (Pairs{{0, 1}}));
    // Equal lengths never cut; zero distances are always linked.
    const Pairs all{{0, 1}, {0, 2}, {1, 2}};
    EXPECT_EQ(linkedPairs(pfnet(symmetricMatrix(3, 1, {}), PfnetR::Infinity)), all);
    EXPECT_EQ(linkedPairs(pfnet(symmetricMatrix(3, 1, {{0, 2, 2}}), PfnetR::One)), all);
    EXPECT_EQ(linkedPairs(pfnet(symmetricMatrix(3, 1, {{0, 2, 2.0001}}), PfnetR::One)),
              (Pairs{{0, 1}, {1, 2}}));
    EXPECT_EQ(linkedPairs(pfnet(symmetricMatrix(3, 0, {}), PfnetR::One)), all);
}

TEST(Pfnet, RefusesWhatItCannotTake) {
    const auto refusal = [](const DistanceMatrix& d, int n, PfnetParams p) {
        const auto links = PfnetNetwork(d, n, p);
        return links ? std::string() : links.error().message();
    };
    using testing::HasSubstr;
    DistanceMatrix d = symmetricMatrix(4, 2, {});
    EXPECT_EQ(refusal(d, 4, {PfnetR::One, 3}), "");
    EXPECT_THAT(refusal(d, 4, {PfnetR::One, 4}), HasSubstr("q 須為 2 到 3"));
    EXPECT_THAT(refusal(d, 4, {PfnetR::Infinity, 1}), HasSubstr("讀到 1"));
    EXPECT_THAT(refusal(d, 2, {PfnetR::Infinity, 2}), HasSubstr("只有 2 個概念"));
    EXPECT_THAT(refusal(d, 5, {}), HasSubstr("大於距離矩陣"));
    d(3, 1) = Currency::fromDouble(2.5);
    EXPECT_THAT(refusal(d, 4, {}), HasSubstr("第 2 列第 4 欄是 2，第 4 列第 2 欄卻是 2.5"));
    EXPECT_EQ(refusal(d, 3, {}), "");  // outside the first three concepts
    d(3, 1) = d(1, 3) = Currency::fromDouble(-0.5);
    EXPECT_THAT(refusal(d, 4, {}), HasSubstr("第 2 列第 4 欄是負值 -0.5"));
    d = symmetricMatrix(3, 2, {});
    d(2, 2) = Currency::fromInt(-1);
    EXPECT_THAT(refusal(d, 3, {}), HasSubstr("第 3 列第 3 欄是負值"));
}

// A q below n - 1 is taken only while its products stay within the bound, for
// every q the refusal says is taken: floor(log2 q) squarings and one product
// more for each further bit of q. Past it the refusal names the q it takes.
TEST(Pfnet, BoundsTheWorkOfAnExplicitQ) {
    for (int n = 3; n <= kMaxPfnetConcepts; ++n) {
        const int most = pfnetMostBoundedHops(n);
        ASSERT_LE(most, n - 2) << n;
        const std::int64_t cube = std::int64_t{n} * n * n;
        for (int q = 2; q <= most; ++q) {
            const int products = std::bit_width(static_cast<unsigned>(q)) - 1 +
                                 std::popcount(static_cast<unsigned>(q)) - 1;
            ASSERT_LE(products * cube, kMaxPfnetBoundedSteps) << "n = " << n << ", q = " << q;
        }
        if (most >= 2) {
            ASSERT_TRUE(checkPfnetParams({PfnetR::One, most}, n)) << n;
        }
        ASSERT_TRUE(checkPfnetParams({PfnetR::Infinity, n - 1}, n)) << n;
        if (most < n - 2) {
            ASSERT_FALSE(checkPfnetParams({PfnetR::One, most + 1}, n)) << n;
        }
    }
    EXPECT_EQ(pfnetMostBoundedHops(1709), 1707);  // every q still
    const auto refusal = [](int q, int n) {
        return checkPfnetParams({PfnetR::Infinity, q}, n).error().message();
    };
    EXPECT_EQ(refusal(128, 2000),
              "2000 個概念時，q 只能是 2 到 127 或 1999（概念數 − 1）：較大的 q 要算 n³ log q "
              "步，太久（讀到 128）");
    EXPECT_THAT(refusal(10, 5000), testing::StartsWith("5000 個概念時，q 只能是 4999（概念數 − 1）："));
    EXPECT_THAT(refusal(4998, 5000), testing::EndsWith("（讀到 4998）"));
}

// Random symmetric matrices drawn from a few values (quiz data tie a lot),
// every route against the definition: both r, every q, reused buffers, and
// whole-number cells against their fixed-point values.
TEST(Pfnet, AgreesWithTheDefinition) {
    std::mt19937_64 rng(13);
    constexpr std::int64_t kHuge = std::int64_t{1} << 62;
    const auto drawValue = [&rng](int palette) -> std::int64_t {
        const std::uint64_t x = rng();
        switch (palette) {
            case 0:  // 0/1-like quiz distances: a handful of whole numbers
                return static_cast<std::int64_t>(x % 4) * 10000;
            case 1:
                return static_cast<std::int64_t>(x % 12) * 10000;
            case 2:  // decimals with ties
                return static_cast<std::int64_t>(x % 40) * 25;
            case 3:  // sums past 64 bits
                return x % 3 == 0 ? 0 : kHuge + static_cast<std::int64_t>(x % 4) * (kHuge / 4);
            default:
                return static_cast<std::int64_t>(x % 2000001);
        }
    };
    LinkMatrix reused;
    int compared = 0;
    // Mostly small matrices, where every q can be tried; a few up to 60
    // concepts, at both ends of q and one q between.
    for (int trial = 0; trial < 2000; ++trial) {
        const int n = trial < 2     ? 60
                      : trial < 10  ? 25 + static_cast<int>(rng() % 30)
                      : trial < 250 ? 11 + static_cast<int>(rng() % 14)
                                    : 2 + static_cast<int>(rng() % 9);
        const int palette = trial % 5;
        DistanceMatrix d(n, n);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                d(i, j) = d(j, i) = Currency::fromRaw(drawValue(palette));
        WholeDistanceMatrix whole(n, n);
        const bool small = palette <= 1;
        for (int i = 0; i < n && small; ++i)
            for (int j = 0; j < n; ++j)
                whole(i, j) = static_cast<std::int16_t>(d(i, j).raw() / 10000);
        for (const PfnetR r : {PfnetR::Infinity, PfnetR::One}) {
            const std::vector<LinkMatrix> expected = plainPfnet(d, n, r);
            const int between =
                4 + static_cast<int>(rng() % static_cast<unsigned>(std::max(n - 6, 1)));
            for (int q = 1; q < n; ++q) {
                if (n > 10 && q > 3 && q < n - 2 && q != between) continue;
                const auto where = [&] {
                    return ::testing::Message()
                           << "trial " << trial << ", n = " << n
                           << ", r = " << (r == PfnetR::One ? "1" : "inf") << ", q = " << q;
                };
                reused.fill(1);
                PfnetNetworkInto(d, n, {r, q}, reused);
                ASSERT_EQ(reused, expected[static_cast<std::size_t>(q)]) << where();
                if (small) {
                    reused.fill(1);
                    PfnetNetworkInto(whole, n, {r, q}, reused);
                    ASSERT_EQ(reused, expected[static_cast<std::size_t>(q)]) << where();
                }
                ++compared;
            }
            ASSERT_EQ(pfnet(d, r), expected[static_cast<std::size_t>(n - 1)]);
            // The routes for many concepts, which the sizes here do not reach.
            reused.fill(0);
            if (r == PfnetR::One)
                pfnet::shortestPathNetwork(d, n, reused);
            else
                pfnet::minimaxNetwork(d, n, reused);
            ASSERT_EQ(reused, expected[static_cast<std::size_t>(n - 1)]) << "trial " << trial;
        }
    }
    EXPECT_GT(compared, 10000) << compared;
}

}  // namespace
}  // namespace qv
