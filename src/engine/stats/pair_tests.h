#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "core/expected.h"
#include "core/link_rows.h"

namespace qv {

// Permutation tests of two groups of networks, pair by pair.
//
// Groups (A of nA students, B of nB, pooled N = nA + nB, A's first): a
// relabeling chooses nA of the pooled students as A; a pair's statistic is
// |cA * nB - cB * nA|, cA and cB the students of each group linking it.
// Paired (m students, each with a first and a second network): a relabeling
// swaps the two occasions of a subset of the students; the statistic is
// |cB - cA|. p is the share of relabelings whose statistic is at least the
// observed one. When the relabelings number at most P they are all counted
// (exact; the counts are taken in whole numbers, never by enumeration of
// doubles); otherwise P are drawn and p = (1 + hits) / (P + 1).
//
// Draw t (0 .. P - 1) takes its numbers from SplitMix64::replicate(seed, t),
// each "uniform below k" being next() mod k. Groups: a partial Fisher-Yates
// shuffle of the pooled indices 0 .. N-1, for k = 0 .. nA-1 swapping k with
// k + (uniform below N - k); A is the first nA. Paired: student s is swapped
// when bit s % 64 of the (s / 64)-th draw is set.
struct PermutationOptions {
    std::uint64_t permutations = 10'000;  // P, at least 1
    std::uint64_t seed = 1;
    int threads = 0;  // 0 for one per core; the results are the same for any count
    std::function<void(int)> progress;  // 0 to kProgressMax, on the calling thread
    const std::atomic<bool>* cancel = nullptr;
};

// Draws beyond this are refused: they would run for hours.
inline constexpr std::uint64_t kMaxPermutations = 100'000'000;

struct PairTest {
    int i = 0, j = 0;           // concepts, 0-based, i < j
    std::int32_t a = 0, b = 0;  // students linking the pair in A and in B
    std::uint64_t hits = 0;     // relabelings at least as extreme as observed
    double p = 1;
    double q = 1;  // Benjamini-Hochberg over all pairs
};

struct PairTests {
    bool exact = true;
    std::uint64_t permutations = 0;  // relabelings counted or drawn
    std::vector<PairTest> pairs;     // every i < j, row by row
};

// The students' networks of one group, each of the same n concepts.
using Networks = std::vector<const LinkRows*>;

// Refused: an empty group, P of 0 or beyond kMaxPermutations, a cancel
// (kRunCancelled).
Expected<PairTests> groupPairTests(const Networks& a, const Networks& b, int n,
                                   const PermutationOptions& options);
// first[s] and second[s] are the same student's two occasions.
Expected<PairTests> pairedPairTests(const Networks& first, const Networks& second, int n,
                                    const PermutationOptions& options);

// q(k) = min over m >= k of p(m) * M / m, at most 1, over the pairs sorted by
// p (ties in pair order); fills each pair's q.
void adjustBenjaminiHochberg(std::vector<PairTest>& pairs);

// A paired sign-flip test of whole-number changes (an index in thousandths,
// second minus first): the statistic is |sum|, a relabeling flips the signs
// of a subset; students without a change are left out before counting. The
// same rules for exact counting and draws as the paired pair test, over the
// students kept. Refused as the pair tests are, or when the changes' absolute
// values sum beyond 2^63 - 1.
struct SignFlipTest {
    int students = 0;      // with a change
    std::int64_t sum = 0;  // of the changes
    bool exact = true;
    std::uint64_t permutations = 0;
    std::uint64_t hits = 0;
    double p = 1;
};
Expected<SignFlipTest> signFlipTest(std::span<const std::optional<std::int64_t>> changes,
                                    const PermutationOptions& options);

// The pairs linked in at least half of the networks (2c >= n), row by row.
std::vector<std::array<int, 2>> majorityPairs(const Networks& group, int n);

}  // namespace qv
