#include "compare/indices.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/bit_ops.h"
#include "core/currency.h"
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

struct FixedSums {
    Currency sx, sy, sxx, syy, sxy;
};

// A product rounded to four decimals, ties to even, as Currency's own; in
// 64 bits when both factors are below 2^31 in raw units.
Currency rounded(Currency a, Currency b) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    const std::int64_t x = a.raw(), y = b.raw();
    if (x <= -kLimit || x >= kLimit || y <= -kLimit || y >= kLimit) return a * b;
    const std::int64_t product = x * y;
    std::int64_t q = product / Currency::kScale;
    const std::int64_t r = product % Currency::kScale;
    const std::int64_t twice = (r < 0 ? -r : r) * 2;
    if (twice > Currency::kScale || (twice == Currency::kScale && q % 2 != 0))
        q += product < 0 ? -1 : 1;
    return Currency::fromRaw(q);
}

FixedSums roundedSums(const DistanceMatrix& xm, const DistanceMatrix& ym, int n) {
    FixedSums s;
    for (int i = 0; i + 1 < n; ++i) {
        const Currency* xs = xm.rowData(i);
        const Currency* ys = ym.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            s.sx += xs[j];
            s.sy += ys[j];
            s.sxx += rounded(xs[j], xs[j]);
            s.syy += rounded(ys[j], ys[j]);
            s.sxy += rounded(xs[j], ys[j]);
        }
    }
    return s;
}

// Whole-number distances (the quiz data give nothing else) in [-2^13, 2^13),
// up to 4096 concepts: every product is exact and every sum stays below 2^49
// units, so the sums are integer sums. Empty when some cell is not such a
// number. The sums run in unsigned arithmetic, meaningless until every cell
// has been accepted.
std::optional<FixedSums> wholeSums(const DistanceMatrix& xm, const DistanceMatrix& ym, int n) {
    if (n > 4096) return std::nullopt;
    std::uint64_t sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, rejected = 0;
    for (int i = 0; i + 1 < n; ++i) {
        const Currency* xs = xm.rowData(i);
        const Currency* ys = ym.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const std::int64_t x = wholeUnits(xs[j].raw()), y = wholeUnits(ys[j].raw());
            rejected |= notWholeBelow(xs[j].raw(), x, 13) | notWholeBelow(ys[j].raw(), y, 13);
            const auto ux = static_cast<std::uint64_t>(x), uy = static_cast<std::uint64_t>(y);
            sx += ux;
            sy += uy;
            sxx += ux * ux;
            syy += uy * uy;
            sxy += ux * uy;
        }
    }
    if (rejected != 0) return std::nullopt;
    const auto money = [](std::uint64_t units) {
        return Currency::fromInt(static_cast<std::int64_t>(units));
    };
    return FixedSums{money(sx), money(sy), money(sxx), money(syy), money(sxy)};
}

// Up to 64 concepts each row is one word per network, and a row's common and
// either counts are the set bits of their AND and OR.
std::optional<double> narrowPfcSum(const LinkRows& stdLinks, const LinkRows& target) {
    double sum = 0;
    for (std::size_t i = 0; i < static_cast<std::size_t>(target.n); ++i) {
        const std::uint64_t s = stdLinks.rows[i], t = target.rows[i];
        const int either = countBits(s | t);
        if (either == 0) return std::nullopt;
        sum += static_cast<double>(countBits(s & t)) / either;
    }
    return sum;
}

std::optional<double> widePfcSum(const LinkMatrix& stdLinks, const LinkMatrix& target, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t* s = stdLinks.rowData(i);
        const std::uint8_t* t = target.rowData(i);
        int common = 0, either = 0;
        for (int j = 0; j < n; ++j) {
            common += (s[j] != 0 && t[j] != 0) ? 1 : 0;
            either += (s[j] != 0 || t[j] != 0) ? 1 : 0;
        }
        if (either == 0) return std::nullopt;
        sum += static_cast<double>(common) / either;
    }
    return sum;
}

}  // namespace

