#pragma once

#include <cstdint>
#include <vector>

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

// The same distances as sets: for each concept i and each length 1 .. 7, the
// concepts j > i at that distance, as bit rows. Sums over the pairs then take
// a popcount per set instead of a read per cell.
struct GraphLevels {
    static constexpr int kLongest = 7;
    int n = 0;
    int words = 0;
    std::vector<std::uint64_t> bits;  // n x kLongest x words
    // Lengths of i's sets that were filled; the sets past them are not.
    std::vector<std::uint8_t> depth;

    const std::uint64_t* level(int i, int length) const {
        return bits.data() +
               (static_cast<std::size_t>(i) * kLongest + static_cast<std::size_t>(length - 1)) *
                   static_cast<std::size_t>(words);
    }
};
void graphLevelsInto(const LinkRows& links, GraphLevels& out);
// The matrix of the levels, both halves.
void graphDistanceInto(const GraphLevels& levels, GraphDistanceMatrix& out);

}  // namespace qv
