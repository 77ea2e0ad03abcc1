#include "pathfinder/first_order.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <vector>

namespace qv {

namespace {

// The n x n block of D as raw fixed-point values in one of two integer widths:
// 32 bits when every |value| < 2^30 (so a sum of two cannot overflow and the
// triangle test runs four or eight lanes wide), 64 bits otherwise. `cols`
// holds the transpose so that D(k, j) over k is contiguous; for a symmetric D
// it is the rows themselves.
template <typename T>
class RawDistances {
  public:
    RawDistances(const DistanceMatrix& d, int n, bool symmetric) : n_(n), symmetric_(symmetric) {
        const auto size = static_cast<std::size_t>(n) * n;
        rows_.resize(size);
        for (int i = 0; i < n; ++i) {
            const Currency* src = d.rowData(i);
            T* dst = rows_.data() + static_cast<std::size_t>(i) * n;
            for (int k = 0; k < n; ++k)
                dst[k] = static_cast<T>(src[k].raw());
        }
        if (symmetric_) return;
        cols_.resize(size);
        for (int i = 0; i < n; ++i)
            for (int k = 0; k < n; ++k)
                cols_[static_cast<std::size_t>(k) * n + i] = at(i, k);
    }

    T at(int i, int j) const { return rows_[static_cast<std::size_t>(i) * n_ + j]; }

    // True when some k other than i and j gives D(i, k) + D(k, j) < D(i, j).
    bool cut(int i, int j) const {
        const T* ri = rows_.data() + static_cast<std::size_t>(i) * n_;
        const T* cj = (symmetric_ ? rows_.data() : cols_.data()) + static_cast<std::size_t>(j) * n_;
        const T dij = ri[j];
        // Count over every k without a branch, then take back k = i and k = j.
        int shorter = 0;
        for (int k = 0; k < n_; ++k)
            shorter += (ri[k] + cj[k] < dij) ? 1 : 0;
        shorter -= (ri[i] + cj[i] < dij) ? 1 : 0;
        shorter -= (ri[j] + cj[j] < dij) ? 1 : 0;
        return shorter > 0;
    }

  private:
    int n_;
    bool symmetric_;
    std::vector<T> rows_;
    std::vector<T> cols_;
};

bool fitsNarrow(const DistanceMatrix& d, int n) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 30;
    for (int i = 0; i < n; ++i) {
        const Currency* row = d.rowData(i);
        for (int k = 0; k < n; ++k)
            if (row[k].raw() >= kLimit || row[k].raw() <= -kLimit) return false;
    }
    return true;
}

bool isSymmetric(const DistanceMatrix& d, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (d(i, j) != d(j, i)) return false;
    return true;
}

// The largest of 0 and D(0, 1) ... D(0, n); D(0, n) is the spare entry, 0
// unless the caller's matrix is wider than n.
Currency rowZeroThreshold(const DistanceMatrix& d, int n) {
    Currency m;
    for (int j = 1; j <= n; ++j) {
        const Currency v = j < d.cols() ? d(0, j) : Currency{};
        m = std::max(m, v);
    }
    return m;
}

template <typename T>
LinkMatrix triangle(const DistanceMatrix& d, int n) {
    LinkMatrix links(n, n);
    const RawDistances<T> raw(d, n, isSymmetric(d, n));
    const std::int64_t threshold = rowZeroThreshold(d, n).raw();
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            const bool kept = (i == 0 || raw.at(i, j) <= threshold) && !raw.cut(i, j);
            links(i, j) = links(j, i) = kept ? 1 : 0;
        }
    }
    return links;
}

template <typename T>
LinkMatrix pathSearch(const DistanceMatrix& d, int n) {
    LinkMatrix links(n, n);
    const bool symmetric = isSymmetric(d, n);
    const RawDistances<T> raw(d, n, symmetric);
    // On a symmetric D the visits (i, j) and (j, i) test the same sums.
    for (int i = 0; i < n; ++i) {
        for (int j = symmetric ? i + 1 : 0; j < n; ++j) {
            if (i == j) continue;
            const std::uint8_t kept = raw.cut(i, j) ? 0 : 1;
            links(i, j) = kept;
            if (symmetric) links(j, i) = kept;
        }
    }
    return links;
}

}  // namespace

LinkMatrix FirstOrderTriangle(const DistanceMatrix& d, int n) {
    n = std::max(n, 0);
    assert(d.rows() >= n && d.cols() >= n);
    if (n < 2) return LinkMatrix(n, n);
    return fitsNarrow(d, n) ? triangle<std::int32_t>(d, n) : triangle<std::int64_t>(d, n);
}

LinkMatrix FirstOrderPathSearch(const DistanceMatrix& d, int n) {
    n = std::max(n, 0);
    assert(d.rows() >= n && d.cols() >= n);
    if (n < 2) return LinkMatrix(n, n);
    return fitsNarrow(d, n) ? pathSearch<std::int32_t>(d, n) : pathSearch<std::int64_t>(d, n);
}

}  // namespace qv
