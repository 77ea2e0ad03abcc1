#include "core/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

bool tail(int b, int low = 0x80, int high = 0xBF) {
    return b >= low && b <= high;
}

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

// Every sequence of up to three bytes and the four-byte leads, against the
// table of well-formed UTF-8: no overlongs, no surrogates, nothing above U+10FFFF.
TEST(Utf8, ValidationFollowsTheTableOfWellFormedSequences) {
    for (int a = 0; a < 256; ++a) {
        ASSERT_EQ(isValidUtf8(bytes({a})), a < 0x80) << a;
        for (int b = 0; b < 256; ++b) {
            const bool two = (a < 0x80 && b < 0x80) || (tail(a, 0xC2, 0xDF) && tail(b));
            ASSERT_EQ(isValidUtf8(bytes({a, b})), two) << a << " " << b;
            const bool four = a == 0xF0   ? tail(b, 0x90)
                              : a == 0xF4 ? tail(b, 0x80, 0x8F)
                                          : tail(a, 0xF1, 0xF3) && tail(b);
            if (a >= 0xF0) {
                ASSERT_EQ(isValidUtf8(bytes({a, b, 0x80, 0x80})), four) << a << " " << b;
            }
            if (a < 0xE0 || a > 0xEF) continue;
            const bool second = a == 0xE0   ? tail(b, 0xA0)
                                : a == 0xED ? tail(b, 0x80, 0x9F)
                                            : tail(b);
            for (int c = 0; c < 256; ++c)
                ASSERT_EQ(isValidUtf8(bytes({a, b, c})), second && tail(c))
                    << a << " " << b << " " << c;
        }
    }
}

TEST(Utf8, EncodesEveryScalarValueAndReadsItBack) {
    const std::pair<char32_t, std::string> edges[] = {{0x7F, bytes({0x7F})},
                                                      {0x80, bytes({0xC2, 0x80})},
                                                      {0x7FF, bytes({0xDF, 0xBF})},
                                                      {0x800, bytes({0xE0, 0xA0, 0x80})},
                                                      {0xFFFF, bytes({0xEF, 0xBF, 0xBF})},
                                                      {0x10000, bytes({0xF0, 0x90, 0x80, 0x80})},
                                                      {0x10FFFF, bytes({0xF4, 0x8F, 0xBF, 0xBF})}};
    for (const auto& [cp, utf8] : edges)
        EXPECT_EQ(toUtf8(std::u32string(1, cp)), utf8) << static_cast<int>(cp);
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
    EXPECT_EQ(toCodePoints("a\xC0\x80"
                           "b\xE6\xA6"),
              U"a\uFFFD\uFFFDb\uFFFD\uFFFD");
}

}  // namespace
}  // namespace qv
