#include "core/currency.h"

#include <cmath>

namespace qv {

std::int64_t divideRoundHalfEven(Int128 numerator, std::int64_t divisor) {
    Int128 q = numerator / divisor;
    Int128 r = numerator % divisor;
    const Int128 twice = (r < 0 ? -r : r) * 2;
    if (twice > divisor || (twice == divisor && (q % 2 != 0))) {
        q += (numerator < 0) ? -1 : 1;
    }
    return static_cast<std::int64_t>(q);
}

Currency Currency::fromDouble(double value) {
    // nearbyint in the default rounding mode rounds ties to even.
    return fromRaw(static_cast<std::int64_t>(std::nearbyint(value * kScale)));
}

Currency operator*(Currency a, Currency b) {
    const Int128 product = static_cast<Int128>(a.raw()) * b.raw();
    return Currency::fromRaw(divideRoundHalfEven(product, Currency::kScale));
}

}  // namespace qv
