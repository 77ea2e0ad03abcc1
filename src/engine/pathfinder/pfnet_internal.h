#pragma once

// The routines behind PfnetNetworkInto, one per file: for each case of
// (r, q) one general routine and at most one faster one for the sizes a
// class has. Each takes a symmetric, non-negative matrix (unchecked),
// 2 <= n <= its size, and an `out` that is n x n and all clear; it sets both
// halves of every linked pair. They are instantiated for Currency (raw units)
// and for whole-number distances.

#include <algorithm>
#include <cstdint>

#include "core/matrix.h"
#include "pathfinder/pfnet.h"

namespace qv::pfnet {

inline std::int64_t units(Currency c) {
    return c.raw();
}
inline std::int64_t units(std::int16_t v) {
    return v;
}

// The largest D(i, j), i < j.
template <typename Cell>
std::int64_t longestDistance(const Matrix<Cell>& d, int n) {
    std::int64_t longest = 0;
    for (int i = 0; i < n; ++i) {
        const Cell* row = d.rowData(i);
        for (int j = i + 1; j < n; ++j)
            longest = std::max(longest, units(row[j]));
    }
    return longest;
}

// r = infinity, q = n - 1.
template <typename Cell>
void minimaxNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out);
// The same for up to kBitSetConcepts, as a class has them, without allocating.
template <typename Cell>
void smallMinimaxNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out);
inline constexpr int kBitSetConcepts = 64;

// r = 1, q = n - 1, by searches that grow with the network: for many concepts.
template <typename Cell>
void shortestPathNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out);
// The same from all shortest paths at once, n^3 steps: for a few hundred at most.
template <typename Cell>
void allPairsNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out);
inline constexpr int kAllPairsConcepts = 256;

// Either r, paths of at most q links (1 <= q < n - 1 is the useful range).
template <typename Cell>
void boundedHopNetwork(const Matrix<Cell>& d, int n, PfnetR r, int q, LinkMatrix& out);

// Sets out(j, i) wherever out(i, j) is set, tile by tile.
void mirrorLinks(LinkMatrix& out, int n);

}  // namespace qv::pfnet
