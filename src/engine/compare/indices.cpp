#include "compare/indices.h"

#include <cmath>
#include <cstdint>

#include "core/currency.h"
#include "core/number_text.h"

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

}  // namespace

std::optional<double> PfcIndex(const LinkMatrix& stdLinks, const LinkMatrix& target, int n) {
    if (n < 1) return std::nullopt;
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
    return roundIndex(sum / n);
}

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
    const double p = pairCount(n);
    const auto sx2 = static_cast<Int128>(sx) * sx;
    const auto sy2 = static_cast<Int128>(sy) * sy;
    const auto sxsy = static_cast<Int128>(sx) * sy;
    const double vx = static_cast<double>(sxx) - static_cast<double>(sx2) / p;
    const Currency q = Currency::fromDouble(static_cast<double>(sy2) / p);
    const double vy = (Currency::fromInt(syy) - q).toDouble();
    return correlation(vx, vy, static_cast<double>(sxy) - static_cast<double>(sxsy) / p);
}

std::optional<double> GtdIndex(const GraphDistanceMatrix& stdDist,
                               const GraphDistanceMatrix& target, int n) {
    if (n < 2) return std::nullopt;
    const std::optional<double> r = gtdCorrelation(stdDist, target, n);
    // One side without spread (every pair linked, or a single pair) counts as
    // full agreement.
    if (!r) return 1.0;
    return roundIndex(Currency::fromDouble(*r).toDouble());
}

std::optional<double> prxCorrelation(const DistanceMatrix& stdDist, const DistanceMatrix& target,
                                     int n) {
    if (n < 2) return std::nullopt;
    Currency sx, sy, sxx, syy, sxy;
    for (int i = 0; i + 1 < n; ++i) {
        const Currency* xs = stdDist.rowData(i);
        const Currency* ys = target.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const Currency x = xs[j], y = ys[j];
            sx += x;
            sy += y;
            sxx += x * x;
            syy += y * y;
            sxy += x * y;
        }
    }
    const double p = pairCount(n);
    const double vx = sxx.toDouble() - (sx * sx).toDouble() / p;
    const Currency q = Currency::fromDouble((sy * sy).toDouble() / p);
    const double vy = (syy - q).toDouble();
    return correlation(vx, vy, sxy.toDouble() - (sx * sy).toDouble() / p);
}

std::optional<double> PrxIndex(const DistanceMatrix& stdDist, const DistanceMatrix& target, int n) {
    const std::optional<double> r = prxCorrelation(stdDist, target, n);
    if (!r) return std::nullopt;
    return roundIndex(*r);
}

}  // namespace qv
