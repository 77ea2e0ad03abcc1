#include "data/lines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qv {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(Lines, CrAndCrLfEndLinesLoneLfStays) {
    EXPECT_THAT(splitLines("a\r\nb\r\n"), ElementsAre("a", "b"));
    EXPECT_THAT(splitLines("a\rb\rc"), ElementsAre("a", "b", "c"));
    EXPECT_THAT(splitLines("a\nb\r\nc"), ElementsAre("a\nb", "c"));
    EXPECT_THAT(splitLines("a\r\n\r\nb\r\n"), ElementsAre("a", "", "b"));
    // CR CR LF: the first CR ends a line, the CR LF ends an empty one.
    EXPECT_THAT(splitLines("a\r\r\nb"), ElementsAre("a", "", "b"));
    // LF CR: the LF belongs to the line, the CR ends it, nothing pairs with a later LF.
    EXPECT_THAT(splitLines("a\n\rb"), ElementsAre("a\n", "b"));
}

TEST(Lines, EditorLinesKeepOneLf) {
    // An editor box joins its lines with LF CR LF and the save appends CR LF.
    EXPECT_THAT(splitLines("20\r\n1 a\n\r\n2 b\n\r\n\r\n"),
                ElementsAre("20", "1 a\n", "2 b\n", ""));
}

TEST(Lines, NoEmptyLineAfterTheLastTerminator) {
    EXPECT_THAT(splitLines(""), IsEmpty());
    EXPECT_THAT(splitLines("\r\n"), ElementsAre(""));
    EXPECT_THAT(splitLines("abc"), ElementsAre("abc"));
    EXPECT_THAT(splitLines("abc\r"), ElementsAre("abc"));
    EXPECT_THAT(splitLines("abc\r\n"), ElementsAre("abc"));
    EXPECT_THAT(splitLines("abc\r\n\n"), ElementsAre("abc", "\n"));
    EXPECT_THAT(splitLines("\n"), ElementsAre("\n"));
}

TEST(Lines, BlankLinesAndTrailingLf) {
    EXPECT_TRUE(isBlankLine(""));
    EXPECT_TRUE(isBlankLine(" \t\n "));
    EXPECT_FALSE(isBlankLine(" x "));
    EXPECT_FALSE(isBlankLine("\xE3\x80\x80"));  // a full-width space is text
    EXPECT_EQ(withoutTrailingLf("ab\n\n"), "ab");
    EXPECT_EQ(withoutTrailingLf("a\nb"), "a\nb");
    EXPECT_EQ(withoutTrailingLf("ab \n"), "ab ");
}

}  // namespace
}  // namespace qv
