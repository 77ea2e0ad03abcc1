#include "pathfinder/first_order.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

#include "core/currency.h"
#include "core/whole_units.h"

namespace qv {

namespace {

// The n x n block of D as integers: whole units in 16 bits when the values
// allow (the quiz data always do: eight lanes per vector), raw units in 64 or
// 128 bits otherwise. With every value in [-H, H) the far value 2H - 1 plus any
// value is at least H - 1, so it never makes a strictly shorter path, and two
// far values still fit the type. The diagonal holds it, so that k = i and
// k = j need no skipping, and so does the padding of each row to whole vectors.
template <typename T>
class Work {
  public:
    static constexpr bool kVector = sizeof(T) <= 8;
    static constexpr int kLanes = kVector ? static_cast<int>(16 / sizeof(T)) : 1;

    Work(int n, T far)
        : n_(n),
          stride_((n + kLanes - 1) / kLanes * kLanes),
          far_(far),
          cells_(static_cast<std::size_t>(n) * stride_, far),
          best_(static_cast<std::size_t>(stride_)) {}

    T* row(int i) { return cells_.data() + static_cast<std::size_t>(i) * stride_; }
    const T* row(int i) const { return cells_.data() + static_cast<std::size_t>(i) * stride_; }
    T far() const { return far_; }

    // best[j] = min over k of D(i, k) + D(k, j), for every j from `from` on
    // (and a few before it); the pair (i, j) is cut when best[j] < D(i, j).
    const T* shortestTwoSteps(int i, int from) {
        const int first = from / kLanes * kLanes;
        if constexpr (kVector)
            vectorMin(i, first);
        else
            scalarMin(i, first);
        return best_.data();
    }

  private:
    typedef T Lanes __attribute__((vector_size(16)));

    static Lanes splat(T value) { return Lanes{} + value; }

    void vectorMin(int i, int first) {
        const T* ri = row(i);
        const Lanes unreached = splat(far_);
        for (int jb = first; jb < stride_; jb += kLanes)
            std::memcpy(best_.data() + jb, &unreached, sizeof unreached);
        for (int k = 0; k < n_; ++k) {
            const Lanes dik = splat(ri[k]);
            const T* rk = row(k);
            for (int jb = first; jb < stride_; jb += kLanes) {
                Lanes best, step;
                std::memcpy(&best, best_.data() + jb, sizeof best);
                std::memcpy(&step, rk + jb, sizeof step);
                step += dik;
                best = step < best ? step : best;
                std::memcpy(best_.data() + jb, &best, sizeof best);
            }
        }
    }

    void scalarMin(int i, int first) {
        const T* ri = row(i);
        std::fill(best_.begin() + first, best_.end(), far_);
        for (int k = 0; k < n_; ++k) {
            if (k == i) continue;
            const T* rk = row(k);
            for (int j = first; j < stride_; ++j)
                best_[j] = std::min(best_[j], ri[k] + rk[j]);
        }
    }

    int n_;
    int stride_;
    T far_;
    std::vector<T> cells_;
    std::vector<T> best_;
};

// Whole values in [-2^13, 2^13) in 16 bits; empty when some value is not
// whole or out of that range.
std::optional<Work<std::int16_t>> wholeWork(const DistanceMatrix& d, int n) {
    Work<std::int16_t> work(n, (std::int16_t{1} << 14) - 1);
    std::uint64_t rejected = 0;
    for (int i = 0; i < n; ++i) {
        const Currency* src = d.rowData(i);
        std::int16_t* dst = work.row(i);
        for (int k = 0; k < n; ++k) {
            const std::int64_t raw = src[k].raw();
            const std::int64_t units = wholeUnits(raw);
            rejected |= notWholeBelow(raw, units, 13);
            dst[k] = static_cast<std::int16_t>(units);
        }
        dst[i] = work.far();
    }
    if (rejected != 0) return std::nullopt;
    return work;
}

template <typename T>
Work<T> rawWork(const DistanceMatrix& d, int n, T far) {
    Work<T> work(n, far);
    for (int i = 0; i < n; ++i) {
        const Currency* src = d.rowData(i);
        T* dst = work.row(i);
        for (int k = 0; k < n; ++k)
            dst[k] = src[k].raw();
        dst[i] = far;
    }
    return work;
}

// Raw values in [-2^61, 2^61) fit 64 bits; the rest take 128.
bool fits64(const DistanceMatrix& d, int n) {
    constexpr std::int64_t kBelow = std::int64_t{1} << 61;
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < n; ++k)
            if (d(i, k).raw() >= kBelow || d(i, k).raw() < -kBelow) return false;
    return true;
}

template <typename Run>
LinkMatrix withWork(const DistanceMatrix& d, int n, Run run) {
    if (auto whole = wholeWork(d, n)) return run(*whole);
    if (fits64(d, n)) {
        auto work = rawWork<std::int64_t>(d, n, (std::int64_t{1} << 62) - 1);
        return run(work);
    }
    auto work = rawWork<Int128>(d, n, (Int128{1} << 100) - 1);
    return run(work);
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
    for (int j = 1; j <= n; ++j)
        m = std::max(m, j < d.cols() ? d(0, j) : Currency{});
    return m;
}

template <typename T>
LinkMatrix triangle(Work<T>& work, const DistanceMatrix& d, int n) {
    LinkMatrix links(n, n);
    const Currency threshold = rowZeroThreshold(d, n);
    for (int i = 0; i + 1 < n; ++i) {
        const T* best = work.shortestTwoSteps(i, i + 1);
        const T* ri = work.row(i);
        const Currency* di = d.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const bool kept = (i == 0 || di[j] <= threshold) && !(best[j] < ri[j]);
            links(i, j) = links(j, i) = kept ? 1 : 0;
        }
    }
    return links;
}

template <typename T>
LinkMatrix pathSearch(Work<T>& work, const DistanceMatrix& d, int n) {
    LinkMatrix links(n, n);
    // On a symmetric D the visits (i, j) and (j, i) test the same sums.
    const bool symmetric = isSymmetric(d, n);
    for (int i = 0; i < n; ++i) {
        const int from = symmetric ? i + 1 : 0;
        const T* best = work.shortestTwoSteps(i, from);
        const T* ri = work.row(i);
        for (int j = from; j < n; ++j) {
            if (j == i) continue;
            const std::uint8_t kept = best[j] < ri[j] ? 0 : 1;
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
    return withWork(d, n, [&](auto& work) { return triangle(work, d, n); });
}

LinkMatrix FirstOrderPathSearch(const DistanceMatrix& d, int n) {
    n = std::max(n, 0);
    assert(d.rows() >= n && d.cols() >= n);
    if (n < 2) return LinkMatrix(n, n);
    return withWork(d, n, [&](auto& work) { return pathSearch(work, d, n); });
}

}  // namespace qv
