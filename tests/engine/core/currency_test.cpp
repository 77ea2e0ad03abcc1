#include "core/currency.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace qv {
namespace {

TEST(Currency, SumsAreExactAndDoublesRoundTiesToEven) {
    Currency sum;
    for (int i = 0; i < 10; ++i)
        sum += Currency::fromDouble(0.1);
    EXPECT_EQ(sum, Currency::fromInt(1));
    EXPECT_EQ(Currency::fromDouble(1.23455).raw(), 12346);  // not a tie in binary
    EXPECT_EQ(Currency::fromDouble(-2.5).raw(), -25000);
    EXPECT_EQ(Currency::fromDouble(3.14159265).raw(), 31416);
}

// A double that is exactly halfway between two ten-thousandths is m / 32
// for an odd m (2k + 1 = 625 m): 0.03125, 0.09375, ... Each goes to the
// even neighbour, whichever side that is, and a negative one likewise.
TEST(Currency, DoublesExactlyHalfwayGoToTheEvenNeighbour) {
    EXPECT_EQ(Currency::fromDouble(0.03125).raw(), 312);
    EXPECT_EQ(Currency::fromDouble(0.09375).raw(), 938);
    EXPECT_EQ(Currency::fromDouble(-0.03125).raw(), -312);
    EXPECT_EQ(Currency::fromDouble(-0.09375).raw(), -938);
    for (std::int64_t m = -4001; m <= 4001; m += 2) {
        const std::int64_t below = (m * 625 - 1) / 2, above = (m * 625 + 1) / 2;
        const std::int64_t even = below % 2 == 0 ? below : above;
        ASSERT_EQ(Currency::fromDouble(static_cast<double>(m) / 32).raw(), even) << m << "/32";
    }
}

TEST(Currency, ProductsRoundTiesToEven) {
    // {a, b, a x b} in ten-thousandths; every product is k + 0.5 units.
    const std::int64_t ties[][3] = {{1, 5000, 0},   {3, 5000, 2}, {5, 5000, 2},  {-5, 5000, -2},
                                    {-7, 5000, -4}, {50, 100, 0}, {150, 100, 2}, {-25, -1000, 2}};
    for (const auto& t : ties)
        EXPECT_EQ((Currency::fromRaw(t[0]) * Currency::fromRaw(t[1])).raw(), t[2]) << t[0];
    EXPECT_EQ(Currency::fromInt(900'000'000) * Currency::fromInt(1000),
              Currency::fromInt(900'000'000'000));  // no overflow on the way
    // Below 2^26 units a long double holds the quotient closely enough for
    // nearbyint to round it the same way.
    std::mt19937_64 rng(17);
    std::uniform_int_distribution<std::int64_t> raw(-(1 << 26), 1 << 26), small(-20000, 20000);
    for (int k = 0; k < 100000; ++k) {
        const std::int64_t a = k % 2 ? raw(rng) : small(rng), b = k % 3 ? raw(rng) : small(rng);
        ASSERT_EQ(
            (Currency::fromRaw(a) * Currency::fromRaw(b)).raw(),
            static_cast<std::int64_t>(std::nearbyint(static_cast<long double>(a) * b / 10000)))
            << a << " x " << b;
    }
}

}  // namespace
}  // namespace qv
