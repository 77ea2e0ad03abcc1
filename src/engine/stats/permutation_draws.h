#pragma once

// The draws shared by the permutation tests: the checks of P, and the draws
// split into blocks over worker threads.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/run.h"
#include "core/limits.h"
#include "core/ordered_blocks.h"
#include "stats/pair_tests.h"

namespace qv::permutations {

using u64 = std::uint64_t;

// Draws are split into this many blocks (fewer when P is smaller): enough for
// the workers to share and for progress and cancel to come often.
inline constexpr u64 kDrawBlocks = 256;

struct Cancelled {};

inline bool cancelRequested(const PermutationOptions& options) {
    return options.cancel && options.cancel->load(std::memory_order_relaxed);
}

inline void reportFinished(const PermutationOptions& options) {
    if (options.progress) options.progress(kProgressMax);
}

inline Expected<void> checkPermutations(const PermutationOptions& options) {
    if (options.permutations < 1 || options.permutations > kMaxPermutations)
        return errorText("置換次數須為 1 到 " + std::to_string(kMaxPermutations) + " 之間，讀到 " +
                         std::to_string(options.permutations) + "。");
    return {};
}

inline Error permutationsCancelled() {
    return errorText(std::string(kRunCancelled));
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
                if (cancelRequested(options)) return;
                Draw& draw = *workers[static_cast<std::size_t>(worker)];
                u64* counts = hits[static_cast<std::size_t>(worker)].data();
                for (u64 t = draws * b / blocks; t < draws * (b + 1) / blocks; ++t)
                    draw(t, counts);
            },
            [&](std::size_t b) {
                if (cancelRequested(options)) throw Cancelled{};
                if (options.progress)
                    options.progress(static_cast<int>(static_cast<u64>(kProgressMax) * (b + 1) /
                                                      blocks));
            });
    } catch (const Cancelled&) {
        return permutationsCancelled();
    }
    for (std::size_t w = 1; w < hits.size(); ++w)
        for (std::size_t k = 0; k < slots; ++k)
            hits[0][k] += hits[w][k];
    return std::move(hits[0]);
}

}  // namespace qv::permutations
