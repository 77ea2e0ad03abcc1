#include "compare/graph_distance.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "core/bit_ops.h"

namespace qv {

namespace {

constexpr int kLongest = GraphLevels::kLongest;

// Stores each level's set, and how many there are.
struct StoreLevels {
    GraphLevels& out;
    [[gnu::always_inline]] void level(int i, int length, const std::uint64_t* set) const {
        std::uint64_t* at = out.bits.data() + (static_cast<std::size_t>(i) * kLongest +
                                               static_cast<std::size_t>(length - 1)) *
                                                  static_cast<std::size_t>(out.words);
        std::copy(set, set + out.words, at);
    }
    [[gnu::always_inline]] void end(int i, int depth) const {
        out.depth[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(depth);
    }
};

}  // namespace

GraphDistanceMatrix PointDistanceNO(const LinkMatrix& links, int n) {
    GraphDistanceMatrix out;
    PointDistanceNOInto(links, n, out);
    return out;
}

void PointDistanceNOInto(const LinkMatrix& links, int n, GraphDistanceMatrix& out) {
    PointDistanceNOInto(linkRows(links, std::max(n, 0)), out);
}

void PointDistanceNOInto(const LinkRows& links, GraphDistanceMatrix& out) {
    thread_local GraphLevels levels;
    graphLevelsInto(links, levels);
    graphDistanceInto(levels, out);
}

void graphLevelsInto(const LinkRows& links, GraphLevels& out) {
    out.n = links.n;
    out.words = links.words;
    out.bits.resize(static_cast<std::size_t>(links.n) * kLongest * links.words);
    out.depth.assign(static_cast<std::size_t>(links.n), 0);
    StoreLevels store{out};
    searchLevelsOf(links, store);
}

void graphDistanceInto(const GraphLevels& levels, GraphDistanceMatrix& out) {
    const int n = levels.n;
    out.resize(n, n);
    out.fill(0);
    for (int i = 0; i < n; ++i) {
        std::int16_t* row = out.rowData(i);
        for (int length = 1; length <= levels.depth[static_cast<std::size_t>(i)]; ++length) {
            const std::uint64_t* set = levels.level(i, length);
            for (int w = 0; w < levels.words; ++w) {
                for (std::uint64_t f = set[w]; f; f &= f - 1) {
                    const int j = 64 * w + std::countr_zero(f);
                    row[j] = out(j, i) = static_cast<std::int16_t>(length);
                }
            }
        }
    }
}

}  // namespace qv
