#include "data/text_codec.h"

#include <gtest/gtest.h>

#include "data_test_util.h"

namespace qv {
namespace {

const std::string kBom = "\xEF\xBB\xBF";
const std::string kChinese = "概念註解檔：數學小考 ABC 123";

TEST(TextCodec, DecodesUtf8WithOrWithoutAMark) {
    EXPECT_EQ(decodeText(kChinese), kChinese);
    EXPECT_EQ(decodeText(kBom + kChinese), kChinese);
    EXPECT_EQ(decodeText(kBom), "");
    // Only the first mark is dropped; after it the text is UTF-8 even where broken.
    EXPECT_EQ(decodeText(kBom + kBom + "x"), kBom + "x");
    EXPECT_EQ(decodeText(kBom + "a\xB7" + "b"),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(TextCodec, DecodesMicrosoftCodePage950) {
    EXPECT_EQ(decodeText("\xB7\xA7\xA9\xC0"), "概念");
    // Entries where Microsoft's table differs from IBM's and from plain Big5.
    EXPECT_EQ(decodeText("\xA3\xE1"), "€");
    EXPECT_EQ(decodeText("\xA1\x45"), "‧");
    EXPECT_EQ(decodeText(test::toBig5(kChinese)), kChinese);
    // A lead byte without its trail byte does not lose the rest.
    const std::string cut = decodeText("ab\xB7");
    EXPECT_EQ(cut.substr(0, 2), "ab");
    EXPECT_TRUE(isValidUtf8(cut));
}

TEST(TextCodec, SavesCodePage950WhenEveryCharacterFitsAndReadsBack) {
    EXPECT_EQ(encodeForSave(kChinese), test::toBig5(kChinese));
    EXPECT_EQ(encodeForSave("8\r\n9\r\nABCD\r\n"), "8\r\n9\r\nABCD\r\n");
    // Otherwise UTF-8 with a mark; whatever is saved reads back as the same text.
    for (const std::string text : {"概念 😀", "ŋ\r\n", "數學\xE3\x81\x82", "癒癒", "€‧"})
        EXPECT_EQ(decodeText(encodeForSave(text)), text) << text;
    EXPECT_EQ(encodeForSave("概念 😀"), kBom + "概念 😀");
    // 癒 is C2 A1 in code page 950, also the UTF-8 of ¡: it would read back wrong.
    EXPECT_EQ(encodeForSave("癒"), kBom + "癒");
    EXPECT_EQ(decodeText(encodeForSave(kBom + "x")), kBom + "x");
}

TEST(TextCodec, LongTextsConvertWhole) {
    // Far more characters than one conversion buffer holds, with a pair of
    // surrogates for U+20000 in the UTF-8 case.
    std::string text;
    for (int i = 0; i < 12000; ++i)
        text += "概念\r\n";
    const std::string big5 = test::toBig5(text);
    ASSERT_EQ(big5.size(), 12000u * 6);
    EXPECT_EQ(decodeText(big5), text);
    EXPECT_EQ(encodeForSave(text), big5);
    const std::string wide = text + "𠀀";
    EXPECT_EQ(encodeForSave(wide), kBom + wide);
    EXPECT_EQ(decodeText(encodeForSave(wide)), wide);
}

}  // namespace
}  // namespace qv
