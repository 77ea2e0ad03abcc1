#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace qv {

namespace {

// "1e-05" -> "1E-05", "1e+15" -> "1E+15": the platform writes the exponent
// with a capital E and at least two digits.
std::string exponentText(const char* begin, const char* end) {
    std::string s;
    s.reserve(static_cast<std::size_t>(end - begin) + 1);
    for (const char* p = begin; p != end; ++p) {
        if (*p != 'e') {
            s += *p;
            continue;
        }
        s += 'E';
        s += p[1];  // the sign, always written by to_chars
        if (end - (p + 2) < 2) s += '0';
        s.append(p + 2, end);
        break;
    }
    return s;
}

// The rule itself, on the decimal text; for decimal counts the fast path below
// does not cover.
double roundByText(double value, int decimals) {
    const std::string s = numberText(value);
    const auto point = s.find('.');
    if (point == std::string::npos || s.find('E') != std::string::npos) return value;
    const std::size_t cut = point + static_cast<std::size_t>(decimals) + 1;
    const int next = cut < s.size() ? s[cut] - '0' : 0;
    const double truncated = std::strtod(s.substr(0, cut).c_str(), nullptr);
    if (next > 4) return truncated + 1.0 / std::pow(10.0, decimals);
    return truncated;
}

}  // namespace

std::string numberText(double value) {
    if (value == 0.0) return "0";  // also turns -0 into 0
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return exponentText(buf, res.ptr);
}

namespace {

// 10^0 ... 10^22, every one exact as a double.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPower = 22;

// Rates and indices, in [0.001, 100) with at most six decimals, without the
// text: the kept digits and the next one are those of floor(value * 10^(d+1)).
// The product's rounding error (below 1.2e-7) and the 15-digit text's (below
// 5e-7 after scaling) can only move that floor when the product lies within
// 1e-5 of a whole number; those values are left to the text. Below 0.001 the
// text may take an exponent, and from 100 on the errors grow.
std::optional<double> roundByProduct(double value, int decimals) {
    if (!(value >= 0.001 && value < 100) || decimals < 0 || decimals > 6) return std::nullopt;
    const double scaled = value * kExactPowersOfTen[decimals + 1];
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;  // exact
    if (fraction < 1e-5 || fraction > 1 - 1e-5) return std::nullopt;
    const auto digits = static_cast<std::uint64_t>(whole);
    // The same division of the kept digits by 10^d as the text path.
    const double truncated = static_cast<double>(digits / 10) / kExactPowersOfTen[decimals];
    if (digits % 10 > 4) return truncated + 1.0 / std::pow(10.0, decimals);
    return truncated;
}

}  // namespace

double RoundToDecimals(double value, int decimals) {
    if (decimals < 0 || decimals > kMaxExactPower) return roundByText(value, decimals);
    if (const std::optional<double> quick = roundByProduct(value, decimals)) return *quick;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    const std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto point = s.find('.');
    // Exponent texts, whole numbers, inf and nan stay as they are; 0 is one
    // of the whole numbers.
    if (point == std::string_view::npos || s.find('e') != std::string_view::npos) return value;
    const std::size_t cut = std::min(point + static_cast<std::size_t>(decimals) + 1, s.size());
    const int next = cut < s.size() ? s[cut] - '0' : 0;
    // The kept digits as one integer k over 10^taken. With at most 15
    // significant digits k is below 2^53, so k and the power are exact and
    // one division rounds k / 10^taken correctly, the same double the kept
    // text reads as.
    std::uint64_t k = 0;
    for (std::size_t p = s[0] == '-' ? 1 : 0; p < cut; ++p)
        if (p != point) k = k * 10 + static_cast<std::uint64_t>(s[p] - '0');
    const double magnitude = static_cast<double>(k) / kExactPowersOfTen[cut - point - 1];
    const double truncated = s[0] == '-' ? -magnitude : magnitude;
    if (next > 4) return truncated + 1.0 / std::pow(10.0, decimals);
    return truncated;
}

double roundIndex(double value) {
    if (value < 0) return -RoundToDecimals(-value, 3);
    return RoundToDecimals(value, 3);
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

double leadingNumber(std::string_view text, bool* found) {
    std::string number;
    bool digits = false, point = false, exponent = false, expDigits = false;
    for (char ch : text) {
        if (ch == ' ' || ch == '\t' || ch == '\n') continue;
        const bool isDigit = ch >= '0' && ch <= '9';
        if (isDigit) {
            number += ch;
            (exponent ? expDigits : digits) = true;
        } else if ((ch == '+' || ch == '-') &&
                   (number.empty() || (exponent && !expDigits && (number.back() == 'e')))) {
            number += ch;
        } else if (ch == '.' && !point && !exponent) {
            number += ch;
            point = true;
        } else if ((ch == 'e' || ch == 'E' || ch == 'd' || ch == 'D') && digits && !exponent) {
            number += 'e';
            exponent = true;
        } else {
            break;
        }
    }
    if (found) *found = digits;
    if (!digits) return 0.0;
    if (exponent && !expDigits) {
        while (!number.empty() &&
               (number.back() == 'e' || number.back() == '+' || number.back() == '-'))
            number.pop_back();
    }
    return std::strtod(number.c_str(), nullptr);
}

std::string padLeft(std::string_view text, std::size_t width) {
    std::string out;
    if (text.size() < width) out.assign(width - text.size(), ' ');
    out.append(text);
    return out;
}

}  // namespace qv
