#include "core/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

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

double RoundToDecimals(double value, int decimals) {
    const std::string s = numberText(value);
    const auto point = s.find('.');
    if (point == std::string::npos || s.find('E') != std::string::npos) return value;
    const std::size_t cut = point + static_cast<std::size_t>(decimals) + 1;
    const int next = cut < s.size() ? s[cut] - '0' : 0;
    const double truncated = std::strtod(s.substr(0, cut).c_str(), nullptr);
    if (next > 4) return truncated + 1.0 / std::pow(10.0, decimals);
    return truncated;
}

double roundIndex(double value) {
    if (value < 0) return -RoundToDecimals(-value, 3);
    return RoundToDecimals(value, 3);
}

double roundHalfEven(double value) { return std::nearbyint(value); }

double leadingNumber(std::string_view text, bool* found) {
    std::string number;
    bool digits = false, point = false, exponent = false, expDigits = false;
    for (char ch : text) {
        if (ch == ' ' || ch == '\t' || ch == '\n') continue;
        const bool isDigit = ch >= '0' && ch <= '9';
        if (isDigit) {
            number += ch;
            (exponent ? expDigits : digits) = true;
        } else if ((ch == '+' || ch == '-') && (number.empty() || (exponent && !expDigits &&
                                                                  (number.back() == 'e')))) {
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
        while (!number.empty() && (number.back() == 'e' || number.back() == '+' ||
                                   number.back() == '-'))
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
