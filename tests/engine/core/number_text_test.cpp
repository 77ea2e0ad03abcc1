#include "core/number_text.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(NumberText, ShortestFormWithFifteenSignificantDigits) {
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(0.5), "0.5");
    EXPECT_EQ(numberText(100), "100");
    EXPECT_EQ(numberText(33.333), "33.333");
    EXPECT_EQ(numberText(100.0 / 3), "33.3333333333333");
    EXPECT_EQ(numberText(200.0 / 3), "66.6666666666667");
    EXPECT_EQ(numberText(-0.491), "-0.491");
    EXPECT_EQ(numberText(0.016), "0.016");
    EXPECT_EQ(numberText(1400), "1400");
    EXPECT_EQ(numberText(1e-5), "1E-05");
    EXPECT_EQ(numberText(1e15), "1E+15");
}

TEST(RoundToDecimals, HalfUpOnTheDecimalText) {
    EXPECT_EQ(numberText(RoundToDecimals(100.0 / 3, 3)), "33.333");
    EXPECT_EQ(numberText(RoundToDecimals(200.0 / 3, 3)), "66.667");
    EXPECT_EQ(numberText(RoundToDecimals(12.5, 3)), "12.5");
    EXPECT_EQ(numberText(RoundToDecimals(100, 3)), "100");
    EXPECT_EQ(numberText(RoundToDecimals(0, 3)), "0");
    EXPECT_EQ(numberText(RoundToDecimals(50, 3)), "50");
    EXPECT_EQ(numberText(RoundToDecimals(1400, 3)), "1400");
    EXPECT_EQ(numberText(RoundToDecimals(100.0 / 7, 3)), "14.286");
    // The digit after the third decimal is 4: not rounded up.
    EXPECT_EQ(numberText(RoundToDecimals(200.0 / 7, 3)), "28.571");
    EXPECT_EQ(numberText(RoundToDecimals(500.0 / 6, 3)), "83.333");
    EXPECT_EQ(numberText(RoundToDecimals(100.0 / 6, 3)), "16.667");
}

TEST(RoundIndex, MagnitudeRoundedSignKept) {
    EXPECT_EQ(numberText(roundIndex(0.428571428571429)), "0.429");
    EXPECT_EQ(numberText(roundIndex(0.88095238095238)), "0.881");
    EXPECT_EQ(numberText(roundIndex(0.7941)), "0.794");
    EXPECT_EQ(numberText(roundIndex(-0.4913)), "-0.491");
    EXPECT_EQ(numberText(roundIndex(-0.4916)), "-0.492");
    EXPECT_EQ(numberText(roundIndex(0.5)), "0.5");
    EXPECT_EQ(numberText(roundIndex(1)), "1");
    EXPECT_EQ(numberText(roundIndex(-1)), "-1");
    EXPECT_EQ(numberText(roundIndex(0)), "0");
}

TEST(LeadingNumber, ReadsLikeTheCountFieldsExpect) {
    bool found = false;
    EXPECT_EQ(leadingNumber("20", &found), 20);
    EXPECT_TRUE(found);
    EXPECT_EQ(leadingNumber(" 5"), 5);
    EXPECT_EQ(leadingNumber("12abc"), 12);
    EXPECT_EQ(leadingNumber("1 2"), 12);  // blanks inside are ignored
    EXPECT_EQ(leadingNumber("2.5x"), 2.5);
    EXPECT_EQ(leadingNumber("-3"), -3);
    EXPECT_EQ(leadingNumber("1e2"), 100);
    EXPECT_EQ(leadingNumber("7e"), 7);
    EXPECT_EQ(leadingNumber("abc", &found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(leadingNumber("", &found), 0);
    EXPECT_FALSE(found);
    EXPECT_EQ(roundHalfEven(leadingNumber("2.5")), 2);
    EXPECT_EQ(roundHalfEven(leadingNumber("3.5")), 4);
}

TEST(PadLeft, RightAlignsAndNeverCuts) {
    EXPECT_EQ(padLeft("0.5", 6), "   0.5");
    EXPECT_EQ(padLeft("33.333", 7), " 33.333");
    EXPECT_EQ(padLeft("1000.25", 6), "1000.25");
}

}  // namespace
}  // namespace qv
