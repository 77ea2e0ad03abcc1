#include "pathfinder/dc_network.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <limits>
#include <vector>

namespace qv {

namespace {

// A pair (i, j) is cut by one link out of i, perhaps a middle link, and one
// link into j, distinct and each shorter than L = D(i, j). No short link both
// leaves i and enters j (it would be the pair itself), so two links win
// exactly when the shortest out of i and the shortest into j do: o + q < L.
// A middle link only helps when negative, and then the shortest link of all,
// r, serves: when two links lose, r is neither o (o + q >= L with o < 0 would
// need q > L) nor, likewise, q. So the pair is cut exactly when o < L, q < L
// and o + q + min(r, 0) < L.
//
// Collecting the short links anew for every pair and scanning their triples,
// as the definition reads, costs up to n^5 per pair; these minima, found
// once, answer each pair at once.
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

LinkMatrix DCNetwork(const DistanceMatrix& d, int n, Currency unlinkedDistance) {
    return *build(d, n, unlinkedDistance, nullptr);
}

std::optional<LinkMatrix> DCNetwork(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                    const CancelFlag& cancel) {
    return build(d, n, unlinkedDistance, &cancel);
}

}  // namespace qv
