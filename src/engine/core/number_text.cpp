#include "core/number_text.h"

#include <algorithm>
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

// A value's decimal text cut after some decimal: the kept digits as one whole
// number over 10^taken, and the first digit cut off.
struct CutDigits {
    std::uint64_t kept = 0;
    int taken = 0;
    int next = 0;
    bool negative = false;
};

// The rule itself: the kept digits, plus one unit of the last kept decimal
// when the next digit is 5 or more (a digit is cut only once `decimals` are
// kept). With at most 15 significant digits the count of units is below 2^53,
// so it and the power are exact and the one division gives the double
// nearest the rounded decimal. Adding the unit as a double instead would round
// twice: 0.009 + 0.001 is 0.0099999999999999985, not 0.01. The unit goes on
// with its sign, so a negative value moves towards zero.
double roundedFrom(const CutDigits& c) {
    const auto kept = static_cast<std::int64_t>(c.kept);
    if (c.next < 5 && kept == 0) return c.negative ? -0.0 : 0.0;
    const std::int64_t units = (c.negative ? -kept : kept) + (c.next > 4 ? 1 : 0);
    return static_cast<double>(units) / kExactPowersOfTen[c.taken];
}

// Rates and indices, in [0.001, 100) with at most six decimals, without the
// text: the kept digits and the next one are those of floor(value * 10^(d+1)).
// The product's rounding error (below 1.2e-7) and the 15-digit text's (below
// 5e-7 after scaling) can only move that floor when the product lies within
// 1e-5 of a whole number; those values are left to the text. Below 0.001 the
// text may take an exponent, and from 100 on the errors grow.
std::optional<CutDigits> cutByProduct(double value, int decimals) {
    if (!(value >= 0.001 && value < 100) || decimals > 6) return std::nullopt;
    const double scaled = value * kExactPowersOfTen[decimals + 1];
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;  // exact
    // A product that is whole (1.0, 0.5 and the like, common among the
    // indices) is within 1.2e-7 of the exact one, so the 15-digit text,
    // rounded to nearest, shows the same digits.
    if (fraction != 0 && (fraction < 1e-5 || fraction > 1 - 1e-5)) return std::nullopt;
    const auto digits = static_cast<std::uint64_t>(whole);
    return CutDigits{digits / 10, decimals, static_cast<int>(digits % 10), false};
}

// A text such as "8.2e-05" read positionally ("0.000082"), so that rounding
// cuts its decimals like any other's. Below 1e-5 this is what the text means.
std::optional<CutDigits> cutSmall(std::string_view s, std::size_t e, int decimals) {
    const int exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
    if (exponent >= 0) return std::nullopt;  // 1e+15 and up: whole numbers
    std::string digits(static_cast<std::size_t>(-exponent - 1), '0');
    for (char ch : s.substr(0, e))
        if (ch >= '0' && ch <= '9') digits += ch;
    CutDigits c;
    c.negative = s[0] == '-';
    c.taken = std::min(decimals, static_cast<int>(digits.size()));
    for (int p = 0; p < c.taken; ++p)
        c.kept =
            c.kept * 10 + static_cast<std::uint64_t>(digits[static_cast<std::size_t>(p)] - '0');
    c.next = c.taken < static_cast<int>(digits.size())
                 ? digits[static_cast<std::size_t>(c.taken)] - '0'
                 : 0;
    return c;
}

// The same read off the 15-digit text.
std::optional<CutDigits> cutByText(double value, int decimals) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    const std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
    if (const auto e = s.find('e'); e != std::string_view::npos) return cutSmall(s, e, decimals);
    const auto point = s.find('.');
    if (point == std::string_view::npos) {
        // A whole-number text is the value it shows (1.0000000000000002 shows
        // as 1 and is 1); inf and nan stay as they are.
        if (s.find_first_not_of("-0123456789") != std::string_view::npos) return std::nullopt;
        CutDigits whole;
        whole.negative = s[0] == '-';
        for (char ch : s.substr(whole.negative ? 1 : 0))
            whole.kept = whole.kept * 10 + static_cast<std::uint64_t>(ch - '0');
        return whole;
    }
    const std::size_t cut = std::min(point + static_cast<std::size_t>(decimals) + 1, s.size());
    CutDigits c;
    c.negative = s[0] == '-';
    c.taken = static_cast<int>(cut - point - 1);
    c.next = cut < s.size() ? s[cut] - '0' : 0;
    for (std::size_t p = c.negative ? 1 : 0; p < cut; ++p)
        if (p != point) c.kept = c.kept * 10 + static_cast<std::uint64_t>(s[p] - '0');
    return c;
}

}  // namespace

double RoundToDecimals(double value, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxExactPower);
    // A whole number below 10^15 (0 and 100 among the rates) is its own text.
    if (value == std::floor(value) && std::abs(value) < 1e15) return value;
    if (auto c = cutByProduct(value, decimals)) return roundedFrom(*c);
    if (auto c = cutByText(value, decimals)) return roundedFrom(*c);
    return value;
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

namespace {

// k when the value is within an ulp of the double nearest k / 1000, as the
// rounded indices and rates are: then it is within 3.4e-16 of k / 1000 itself,
// less than half a unit of its 15th digit, so its 15-digit text is k / 1000.
std::optional<std::int64_t> nearThousandths(double value) {
    const double scaled = value * 1000;
    if (!(std::abs(scaled) < 1e15)) return std::nullopt;
    const auto k = static_cast<std::int64_t>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
    if (!(std::abs(value - static_cast<double>(k) / 1000.0) <= std::abs(value) * 0x1p-52))
        return std::nullopt;
    return k;
}

// k / 1000 in decimals, its zeros trimmed, and the point with them when
// `point` is false: for such a value this is the shortest text that reads
// back as it, and its 15-digit text as well.
char* putThousandths(char* at, std::int64_t k, bool point) {
    if (k < 0) *at++ = '-';
    const std::uint64_t magnitude =
        k < 0 ? 0 - static_cast<std::uint64_t>(k) : static_cast<std::uint64_t>(k);
    const std::uint64_t whole = magnitude / 1000;
    if (whole < 10) {
        *at++ = static_cast<char>('0' + whole);
    } else if (whole < 100) {
        *at++ = static_cast<char>('0' + whole / 10);
        *at++ = static_cast<char>('0' + whole % 10);
    } else {
        at = std::to_chars(at, at + 20, whole).ptr;
    }
    const auto fraction = static_cast<unsigned>(magnitude % 1000);
    if (fraction == 0 && !point) return at;
    *at++ = '.';
    const char digits[3] = {static_cast<char>('0' + fraction / 100),
                            static_cast<char>('0' + fraction / 10 % 10),
                            static_cast<char>('0' + fraction % 10)};
    std::memcpy(at, digits, 3);
    return at + (fraction % 100 == 0 ? 1 : fraction % 10 == 0 ? 2 : 3);
}

}  // namespace

char* thousandthsText(char* at, double value) {
    const auto k = nearThousandths(value);
    return k ? putThousandths(at, *k, false) : nullptr;
}

char* thousandthsJson(char* at, double value) {
    const auto k = nearThousandths(value);
    return k ? putThousandths(at, *k, true) : nullptr;
}

}  // namespace qv