std::optional<double> PfcIndex(const LinkMatrix& stdLinks, const LinkMatrix& target, int n) {
    if (n < 1) return std::nullopt;
    if (n <= LinkRows::kMaxConcepts) return PfcIndex(linkRows(stdLinks, n), linkRows(target, n));
    const std::optional<double> sum = widePfcSum(stdLinks, target, n);
    if (!sum) return std::nullopt;
    return roundIndex(*sum / n);
}

std::optional<double> PfcIndex(const LinkRows& stdLinks, const LinkRows& target) {
    assert(stdLinks.n == target.n);
    if (target.n < 1) return std::nullopt;
    const std::optional<double> sum = narrowPfcSum(stdLinks, target);
    if (!sum) return std::nullopt;
    return roundIndex(*sum / target.n);
}

namespace {

struct GraphSums {
    std::int64_t sx, sy, sxx, syy, sxy;
};

std::optional<double> gtdFromSums(const GraphSums& s, int n);

}  // namespace

std::optional<double> gtdCorrelation(const GraphDistanceMatrix& stdDist,
                                     const GraphDistanceMatrix& target, int n) {
    if (n < 2) return std::nullopt;
    std::int64_t sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (int i = 0; i + 1 < n; ++i) {
        const std::int16_t* xs = stdDist.rowData(i);
        const std::int16_t* ys = target.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const std::int64_t x = xs[j], y = ys[j];
            sx += x;
            sy += y;
            sxx += x * x;
            syy += y * y;
            sxy += x * y;
        }
    }
    return gtdFromSums(GraphSums{sx, sy, sxx, syy, sxy}, n);
}

namespace {

std::optional<double> gtdFromSums(const GraphSums& s, int n) {
    const std::int64_t sx = s.sx, sy = s.sy, sxx = s.sxx, syy = s.syy, sxy = s.sxy;
    const double p = pairCount(n);
    const auto sx2 = static_cast<Int128>(sx) * sx;
    const auto sy2 = static_cast<Int128>(sy) * sy;
    const auto sxsy = static_cast<Int128>(sx) * sy;
    const double vx = static_cast<double>(sxx) - static_cast<double>(sx2) / p;
    const Currency q = Currency::fromDouble(static_cast<double>(sy2) / p);
    const double vy = (Currency::fromInt(syy) - q).toDouble();
    return correlation(vx, vy, static_cast<double>(sxy) - static_cast<double>(sxsy) / p);
}

// One side without spread (every pair linked, or a single pair) counts as
// full agreement.
std::optional<double> gtdIndexOf(const std::optional<double>& r) {
    if (!r) return 1.0;
    return roundIndex(Currency::fromDouble(*r).toDouble());
}

}  // namespace

std::optional<double> GtdIndex(const GraphDistanceMatrix& stdDist,
                               const GraphDistanceMatrix& target, int n) {
    if (n < 2) return std::nullopt;
    return gtdIndexOf(gtdCorrelation(stdDist, target, n));
}

GtdAgainst::GtdAgainst(const GraphDistanceMatrix& stdDist, int n) : n_(n) {
    if (n < 2) return;
    values_.reserve(static_cast<std::size_t>(n) * (n - 1) / 2);
    for (int i = 0; i + 1 < n; ++i) {
        const std::int16_t* xs = stdDist.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const std::int64_t x = xs[j];
            values_.push_back(xs[j]);
            sx_ += x;
            sxx_ += x * x;
        }
    }
}

std::optional<double> GtdAgainst::index(const GraphDistanceMatrix& target) const {
    if (n_ < 2) return std::nullopt;
    // gtdCorrelation's sums with the standard's half done.
    std::int64_t sy = 0, syy = 0, sxy = 0;
    const std::int16_t* x = values_.data();
    for (int i = 0; i + 1 < n_; ++i) {
        const std::int16_t* ys = target.rowData(i);
        for (int j = i + 1; j < n_; ++j) {
            const std::int64_t y = ys[j];
            sy += y;
            syy += y * y;
            sxy += std::int64_t{*x++} * y;
        }
    }
    return gtdIndexOf(gtdFromSums(GraphSums{sx_, sy, sxx_, syy, sxy}, n_));
}

