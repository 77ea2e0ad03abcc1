#include "compare/indices.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/bit_ops.h"
#include "core/currency.h"
#include "core/kernels.h"
#include "core/number_text.h"
#include "core/whole_units.h"

namespace qv {

namespace {

double pairCount(int n) {
    return static_cast<double>(static_cast<std::int64_t>(n) * (n - 1) / 2);
}

// r from the two variances and the co-deviation; empty when a variance is not
// positive (every cell of one side equal).
std::optional<double> correlation(double vx, double vy, double covariance) {
    if (!(vx > 0) || !(vy > 0)) return std::nullopt;
    return covariance / (std::sqrt(vx) * std::sqrt(vy));
}

// The five sums behind a correlation, over the pairs i < j.
template <typename T>
struct PairSums {
    T sx{}, sy{}, sxx{}, syy{}, sxy{};
};

// The sums of two matrices' upper triangles; `value` reads a cell into T and
// `times` multiplies two of them as the index prescribes.
template <typename T, typename MX, typename MY, typename Value, typename Times>
PairSums<T> pairSums(const MX& xm, const MY& ym, int n, Value value, Times times) {
    PairSums<T> s;
    for (int i = 0; i + 1 < n; ++i) {
        const auto* xs = xm.rowData(i);
        const auto* ys = ym.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const T x = value(xs[j]), y = value(ys[j]);
            s.sx += x;
            s.sy += y;
            s.sxx += times(x, x);
            s.syy += times(y, y);
            s.sxy += times(x, y);
        }
    }
    return s;
}

const auto kPlainProduct = [](std::int64_t a, std::int64_t b) { return a * b; };
const auto kAsInteger = [](auto cell) { return static_cast<std::int64_t>(cell); };

// Whole-number distances below 2^13 in magnitude (the quiz data give nothing
// else), up to 4096 concepts: every product is exact and every sum stays
// below 2^49 units, so PRX may sum whole units instead of rounded products.
constexpr int kMaxWholeSumConcepts = 4096;
constexpr int kWholeBits = 13;

bool wholeCells(const DistanceMatrix& m, int n) {
    if (n > kMaxWholeSumConcepts) return false;
    std::uint64_t rejected = 0;
    for (int i = 0; i + 1 < n; ++i) {
        const Currency* row = m.rowData(i);
        for (int j = i + 1; j < n; ++j)
            rejected |= notWholeBelow(row[j].raw(), wholeUnits(row[j].raw()), kWholeBits);
    }
    return rejected == 0;
}

// Whole units as the Currency values they stand for.
PairSums<Currency> asMoney(const PairSums<std::int64_t>& s) {
    return {Currency::fromInt(s.sx), Currency::fromInt(s.sy), Currency::fromInt(s.sxx),
            Currency::fromInt(s.syy), Currency::fromInt(s.sxy)};
}

// PRX's sums as it defines them, each product rounded as Currency rounds it.
PairSums<Currency> prxSums(const DistanceMatrix& xm, const DistanceMatrix& ym, int n) {
    return pairSums<Currency>(
        xm, ym, n, [](Currency c) { return c; }, [](Currency a, Currency b) { return a * b; });
}

// A row's common and either counts are the set bits of the AND and the OR.
QV_KERNEL std::optional<double> pfcSum(const LinkRows& stdLinks, const LinkRows& target) {
    double sum = 0;
    for (int i = 0; i < target.n; ++i) {
        const std::uint64_t* s = stdLinks.row(i);
        const std::uint64_t* t = target.row(i);
        int common = 0, either = 0;
        for (int w = 0; w < target.words; ++w) {
            common += countBits(s[w] & t[w]);
            either += countBits(s[w] | t[w]);
        }
        if (either == 0) return std::nullopt;
        sum += static_cast<double>(common) / either;
    }
    return sum;
}

}  // namespace

std::optional<double> PfcIndex(const LinkMatrix& stdLinks, const LinkMatrix& target, int n) {
    if (n < 1) return std::nullopt;
    return PfcIndex(linkRows(stdLinks, n), linkRows(target, n));
}

