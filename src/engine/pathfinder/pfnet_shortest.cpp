// PFNET(r = 1, q = n - 1): a pair is linked when no path between its two
// concepts is strictly shorter than its distance.
//
// The pairs are taken in ascending order of distance. A path strictly shorter
// than w uses only links shorter than w, and of those only links of the
// network: any other can be replaced by a strictly shorter path, and the
// replacing stops as the lengths only fall. So when a pair of length w comes
// up, the links found so far are all such a path can need. Most pairs fall to
// a path of two links (any two, not only network links), tested first; for
// the rest, every concept has its own Dijkstra search over the network as it
// grows, advanced only as far as the pair being decided: a concept it settles
// below w is final, since every later link is at least w long. When a link
// a-b joins, each search that has settled a is offered b through it, and the
// other way round. Equal lengths need no care: a path that contains a link of
// length w is not shorter than w.
//
// Work: the pairs sorted (a radix sort on the lengths), the two-link test
// stopping at its first shorter path, and the searches, each settling only the
// concepts nearer than the longest pair it had to decide and relaxing their
// network links, plus a scan of its row each time it is advanced.

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "pathfinder/pfnet_internal.h"

namespace qv::pfnet {

namespace {

// Lengths in 32 bits below this, so that two of them still add up within them.
constexpr std::int64_t kNarrowLimit = std::int64_t{1} << 30;

// D as lengths of one type, diagonal 0: 32 bits when every sum of two fits.
template <typename Length>
class Lengths {
  public:
    template <typename Cell>
    Lengths(const Matrix<Cell>& d, int n) : n_(static_cast<std::size_t>(n)), cells_(n_ * n_, 0) {
        for (int i = 0; i < n; ++i) {
            const Cell* from = d.rowData(i);
            Length* to = row(i);
            for (int j = 0; j < n; ++j)
                if (j != i) to[j] = static_cast<Length>(units(from[j]));
        }
    }
    const Length* row(int i) const { return cells_.data() + static_cast<std::size_t>(i) * n_; }
    Length* row(int i) { return cells_.data() + static_cast<std::size_t>(i) * n_; }

  private:
    std::size_t n_;
    std::vector<Length> cells_;
};

// The length of cell (i, j) of D in the type of the search.
template <typename Length, typename Cell>
Length lengthOf(const Matrix<Cell>& d, int i, int j) {
    return static_cast<Length>(units(d.rowData(i)[j]));
}

// Some concept k other than i and j makes D(i, k) + D(k, j) < D(i, j). Read
// straight from D, whose diagonal is not read.
template <typename Length, typename Cell>
bool cutByTwoLinks(const Matrix<Cell>& d, int n, int i, int j, Length length) {
    const Cell* ri = d.rowData(i);
    const Cell* rj = d.rowData(j);
    const auto shorterIn = [&](int from, int to) {
        constexpr int kBlock = 32;  // whole blocks of a fixed size vectorise
        int k = from;
        for (; k + kBlock <= to; k += kBlock) {
            int shorter = 0;
            for (int m = 0; m < kBlock; ++m)
                shorter |= static_cast<Length>(units(ri[k + m])) +
                                       static_cast<Length>(units(rj[k + m])) <
                                   length
                               ? 1
                               : 0;
            if (shorter != 0) return true;
        }
        for (; k < to; ++k)
            if (static_cast<Length>(units(ri[k])) + static_cast<Length>(units(rj[k])) < length)
                return true;
        return false;
    };
    const int low = std::min(i, j), high = std::max(i, j);
    return shorterIn(0, low) || shorterIn(low + 1, high) || shorterIn(high + 1, n);
}

// Every pair i < j as i * n + j, shortest first: a stable radix sort of the
// lengths, 11 bits at a time, on 32-bit pair numbers (n^2 < 2^32 for the
// concept counts handed here), so the order takes a quarter of D in Currency.
template <typename Length, typename Cell>
std::vector<std::uint32_t> pairsAscending(const Matrix<Cell>& d, int n, Length longest) {
    const auto size = static_cast<std::uint32_t>(n);
    std::vector<std::uint32_t> order;
    order.reserve(static_cast<std::size_t>(n) * (n - 1) / 2);
    for (std::uint32_t i = 0; i < size; ++i)
        for (std::uint32_t j = i + 1; j < size; ++j)
            order.push_back(i * size + j);
    const auto key = [&](std::uint32_t pair) {
        return static_cast<std::uint64_t>(lengthOf<Length>(d, static_cast<int>(pair / size),
                                                           static_cast<int>(pair % size)));
    };
    constexpr int kDigitBits = 11;
    constexpr std::uint64_t kDigit = (std::uint64_t{1} << kDigitBits) - 1;
    const int lengthBits = std::bit_width(static_cast<std::uint64_t>(longest));
    std::vector<std::uint32_t> spare(lengthBits > 0 ? order.size() : 0);
    for (int shift = 0; shift < lengthBits; shift += kDigitBits) {
        std::vector<std::size_t> start(kDigit + 2, 0);
        for (const std::uint32_t pair : order)
            ++start[((key(pair) >> shift) & kDigit) + 1];
        for (std::size_t b = 1; b < start.size(); ++b)
            start[b] += start[b - 1];
        for (const std::uint32_t pair : order)
            spare[start[(key(pair) >> shift) & kDigit]++] = pair;
        order.swap(spare);
    }
    return order;
}

// A monotone priority queue for Dijkstra's search: nothing pushed is shorter
// than what was last taken out. An entry sits in the bucket of the highest bit
// in which its length differs from that last length; when bucket 0 runs dry
// the first non-empty bucket is spread out, so an entry moves at most once per
// bit and a push is an append. Looking at the shortest entry changes nothing:
// pushes may still come below it.
template <typename Length>
class RadixQueue {
  public:
    struct Entry {
        Length length;
        int node;
    };

