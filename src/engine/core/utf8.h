#pragma once

#include <string>
#include <string_view>

namespace qv {

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool isValidUtf8(std::string_view bytes);

// Conversions between UTF-8 and code points. The input of toCodePoints must be
// valid UTF-8 (what the decoders produce); invalid bytes become U+FFFD.
std::u32string toCodePoints(std::string_view utf8);
std::string toUtf8(std::u32string_view text);
void appendUtf8(std::string& out, char32_t cp);

// The longest start of a UTF-8 text that has at most `maxBytes` bytes and
// ends on a whole character.
std::string_view utf8Prefix(std::string_view utf8, std::size_t maxBytes);

}  // namespace qv
