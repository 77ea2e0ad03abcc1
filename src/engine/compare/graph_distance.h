#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "core/bit_ops.h"
#include "core/link_rows.h"
#include "core/matrix.h"

namespace qv {

// Links on a shortest path between every two concepts, when that number is at
// most 7; 0 otherwise (and on the diagonal). Breadth-first, O(n^2) per source.
GraphDistanceMatrix PointDistanceNO(const LinkMatrix& links, int n);

// The same into `out`, reusing its storage when it already has the size.
void PointDistanceNOInto(const LinkMatrix& links, int n, GraphDistanceMatrix& out);
// The same for a network read as rows.
void PointDistanceNOInto(const LinkRows& links, GraphDistanceMatrix& out);

// The longest chain the graph distances count.
inline constexpr int kLongestChain = 7;

// The breadth-first search behind the graph distances, as sets: from every
// concept i, visitor.level(i, length, set) with the concepts j > i at that
// distance as bit rows, for
// each length that has some. A
// chain runs from row to column, so the neighbours of u are the columns set
// in row u; its own bit is harmless, u being seen already. The search from i
// ends once every j > i is reached, which spares the widest, last levels for
// most sources. kWords is the words per row, 0 for as many as the rows have.
inline bool anyOf(const std::uint64_t* set, int words) {
    std::uint64_t any = 0;
    for (int w = 0; w < words; ++w)
        any |= set[w];
    return any != 0;
}

template <int kWords, typename Visitor>
[[gnu::always_inline]] inline void searchLevels(const LinkRows& links, Visitor& visitor) {
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
        std::uint64_t anyPending = 0;
        for (int w = 0; w < words; ++w) {
            seen[w] = frontier[w] = w == i / 64 ? std::uint64_t{1} << (i % 64) : 0;
            pending[w] = bitRange(std::max(i + 1 - 64 * w, 0), std::min(n - 64 * w, 64));
            anyPending |= pending[w];
        }
        bool anyFrontier = true;
        int length = 1;
        for (; length <= kLongestChain && anyFrontier && anyPending != 0; ++length) {
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
                // The set of this length, in `reached`, whose bits are no longer needed.
                reached[w] = frontier[w] & pending[w];
                pending[w] &= ~frontier[w];
                anyPending |= pending[w];
            }
            if (anyOf(reached, words)) visitor.level(i, length, reached);
        }
    }
}

// searchLevels over rows of one word, everything in registers.
template <typename Visitor>
[[gnu::always_inline]] inline void searchOneWordLevels(const LinkRows& links, Visitor& visitor) {
    const int n = links.n;
    const std::uint64_t* rows = links.bits.data();
    const std::uint64_t all = bitRange(0, n);
    for (int i = 0; i + 1 < n; ++i) {
        std::uint64_t seen = std::uint64_t{1} << i, frontier = seen;
        std::uint64_t pending = all & ~((std::uint64_t{2} << i) - 1);
        for (int length = 1; length <= kLongestChain && frontier != 0 && pending != 0; ++length) {
            std::uint64_t reached = 0;
            for (std::uint64_t f = frontier; f; f &= f - 1)
                reached |= rows[std::countr_zero(f)];
            frontier = reached & ~seen;
            seen |= frontier;
            const std::uint64_t set = frontier & pending;
            pending &= ~frontier;
            if (set != 0) visitor.level(i, length, &set);
        }
    }
}

// searchLevels with the words per row fixed where that is small.
template <typename Visitor>
[[gnu::always_inline]] inline void searchLevelsOf(const LinkRows& links, Visitor& visitor) {
    switch (links.words) {
        case 1:
            return searchOneWordLevels(links, visitor);
        case 2:
            return searchLevels<2>(links, visitor);
        case 3:
            return searchLevels<3>(links, visitor);
        default:
            return searchLevels<0>(links, visitor);
    }
}

}  // namespace qv