    bool empty() const { return nonEmpty_ == 0; }
    // Empties the queue for a new search, keeping the storage.
    void clear() {
        for (std::vector<Entry>& bucket : buckets_)
            bucket.clear();
        nonEmpty_ = 0;
        last_ = 0;
    }
    void push(Entry e) { add(bucketOf(e.length), e); }
    // Needs !empty().
    Length shortest() const { return (nonEmpty_ & 1) != 0 ? last_ : shortest_[firstBucket()]; }
    Entry pop() {
        if ((nonEmpty_ & 1) == 0) {
            const std::size_t b = firstBucket();
            last_ = shortest_[b];
            std::vector<Entry> from;
            from.swap(buckets_[b]);
            nonEmpty_ &= ~(Bits{1} << b);
            // Each goes to a lower bucket than b.
            for (const Entry& e : from)
                add(bucketOf(e.length), e);
            from.clear();
            from.swap(buckets_[b]);  // keeps the storage
        }
        const Entry e = buckets_[0].back();
        buckets_[0].pop_back();
        if (buckets_[0].empty()) nonEmpty_ &= ~Bits{1};
        return e;
    }

  private:
    using Key = std::make_unsigned_t<Length>;
    using Bits = std::uint64_t;
    // Lengths stay below 2^(digits - 1), so they differ below the top bit.
    static constexpr std::size_t kBuckets = std::numeric_limits<Key>::digits;
    static_assert(kBuckets <= 64);

    std::size_t bucketOf(Length length) const {
        return static_cast<std::size_t>(
            std::bit_width(static_cast<Key>(length) ^ static_cast<Key>(last_)));
    }
    std::size_t firstBucket() const {
        return static_cast<std::size_t>(std::countr_zero(nonEmpty_ & ~Bits{1}));
    }
    void add(std::size_t b, Entry e) {
        const Bits bit = Bits{1} << b;
        shortest_[b] = (nonEmpty_ & bit) != 0 ? std::min(shortest_[b], e.length) : e.length;
        nonEmpty_ |= bit;
        buckets_[b].push_back(e);
    }

