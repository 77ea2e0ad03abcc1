#include "compare/graph_distance.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "core/bit_ops.h"

namespace qv {

namespace {

constexpr int kLongest = GraphLevels::kLongest;

// A chain runs from row to column, so the neighbours of u are the columns set
// in row u; its own bit is harmless, u being seen already. Concept j > i goes
// into i's set of the length of a shortest chain from i to j.

// Breadth-first from every concept over sets of kWords words (0: as many as
// the rows have), a level's reach the union of its concepts' rows.
template <int kWords>
void search(const LinkRows& links, GraphLevels& out) {
    const int n = links.n;
    const int words = kWords > 0 ? kWords : links.words;
    constexpr int kMaxStack = 4;
    std::uint64_t stack[4][kMaxStack];
    std::vector<std::uint64_t> heap(words > kMaxStack ? 4 * static_cast<std::size_t>(words) : 0);
    std::uint64_t* seen = words > kMaxStack ? heap.data() : stack[0];
    std::uint64_t* frontier = words > kMaxStack ? seen + words : stack[1];
    std::uint64_t* pending = words > kMaxStack ? seen + 2 * words : stack[2];
    std::uint64_t* reached = words > kMaxStack ? seen + 3 * words : stack[3];
    for (int i = 0; i + 1 < n; ++i) {
        // Concepts j > i not reached yet; the search from i ends with them,
        // which spares the widest, last levels for most sources.
        std::uint64_t anyPending = 0;
        for (int w = 0; w < words; ++w) {
            seen[w] = frontier[w] = w == i / 64 ? std::uint64_t{1} << (i % 64) : 0;
            pending[w] = bitRange(std::max(i + 1 - 64 * w, 0), std::min(n - 64 * w, 64));
            anyPending |= pending[w];
        }
        bool anyFrontier = true;
        int length = 1;
        for (; length <= kLongest && anyFrontier && anyPending != 0; ++length) {
            std::uint64_t* at = out.bits.data() + (static_cast<std::size_t>(i) * kLongest +
                                                   static_cast<std::size_t>(length - 1)) *
                                                      static_cast<std::size_t>(words);
            for (int w = 0; w < words; ++w)
                reached[w] = 0;
            for (int fw = 0; fw < words; ++fw) {
                for (std::uint64_t f = frontier[fw]; f; f &= f - 1) {
                    const std::uint64_t* next = links.row(64 * fw + std::countr_zero(f));
                    for (int w = 0; w < words; ++w)
                        reached[w] |= next[w];
                }
            }
            anyFrontier = false;
            anyPending = 0;
            for (int w = 0; w < words; ++w) {
                frontier[w] = reached[w] & ~seen[w];
                seen[w] |= frontier[w];
                anyFrontier = anyFrontier || frontier[w] != 0;
                at[w] = frontier[w] & pending[w];
                pending[w] &= ~frontier[w];
                anyPending |= pending[w];
            }
        }
        out.depth[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length - 1);
    }
}

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
    switch (links.words) {
        case 1:
            return search<1>(links, out);
        case 2:
            return search<2>(links, out);
        case 3:
            return search<3>(links, out);
        default:
            return search<0>(links, out);
    }
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
