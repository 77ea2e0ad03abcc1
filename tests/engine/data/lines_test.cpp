#include "data/lines.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qv {
namespace {

using Lines = std::vector<std::string>;

TEST(Lines, CrAndCrLfEndLinesALoneLfStays) {
    const std::pair<const char*, Lines> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\nb\r\nc", {"a\nb", "c"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        // CR CR LF: the first CR ends a line, the CR LF an empty one.
        {"a\r\r\nb", {"a", "", "b"}},
        // LF CR: the LF belongs to the line, the CR ends it.
        {"a\n\rb", {"a\n", "b"}},
        // An editor box joins its lines with LF CR LF, the save adds CR LF.
        {"20\r\n1 a\n\r\n2 b\n\r\n\r\n", {"20", "1 a\n", "2 b\n", ""}},
        // No empty line after the last terminator.
        {"", {}},
        {"\r\n", {""}},
        {"abc\r", {"abc"}},
        {"abc\r\n\n", {"abc", "\n"}},
        {"\n", {"\n"}}};
    for (const auto& [text, lines] : cases) EXPECT_EQ(splitLines(text), lines) << text;
}

TEST(Lines, BlankLinesAndTrailingLf) {
    EXPECT_TRUE(isBlankLine(" \t\n "));
    EXPECT_FALSE(isBlankLine(" x "));
    EXPECT_FALSE(isBlankLine("\xE3\x80\x80"));  // a full-width space is text
    EXPECT_EQ(withoutTrailingLf("ab\n\n"), "ab");
    EXPECT_EQ(withoutTrailingLf("a\nb"), "a\nb");
}

}  // namespace
}  // namespace qv
