#include "stats/pair_tests.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <memory>
#include <numeric>
#include <string>

#include "analysis/run.h"
#include "core/bit_ops.h"
#include "core/kernels.h"
#include "core/limits.h"
#include "core/ordered_blocks.h"
#include "stats/bootstrap.h"

namespace qv {

namespace {

using u64 = std::uint64_t;

// Draws are split into this many blocks (fewer when P is smaller): enough for
// the workers to share and for progress and cancel to come often.
constexpr u64 kDrawBlocks = 256;

struct Cancelled {};

bool cancelled(const PermutationOptions& options) {
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

void finished(const PermutationOptions& options) {
    if (options.progress) options.progress(kProgressMax);
}

Expected<void> checkPermutations(const PermutationOptions& options) {
    if (options.permutations < 1 || options.permutations > kMaxPermutations)
        return errorText("置換次數須為 1 到 " + std::to_string(kMaxPermutations) + " 之間，讀到 " +
                         std::to_string(options.permutations) + "。");
    return {};
}

u64 absDiff(u64 x, u64 y) {
    return x > y ? x - y : y - x;
}

// C(n, k), or cap + 1 once it passes cap. Each step's C(n, i) is at most the
// result (i <= n / 2) and so at most cap before it is multiplied by n - i.
u64 binomial(u64 n, u64 k, u64 cap) {
    if (k > n) return 0;
    k = std::min(k, n - k);
    u64 c = 1;
    for (u64 i = 0; i < k; ++i) {
        c = c * (n - i) / (i + 1);
        if (c > cap) return cap + 1;
    }
    return c;
}

// A pair's statistic is |x * scale - centre| for the x the relabeling gives it:
// groups x = cA, scale N, centre (cA + cB) nA; paired x = students gaining the
// link, scale 2, centre the discordant students.
struct PairRule {
    u64 scale = 0, centre = 0, observed = 0;
    bool extreme(u64 x) const { return absDiff(x * scale, centre) >= observed; }
};

// The pairs' students as bit sets: `words` words a pair, pair after pair.
struct PairColumns {
    std::size_t pairs = 0;
    int words = 0;
    std::vector<u64> bits;
    u64* column(std::size_t p) { return bits.data() + p * static_cast<std::size_t>(words); }
};

PairColumns pairColumns(int n, std::size_t students) {
    PairColumns c;
    c.pairs = n < 2 ? 0 : static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1) / 2;
    c.words = static_cast<int>((students + 63) / 64);
    c.bits.assign(c.pairs * static_cast<std::size_t>(c.words), 0);
    return c;
}

// Sets bit s of every pair the network links; pairs are numbered row by row.
void addStudent(PairColumns& c, const LinkRows& links, int n, std::size_t s) {
    forEachUpperLink(links, [&](int i, int j) {
        const auto p = static_cast<std::size_t>(i) * static_cast<std::size_t>(2 * n - i - 1) / 2 +
                       static_cast<std::size_t>(j - i - 1);
        c.column(p)[s / 64] |= u64{1} << (s % 64);
    });
}

int countOf(const u64* column, int firstBit, int endBit) {
    int c = 0;
    for (int w = firstBit / 64; w * 64 < endBit; ++w)
        c += countBits(column[w] & bitRange(std::max(firstBit - 64 * w, 0),
                                            std::min(endBit - 64 * w, 64)));
    return c;
}

QV_KERNEL void addGroupHits(const PairColumns& c, const u64* inA, const PairRule* rules,
                            u64* hits) {
    const u64* column = c.bits.data();
    for (std::size_t p = 0; p < c.pairs; ++p, column += c.words) {
        u64 x = 0;
        for (int w = 0; w < c.words; ++w)
            x += static_cast<u64>(countBits(column[w] & inA[w]));
        hits[p] += rules[p].extreme(x);
    }
}

// A swapped student's discordant link moves to the other occasion: the
// gained links become gained ^ (discordant & swapped).
QV_KERNEL void addPairedHits(const PairColumns& gained, const PairColumns& discordant,
                             const u64* swapped, const PairRule* rules, u64* hits) {
    const u64* g = gained.bits.data();
    const u64* d = discordant.bits.data();
    const int words = gained.words;
    for (std::size_t p = 0; p < gained.pairs; ++p, g += words, d += words) {
        u64 x = 0;
        for (int w = 0; w < words; ++w)
            x += static_cast<u64>(countBits(g[w] ^ (d[w] & swapped[w])));
        hits[p] += rules[p].extreme(x);
    }
}

// Runs draws 0 .. P - 1 in blocks over the workers, each worker a copy of
// `prototype` (its own buffers) called as draw(t, hits). The hits are whole
// numbers summed per worker, so the totals do not depend on the thread count.
template <typename Draw>
Expected<std::vector<u64>> countDraws(std::size_t slots, const PermutationOptions& options,
                                      const Draw& prototype) {
    const u64 draws = options.permutations;
    const u64 blocks = std::min(draws, kDrawBlocks);
    const int threads = static_cast<int>(
        std::min<u64>(static_cast<u64>(workerCount(options.threads)), blocks));
    std::vector<std::unique_ptr<Draw>> workers;
    std::vector<std::vector<u64>> hits(static_cast<std::size_t>(threads),
                                       std::vector<u64>(slots, 0));
    for (int w = 0; w < threads; ++w)
        workers.push_back(std::make_unique<Draw>(prototype));
    try {
        forEachBlockInOrder(
            static_cast<std::size_t>(blocks), threads, 2 * static_cast<std::size_t>(threads),
            [&](std::size_t b, int worker) {
                if (cancelled(options)) return;
                Draw& draw = *workers[static_cast<std::size_t>(worker)];
                u64* counts = hits[static_cast<std::size_t>(worker)].data();
                for (u64 t = draws * b / blocks; t < draws * (b + 1) / blocks; ++t)
                    draw(t, counts);
            },
            [&](std::size_t b) {
                if (cancelled(options)) throw Cancelled{};
                if (options.progress)
                    options.progress(static_cast<int>(static_cast<u64>(kProgressMax) * (b + 1) /
                                                      blocks));
            });
    } catch (const Cancelled&) {
        return errorText(std::string(kRunCancelled));
    }
    for (std::size_t w = 1; w < hits.size(); ++w)
        for (std::size_t k = 0; k < slots; ++k)
            hits[0][k] += hits[w][k];
    return std::move(hits[0]);
}

struct GroupDraw {
    const PairColumns* columns;
    const std::vector<PairRule>* rules;
    u64 seed;
    int nA;
    std::vector<int> order;
    std::vector<u64> inA;

