#pragma once

#include <vector>

#include "core/currency.h"
#include "core/matrix.h"

namespace qv::test {

// The exhaustive network by its definition: a pair i < j stays linked when
// D(i, j) is 0, or it is not `unlinked` and no simple path i -> ... -> j
// through one to nine distinct intermediates is strictly shorter, every path
// tried depth first.
inline LinkMatrix plainExhaustiveNetwork(const DistanceMatrix& d, int n, Currency unlinked) {
    std::vector<char> used(static_cast<std::size_t>(n), 0);
    // Whether a path that has come `links` links and `length` to `at` reaches
    // j below `limit` through unused concepts.
    const auto shorter = [&](const auto& self, int at, int j, Int128 length, int links,
                             Int128 limit) -> bool {
        if (links >= 1 && length + d(at, j).raw() < limit) return true;
        if (links == 9) return false;
        for (int k = 0; k < n; ++k) {
            if (used[static_cast<std::size_t>(k)]) continue;
            used[static_cast<std::size_t>(k)] = 1;
            const bool found = self(self, k, j, length + d(at, k).raw(), links + 1, limit);
            used[static_cast<std::size_t>(k)] = 0;
            if (found) return true;
        }
        return false;
    };
    LinkMatrix links(n, n, 1);
    for (int i = 0; i < n; ++i)
        links(i, i) = 0;
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const Currency dij = d(i, j);
            if (dij.isZero()) continue;
            used.assign(used.size(), 0);
            used[static_cast<std::size_t>(i)] = used[static_cast<std::size_t>(j)] = 1;
            if (dij == unlinked || shorter(shorter, i, j, 0, 0, dij.raw()))
                links(i, j) = links(j, i) = 0;
        }
    return links;
}

}  // namespace qv::test
