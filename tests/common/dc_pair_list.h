#pragma once

#include <cstdint>
#include <vector>

#include "core/currency.h"
#include "core/matrix.h"

namespace qv::test {

// The pair-by-pair steps that define DCNetwork, kept here to check the
// engine's shortcut against them.

// A directed link: it leaves `first` and enters `second`.
struct ConceptPair {
    std::int16_t first = 0;
    std::int16_t second = 0;
};

// Every ordered pair of distinct concepts: (a, b) with a < b, a ascending and
// b ascending within a; then the same pairs reversed in the same order.
inline std::vector<ConceptPair> BuildPairList(int n) {
    std::vector<ConceptPair> pairs;
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            pairs.push_back({static_cast<std::int16_t>(a), static_cast<std::int16_t>(b)});
    const std::size_t half = pairs.size();
    for (std::size_t t = 0; t < half; ++t)
        pairs.push_back({pairs[t].second, pairs[t].first});
    return pairs;
}

// The entries of `pairs`, in their order, strictly shorter than `limit`, into
// `shortLinks`; true when there is none.
inline bool CollectShorterLinks(std::vector<ConceptPair>& shortLinks,
                                const std::vector<ConceptPair>& pairs, const DistanceMatrix& d,
                                Currency limit) {
    shortLinks.clear();
    for (const ConceptPair& p : pairs)
        if (d(p.first, p.second) < limit) shortLinks.push_back(p);
    return shortLinks.empty();
}

// The positions in `shortLinks` of the links leaving `from`; true when there is none.
inline bool CollectLinksFrom(const std::vector<ConceptPair>& shortLinks, int from,
                             std::vector<int>& positions) {
    positions.clear();
    for (std::size_t t = 0; t < shortLinks.size(); ++t)
        if (shortLinks[t].first == from) positions.push_back(static_cast<int>(t));
    return positions.empty();
}

// One, two or three distinct short links, the first leaving i and the last
// entering j, adding up to strictly less than `limit`; the links need not meet.
inline bool ShortCombinationExists(const std::vector<ConceptPair>& s, const DistanceMatrix& d,
                                   Currency limit, int i, int j) {
    const auto length = [&](std::size_t t) { return Int128{d(s[t].first, s[t].second).raw()}; };
    const Int128 bound = limit.raw();
    const std::size_t m = s.size();
    for (std::size_t t1 = 0; t1 < m; ++t1) {
        if (s[t1].first != i) continue;
        if (s[t1].second == j && length(t1) < bound) return true;
        for (std::size_t t2 = 0; t2 < m; ++t2) {
            if (t2 == t1) continue;
            if (s[t2].second == j && length(t1) + length(t2) < bound) return true;
            for (std::size_t t3 = 0; t3 < m; ++t3)
                if (s[t3].second == j && t3 != t1 && t3 != t2 &&
                    length(t1) + length(t2) + length(t3) < bound)
                    return true;
        }
    }
    return false;
}

}  // namespace qv::test