std::optional<double> PfcIndex(const LinkRows& stdLinks, const LinkRows& target) {
    assert(stdLinks.n == target.n && stdLinks.words == target.words);
    if (target.n < 1) return std::nullopt;
    const std::optional<double> sum = pfcSum(stdLinks, target);
    if (!sum) return std::nullopt;
    return roundIndex(*sum / target.n);
}

namespace {

std::optional<double> gtdFromSums(const PairSums<std::int64_t>& s, int n) {
    const double p = pairCount(n);
    const auto sx2 = static_cast<Int128>(s.sx) * s.sx;
    const auto sy2 = static_cast<Int128>(s.sy) * s.sy;
    const auto sxsy = static_cast<Int128>(s.sx) * s.sy;
    const double vx = static_cast<double>(s.sxx) - static_cast<double>(sx2) / p;
    const Currency q = Currency::fromDouble(static_cast<double>(sy2) / p);
    const double vy = (Currency::fromInt(s.syy) - q).toDouble();
    return correlation(vx, vy, static_cast<double>(s.sxy) - static_cast<double>(sxsy) / p);
}

// One side without spread (every pair linked, or a single pair) counts as
// full agreement.
std::optional<double> gtdIndexOf(const std::optional<double>& r) {
    if (!r) return 1.0;
    return roundIndex(Currency::fromDouble(*r).toDouble());
}

}  // namespace

std::optional<double> gtdCorrelation(const GraphDistanceMatrix& stdDist,
                                     const GraphDistanceMatrix& target, int n) {
    if (n < 2) return std::nullopt;
    return gtdFromSums(pairSums<std::int64_t>(stdDist, target, n, kAsInteger, kPlainProduct), n);
}

std::optional<double> GtdIndex(const GraphDistanceMatrix& stdDist,
                               const GraphDistanceMatrix& target, int n) {
    if (n < 2) return std::nullopt;
    return gtdIndexOf(gtdCorrelation(stdDist, target, n));
}

GtdAgainst::GtdAgainst(const GraphDistanceMatrix& stdDist, int n)
    : n_(n), words_((std::max(n, 0) + 63) / 64) {
    if (n < 2) return;
    const auto own = pairSums<std::int64_t>(stdDist, stdDist, n, kAsInteger, kPlainProduct);
    sx_ = own.sx;
    sxx_ = own.sxx;
    int widest = 0;
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j)
            widest = std::max(
                widest,
                static_cast<int>(std::bit_width(static_cast<std::uint16_t>(stdDist(i, j)))));
    planeCount_ = widest;
    planes_.assign(static_cast<std::size_t>(n) * planeCount_ * words_, 0);
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j)
            for (int b = 0; b < planeCount_; ++b)
                if ((static_cast<std::uint16_t>(stdDist(i, j)) >> b) & 1u)
                    planes_[(static_cast<std::size_t>(i) * planeCount_ + b) * words_ + j / 64] |=
                        std::uint64_t{1} << (j % 64);
}

namespace {

// A length's set counts once for the target's sums, and once per plane of
// the standard for the cross sum; the sets are taken as the search makes them.
template <int kWords, int kPlanes>
struct SumLevels {
    const std::uint64_t* planes;
    int planeCount, words;
    PairSums<std::int64_t> s;

