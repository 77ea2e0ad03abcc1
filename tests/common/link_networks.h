#pragma once

#include <initializer_list>
#include <utility>

#include "core/matrix.h"

namespace qv::test {

// A symmetric network of n concepts with the given links (0-based pairs).
inline LinkMatrix linkNetwork(int n, std::initializer_list<std::pair<int, int>> links) {
    LinkMatrix m(n, n);
    for (auto [i, j] : links) m(i, j) = m(j, i) = 1;
    return m;
}

}  // namespace qv::test
