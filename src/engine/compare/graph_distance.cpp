#include "compare/graph_distance.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "core/bit_ops.h"

namespace qv {

namespace {

constexpr int kLongest = 7;

// A chain runs from row to column, so the neighbours of u are the columns set
// in row u. The pair (i, j), i < j, takes the length of a shortest chain from
// i to j in both of its cells.

// Up to 64 concepts: one word per set, breadth-first from every concept.
void searchNarrow(const LinkRows& links, GraphDistanceMatrix& out) {
    const int n = links.n;
    std::uint64_t next[LinkRows::kMaxConcepts];
    for (int u = 0; u < n; ++u)
        next[u] = links.rows[static_cast<std::size_t>(u)] & ~(std::uint64_t{1} << u);
    for (int i = 0; i + 1 < n; ++i) {
        std::uint64_t seen = std::uint64_t{1} << i, frontier = seen;
        // Concepts j > i not reached yet; the search from i ends with them,
        // which spares the widest, last levels for most sources.
        std::uint64_t pending = bitRange(i + 1, n);
        for (int length = 1; length <= kLongest && frontier != 0 && pending != 0; ++length) {
            std::uint64_t reached = 0;
            for (std::uint64_t f = frontier; f; f &= f - 1)
                reached |= next[std::countr_zero(f)];
            frontier = reached & ~seen;
            seen |= frontier;
            for (std::uint64_t f = frontier & pending; f; f &= f - 1) {
                const int j = std::countr_zero(f);
                out(i, j) = out(j, i) = static_cast<std::int16_t>(length);
            }
            pending &= ~frontier;
        }
    }
}

// Any size: the same search with a queue of concepts per level.
void searchWide(const LinkMatrix& links, int n, GraphDistanceMatrix& out) {
    std::vector<int> level(static_cast<std::size_t>(n));
    std::vector<int> frontier, reached;
    for (int i = 0; i + 1 < n; ++i) {
        std::fill(level.begin(), level.end(), -1);
        level[i] = 0;
        frontier.assign(1, i);
        for (int length = 1; length <= kLongest && !frontier.empty(); ++length) {
            reached.clear();
            for (int u : frontier) {
                const std::uint8_t* cells = links.rowData(u);
                for (int v = 0; v < n; ++v) {
                    if (cells[v] == 0 || level[v] >= 0) continue;
                    level[v] = length;
                    reached.push_back(v);
                    if (v > i) out(i, v) = out(v, i) = static_cast<std::int16_t>(length);
                }
            }
            frontier.swap(reached);
        }
    }
}

// Zeros of the size n x n, reusing the storage when it has that size.
void clearSquare(GraphDistanceMatrix& out, int n) {
    out.resize(n, n);
    out.fill(0);
}

}  // namespace

GraphDistanceMatrix PointDistanceNO(const LinkMatrix& links, int n) {
    GraphDistanceMatrix out;
    PointDistanceNOInto(links, n, out);
    return out;
}

void PointDistanceNOInto(const LinkMatrix& links, int n, GraphDistanceMatrix& out) {
    n = std::max(n, 0);
    if (n <= LinkRows::kMaxConcepts) return PointDistanceNOInto(linkRows(links, n), out);
    clearSquare(out, n);
    searchWide(links, n, out);
}

void PointDistanceNOInto(const LinkRows& links, GraphDistanceMatrix& out) {
    clearSquare(out, links.n);
    searchNarrow(links, out);
}

}  // namespace qv
