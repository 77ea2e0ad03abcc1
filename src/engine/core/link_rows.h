#pragma once

#include <bit>
#include <cassert>
#include <cstdint>
#include <vector>

#include "core/bit_ops.h"
#include "core/matrix.h"

namespace qv {

// A network as bit rows, `words` 64-bit words per row, bit j of row i (bit
// j % 64 of word j / 64) set when cell (i, j) is non-zero; the bits past n
// are clear. A run reads each student's network this way once and hands it
// to the indices, the link flags and the graph distances.
struct LinkRows {
    int n = 0;
    int words = 0;
    std::vector<std::uint64_t> bits;  // n x words

    const std::uint64_t* row(int i) const {
        return bits.data() + static_cast<std::size_t>(i) * static_cast<std::size_t>(words);
    }
    friend bool operator==(const LinkRows&, const LinkRows&) = default;
};

// Into `out`, reusing its storage.
inline void linkRowsInto(const LinkMatrix& links, int n, LinkRows& out) {
    assert(n >= 0 && links.rows() >= n && links.cols() >= n);
    out.n = n;
    out.words = (n + 63) / 64;
    out.bits.resize(static_cast<std::size_t>(n) * static_cast<std::size_t>(out.words));
    std::uint64_t* to = out.bits.data();
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* cells = links.rowData(i);
        for (int v = 0; v < n; v += 64)
            *to++ = nonZeroBits(cells + v, n - v < 64 ? n - v : 64);
    }
}

inline bool hasLink(const LinkRows& rows, int i, int j) {
    return (rows.row(i)[j / 64] >> (j % 64)) & 1u;
}

// Calls visit(i, j) for every link i < j, row by row.
template <typename Visit>
void forEachUpperLink(const LinkRows& rows, Visit visit) {
    for (int i = 0; i < rows.n; ++i) {
        const std::uint64_t* bits = rows.row(i);
        for (int w = (i + 1) / 64; w < rows.words; ++w) {
            std::uint64_t word = bits[w];
            if (w == (i + 1) / 64) word &= ~std::uint64_t{0} << ((i + 1) % 64);
            for (; word != 0; word &= word - 1)
                visit(i, 64 * w + std::countr_zero(word));
        }
    }
}

// The rows back as a matrix of 0/1 cells, into `out`.
inline void linkMatrixInto(const LinkRows& rows, LinkMatrix& out) {
    out.resizeSquare(rows.n);
    for (int i = 0; i < rows.n; ++i) {
        std::uint8_t* cells = out.rowData(i);
        const std::uint64_t* bits = rows.row(i);
        for (int j = 0; j < rows.n; ++j)
            cells[j] = static_cast<std::uint8_t>((bits[j / 64] >> (j % 64)) & 1u);
    }
}

inline LinkMatrix linkMatrix(const LinkRows& rows) {
    LinkMatrix m;
    linkMatrixInto(rows, m);
    return m;
}

inline LinkRows linkRows(const LinkMatrix& links, int n) {
    LinkRows r;
    linkRowsInto(links, n, r);
    return r;
}

}  // namespace qv
