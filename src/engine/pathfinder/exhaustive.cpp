#include "pathfinder/exhaustive.h"

#include <algorithm>
#include <array>
#include <vector>

namespace qv {

namespace {

constexpr int kMaxIntermediates = 9;
// Levels up to this depth look at the cancel flag before each candidate: the
// subtree below a level-6 node (at most three more intermediates) is small
// enough for a prompt stop, and the check costs nothing measurable.
constexpr int kCancelCheckDepth = 6;

bool cancelled(const CancelFlag* cancel) {
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

class PathSearch {
  public:
    PathSearch(const DistanceMatrix& d, int n, const CancelFlag* cancel)
        : d_(d), n_(n), cancel_(cancel), used_(static_cast<std::size_t>(n), 0) {}

    // True when a path through 1..9 distinct intermediates is strictly
    // shorter than D(i, j).
    bool shorterPathExists(int i, int j) {
        i_ = i;
        j_ = j;
        limit_ = d_(i, j).raw();
        used_[static_cast<std::size_t>(i)] = 1;
        used_[static_cast<std::size_t>(j)] = 1;
        const bool found = level(1);
        used_[static_cast<std::size_t>(i)] = 0;
        used_[static_cast<std::size_t>(j)] = 0;
        return found;
    }

    bool cancelled() const { return qv::cancelled(cancel_); }

  private:
    bool level(int m) {
        if (n_ < m + 2) return false;  // too few concepts for m distinct intermediates
        for (int k = 0; k < n_; ++k) {
            if (used_[static_cast<std::size_t>(k)]) continue;
            if (m <= kCancelCheckDepth && cancelled()) return false;
            path_[static_cast<std::size_t>(m)] = k;
            if (pathLength(m) < limit_) return true;
            if (m < kMaxIntermediates) {
                used_[static_cast<std::size_t>(k)] = 1;
                const bool found = level(m + 1);
                used_[static_cast<std::size_t>(k)] = 0;
                if (found) return true;
            }
        }
        return false;
    }

    // i -> k1 -> ... -> km -> j, summed from scratch. 128 bits so that no
    // matrix of Currency values can overflow the sum of ten links.
    Int128 pathLength(int m) const {
        Int128 sum = d_(i_, path_[1]).raw();
        for (int t = 1; t < m; ++t)
            sum += d_(path_[static_cast<std::size_t>(t)], path_[static_cast<std::size_t>(t) + 1])
                       .raw();
        sum += d_(path_[static_cast<std::size_t>(m)], j_).raw();
        return sum;
    }

    const DistanceMatrix& d_;
    const int n_;
    const CancelFlag* cancel_;
    std::vector<unsigned char> used_;
    std::array<int, kMaxIntermediates + 1> path_{};  // path_[1..m]
    int i_ = 0;
    int j_ = 0;
    Int128 limit_ = 0;
};

bool hasNegativeLink(const DistanceMatrix& d, int n) {
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b)
            if (a != b && d(a, b).raw() < 0) return true;
    return false;
}

// Without negative distances a walk sheds its cycles without growing or
// gaining links, and what remains of a walk from i to j is a simple path; a
// walk that uses the link i -> j itself is at least D(i, j) long. So a simple
// path of two to ten links strictly shorter than D(i, j) exists exactly when
// a walk of at most ten links does. The shortest such walks into j, which may
// as well end at their first arrival, follow from nine rounds of relaxation
// of n^2 steps each, where the depth-first search tries up to n^9 paths per
// pair. Each round reads only the one before, so walks gain one link a round.
class ShortWalks {
  public:
    ShortWalks(const DistanceMatrix& d, int n)
        : d_(d), n_(n), best_(static_cast<std::size_t>(n)), next_(static_cast<std::size_t>(n)) {}

    // Makes from(k) the length of the shortest walk of at most ten links from
    // k into `target`. False when cancelled.
    bool into(int target, const CancelFlag* cancel) {
        const auto n = static_cast<std::size_t>(n_);
        const auto j = static_cast<std::size_t>(target);
        for (std::size_t k = 0; k < n; ++k)
            best_[k] = d_(static_cast<int>(k), target).raw();
        for (int links = 2; links <= kMaxIntermediates + 1; ++links) {
            if (cancelled(cancel)) return false;
            bool changed = false;
            for (std::size_t k = 0; k < n; ++k) {
                if (k == j) continue;
                const Currency* row = d_.rowData(static_cast<int>(k));
                Int128 shortest = best_[k];
                for (std::size_t w = 0; w < n; ++w) {
                    if (w == k || w == j) continue;
                    shortest = std::min(shortest, best_[w] + row[w].raw());
                }
                changed = changed || shortest != best_[k];
                next_[k] = shortest;
            }
            if (!changed) break;
            best_.swap(next_);
        }
        return true;
    }

    Int128 from(int k) const { return best_[static_cast<std::size_t>(k)]; }

  private:
    const DistanceMatrix& d_;
    const int n_;
    std::vector<Int128> best_;
    std::vector<Int128> next_;
};

LinkMatrix allLinked(int n) {
    LinkMatrix links(n, n, 1);
    for (int i = 0; i < n; ++i)
        links(i, i) = 0;
    return links;
}

void cut(LinkMatrix& links, int i, int j) {
    links(i, j) = 0;
    links(j, i) = 0;
}

std::optional<LinkMatrix> walkSearch(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                     const CancelFlag* cancel) {
    LinkMatrix links = allLinked(n);
    ShortWalks walks(d, n);
    for (int j = 1; j < n; ++j) {
        if (!walks.into(j, cancel)) return std::nullopt;
        for (int i = 0; i < j; ++i) {
            const Currency dij = d(i, j);
            if (!dij.isZero() && (dij == unlinkedDistance || walks.from(i) < dij.raw()))
                cut(links, i, j);
        }
    }
    if (cancelled(cancel)) return std::nullopt;
    return links;
}

std::optional<LinkMatrix> pathSearch(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                     const CancelFlag* cancel) {
    LinkMatrix links = allLinked(n);
    PathSearch paths(d, n, cancel);
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (paths.cancelled()) return std::nullopt;
            const Currency dij = d(i, j);
            if (dij.isZero()) continue;
            if (dij == unlinkedDistance || paths.shorterPathExists(i, j)) cut(links, i, j);
        }
    }
    if (paths.cancelled()) return std::nullopt;
    return links;
}

std::optional<LinkMatrix> search(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                 const CancelFlag* cancel) {
    return hasNegativeLink(d, n) ? pathSearch(d, n, unlinkedDistance, cancel)
                                 : walkSearch(d, n, unlinkedDistance, cancel);
}

}  // namespace

LinkMatrix ExhaustivePathFinder(const DistanceMatrix& d, int n, Currency unlinkedDistance) {
    return *search(d, n, unlinkedDistance, nullptr);
}

std::optional<LinkMatrix> ExhaustivePathFinder(const DistanceMatrix& d, int n,
                                               Currency unlinkedDistance,
                                               const CancelFlag& cancel) {
    return search(d, n, unlinkedDistance, &cancel);
}

}  // namespace qv
