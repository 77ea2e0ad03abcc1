#include "core/currency.h"

#include <cmath>

namespace qv {

namespace {

// Ties to even; in the width of T, which must hold the numerator.
template <typename T>
T quotientHalfEven(T numerator, std::int64_t divisor) {
    T q = numerator / divisor;
    const T r = numerator % divisor;
    const T twice = (r < 0 ? -r : r) * 2;
    if (twice > divisor || (twice == divisor && q % 2 != 0)) q += numerator < 0 ? -1 : 1;
    return q;
}

}  // namespace

Currency Currency::fromDouble(double value) {
    // nearbyint in the default rounding mode rounds ties to even.
    return fromRaw(static_cast<std::int64_t>(std::nearbyint(value * kScale)));
}

Currency operator*(Currency a, Currency b) {
    // Factors below 2^31 in raw units (214748 and less) multiply in 64 bits,
    // which the indices' sums of squares rely on for speed.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    const std::int64_t x = a.raw(), y = b.raw();
    if (x > -kLimit && x < kLimit && y > -kLimit && y < kLimit)
        return Currency::fromRaw(quotientHalfEven(x * y, Currency::kScale));
    return Currency::fromRaw(static_cast<std::int64_t>(productRaw(a, b)));
}

Int128 productRaw(Currency a, Currency b) {
    return quotientHalfEven(static_cast<Int128>(a.raw()) * b.raw(), Currency::kScale);
}

}  // namespace qv
