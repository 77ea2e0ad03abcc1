// The paired sign-flip test of pair_tests.h.
#include "stats/pair_tests.h"

#include <bit>
#include <limits>
#include <numeric>

#include "stats/bootstrap.h"
#include "stats/permutation_draws.h"

namespace qv {

using namespace permutations;

namespace {

struct SignFlipDraw {
    const std::vector<std::int64_t>* changes;
    u64 observed;
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
                if (cancelRequested(options)) return permutationsCancelled();
                if (options.progress)
                    options.progress(static_cast<int>(static_cast<u64>(kProgressMax) * (g + 1) /
                                                      out.permutations));
            }
        }
        reportFinished(options);
        out.p = static_cast<double>(out.hits) / static_cast<double>(out.permutations);
    } else {
        auto hits = countDraws(1, options, SignFlipDraw{&kept, observed, options.seed});
        if (!hits) return hits.error();
        out.hits = (*hits)[0];
        out.p = static_cast<double>(out.hits + 1) / static_cast<double>(out.permutations + 1);
    }
    return out;
}

}  // namespace qv
