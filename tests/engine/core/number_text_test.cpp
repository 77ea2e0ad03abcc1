#include "core/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

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

namespace qv {
namespace {

// The rule as written: cut the 15-digit text after the d-th decimal, read it
// back, and add one unit of that decimal when the next digit is 5 or more.
double roundOnText(double value, int decimals) {
    const std::string s = numberText(value);
    const auto point = s.find('.');
    if (point == std::string::npos || s.find('E') != std::string::npos) return value;
    const std::size_t cut = point + static_cast<std::size_t>(decimals) + 1;
    const int next = cut < s.size() ? s[cut] - '0' : 0;
    const double truncated = std::strtod(s.substr(0, cut).c_str(), nullptr);
    if (next > 4) return truncated + 1.0 / std::pow(10.0, decimals);
    return truncated;
}

void expectSameBits(double value, int decimals) {
    const double fast = RoundToDecimals(value, decimals), plain = roundOnText(value, decimals);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(fast), std::bit_cast<std::uint64_t>(plain))
        << numberText(value) << " to " << decimals << " decimals";
}

TEST(RoundToDecimals, SameDoubleAsReadingTheCutText) {
    // Rates and indices as the run makes them.
    for (int total = 1; total <= 400; ++total)
        for (int count = 0; count <= total; ++count) {
            expectSameBits(static_cast<double>(count) / total * 100, 3);
            expectSameBits(static_cast<double>(count) / total, 3);
        }
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int k = 0; k < 200000; ++k) {
        expectSameBits(unit(random), 3);
        expectSameBits(unit(random) * 1e6, k % 16);
        const double any = std::bit_cast<double>(bits(random));
        expectSameBits(any, k % 25);
    }
    // Next to the cut digits' boundaries, where the text and the product
    // could disagree: a few ulps either side of k / 10^(d+1).
    for (int d = 0; d <= 7; ++d)
        for (int k = 1; k < 4000; k += 1 + k / 50) {
            const double edge = k / std::pow(10.0, d + 1);
            double below = edge, above = edge;
            for (int step = 0; step < 4; ++step) {
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, 1e9);
                expectSameBits(below, d);
                expectSameBits(above, d);
            }
            expectSameBits(edge, d);
            expectSameBits(edge * 1000, d);
            expectSameBits(edge - 5e-14, d);
            expectSameBits(edge + 4.9e-14, d);
        }
    for (double v :
         {0.0, -0.0, 1e-5, 0.0001, 0.00049999, 0.0005, 999.9995, 1e15, 123456789012.345, -2.5e-4,
          std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()})
        for (int d = 0; d <= 23; ++d)
            if (!std::isnan(v)) expectSameBits(v, d);
}

}  // namespace
}  // namespace qv
