#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "analysis/run.h"
#include "core/limits.h"
#include "stats/bootstrap.h"
#include "stats/pair_tests.h"

namespace qv {
namespace {

using u64 = std::uint64_t;

// Random symmetric networks; a low link share makes many pairs tie.
struct Group {
    std::vector<LinkRows> rows;
    Networks nets() const {
        Networks out;
        for (const LinkRows& r : rows)
            out.push_back(&r);
        return out;
    }
};

Group randomGroup(int students, int n, std::mt19937& gen, int percent = 50) {
    Group g;
    for (int s = 0; s < students; ++s) {
        LinkMatrix m;
        m.resizeSquare(n);
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                if (static_cast<int>(gen() % 100) < percent) m(i, j) = m(j, i) = 1;
        g.rows.push_back(linkRows(m, n));
    }
    return g;
}

PermutationOptions withP(u64 permutations, u64 seed = 1, int threads = 1) {
    PermutationOptions o;
    o.permutations = permutations;
    o.seed = seed;
    o.threads = threads;
    return o;
}

// The pooled students' links of pair (i, j): A's first, then B's.
std::vector<int> linked(const Networks& a, const Networks& b, int i, int j) {
    std::vector<int> out;
    for (const Networks* g : {&a, &b})
        for (const LinkRows* r : *g)
            out.push_back(hasLink(*r, i, j));
    return out;
}

// |cA nB - cB nA| of the pooled students with A marked.
u64 groupStatistic(const std::vector<int>& links, const std::vector<bool>& inA) {
    std::int64_t cA = 0, cB = 0, nA = 0, nB = 0;
    for (std::size_t s = 0; s < links.size(); ++s) {
        (inA[s] ? cA : cB) += links[s];
        (inA[s] ? nA : nB) += 1;
    }
    return static_cast<u64>(std::llabs(cA * nB - cB * nA));
}

// Counts, per pair, the relabelings among `labelings` at least as extreme.
std::vector<u64> groupHits(const Networks& a, const Networks& b, int n,
                           const std::vector<std::vector<bool>>& labelings) {
    std::vector<bool> observed(a.size() + b.size(), false);
    std::fill(observed.begin(), observed.begin() + static_cast<std::ptrdiff_t>(a.size()), true);
    std::vector<u64> hits;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const std::vector<int> links = linked(a, b, i, j);
            const u64 seen = groupStatistic(links, observed);
            hits.push_back(0);
            for (const std::vector<bool>& inA : labelings)
                hits.back() += groupStatistic(links, inA) >= seen;
        }
    return hits;
}

TEST(PairTests, GroupsExactCountsEveryRelabeling) {
    std::mt19937 gen(7);
    for (auto [nA, nB, percent] : {std::array{3, 4, 50}, std::array{1, 5, 30}, std::array{4, 4, 20},
                                   std::array{5, 2, 70}}) {
        const Group a = randomGroup(nA, 5, gen, percent), b = randomGroup(nB, 5, gen, percent);
        std::vector<std::vector<bool>> every;
        const int pooled = nA + nB;
        for (unsigned mask = 0; mask < (1u << pooled); ++mask)
            if (std::popcount(mask) == nA) {
                every.emplace_back(static_cast<std::size_t>(pooled));
                for (int s = 0; s < pooled; ++s)
                    every.back()[static_cast<std::size_t>(s)] = (mask >> s) & 1u;
            }
        const std::vector<u64> hits = groupHits(a.nets(), b.nets(), 5, every);
        // Exactly at the count of relabelings the test is still exact.
        const PairTests t = groupPairTests(a.nets(), b.nets(), 5, withP(every.size())).value();
        ASSERT_TRUE(t.exact);
        ASSERT_EQ(t.permutations, every.size());
        ASSERT_EQ(t.pairs.size(), 10u);
        for (std::size_t p = 0; p < hits.size(); ++p) {
            const PairTest& pair = t.pairs[p];
            const std::vector<int> links = linked(a.nets(), b.nets(), pair.i, pair.j);
            EXPECT_EQ(pair.a, std::count(links.begin(), links.begin() + nA, 1));
            EXPECT_EQ(pair.b, std::count(links.begin() + nA, links.end(), 1));
            EXPECT_EQ(pair.hits, hits[p]) << nA << "+" << nB << " pair " << p;
            EXPECT_EQ(pair.p, static_cast<double>(hits[p]) / static_cast<double>(every.size()));
        }
        EXPECT_FALSE(
            groupPairTests(a.nets(), b.nets(), 5, withP(every.size() - 1)).value().exact);
    }
}

// The draws as the header states them, recounted pair by pair.
TEST(PairTests, GroupDrawsFollowTheRuleForAnyThreadCount) {
    std::mt19937 gen(11);
    const int nA = 70, nB = 60, n = 6;  // two words of students, A ending inside the second
    const Group a = randomGroup(nA, n, gen, 40), b = randomGroup(nB, n, gen, 40);
    constexpr u64 kDraws = 40, kSeed = 99;
    std::vector<std::vector<bool>> drawn;
    for (u64 t = 0; t < kDraws; ++t) {
        SplitMix64 g = SplitMix64::replicate(kSeed, t);
        std::vector<int> order(nA + nB);
        for (int s = 0; s < nA + nB; ++s)
            order[static_cast<std::size_t>(s)] = s;
        for (int k = 0; k < nA; ++k)
            std::swap(order[static_cast<std::size_t>(k)],
                      order[static_cast<std::size_t>(k) + g.next() % static_cast<u64>(nA + nB - k)]);
        drawn.emplace_back(static_cast<std::size_t>(nA + nB), false);
        for (int k = 0; k < nA; ++k)
            drawn.back()[static_cast<std::size_t>(order[static_cast<std::size_t>(k)])] = true;
    }
    const std::vector<u64> hits = groupHits(a.nets(), b.nets(), n, drawn);
    const PairTests one = groupPairTests(a.nets(), b.nets(), n, withP(kDraws, kSeed, 1)).value();
    const PairTests four = groupPairTests(a.nets(), b.nets(), n, withP(kDraws, kSeed, 4)).value();
    EXPECT_FALSE(one.exact);
    EXPECT_EQ(one.permutations, kDraws);
    for (std::size_t p = 0; p < hits.size(); ++p) {
        EXPECT_EQ(one.pairs[p].hits, hits[p]) << p;
        EXPECT_EQ(four.pairs[p].hits, hits[p]) << p;
        EXPECT_EQ(one.pairs[p].p, static_cast<double>(hits[p] + 1) / (kDraws + 1));
    }
}

TEST(PairTests, DrawsAgreeWithTheExactCountWithinTheirError) {
    std::mt19937 gen(3);
    const Group a = randomGroup(8, 6, gen), b = randomGroup(8, 6, gen);  // C(16, 8) = 12870
    const PairTests exact = groupPairTests(a.nets(), b.nets(), 6, withP(12870)).value();
    const PairTests drawn = groupPairTests(a.nets(), b.nets(), 6, withP(10000, 5, 2)).value();
    ASSERT_TRUE(exact.exact);
    ASSERT_FALSE(drawn.exact);
    for (std::size_t p = 0; p < exact.pairs.size(); ++p) {
        const double e = exact.pairs[p].p;
        EXPECT_NEAR(drawn.pairs[p].p, e, 4 * std::sqrt(e * (1 - e) / 10000) + 1e-4) << p;
    }
}

TEST(PairTests, PairedCountsEverySwapAndFollowsTheDraws) {
    std::mt19937 gen(5);
    for (auto [m, draws] : {std::array<u64, 2>{5, 0}, std::array<u64, 2>{70, 30}}) {
        const Group first = randomGroup(static_cast<int>(m), 5, gen, 40);
        const Group second = randomGroup(static_cast<int>(m), 5, gen, 60);
        // Every swap mask, or the masks the draws give.
        std::vector<std::vector<bool>> masks;
        for (u64 t = 0; t < (draws ? draws : u64{1} << m); ++t) {
            SplitMix64 g = SplitMix64::replicate(8, t);
            u64 word = 0;
            masks.emplace_back(m, false);
            for (u64 s = 0; s < m; ++s) {
                if (draws && s % 64 == 0) word = g.next();
                masks.back()[s] = ((draws ? word : t) >> (s % 64)) & 1u;
            }
        }
        const auto run = [&](int threads) {
            return pairedPairTests(first.nets(), second.nets(), 5,
                                   withP(draws ? draws : masks.size(), 8, threads))
                .value();
        };
        const PairTests t = run(1), t4 = run(4);
        EXPECT_EQ(t.exact, draws == 0);
        EXPECT_EQ(t.permutations, masks.size());
        for (const PairTest& pair : t.pairs) {
            // cB - cA with the masked students' occasions swapped.
            const auto change = [&](const std::vector<bool>& swapped) {
                std::int64_t d = 0;
                for (u64 s = 0; s < m; ++s)
                    d += (swapped[s] ? -1 : 1) * (hasLink(second.rows[s], pair.i, pair.j) -
                                                  hasLink(first.rows[s], pair.i, pair.j));
                return d;
            };
            const auto seen = change(std::vector<bool>(m, false));
            u64 hits = 0;
            for (const std::vector<bool>& mask : masks)
                hits += std::llabs(change(mask)) >= std::llabs(seen);
            EXPECT_EQ(pair.hits, hits) << m << " " << pair.i << "-" << pair.j;
            std::int32_t before = 0;
            for (const LinkRows& r : first.rows)
                before += hasLink(r, pair.i, pair.j);
            EXPECT_EQ(pair.a, before);
            EXPECT_EQ(pair.b - pair.a, seen);
            EXPECT_EQ(pair.p, draws ? static_cast<double>(hits + 1) / (draws + 1)
                                    : static_cast<double>(hits) / static_cast<double>(masks.size()));
        }
        for (std::size_t p = 0; p < t.pairs.size(); ++p)
            EXPECT_EQ(t4.pairs[p].hits, t.pairs[p].hits);
    }
}

TEST(PairTests, SignFlipCountsEveryPatternAndFollowsTheDraws) {
    // Zeros and missing values are left out; the kept ones tie often.
    const std::vector<std::optional<std::int64_t>> changes = {
        3, 0, -1, std::nullopt, 2, -3, 1, 0, 4, 1};
    const std::vector<std::int64_t> kept = {3, -1, 2, -3, 1, 4, 1};
    const auto hitsOf = [&](const std::vector<u64>& masks) {
        std::int64_t seen = 0;
        for (std::int64_t c : kept)
            seen += c;
        u64 hits = 0;
        for (u64 mask : masks) {
            std::int64_t sum = 0;
            for (std::size_t s = 0; s < kept.size(); ++s)
                sum += (mask >> s) & 1u ? -kept[s] : kept[s];
            hits += std::llabs(sum) >= std::llabs(seen);
        }
        return hits;
    };
    std::vector<u64> every(128), drawn;
    for (u64 mask = 0; mask < 128; ++mask)
        every[mask] = mask;
    for (u64 t = 0; t < 50; ++t)
        drawn.push_back(SplitMix64::replicate(4, t).next());

    const SignFlipTest exact = signFlipTest(changes, withP(128)).value();
    EXPECT_TRUE(exact.exact);
    EXPECT_EQ(exact.students, 7);
    EXPECT_EQ(exact.sum, 7);
    EXPECT_EQ(exact.permutations, 128u);
    EXPECT_EQ(exact.hits, hitsOf(every));
    EXPECT_EQ(exact.p, static_cast<double>(hitsOf(every)) / 128);
    for (int threads : {1, 4}) {
        const SignFlipTest d = signFlipTest(changes, withP(50, 4, threads)).value();
        EXPECT_FALSE(d.exact);
        EXPECT_EQ(d.hits, hitsOf(drawn));
        EXPECT_EQ(d.p, static_cast<double>(hitsOf(drawn) + 1) / 51);
    }
    const SignFlipTest none = signFlipTest({}, withP(10)).value();
    EXPECT_EQ(none.p, 1);
}

TEST(PairTests, BenjaminiHochbergMatchesItsDefinition) {
    std::mt19937 gen(2);
    std::vector<PairTest> pairs(40);
    for (PairTest& pair : pairs)
        pair.p = static_cast<double>(gen() % 12 + 1) / 13;  // many ties
    pairs[5].p = 0.001;
    std::vector<PairTest> adjusted = pairs;
    adjustBenjaminiHochberg(adjusted);
    // Rank by p, ties in pair order; q = min over later ranks of p * M / rank.
    const auto rank = [&](std::size_t x) {
        std::size_t r = 1;
        for (std::size_t y = 0; y < pairs.size(); ++y)
            r += pairs[y].p < pairs[x].p || (pairs[y].p == pairs[x].p && y < x);
        return r;
    };
    const auto total = static_cast<double>(pairs.size());
    for (std::size_t x = 0; x < pairs.size(); ++x) {
        double q = 1;
        for (std::size_t y = 0; y < pairs.size(); ++y)
            if (rank(y) >= rank(x))
                q = std::min(q, pairs[y].p * total / static_cast<double>(rank(y)));
        EXPECT_EQ(adjusted[x].q, q) << x;
    }
}

TEST(PairTests, MajorityKeepsPairsOfExactlyHalf) {
    std::mt19937 gen(9);
    for (int size : {1, 3, 4, 6}) {
        const Group g = randomGroup(size, 6, gen);
        std::vector<std::array<int, 2>> expected;
        for (int i = 0; i < 6; ++i)
            for (int j = i + 1; j < 6; ++j) {
                int c = 0;
                for (const LinkRows& r : g.rows)
                    c += hasLink(r, i, j);
                if (2 * c >= size) expected.push_back({i, j});
            }
        EXPECT_EQ(majorityPairs(g.nets(), 6), expected) << size;
    }
}

TEST(PairTests, RefusesAndCancels) {
    std::mt19937 gen(1);
    const Group a = randomGroup(3, 4, gen), big = randomGroup(1000, 4, gen);
    EXPECT_FALSE(groupPairTests(a.nets(), {}, 4, withP(10)));
    EXPECT_FALSE(pairedPairTests({}, {}, 4, withP(10)));
    EXPECT_FALSE(groupPairTests(a.nets(), a.nets(), 4, withP(0)));
    EXPECT_FALSE(signFlipTest({}, withP(kMaxPermutations + 1)));
    // C(2000, 1000) is far beyond any P: drawn, not counted.
    const PairTests drawn = groupPairTests(big.nets(), big.nets(), 4, withP(3)).value();
    EXPECT_FALSE(drawn.exact);
    EXPECT_EQ(drawn.permutations, 3u);

    std::atomic<bool> cancel{true};
    PermutationOptions o = withP(100, 1, 2);
    o.cancel = &cancel;
    for (const Expected<PairTests>& r : {groupPairTests(big.nets(), big.nets(), 4, o),
                                         pairedPairTests(big.nets(), big.nets(), 4, o)})
        EXPECT_EQ(r.error().what, kRunCancelled);
}

}  // namespace
}  // namespace qv
