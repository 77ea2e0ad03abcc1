#pragma once

#include <initializer_list>
#include <utility>

#include "core/matrix.h"

namespace qv::testing {

// Concepts A..G are 0..6.
inline LinkMatrix network(int n, std::initializer_list<std::pair<char, char>> links) {
    LinkMatrix m(n, n);
    for (auto [a, b] : links)
        m(a - 'A', b - 'A') = m(b - 'A', a - 'A') = 1;
    return m;
}

inline LinkMatrix exampleNet1() {
    return network(7, {{'A', 'B'}, {'A', 'C'}, {'B', 'D'}, {'B', 'E'}, {'C', 'F'}, {'C', 'G'}});
}
inline LinkMatrix exampleNet2() {
    return network(7, {{'A', 'B'}, {'A', 'D'}, {'A', 'E'}, {'B', 'C'}, {'C', 'F'}, {'C', 'G'}});
}
inline LinkMatrix exampleNet3() {
    return network(7, {{'A', 'B'}, {'B', 'D'}, {'B', 'E'}, {'C', 'F'}, {'C', 'G'}});
}

}  // namespace qv::testing
