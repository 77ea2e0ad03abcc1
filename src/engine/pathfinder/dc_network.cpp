#include "pathfinder/dc_network.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>

namespace qv {

namespace {

Int128 length(const DistanceMatrix& d, const ConceptPair& link) {
    return d(link.first, link.second).raw();
}

// A pair (i, j) is cut by one link out of i, perhaps a middle link, and one
// link into j, distinct and each shorter than L = D(i, j). No short link both
// leaves i and enters j (it would be the pair itself), so two links win
// exactly when the shortest out of i and the shortest into j do: o + q < L.
// A middle link only helps when negative, and then the shortest link of all,
// r, serves: when two links lose, r is neither o (o + q >= L with o < 0 would
// need q > L) nor, likewise, q. So the pair is cut exactly when o < L, q < L
// and o + q + min(r, 0) < L.
//
// Collecting the short links anew for every pair and scanning their triples
// to the end for every pair that stays linked cost up to n^5 per pair; these
// minima, found once, answer each pair at once.
std::optional<LinkMatrix> build(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                const CancelFlag* cancel) {
    assert(n >= 0 && n <= kMaxDcConcepts && n <= d.rows() && n <= d.cols());
    constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::max();
    const auto count = static_cast<std::size_t>(n);
    std::vector<std::int64_t> shortestOut(count, kNone), shortestIn(count, kNone);
    std::int64_t shortest = kNone;
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            if (a == b) continue;
            const std::int64_t len = d(a, b).raw();
            auto& out = shortestOut[static_cast<std::size_t>(a)];
            auto& in = shortestIn[static_cast<std::size_t>(b)];
            out = std::min(out, len);
            in = std::min(in, len);
            shortest = std::min(shortest, len);
        }
    const Int128 middle = std::min<std::int64_t>(shortest, 0);

    LinkMatrix links(n, n, 1);
    for (int i = 0; i < n; ++i)
        links(i, i) = 0;
    for (int i = 0; i + 1 < n; ++i) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) return std::nullopt;
        const std::int64_t out = shortestOut[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < n; ++j) {
            const Currency dij = d(i, j);
            if (dij.isZero()) continue;
            const std::int64_t limit = dij.raw();
            const std::int64_t in = shortestIn[static_cast<std::size_t>(j)];
            if (dij == unlinkedDistance ||
                (out < limit && in < limit && out + middle + in < limit)) {
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
