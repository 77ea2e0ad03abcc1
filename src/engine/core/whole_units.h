#pragma once

#include <cstdint>

#include "core/currency.h"

namespace qv {

// Whole units of a fixed-point value that is a multiple of 1, without a
// divide: 10000 = 16 x 625, so shift out the 16 and multiply by the inverse of
// 625 modulo 2^64. For a value that is not whole the result is meaningless;
// check with isWholeBelow.
constexpr std::uint64_t kInverseOf625 = [] {
    std::uint64_t x = 625;  // right in the low 4 bits; each step doubles that
    for (int step = 0; step < 4; ++step)
        x *= 2 - 625 * x;
    return x;
}();
static_assert(kInverseOf625 * 625 == 1);

constexpr std::int64_t wholeUnits(std::int64_t raw) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(raw >> 4) * kInverseOf625);
}

// Zero exactly when raw is a whole number of units in [-2^bits, 2^bits)
// (bits < 60): a raw value that 625 does not divide gives units far outside
// any such range. Meant to be OR-ed over many values and tested once.
constexpr std::uint64_t notWholeBelow(std::int64_t raw, std::int64_t units, int bits) {
    return static_cast<std::uint64_t>(raw & 15) |
           (static_cast<std::uint64_t>(units + (std::int64_t{1} << bits)) >> (bits + 1));
}

static_assert(wholeUnits(Currency::fromInt(-37).raw()) == -37);
static_assert(notWholeBelow(Currency::fromInt(-8192).raw(), -8192, 13) == 0);
static_assert(notWholeBelow(Currency::fromInt(8192).raw(), 8192, 13) != 0);
static_assert(notWholeBelow(50000 + 16, wholeUnits(50000 + 16), 13) != 0);
static_assert(notWholeBelow(16, wholeUnits(16), 13) != 0);

}  // namespace qv