    [[gnu::always_inline]] void level(int i, int length, const std::uint64_t* set) {
        const int rowWords = kWords > 0 ? kWords : words;
        const int rowPlanes = kPlanes > 0 ? kPlanes : planeCount;
        const std::uint64_t* own =
            planes + static_cast<std::size_t>(i) * rowPlanes * static_cast<std::size_t>(rowWords);
        std::int64_t count = 0, cross = 0;
        for (int w = 0; w < rowWords; ++w) {
            count += countBits(set[w]);
            for (int b = 0; b < rowPlanes; ++b)
                cross += std::int64_t{countBits(set[w] & own[b * rowWords + w])} << b;
        }
        s.sy += length * count;
        s.syy += length * length * count;
        s.sxy += length * cross;
    }
};

template <int kWords, int kPlanes>
[[gnu::always_inline]] inline PairSums<std::int64_t> searchSumsWith(const LinkRows& target,
                                                                    const std::uint64_t* planes,
                                                                    int planeCount) {
    SumLevels<kWords, kPlanes> sums{planes, planeCount, target.words, {}};
    if constexpr (kWords == 1)
        searchOneWordLevels(target, sums);
    else
        searchLevels<0>(target, sums);
    return sums.s;
}

// One-word rows with the standard's usual one to three planes get their own
// code; the rest the general one.
QV_KERNEL PairSums<std::int64_t> searchSums(const LinkRows& target, const std::uint64_t* planes,
                                           int planeCount) {
    if (target.words != 1) return searchSumsWith<0, 0>(target, planes, planeCount);
    switch (planeCount) {
        case 1:
            return searchSumsWith<1, 1>(target, planes, planeCount);
        case 2:
            return searchSumsWith<1, 2>(target, planes, planeCount);
        case 3:
            return searchSumsWith<1, 3>(target, planes, planeCount);
        default:
            return searchSumsWith<1, 0>(target, planes, planeCount);
    }
}

}  // namespace

std::optional<double> GtdAgainst::index(const LinkRows& target) const {
    assert(target.n == n_ && target.words == words_);
    if (n_ < 2) return std::nullopt;
    PairSums<std::int64_t> s = searchSums(target, planes_.data(), planeCount_);
    s.sx = sx_;
    s.sxx = sxx_;
    return gtdIndexOf(gtdFromSums(s, n_));
}

namespace {

// A product of two sums as a double, rounded as Currency rounds it; equal to
// (a * b).toDouble() wherever that fits 64 bits.
double productValue(Currency a, Currency b) {
    return static_cast<double>(productRaw(a, b)) / Currency::kScale;
}

std::optional<double> prxFromSums(const PairSums<Currency>& s, int n) {
    const double p = pairCount(n);
    const double vx = s.sxx.toDouble() - productValue(s.sx, s.sx) / p;
    const Currency q = Currency::fromDouble(productValue(s.sy, s.sy) / p);
    const double vy = (s.syy - q).toDouble();
    return correlation(vx, vy, s.sxy.toDouble() - productValue(s.sx, s.sy) / p);
}

}  // namespace

std::optional<double> prxCorrelation(const DistanceMatrix& stdDist, const DistanceMatrix& target,
                                     int n) {
    if (n < 2) return std::nullopt;
    return prxFromSums(prxSums(stdDist, target, n), n);
}

std::optional<double> PrxIndex(const DistanceMatrix& stdDist, const DistanceMatrix& target, int n) {
    const std::optional<double> r = prxCorrelation(stdDist, target, n);
    if (!r) return std::nullopt;
    return roundIndex(*r);
}

std::optional<double> summedCorrelation(const DistanceMatrix& x, const DistanceMatrix& y, int n) {
    if (n < 2) return std::nullopt;
    // Exact in 128 bits while every cell is below 2^44 ten-thousandths (a
    // class of millions): the pairs' squares then sum below 2^120.
    constexpr std::int64_t kExactBound = std::int64_t{1} << 44;
    bool exact = true;
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j)
            for (const std::int64_t raw : {x(i, j).raw(), y(i, j).raw()})
                exact &= raw > -kExactBound && raw < kExactBound;
    const auto r = [&]<typename Sum>(Sum) -> std::optional<double> {
        Sum sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
        for (int i = 0; i + 1 < n; ++i)
            for (int j = i + 1; j < n; ++j) {
                const Sum a = x(i, j).raw(), b = y(i, j).raw();
                sx += a;
                sy += b;
                sxx += a * a;
                syy += b * b;
                sxy += a * b;
            }
        const auto p = static_cast<Sum>(static_cast<std::int64_t>(n) * (n - 1) / 2);
        return correlation(static_cast<double>(p * sxx - sx * sx),
                           static_cast<double>(p * syy - sy * sy),
                           static_cast<double>(p * sxy - sx * sy));
    };
    return exact ? r(Int128{}) : r(static_cast<long double>(0));
}