    void operator()(u64 t, u64* hits) {
        SplitMix64 generator = SplitMix64::replicate(seed, t);
        std::iota(order.begin(), order.end(), 0);
        std::fill(inA.begin(), inA.end(), 0);
        const auto pooled = static_cast<u64>(order.size());
        for (int k = 0; k < nA; ++k) {
            const auto pick = static_cast<std::size_t>(
                static_cast<u64>(k) + generator.next() % (pooled - static_cast<u64>(k)));
            std::swap(order[static_cast<std::size_t>(k)], order[pick]);
            const auto s = static_cast<std::size_t>(order[static_cast<std::size_t>(k)]);
            inA[s / 64] |= u64{1} << (s % 64);
        }
        addGroupHits(*columns, inA.data(), rules->data(), hits);
    }
};

struct PairedDraw {
    const PairColumns* gained;
    const PairColumns* discordant;
    const std::vector<PairRule>* rules;
    u64 seed;
    std::vector<u64> swapped;

    void operator()(u64 t, u64* hits) {
        SplitMix64 generator = SplitMix64::replicate(seed, t);
        for (u64& word : swapped)
            word = generator.next();
        addPairedHits(*gained, *discordant, swapped.data(), rules->data(), hits);
    }
};

// Fills p (and q) from the hits out of `relabelings`.
void finishPairs(PairTests& out, u64 relabelings) {
    for (PairTest& pair : out.pairs)
        pair.p = out.exact ? static_cast<double>(pair.hits) / static_cast<double>(relabelings)
                           : static_cast<double>(pair.hits + 1) / static_cast<double>(relabelings + 1);
    adjustBenjaminiHochberg(out.pairs);
}

void numberPairs(PairTests& out, int n) {
    out.pairs.clear();
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            out.pairs.push_back(PairTest{i, j});
}

}  // namespace

Expected<PairTests> groupPairTests(const Networks& a, const Networks& b, int n,
                                   const PermutationOptions& options) {
    if (a.empty() || b.empty()) return errorText("兩組都須至少有一位學生。");
    if (auto ok = checkPermutations(options); !ok) return ok.error();
    const u64 nA = a.size(), pooled = a.size() + b.size();
    const int endA = static_cast<int>(nA), endB = static_cast<int>(pooled);

    PairColumns columns = pairColumns(n, pooled);
    for (std::size_t s = 0; s < pooled; ++s)
        addStudent(columns, s < nA ? *a[s] : *b[s - nA], n, s);
    PairTests out;
    numberPairs(out, n);
    std::vector<PairRule> rules(columns.pairs);
    for (std::size_t p = 0; p < columns.pairs; ++p) {
        PairTest& pair = out.pairs[p];
        pair.a = countOf(columns.column(p), 0, endA);
        pair.b = countOf(columns.column(p), endA, endB);
        const auto linked = static_cast<u64>(pair.a + pair.b);
        rules[p] = {pooled, linked * nA, 0};
        rules[p].observed = absDiff(static_cast<u64>(pair.a) * pooled, rules[p].centre);
    }

    const u64 relabelings = binomial(pooled, nA, options.permutations);
    out.exact = relabelings <= options.permutations;
    out.permutations = out.exact ? relabelings : options.permutations;
    if (out.exact) {
        if (cancelled(options)) return errorText(std::string(kRunCancelled));
        // The relabelings giving A k of the pair's `linked` students number
        // C(linked, k) C(N - linked, nA - k); each is at most the total.
        for (std::size_t p = 0; p < columns.pairs; ++p) {
            PairTest& pair = out.pairs[p];
            const auto linked = static_cast<u64>(pair.a + pair.b);
            const u64 nB = pooled - nA;
            for (u64 k = linked > nB ? linked - nB : 0; k <= std::min(linked, nA); ++k)
                if (rules[p].extreme(k))
                    pair.hits += binomial(linked, k, relabelings) *
                                 binomial(pooled - linked, nA - k, relabelings);
        }
        finished(options);
    } else {
        GroupDraw draw{&columns, &rules, options.seed, static_cast<int>(nA),
                       std::vector<int>(pooled), std::vector<u64>(
                                                     static_cast<std::size_t>(columns.words))};
        auto hits = countDraws(columns.pairs, options, draw);
        if (!hits) return hits.error();
        for (std::size_t p = 0; p < columns.pairs; ++p)
            out.pairs[p].hits = (*hits)[p];
    }
    finishPairs(out, out.permutations);
    return out;
}

Expected<PairTests> pairedPairTests(const Networks& first, const Networks& second, int n,
                                    const PermutationOptions& options) {
    if (first.empty() || first.size() != second.size())
        return errorText("配對比較須至少有一位兩次都有資料的學生。");
    if (auto ok = checkPermutations(options); !ok) return ok.error();
    const std::size_t m = first.size();

    PairColumns gained = pairColumns(n, m), discordant = pairColumns(n, m);
    for (std::size_t s = 0; s < m; ++s) {
        addStudent(discordant, *first[s], n, s);  // the first occasion's links, for now
        addStudent(gained, *second[s], n, s);     // the second's
    }
    PairTests out;
    numberPairs(out, n);
    std::vector<PairRule> rules(gained.pairs);
    for (std::size_t p = 0; p < gained.pairs; ++p) {
        u64* g = gained.column(p);
        u64* d = discordant.column(p);
        PairTest& pair = out.pairs[p];
        pair.a = countOf(d, 0, static_cast<int>(m));
        pair.b = countOf(g, 0, static_cast<int>(m));
        for (int w = 0; w < gained.words; ++w) {
            const u64 before = d[w], after = g[w];
            g[w] = after & ~before;
            d[w] = after ^ before;
        }
        const auto changed = static_cast<u64>(countOf(d, 0, static_cast<int>(m)));
        rules[p] = {2, changed, 0};
        rules[p].observed =
            absDiff(2 * static_cast<u64>(countOf(g, 0, static_cast<int>(m))), changed);
    }

    out.exact = m < 63 && (u64{1} << m) <= options.permutations;
    out.permutations = out.exact ? u64{1} << m : options.permutations;
    if (out.exact) {
        if (cancelled(options)) return errorText(std::string(kRunCancelled));
        // The students without a change leave the statistic alone: a factor
        // 2^(m - d) over the C(d, j) ways of j of the d changes being gains.
        for (std::size_t p = 0; p < gained.pairs; ++p) {
            const u64 changed = rules[p].centre;
            u64 ways = 1, hits = 0;
            for (u64 j = 0; j <= changed; ++j) {
                if (rules[p].extreme(j)) hits += ways;
                ways = ways * (changed - j) / (j + 1);
            }
            out.pairs[p].hits = hits << (m - changed);
        }
        finished(options);
    } else {
        PairedDraw draw{&gained, &discordant, &rules, options.seed,
                        std::vector<u64>(static_cast<std::size_t>(gained.words))};
        auto hits = countDraws(gained.pairs, options, draw);
        if (!hits) return hits.error();
        for (std::size_t p = 0; p < gained.pairs; ++p)
            out.pairs[p].hits = (*hits)[p];
    }
    finishPairs(out, out.permutations);
    return out;
}

void adjustBenjaminiHochberg(std::vector<PairTest>& pairs) {
    std::vector<std::size_t> order(pairs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&pairs](std::size_t x, std::size_t y) { return pairs[x].p < pairs[y].p; });
    const auto total = static_cast<double>(pairs.size());
    double q = 1;
    for (std::size_t k = order.size(); k-- > 0;) {
        PairTest& pair = pairs[order[k]];
        q = std::min(q, pair.p * total / static_cast<double>(k + 1));
        pair.q = q;
    }
}

