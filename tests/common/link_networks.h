#pragma once

#include <initializer_list>
#include <set>
#include <tuple>
#include <utility>

#include "core/matrix.h"

namespace qv::test {

// A symmetric network of n concepts with the given links (0-based pairs).
inline LinkMatrix linkNetwork(int n, std::initializer_list<std::pair<int, int>> links) {
    LinkMatrix m(n, n);
    for (auto [i, j] : links)
        m(i, j) = m(j, i) = 1;
    return m;
}

// The linked pairs i < j of a network.
inline std::set<std::pair<int, int>> linkedPairs(const LinkMatrix& links) {
    std::set<std::pair<int, int>> out;
    for (int i = 0; i < links.rows(); ++i)
        for (int j = i + 1; j < links.cols(); ++j)
            if (links(i, j) != 0) out.insert({i, j});
    return out;
}

// Symmetric, with a clear diagonal.
inline bool wellFormed(const LinkMatrix& links) {
    for (int i = 0; i < links.rows(); ++i)
        for (int j = 0; j < links.cols(); ++j)
            if ((i == j && links(i, j) != 0) || (links(i, j) != 0) != (links(j, i) != 0))
                return false;
    return true;
}

// An n x n matrix with `other` everywhere off the diagonal and the listed
// symmetric entries.
inline DistanceMatrix symmetricMatrix(int n, double other,
                                      std::initializer_list<std::tuple<int, int, double>> entries) {
    DistanceMatrix d(n, n, Currency::fromDouble(other));
    for (int i = 0; i < n; ++i)
        d(i, i) = Currency{};
    for (const auto& [a, b, v] : entries)
        d(a, b) = d(b, a) = Currency::fromDouble(v);
    return d;
}

}  // namespace qv::test
