#include "compare/graph_distance.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

#include "core/bit_ops.h"

namespace qv {

namespace {}  // namespace

GraphDistanceMatrix PointDistanceNO(const LinkMatrix& links, int n) {
    GraphDistanceMatrix out;
    PointDistanceNOInto(links, n, out);
    return out;
}

void PointDistanceNOInto(const LinkMatrix& links, int n, GraphDistanceMatrix& out) {
    PointDistanceNOInto(linkRows(links, std::max(n, 0)), out);
}

void PointDistanceNOInto(const LinkRows& links, GraphDistanceMatrix& out) {
    // Each set straight into both halves of the matrix.
    struct Write {
        GraphDistanceMatrix& out;
        std::vector<std::int16_t*>& rows;
        void level(int i, int length, const std::uint64_t* set) {
            std::int16_t* row = rows[static_cast<std::size_t>(i)];
            for (int w = 0; w < out.cols(); w += 64)
                for (std::uint64_t f = set[w / 64]; f; f &= f - 1) {
                    const auto j = static_cast<std::size_t>(w + std::countr_zero(f));
                    row[j] = rows[j][i] = static_cast<std::int16_t>(length);
                }
        }
    };
    out.resize(links.n, links.n);
    out.fill(0);
    thread_local std::vector<std::int16_t*> rows;
    rows.resize(static_cast<std::size_t>(links.n));
    for (int i = 0; i < links.n; ++i)
        rows[static_cast<std::size_t>(i)] = out.rowData(i);
    Write write{out, rows};
    searchLevelsOf(links, write);
}

}  // namespace qv