std::optional<double> summedPrxIndex(const DistanceMatrix& referent, const DistanceMatrix& target,
                                     int n) {
    const std::optional<double> r = summedCorrelation(referent, target, n);
    if (!r) return std::nullopt;
    return roundIndex(*r);
}

PrxAgainst::PrxAgainst(const DistanceMatrix& stdDist, int n, int largestTarget)
    : std_(stdDist), n_(n) {
    if (n < 2 || !wholeCells(stdDist, n)) return;
    // Both halves, in the padded rows the students' units come in.
    units_.emplace(n, n, std::int16_t{0}, kUnitRowAlign);
    for (int i = 0; i + 1 < n; ++i)
        for (int j = i + 1; j < n; ++j)
            (*units_)(i, j) = (*units_)(j, i) =
                static_cast<std::int16_t>(wholeUnits(stdDist(i, j).raw()));
    const auto own = pairSums<std::int64_t>(*units_, *units_, n, kAsInteger, kPlainProduct);
    sx_ = own.sx;
    sxx_ = own.sxx;
    std::int64_t largest = std::clamp(largestTarget, 1, kWholeDistanceLimit - 1);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            largest = std::max<std::int64_t>(largest, std::abs(std::int32_t{(*units_)(i, j)}));
    block_ = static_cast<std::size_t>(
        0x7FFFFFFF / (largest * std::clamp(largestTarget, 1, kWholeDistanceLimit - 1)));
}

namespace {

// The target's sums and the cross sum over symmetric whole-unit matrices
// with zero diagonals and padding, read flat: every sum counts each pair
// twice. `block` cells, whose products add up to less than 2^31 in
// magnitude, are summed in 32 bits (which the vector units take a lane at a
// time) before they are widened.
QV_KERNEL PairSums<std::int64_t> flatSums(const std::int16_t* xs, const std::int16_t* ys,
                                          std::size_t cells, std::size_t block) {
    std::int64_t sy = 0, syy = 0, sxy = 0;
    for (std::size_t c = 0; c < cells; c += block) {
        const std::size_t count = std::min(block, cells - c);
        const std::int16_t* bx = xs + c;
        const std::int16_t* bys = ys + c;
        std::uint32_t by = 0, byy = 0, bxy = 0;
        for (std::size_t k = 0; k < count; ++k) {
            const std::int32_t x = bx[k], y = bys[k];
            by += static_cast<std::uint32_t>(y);
            byy += static_cast<std::uint32_t>(y * y);
            bxy += static_cast<std::uint32_t>(x * y);
        }
        sy += static_cast<std::int32_t>(by);
        syy += static_cast<std::int32_t>(byy);
        sxy += static_cast<std::int32_t>(bxy);
    }
    return {0, sy / 2, 0, syy / 2, sxy / 2};
}

}  // namespace

std::optional<double> PrxAgainst::index(const DistanceMatrix& target) const {
    return PrxIndex(std_, target, n_);
}

std::optional<double> PrxAgainst::index(const WholeDistanceMatrix& target) const {
    // Both sides whole and in range, with the rows padded alike as
    // studentUnitsInto gives them: the whole-unit sums with nothing to check.
    if (units_ && target.rows() == n_ && target.cols() == n_ &&
        target.stride() == units_->stride()) {
        PairSums<std::int64_t> sums =
            flatSums(units_->rowData(0), target.rowData(0),
                     static_cast<std::size_t>(n_) * static_cast<std::size_t>(target.stride()),
                     block_);
        sums.sx = sx_;
        sums.sxx = sxx_;
        const std::optional<double> r = prxFromSums(asMoney(sums), n_);
        if (!r) return std::nullopt;
        return roundIndex(*r);
    }
    DistanceMatrix money(target.rows(), target.cols());
    for (int i = 0; i < target.rows(); ++i)
        for (int j = 0; j < target.cols(); ++j)
            money(i, j) = Currency::fromInt(target(i, j));
    return PrxIndex(std_, money, n_);
}

}  // namespace qv
