#include "core/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <tuple>

namespace qv {
namespace {

TEST(NumberText, FifteenSignificantDigitsAndRoundingThatKeepsTheSign) {
    const std::pair<double, const char*> cases[] = {{0, "0"},
                                                    {-0.0, "0"},
                                                    {0.5, "0.5"},
                                                    {-0.491, "-0.491"},
                                                    {1400, "1400"},
                                                    {1e-5, "1E-05"},
                                                    {1e15, "1E+15"},
                                                    {100.0 / 3, "33.3333333333333"},
                                                    {200.0 / 3, "66.6666666666667"},
                                                    {RoundToDecimals(200.0 / 3, 3), "66.667"},
                                                    {roundIndex(-0.4913), "-0.491"},
                                                    {roundIndex(-0.4916), "-0.492"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(numberText(value), text);
    EXPECT_EQ(padLeft("0.5", 6), "   0.5");
    EXPECT_EQ(padLeft("1000.25", 6), "1000.25");
}

TEST(LeadingNumber, ReadsTheNumberAtTheStart) {
    const std::pair<const char*, double> cases[] = {
        {"20", 20},    {" 5", 5},      {"12abc", 12}, {"1 2", 12},  {"2.5x", 2.5},
        {"-3", -3},    {"1e2", 100},   {"1d2", 100},  {"1D2", 100}, {"7e", 7},
        {"1e+2", 100}, {"2e-1x", 0.2}, {".5", 0.5},   {"3.", 3}};
    for (const auto& [text, value] : cases) {
        bool found = false;
        EXPECT_EQ(leadingNumber(text, &found), value) << text;
        EXPECT_TRUE(found) << text;
    }
    for (const char* none : {"", "abc", "-", "e5", "."}) {
        bool found = true;
        EXPECT_EQ(leadingNumber(none, &found), 0) << none;
        EXPECT_FALSE(found) << none;
    }
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(3.5), 4);
}

// Half up at the d-th decimal of the 15-significant-digit text, on its
// digits as one integer, read back by strtod: the double nearest the rounded
// decimal, which RoundToDecimals(value, d) must return exactly. The unit is
// added with its sign, so a negative value moves towards zero.
double roundedOnDigits(double value, int d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s = buf;
    if (const auto e = s.find('e'); e != std::string::npos) {
        // A tiny value's text is read positionally: 8.2e-05 is 0.000082.
        const int exponent = std::stoi(s.substr(e + 1));
        if (exponent >= 0) return value;
        std::string mantissa;
        for (char ch : s.substr(0, e))
            if (ch != '-' && ch != '.') mantissa += ch;
        s = (value < 0 ? "-0." : "0.") + std::string(static_cast<std::size_t>(-exponent - 1), '0') +
            mantissa;
    }
    const std::size_t point = s.find('.');
    if (point == std::string::npos) return std::strtod(s.c_str(), nullptr);
    const std::size_t kept = std::min(s.size() - point - 1, static_cast<std::size_t>(d));
    long long k = std::stoll(s.substr(0, point) + s.substr(point + 1, kept));
    if (point + 1 + kept < s.size() && s[point + 1 + kept] >= '5') ++k;
    const std::string scaled = std::to_string(k) + "e-" + std::to_string(kept);
    return std::strtod(scaled.c_str(), nullptr);
}

void expectRounded(double value, int d) {
    d = std::min(d, 22);  // the most decimals RoundToDecimals takes
    const double got = RoundToDecimals(value, d), want = roundedOnDigits(value, d);
    EXPECT_EQ(got, want) << numberText(value) << " to " << d << " decimals: " << std::hexfloat
                         << got << " instead of " << want;
}

TEST(RoundToDecimals, AgreesWithRoundingTheDigits) {
    // A unit added to the kept digits as a double would round twice.
    EXPECT_EQ(RoundToDecimals(0.0095, 3), 0.01);
    EXPECT_EQ(roundIndex(-0.0095), -0.01);
    const std::tuple<double, int, double> upwards[] = {{0.0295, 3, 0.03},
                                                       {0.00095, 4, 0.001},
                                                       {1.15, 1, 1.2},
                                                       {99.9995, 3, 100.0},
                                                       {0.45, 1, 0.5}};
    for (const auto& [value, d, rounded] : upwards)
        EXPECT_EQ(RoundToDecimals(value, d), rounded) << value;
    // Rates and indices as the run makes them.
    for (int total = 1; total <= 300; ++total)
        for (int count = 0; count <= total; ++count) {
            expectRounded(static_cast<double>(count) / total * 100, 3);
            expectRounded(static_cast<double>(count) / total, 3);
        }
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int k = 0; k < 60000; ++k) {
        expectRounded(unit(random), 3);
        expectRounded(unit(random) * 1e6, k % 16);
        const double any = std::bit_cast<double>(bits(random));
        if (!std::isnan(any)) expectRounded(any, k % 25);
    }
    // A few ulps either side of the boundaries k / 10^(d+1), where the
    // product of the quick path and the text could disagree.
    for (int d = 0; d <= 7; ++d)
        for (int k = 1; k < 4000; k += 1 + k / 50) {
            const double edge = k / std::pow(10.0, d + 1);
            double below = edge, above = edge;
            for (int step = 0; step < 4; ++step) {
                expectRounded(below = std::nextafter(below, 0.0), d);
                expectRounded(above = std::nextafter(above, 1e9), d);
            }
            for (double v : {edge, edge * 1000, edge - 5e-14, edge + 4.9e-14})
                expectRounded(v, d);
        }
    for (double v : {1e-5, 0.00049999, 0.0005, 999.9995, 1e15, 123456789012.345, -2.5e-4,
                     std::numeric_limits<double>::infinity()})
        for (int d = 0; d <= 23; ++d)
            expectRounded(v, d);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

// The texts of counts of thousandths: as numberText writes them, and as
// nlohmann::json writes the double that text reads as (the shortest text
// that reads back, with ".0" on whole numbers). Every count an index or a
// rate can take, an ulp either side of each (rounding leaves some there),
// and numbers that are no such count.
TEST(ThousandthsText, NumberTextAndShortestTextOfEveryThousandth) {
    char got[32], shortest[32];
    for (std::int64_t k = -200000; k <= 200000; ++k) {
        const double nearest = static_cast<double>(k) / 1000.0;
        std::string json(shortest, std::to_chars(shortest, shortest + 32, nearest).ptr);
        if (json.find('.') == std::string::npos) json += ".0";
        // An ulp from zero is no count of thousandths.
        const double toward = k == 0 ? 0 : 1e9;
        for (const double value :
             {nearest, std::nextafter(nearest, -toward), std::nextafter(nearest, toward)}) {
            char* end = thousandthsText(got, value);
            ASSERT_NE(end, nullptr) << k;
            ASSERT_EQ(std::string(got, end), numberText(value)) << k;
            end = thousandthsJson(got, value);
            ASSERT_NE(end, nullptr) << k;
            ASSERT_EQ(std::string(got, end), json) << k;
        }
    }
    EXPECT_EQ(std::string(got, thousandthsText(got, -0.0)), "0");
    EXPECT_EQ(std::string(got, thousandthsJson(got, -0.0)), "0.0");
    for (const double other : {0.0005, 1.0 / 3, 0.1 + 1e-13, 1e20, std::nan("")}) {
        EXPECT_EQ(thousandthsText(got, other), nullptr) << other;
        EXPECT_EQ(thousandthsJson(got, other), nullptr) << other;
    }
}

}  // namespace
}  // namespace qv
