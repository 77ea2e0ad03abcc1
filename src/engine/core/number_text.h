#pragma once

#include <string>
#include <string_view>

namespace qv {

// The one number-to-text conversion for everything the user sees: at most 15
// significant digits, shortest form, "." as the point, a 0 before the point
// below 1, no trailing zeros, no leading space ("0.5", "33.333", "100", "-0.491").
std::string numberText(double value);

// Rounds a non-negative value half up at the d-th decimal by working on its
// decimal text, so 33.3333333333333 -> 33.333 and 66.6666666666667 -> 66.667;
// the result is the double nearest the rounded decimal (0.0095 -> 0.01).
// Decimals run from 0 to 22; others are clamped into that range.
double RoundToDecimals(double value, int decimals);

// The three-decimal rule of the similarity indices: the magnitude rounded as
// RoundToDecimals does, the sign kept.
double roundIndex(double value);

// Rounds to the nearest whole number, halves to the even neighbour.
double roundHalfEven(double value);

// The numeric value of the number at the start of a text: blanks (space, tab,
// line feed) are ignored, reading stops at the first character that cannot
// continue the number, and a text without a number gives 0. Sets `found` when
// at least one digit was read.
double leadingNumber(std::string_view text, bool* found = nullptr);

// Right-aligns text in a field: (width - length) spaces, then the text. A text
// wider than its field is returned whole.
std::string padLeft(std::string_view text, std::size_t width);

// A number that is a count of thousandths k (the indices and rates are: the
// double nearest k / 1000 or an ulp from it) written at `at`, up to 24 bytes:
// as numberText writes it ("90.909", "1", "-0.25"), or as the JSON writes the
// double that text reads as ("90.909", "1.0", "-0.25"). The end of the text,
// or null when the number is no such count.
char* thousandthsText(char* at, double value);
char* thousandthsJson(char* at, double value);

}  // namespace qv
