#include <gtest/gtest.h>

#include "core/number_text.h"

namespace qv {
namespace {

// A value whose text takes an exponent rounds like its positional decimals:
// 8.2E-05 is 0.000082, which is 0 to three decimals, and so is its negative.
TEST(TinyValues, RoundPositionallyNotByTheirExponentText) {
    EXPECT_EQ(numberText(roundIndex(8.20783264887286e-05)), "0");
    EXPECT_EQ(numberText(roundIndex(-4.6e-05)), "0");
    EXPECT_EQ(numberText(RoundToDecimals(8.2e-05, 4)), "0.0001");
    EXPECT_EQ(numberText(RoundToDecimals(4.9e-05, 4)), "0");
    EXPECT_EQ(numberText(RoundToDecimals(1.234e-07, 8)), "1.2E-07");
    EXPECT_EQ(numberText(RoundToDecimals(1e20, 3)), "1E+20");  // whole numbers stay
}

}  // namespace
}  // namespace qv
