#include "data/text_codec.h"

#include <gtest/gtest.h>

#include "data_test_util.h"

namespace qv {
namespace {

const std::string kChinese = "概念註解檔：數學小考 ABC 123";

TEST(TextCodec, DecodesUtf8WithAndWithoutBom) {
    EXPECT_EQ(decodeText(kChinese), kChinese);
    EXPECT_EQ(decodeText("\xEF\xBB\xBF" + kChinese), kChinese);
    EXPECT_EQ(decodeText(""), "");
    EXPECT_EQ(decodeText("\xEF\xBB\xBF"), "");
    // Only the first mark is dropped.
    EXPECT_EQ(decodeText("\xEF\xBB\xBF\xEF\xBB\xBFx"), "\xEF\xBB\xBFx");
    // After a mark the text is UTF-8 even where it is broken.
    EXPECT_EQ(decodeText("\xEF\xBB\xBF"
                         "a\xB7"
                         "b"),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(TextCodec, DecodesMicrosoftCodePage950) {
    EXPECT_EQ(decodeText("\xB7\xA7\xA9\xC0"), "概念");
    EXPECT_EQ(decodeText("\xBC\xC6\xBE\xC7\r\n1 A"), "數學\r\n1 A");
    // Entries where Microsoft's table differs from IBM's and from plain Big5.
    EXPECT_EQ(decodeText("\xA3\xE1"), "€");
    EXPECT_EQ(decodeText("\xA1\x45"), "‧");
    EXPECT_EQ(decodeText(test::toBig5(kChinese)), kChinese);
    // A lead byte without its trail byte does not lose the rest.
    const std::string cut = decodeText("ab\xB7");
    EXPECT_EQ(cut.substr(0, 2), "ab");
    EXPECT_TRUE(isValidUtf8(cut));
}

TEST(TextCodec, SavesInCodePage950WhenEveryCharacterFits) {
    const std::string saved = encodeForSave(kChinese);
    EXPECT_EQ(saved, test::toBig5(kChinese));
    EXPECT_EQ(decodeText(saved), kChinese);
    EXPECT_EQ(encodeForSave("8\r\n9\r\nABCD\r\n"), "8\r\n9\r\nABCD\r\n");
    EXPECT_EQ(encodeForSave(""), "");
}

TEST(TextCodec, SavesUtf8WithBomOtherwise) {
    const std::string bom = "\xEF\xBB\xBF";
    // Whatever is saved reads back as the same text.
    for (const std::string text : {"概念 😀", "ŋ\r\n", "數學\xE3\x81\x82", "癒癒", "€‧"})
        EXPECT_EQ(decodeText(encodeForSave(text)), text) << text;
    EXPECT_EQ(encodeForSave("概念 😀"), bom + "概念 😀");
    // 癒 is C2 A1 in code page 950, which is also the UTF-8 of ¡: written that
    // way it would read back as different text.
    EXPECT_EQ(test::toBig5("癒"), "\xC2\xA1");
    EXPECT_EQ(encodeForSave("癒"), bom + "癒");
    EXPECT_EQ(decodeText(encodeForSave("癒")), "癒");
    // A text that starts with a byte order mark of its own keeps it.
    EXPECT_EQ(decodeText(encodeForSave(bom + "x")), bom + "x");
}

}  // namespace
}  // namespace qv
