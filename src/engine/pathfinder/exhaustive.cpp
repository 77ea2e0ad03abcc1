#include "pathfinder/exhaustive.h"

#include <array>
#include <vector>

namespace qv {

namespace {

constexpr int kMaxIntermediates = 9;
// Levels up to this depth look at the cancel flag before each candidate: the
// subtree below a level-6 node (at most three more intermediates) is small
// enough for a prompt stop, and the check costs nothing measurable.
constexpr int kCancelCheckDepth = 6;

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

    bool cancelled() const {
        return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed);
    }

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

std::optional<LinkMatrix> search(const DistanceMatrix& d, int n, Currency unlinkedDistance,
                                 const CancelFlag* cancel) {
    LinkMatrix links(n, n, 1);
    for (int i = 0; i < n; ++i)
        links(i, i) = 0;
    PathSearch paths(d, n, cancel);
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            if (paths.cancelled()) return std::nullopt;
            const Currency dij = d(i, j);
            if (dij.isZero()) continue;
            if (dij == unlinkedDistance || paths.shorterPathExists(i, j)) {
                links(i, j) = 0;
                links(j, i) = 0;
            }
        }
    }
    if (paths.cancelled()) return std::nullopt;
    return links;
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
