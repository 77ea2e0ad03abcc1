#pragma once

#include <string>
#include <string_view>

namespace qv {

// The text of a data file as UTF-8. A UTF-8 byte order mark is dropped; bytes
// that are valid UTF-8 are taken as they are; anything else is read as Big5
// (Windows code page 950), the encoding of files written on Traditional
// Chinese Windows. After a byte order mark the rest is UTF-8 whatever it
// holds: malformed sequences there become U+FFFD.
std::string decodeText(std::string_view bytes);
// The same, without a copy when the bytes are UTF-8 already.
std::string decodeOwnedText(std::string bytes);

// The bytes to write for a text: code page 950 when every character has a
// place in it and the bytes read back as the same text, otherwise UTF-8 with a
// byte order mark.
std::string encodeForSave(std::string_view utf8);

}  // namespace qv