    Length last_ = 0;
    Bits nonEmpty_ = 0;
    std::array<Length, kBuckets> shortest_{};
    std::array<std::vector<Entry>, kBuckets> buckets_;
};

// One Dijkstra search per concept over the network found so far, kept as its
// row of distances alone. Distances start at `longest` (no path that matters)
// and only ever hold lengths of real paths; a search advanced to a bound holds
// the exact distance of every concept nearer than it, and has offered each
// such concept's links onwards. So a concept is settled by a search exactly
// when its distance is below the search's bound: a link still to come is no
// shorter than any bound, nor is anything it offers (the settled concepts are
// kept as bits too, to be read without a scan). Advancing takes up the
// concepts offered beyond the old bound from the row itself, so no search
// keeps a queue between advances.
template <typename Length>
class Searches {
  public:
    Searches(int n, Length longest)
        : n_(static_cast<std::size_t>(n)),
          words_((n_ + 63) / 64),
          distance_(n_ * n_, longest),
          bound_(n_, 0),
          links_(n_),
          settled_(n_ * words_, 0),
          settledBy_(n_ * words_, 0),
          settledCount_(n_, 0) {
        for (std::size_t s = 0; s < n_; ++s)
            distance_[s * n_ + s] = 0;
    }

    Length distance(int s, int t) const { return distance_[cell(s, t)]; }
    Length bound(int s) const { return bound_[static_cast<std::size_t>(s)]; }

    // Settles every concept that the search from s finds closer than `bound`.
    void advance(int s, Length bound) {
        const Length old = bound_[static_cast<std::size_t>(s)];
        if (bound <= old) return;
        bound_[static_cast<std::size_t>(s)] = bound;
        Length* row = distance_.data() + cell(s, 0);
        queue_.clear();
        for (std::size_t x = 0; x < n_; ++x)
            if (row[x] >= old && row[x] < bound) queue_.push({row[x], static_cast<int>(x)});
        while (!queue_.empty()) {
            const Entry top = queue_.pop();
            // Offers are strictly shorter each time: an older entry is longer.
            if (top.length != row[top.node]) continue;
            setBit(settledBy_, top.node, s);
            setBit(settled_, s, top.node);
            ++settledCount_[static_cast<std::size_t>(s)];
            for (const Link& link : links_[static_cast<std::size_t>(top.node)]) {
                const Length length = top.length + link.length;
                if (length >= row[link.to]) continue;
                row[link.to] = length;
                if (length < bound) queue_.push({length, link.to});
            }
        }
    }

    // Whether some concept settled by one of the searches from s and t has
    // distances from both that add up to less than `length`. The concepts of
    // the search with fewer are read, against the other's distances.
    bool meetBelow(int s, int t, Length length) const {
        if (settledCount_[static_cast<std::size_t>(t)] < settledCount_[static_cast<std::size_t>(s)])
            std::swap(s, t);
        const Length* from = distance_.data() + cell(s, 0);
        const Length* to = distance_.data() + cell(t, 0);
        const std::uint64_t* settled = settled_.data() + static_cast<std::size_t>(s) * words_;
        for (std::size_t w = 0; w < words_; ++w)
            for (std::uint64_t bits = settled[w]; bits != 0; bits &= bits - 1) {
                const std::size_t x = w * 64 + static_cast<std::size_t>(std::countr_zero(bits));
                if (from[x] + to[x] < length) return true;
            }
        return false;
    }

    void addLink(int a, int b, Length length) {
        links_[static_cast<std::size_t>(a)].push_back({b, length});
        links_[static_cast<std::size_t>(b)].push_back({a, length});
        offerThrough(a, b, length);
        offerThrough(b, a, length);
    }

  private:
    using Queue = RadixQueue<Length>;
    using Entry = typename Queue::Entry;
    struct Link {
        int to;
        Length length;
    };

    std::size_t cell(int s, int t) const {
        return static_cast<std::size_t>(s) * n_ + static_cast<std::size_t>(t);
    }

    void setBit(std::vector<std::uint64_t>& bits, int row, int column) const {
        bits[static_cast<std::size_t>(row) * words_ + static_cast<std::size_t>(column) / 64] |=
            std::uint64_t{1} << (column % 64);
    }

    // Each search that has settled a is offered b through the new link.
    // Settled distances and links are below `longest`, so no sum leaves the
    // type.
    void offerThrough(int a, int b, Length length) {
        const std::uint64_t* searches = settledBy_.data() + static_cast<std::size_t>(a) * words_;
        for (std::size_t w = 0; w < words_; ++w)
            for (std::uint64_t bits = searches[w]; bits != 0; bits &= bits - 1) {
                const int s = static_cast<int>(w * 64) + std::countr_zero(bits);
                Length& to = distance_[cell(s, b)];
                to = std::min(to, distance_[cell(s, a)] + length);
            }
    }

