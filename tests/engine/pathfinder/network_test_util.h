#pragma once

#include <initializer_list>
#include <set>
#include <utility>

#include "core/matrix.h"

namespace qv::testing {

// An n x n matrix with `other` everywhere off the diagonal and the listed
// symmetric entries.
inline DistanceMatrix symmetricMatrix(int n, double other,
                                      std::initializer_list<std::tuple<int, int, double>> entries) {
    DistanceMatrix d(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            d(i, j) = i == j ? Currency{} : Currency::fromDouble(other);
    for (const auto& [a, b, v] : entries)
        d(a, b) = d(b, a) = Currency::fromDouble(v);
    return d;
}

// The linked pairs i < j of a link matrix.
inline std::set<std::pair<int, int>> linkedPairs(const LinkMatrix& links) {
    std::set<std::pair<int, int>> out;
    for (int i = 0; i < links.rows(); ++i)
        for (int j = i + 1; j < links.cols(); ++j)
            if (links(i, j) != 0) out.insert({i, j});
    return out;
}

// Symmetric, with a clear diagonal.
inline bool wellFormed(const LinkMatrix& links) {
    for (int i = 0; i < links.rows(); ++i) {
        if (links(i, i) != 0) return false;
        for (int j = 0; j < links.cols(); ++j)
            if ((links(i, j) != 0) != (links(j, i) != 0)) return false;
    }
    return true;
}

}  // namespace qv::testing
