#include "core/currency.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Currency, SumsAreExactWhereDoublesDrift) {
    Currency sum;
    for (int i = 0; i < 10; ++i) sum += Currency::fromDouble(0.1);
    EXPECT_EQ(sum, Currency::fromInt(1));
    EXPECT_EQ((Currency::fromDouble(0.3) - Currency::fromDouble(0.1)).raw(), 2000);
}

TEST(Currency, ConversionFromDoubleRoundsTiesToEven) {
    EXPECT_EQ(Currency::fromDouble(1.23455).raw(), 12346);  // not a tie in binary
    EXPECT_EQ(Currency::fromDouble(0.00005).raw(), 0);       // tie-ish: nearest even
    EXPECT_EQ(Currency::fromDouble(-2.5).raw(), -25000);
    EXPECT_EQ(Currency::fromDouble(3.14159265).raw(), 31416);
}

TEST(Currency, ProductsRoundToFourDecimalsTiesToEven) {
    // 0.0001 x 0.5 = 0.00005: a tie, goes to the even 0.0000.
    EXPECT_EQ((Currency::fromRaw(1) * Currency::fromDouble(0.5)).raw(), 0);
    // 0.0003 x 0.5 = 0.00015: a tie, goes to the even 0.0002.
    EXPECT_EQ((Currency::fromRaw(3) * Currency::fromDouble(0.5)).raw(), 2);
    EXPECT_EQ((Currency::fromRaw(-3) * Currency::fromDouble(0.5)).raw(), -2);
    EXPECT_EQ((Currency::fromDouble(1.5) * Currency::fromDouble(1.5)).raw(), 22500);
    // Large operands do not overflow the intermediate product.
    const Currency big = Currency::fromInt(900'000'000);
    EXPECT_EQ((big * Currency::fromInt(1000)).raw(), Currency::fromInt(900'000'000'000).raw());
}

TEST(Currency, ComparisonsAreExact) {
    EXPECT_LT(Currency::fromRaw(34999), Currency::fromDouble(3.5));
    EXPECT_EQ(Currency::fromInt(1) + Currency::fromInt(1), Currency::fromInt(2));
    EXPECT_FALSE(Currency::fromInt(2) > Currency::fromInt(1) + Currency::fromInt(1));
}

}  // namespace
}  // namespace qv
