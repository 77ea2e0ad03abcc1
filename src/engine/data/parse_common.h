#pragma once

// Pieces shared by the three file readers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv::detail {

inline bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// The code point at byte `i` of valid UTF-8; moves `i` past it.
inline char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 1;
    char32_t cp = b0;
    if (b0 >= 0xF0) {
        len = 4, cp = b0 & 0x07u;
    } else if (b0 >= 0xE0) {
        len = 3, cp = b0 & 0x0Fu;
    } else if (b0 >= 0xC0) {
        len = 2, cp = b0 & 0x1Fu;
    }
    for (std::size_t k = 1; k < len && i + k < s.size(); ++k)
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3Fu);
    i += len;
    return cp;
}

// What is wrong with a line that carries an LF with more text behind it: the
// line breaks of the file are not CR LF. Nothing when the line is fine.
std::optional<std::string> loneLfProblem(std::string_view line);

// A note for files that break their lines with LF alone.
bool hasLfWithoutCr(std::string_view text);
extern const char* const kCrLfNote;

// The count on the first line of a concept-note or item-concept file: its
// leading number rounded half to even, which must lie in 1..max. `noun` names
// the count ("概念數"), `limitWhy` says where the upper bound comes from.
struct CountRule {
    const char* noun;
    std::int32_t max;
    const char* limitWhy;
};
std::optional<std::string> readCount(std::string_view line, const CountRule& rule,
                                     std::int32_t& count);

// Why a file that is not 8-bit text cannot be read, saying what it looks
// like: UTF-16 (which Windows' Notepad can save), UTF-32, or NUL bytes only.
// Nothing for any other file.
std::optional<std::string> encodingProblem(std::string_view bytes);

// A piece of user text short enough to quote in a message.
std::string excerpt(std::string_view text);

}  // namespace qv::detail
