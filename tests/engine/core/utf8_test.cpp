#include "core/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

bool continuation(int b) {
    return b >= 0x80 && b <= 0xBF;
}

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) s += static_cast<char>(v);
    return s;
}

// Every sequence of one or two bytes, every three-byte one and the four-byte
// leads, against the table of well-formed UTF-8 (no overlongs, no surrogates,
// nothing above U+10FFFF).
TEST(Utf8, ValidationFollowsTheTableOfWellFormedSequences) {
    for (int a = 0; a < 256; ++a) {
        ASSERT_EQ(isValidUtf8(bytes({a})), a < 0x80) << a;
        for (int b = 0; b < 256; ++b) {
            const bool ascii = a < 0x80 && b < 0x80;
            const bool pair = a >= 0xC2 && a <= 0xDF && continuation(b);
            ASSERT_EQ(isValidUtf8(bytes({a, b})), ascii || pair) << a << " " << b;
        }
    }
    for (int a = 0xE0; a <= 0xEF; ++a)
        for (int b = 0; b < 256; ++b)
            for (int c = 0; c < 256; ++c) {
                const bool second = a == 0xE0 ? b >= 0xA0 && b <= 0xBF
                                    : a == 0xED ? b >= 0x80 && b <= 0x9F
                                                : continuation(b);
                ASSERT_EQ(isValidUtf8(bytes({a, b, c})), second && continuation(c))
                    << a << " " << b << " " << c;
            }
    for (int a = 0xF0; a <= 0xFF; ++a)
        for (int b = 0; b < 256; ++b) {
            const bool second = a == 0xF0   ? b >= 0x90 && b <= 0xBF
                                : a <= 0xF3 ? continuation(b)
                                : a == 0xF4 ? b >= 0x80 && b <= 0x8F
                                            : false;
            ASSERT_EQ(isValidUtf8(bytes({a, b, 0x80, 0x80})), second) << a << " " << b;
        }
}

TEST(Utf8, EncodesEachLengthAtItsBoundaries) {
    const std::pair<char32_t, std::string> cases[] = {
        {0x7F, bytes({0x7F})},
        {0x80, bytes({0xC2, 0x80})},
        {0x7FF, bytes({0xDF, 0xBF})},
        {0x800, bytes({0xE0, 0xA0, 0x80})},
        {U'概', bytes({0xE6, 0xA6, 0x82})},
        {0xFFFF, bytes({0xEF, 0xBF, 0xBF})},
        {0x10000, bytes({0xF0, 0x90, 0x80, 0x80})},
        {0x10FFFF, bytes({0xF4, 0x8F, 0xBF, 0xBF})}};
    for (const auto& [cp, utf8] : cases) {
        EXPECT_EQ(toUtf8(std::u32string(1, cp)), utf8) << static_cast<int>(cp);
        EXPECT_EQ(toCodePoints(utf8), std::u32string(1, cp));
    }
    // Every scalar value in one text: the lengths add up and it reads back.
    std::u32string all;
    std::size_t length = 0;
    for (char32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        all.push_back(cp);
        length += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    }
    const std::string utf8 = toUtf8(all);
    EXPECT_EQ(utf8.size(), length);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_TRUE(toCodePoints(utf8) == all);
    // Each malformed byte reads as one replacement character.
    EXPECT_EQ(toCodePoints("a\xC0\x80" "b\xE6\xA6"), U"a\uFFFD\uFFFDb\uFFFD\uFFFD");
}

}  // namespace
}  // namespace qv