namespace {

struct SignFlipDraw {
    const std::vector<std::int64_t>* changes;
    std::uint64_t observed;
    u64 seed;

    void operator()(u64 t, u64* hits) const {
        SplitMix64 generator = SplitMix64::replicate(seed, t);
        std::int64_t sum = 0;
        u64 word = 0;
        for (std::size_t s = 0; s < changes->size(); ++s) {
            if (s % 64 == 0) word = generator.next();
            const std::int64_t c = (*changes)[s];
            sum += (word >> (s % 64)) & 1u ? -c : c;
        }
        hits[0] += static_cast<u64>(sum < 0 ? -sum : sum) >= observed;
    }
};

}  // namespace

Expected<SignFlipTest> signFlipTest(std::span<const std::optional<std::int64_t>> changes,
                                    const PermutationOptions& options) {
    if (auto ok = checkPermutations(options); !ok) return ok.error();
    std::vector<std::int64_t> kept;
    u64 spread = 0;  // the sum of |change|, which bounds every relabeling's sum
    for (const std::optional<std::int64_t>& c : changes) {
        if (!c || *c == 0) continue;
        const u64 size = *c < 0 ? u64{0} - static_cast<u64>(*c) : static_cast<u64>(*c);
        if (size > static_cast<u64>(std::numeric_limits<std::int64_t>::max()) - spread)
            return errorText("變化量的總和太大，無法檢定。");
        spread += size;
        kept.push_back(*c);
    }
    SignFlipTest out;
    out.students = static_cast<int>(kept.size());
    out.sum = std::accumulate(kept.begin(), kept.end(), std::int64_t{0});
    const u64 observed = static_cast<u64>(out.sum < 0 ? -out.sum : out.sum);
    const std::size_t m = kept.size();
    out.exact = m < 63 && (u64{1} << m) <= options.permutations;
    out.permutations = out.exact ? u64{1} << m : options.permutations;
    if (out.exact) {
        // Every sign pattern in Gray-code order: one change flips a step.
        constexpr u64 kCheckEvery = u64{1} << 20;
        std::vector<int> sign(m, 1);
        std::int64_t sum = out.sum;
        for (u64 g = 0; g < out.permutations; ++g) {
            if (g > 0) {
                const auto s = static_cast<std::size_t>(std::countr_zero(g));
                sum -= 2 * sign[s] * kept[s];
                sign[s] = -sign[s];
            }
            out.hits += static_cast<u64>(sum < 0 ? -sum : sum) >= observed;
            if ((g + 1) % kCheckEvery == 0) {
                if (cancelled(options)) return errorText(std::string(kRunCancelled));
                if (options.progress)
                    options.progress(static_cast<int>(static_cast<u64>(kProgressMax) * (g + 1) /
                                                      out.permutations));
            }
        }
        finished(options);
        out.p = static_cast<double>(out.hits) / static_cast<double>(out.permutations);
    } else {
        auto hits = countDraws(1, options, SignFlipDraw{&kept, observed, options.seed});
        if (!hits) return hits.error();
        out.hits = (*hits)[0];
        out.p = static_cast<double>(out.hits + 1) / static_cast<double>(out.permutations + 1);
    }
    return out;
}

std::vector<std::array<int, 2>> majorityPairs(const Networks& group, int n) {
    std::vector<std::array<int, 2>> out;
    if (group.empty()) return out;
    PairColumns columns = pairColumns(n, group.size());
    for (std::size_t s = 0; s < group.size(); ++s)
        addStudent(columns, *group[s], n, s);
    std::size_t p = 0;
    const auto size = static_cast<int>(group.size());
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j, ++p)
            if (2 * countOf(columns.column(p), 0, size) >= size) out.push_back({i, j});
    return out;
}

}  // namespace qv
