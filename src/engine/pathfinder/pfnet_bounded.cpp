// PFNET(r, q) for q below n - 1: the best path of at most q links between every
// two concepts is entry (i, j) of the q-th power of D in the min-max algebra
// (r = infinity) or the min-plus algebra (r = 1), where a zero diagonal lets a
// path of fewer links count. Powers by squaring: about 2 log2 q products of
// n^3 steps. Entries stop at the longest distance of D: a path that long never
// cuts a pair, and the cap keeps every sum of two entries far from wrapping.

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "pathfinder/pfnet_internal.h"

namespace qv::pfnet {

namespace {

template <typename Length>
class Powers {
  public:
    Powers(int n, PfnetR r, Length cap) : n_(static_cast<std::size_t>(n)), r_(r), cap_(cap) {}

    // x times y, both n x n, row-major.
    std::vector<Length> product(const std::vector<Length>& x, const std::vector<Length>& y) const {
        return r_ == PfnetR::One
                   ? productOf(x, y, [](Length a, Length b) { return a + b; })
                   : productOf(x, y, [](Length a, Length b) { return std::max(a, b); });
    }

    std::vector<Length> power(std::vector<Length> base, int q) const {
        std::vector<Length> result;
        for (;;) {
            if ((q & 1) != 0) result = result.empty() ? base : product(result, base);
            q >>= 1;
            if (q == 0) return result;
            base = product(base, base);
        }
    }

  private:
    template <typename Join>
    std::vector<Length> productOf(const std::vector<Length>& x, const std::vector<Length>& y,
                                  Join join) const {
        std::vector<Length> z(n_ * n_, cap_);
        for (std::size_t i = 0; i < n_; ++i) {
            Length* zi = z.data() + i * n_;
            for (std::size_t k = 0; k < n_; ++k) {
                const Length xik = x[i * n_ + k];
                if (xik >= cap_) continue;
                const Length* yk = y.data() + k * n_;
                for (std::size_t j = 0; j < n_; ++j)
                    zi[j] = std::min(zi[j], join(xik, yk[j]));
            }
        }
        return z;
    }

    std::size_t n_;
    PfnetR r_;
    Length cap_;
};

template <typename Length, typename Cell>
void linkByPower(const Matrix<Cell>& d, int n, PfnetR r, int q, Length cap, LinkMatrix& out) {
    const auto size = static_cast<std::size_t>(n);
    std::vector<Length> base(size * size, 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j)
                base[static_cast<std::size_t>(i) * size + static_cast<std::size_t>(j)] =
                    static_cast<Length>(units(d(i, j)));
    const std::vector<Length> best = Powers<Length>(n, r, cap).power(base, q);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const std::size_t c = static_cast<std::size_t>(i) * size + static_cast<std::size_t>(j);
            if (!(best[c] < base[c])) out(i, j) = out(j, i) = 1;
        }
}

}  // namespace

template <typename Cell>
void boundedHopNetwork(const Matrix<Cell>& d, int n, PfnetR r, int q, LinkMatrix& out) {
    const std::int64_t cap = longestDistance(d, n);
    // Narrow entries when two of them still add up within 32 bits.
    if (cap <= std::numeric_limits<std::int32_t>::max())
        linkByPower<std::uint32_t>(d, n, r, q, static_cast<std::uint32_t>(cap), out);
    else
        linkByPower<std::uint64_t>(d, n, r, q, static_cast<std::uint64_t>(cap), out);
}

template void boundedHopNetwork(const Matrix<Currency>&, int, PfnetR, int, LinkMatrix&);
template void boundedHopNetwork(const Matrix<std::int16_t>&, int, PfnetR, int, LinkMatrix&);

}  // namespace qv::pfnet