    std::size_t n_;
    std::size_t words_;
    std::vector<Length> distance_;
    std::vector<Length> bound_;
    std::vector<std::vector<Link>> links_;
    // A bit per search and concept settled: by search, and by concept.
    std::vector<std::uint64_t> settled_;
    std::vector<std::uint64_t> settledBy_;
    std::vector<int> settledCount_;  // by search
    Queue queue_;                    // of the search being advanced
};

// A pair of length w is cut by a path found already, by two links, or else by
// the searches from both ends, advanced until their bounds add up to w: the
// first concept of a shorter path at least h_i from i is then settled by the
// search from j, its distance from i known through its predecessor, which
// the search from i has settled (or j itself is nearer than h_i to i).
//
// Besides D and `out`: the order of the pairs, a quarter of D's size in
// Currency; the searches' distances, half of it in 32 bits (all of it for
// lengths past 2^30 units); two bits per search and concept. D is read
// directly, never copied.
template <typename Length, typename Cell>
void linkByShortestPaths(const Matrix<Cell>& d, int n, Length longest, LinkMatrix& out) {
    const std::vector<std::uint32_t> order = pairsAscending(d, n, longest);
    Searches<Length> searches(n, longest);
    const auto size = static_cast<std::uint32_t>(n);
    for (const std::uint32_t pair : order) {
        const int i = static_cast<int>(pair / size), j = static_cast<int>(pair % size);
        const Length length = lengthOf<Length>(d, i, j);
        if (searches.distance(i, j) < length || searches.distance(j, i) < length) continue;
        if (cutByTwoLinks(d, n, i, j, length)) continue;
        // The search that has gone further goes at least halfway.
        const int far = searches.bound(j) > searches.bound(i) ? j : i;
        const int near = far == i ? j : i;
        searches.advance(far, std::max(searches.bound(far), length - length / 2));
        searches.advance(near, length - searches.bound(far));
        if (searches.distance(far, near) < length || searches.distance(near, far) < length ||
            searches.meetBelow(far, near, length))
            continue;
        out(i, j) = out(j, i) = 1;
        searches.addLink(i, j, length);
    }
}

// Few concepts: every shortest path at once (Floyd and Warshall), n^3 steps
// in whole rows, less than the searches' bookkeeping up to a few hundred.
template <typename Length, typename Cell>
void linkByAllPairs(const Matrix<Cell>& d, int n, LinkMatrix& out) {
    Lengths<Length> shortest(d, n);
    for (int k = 0; k < n; ++k) {
        const Length* via = shortest.row(k);
        for (int i = 0; i < n; ++i) {
            Length* row = shortest.row(i);
            const Length first = row[k];
            for (int j = 0; j < n; ++j)
                row[j] = std::min(row[j], first + via[j]);
        }
    }
    const Lengths<Length> direct(d, n);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (!(shortest.row(i)[j] < direct.row(i)[j])) out(i, j) = out(j, i) = 1;
}

}  // namespace

template <typename Cell>
void shortestPathNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out) {
    const std::int64_t longest = longestDistance(d, n);
    if (longest < kNarrowLimit) {
        linkByShortestPaths<std::int32_t>(d, n, static_cast<std::int32_t>(longest), out);
    } else {
        linkByShortestPaths<std::uint64_t>(d, n, static_cast<std::uint64_t>(longest), out);
    }
}

template <typename Cell>
void allPairsNetwork(const Matrix<Cell>& d, int n, LinkMatrix& out) {
    if (longestDistance(d, n) < kNarrowLimit)
        linkByAllPairs<std::int32_t>(d, n, out);
    else
        linkByAllPairs<std::uint64_t>(d, n, out);
}

template void allPairsNetwork(const Matrix<Currency>&, int, LinkMatrix&);
template void allPairsNetwork(const Matrix<std::int16_t>&, int, LinkMatrix&);
template void shortestPathNetwork(const Matrix<Currency>&, int, LinkMatrix&);
template void shortestPathNetwork(const Matrix<std::int16_t>&, int, LinkMatrix&);

}  // namespace qv::pfnet
