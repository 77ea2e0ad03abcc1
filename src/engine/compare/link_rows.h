#pragma once

#include <array>
#include <cassert>
#include <cstdint>

#include "core/bit_ops.h"
#include "core/matrix.h"

namespace qv {

// A network of up to 64 concepts as one word per row, bit j of row i set when
// cell (i, j) is non-zero. A run reads each student's network this way once
// and hands it to the indices, the link flags and the graph distances.
struct LinkRows {
    static constexpr int kMaxConcepts = 64;
    int n = 0;
    std::array<std::uint64_t, kMaxConcepts> rows{};
};

inline LinkRows linkRows(const LinkMatrix& links, int n) {
    assert(n >= 0 && n <= LinkRows::kMaxConcepts && links.rows() >= n && links.cols() >= n);
    LinkRows r;
    r.n = n;
    for (int i = 0; i < n; ++i)
        r.rows[static_cast<std::size_t>(i)] = nonZeroBits(links.rowData(i), n);
    return r;
}

}  // namespace qv