namespace {

std::optional<double> prxFromSums(const FixedSums& s, int n) {
    const double p = pairCount(n);
    const double vx = s.sxx.toDouble() - (s.sx * s.sx).toDouble() / p;
    const Currency q = Currency::fromDouble((s.sy * s.sy).toDouble() / p);
    const double vy = (s.syy - q).toDouble();
    return correlation(vx, vy, s.sxy.toDouble() - (s.sx * s.sy).toDouble() / p);
}

}  // namespace

std::optional<double> prxCorrelation(const DistanceMatrix& stdDist, const DistanceMatrix& target,
                                     int n) {
    if (n < 2) return std::nullopt;
    const std::optional<FixedSums> whole = wholeSums(stdDist, target, n);
    return prxFromSums(whole ? *whole : roundedSums(stdDist, target, n), n);
}

PrxAgainst::PrxAgainst(const DistanceMatrix& stdDist, int n) : std_(stdDist), n_(n) {
    if (n < 2 || n > 4096) return;
    std::uint64_t rejected = 0;
    units_.reserve(static_cast<std::size_t>(n) * (n - 1) / 2);
    for (int i = 0; i + 1 < n; ++i) {
        const Currency* xs = stdDist.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const std::int64_t x = wholeUnits(xs[j].raw());
            rejected |= notWholeBelow(xs[j].raw(), x, 13);
            const auto ux = static_cast<std::uint64_t>(x);
            units_.push_back(ux);
            sx_ += ux;
            sxx_ += ux * ux;
        }
    }
    if (rejected != 0) units_.clear();
}

std::optional<double> PrxAgainst::index(const DistanceMatrix& target) const {
    if (units_.empty()) return PrxIndex(std_, target, n_);
    // wholeSums with the standard's half done; unsigned as there.
    std::uint64_t sy = 0, syy = 0, sxy = 0, rejected = 0;
    const std::uint64_t* x = units_.data();
    for (int i = 0; i + 1 < n_; ++i) {
        const Currency* ys = target.rowData(i);
        for (int j = i + 1; j < n_; ++j) {
            const std::int64_t y = wholeUnits(ys[j].raw());
            rejected |= notWholeBelow(ys[j].raw(), y, 13);
            const auto uy = static_cast<std::uint64_t>(y);
            sy += uy;
            syy += uy * uy;
            sxy += *x++ * uy;
        }
    }
    if (rejected != 0) return PrxIndex(std_, target, n_);
    return fromSums(sy, syy, sxy);
}

std::optional<double> PrxAgainst::index(const WholeDistanceMatrix& target) const {
    if (units_.empty()) {
        DistanceMatrix money(target.rows(), target.cols());
        for (int i = 0; i < target.rows(); ++i)
            for (int j = 0; j < target.cols(); ++j)
                money(i, j) = Currency::fromInt(target(i, j));
        return PrxIndex(std_, money, n_);
    }
    // Every cell is a whole number in range: nothing to check.
    std::uint64_t sy = 0, syy = 0, sxy = 0;
    const std::uint64_t* x = units_.data();
    for (int i = 0; i + 1 < n_; ++i) {
        const std::int16_t* ys = target.rowData(i);
        for (int j = i + 1; j < n_; ++j) {
            const auto uy = static_cast<std::uint64_t>(std::int64_t{ys[j]});
            sy += uy;
            syy += uy * uy;
            sxy += *x++ * uy;
        }
    }
    return fromSums(sy, syy, sxy);
}

std::optional<double> PrxAgainst::fromSums(std::uint64_t sy, std::uint64_t syy,
                                           std::uint64_t sxy) const {
    const auto money = [](std::uint64_t units) {
        return Currency::fromInt(static_cast<std::int64_t>(units));
    };
    const std::optional<double> r =
        prxFromSums(FixedSums{money(sx_), money(sy), money(sxx_), money(syy), money(sxy)}, n_);
    if (!r) return std::nullopt;
    return roundIndex(*r);
}

std::optional<double> PrxIndex(const DistanceMatrix& stdDist, const DistanceMatrix& target, int n) {
    const std::optional<double> r = prxCorrelation(stdDist, target, n);
    if (!r) return std::nullopt;
    return roundIndex(*r);
}

}  // namespace qv
