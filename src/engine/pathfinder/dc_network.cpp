#include "pathfinder/dc_network.h"

#include <cassert>

namespace qv {

namespace {

Int128 length(const DistanceMatrix& d, const ConceptPair& link) {
    return d(link.first, link.second).raw();
}

std::optional<LinkMatrix> build(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                const CancelFlag* cancel) {
    assert(n >= 0 && n <= kMaxDcConcepts && n <= d.rows() && n <= d.cols());
    const std::vector<ConceptPair> pairs = BuildPairList(n);
    LinkMatrix links(n, n, 1);
    for (int i = 0; i < n; ++i)
        links(i, i) = 0;

    std::vector<ConceptPair> shortLinks;
    std::vector<int> fromFirst;
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return std::nullopt;
            const Currency dij = d(i, j);
            if (dij.isZero()) continue;
            bool cut = dij == unlinkedDistance;
            if (!cut && !CollectShorterLinks(shortLinks, pairs, d, dij) &&
                !CollectLinksFrom(shortLinks, i, fromFirst))
                cut = ShortCombinationExists(shortLinks, d, dij, i, j);
            if (cut) {
                links(i, j) = 0;
                links(j, i) = 0;
            }
        }
    }
    return links;
}

}  // namespace

std::vector<ConceptPair> BuildPairList(int n) {
    std::vector<ConceptPair> pairs;
    if (n < 2) return pairs;
    pairs.reserve(static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1));
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b)
            pairs.push_back({static_cast<std::int16_t>(a), static_cast<std::int16_t>(b)});
    const std::size_t half = pairs.size();
    for (std::size_t t = 0; t < half; ++t)
        pairs.push_back({pairs[t].second, pairs[t].first});
    return pairs;
}

bool CollectShorterLinks(std::vector<ConceptPair>& shortLinks,
                         const std::vector<ConceptPair>& pairs, const DistanceMatrix& d,
                         Currency limit) {
    shortLinks.clear();
    for (const ConceptPair& p : pairs)
        if (d(p.first, p.second) < limit) shortLinks.push_back(p);
    return shortLinks.empty();
}

bool CollectLinksFrom(const std::vector<ConceptPair>& shortLinks, int from,
                      std::vector<int>& positions) {
    positions.clear();
    for (std::size_t t = 0; t < shortLinks.size(); ++t)
        if (shortLinks[t].first == from) positions.push_back(static_cast<int>(t));
    return positions.empty();
}

bool ShortCombinationExists(const std::vector<ConceptPair>& s, const DistanceMatrix& d,
                            Currency limit, int i, int j) {
    const Int128 bound = limit.raw();
    const std::size_t m = s.size();
    for (std::size_t t1 = 0; t1 < m; ++t1)
        if (s[t1].first == i && s[t1].second == j && length(d, s[t1]) < bound) return true;

    for (std::size_t t1 = 0; t1 < m; ++t1) {
        if (s[t1].first != i) continue;
        for (std::size_t t2 = 0; t2 < m; ++t2)
            if (s[t2].second == j && t2 != t1 && length(d, s[t1]) + length(d, s[t2]) < bound)
                return true;
    }

    for (std::size_t t1 = 0; t1 < m; ++t1) {
        if (s[t1].first != i) continue;
        for (std::size_t t2 = 0; t2 < m; ++t2) {
            if (t2 == t1) continue;
            for (std::size_t t3 = 0; t3 < m; ++t3) {
                if (s[t3].second != j || t3 == t1 || t3 == t2) continue;
                if (length(d, s[t1]) + length(d, s[t2]) + length(d, s[t3]) < bound) return true;
            }
        }
    }
    return false;
}

LinkMatrix DCNetwork(const DistanceMatrix& d, int n, Currency unlinkedDistance) {
    return *build(d, n, unlinkedDistance, nullptr);
}

std::optional<LinkMatrix> DCNetwork(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                    const CancelFlag& cancel) {
    return build(d, n, unlinkedDistance, &cancel);
}

}  // namespace qv
