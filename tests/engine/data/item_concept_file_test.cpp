#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/utf8.h"
#include "data_test_util.h"

namespace qv {
namespace {

using ::testing::HasSubstr;
using test::DataFile;

// The item-concept table read against a concept file of `concepts` concepts.
std::string table(const std::string& bytes, int concepts = 3) {
    test::ClassFiles f;
    EXPECT_EQ(f.load(DataFile::Concepts, std::to_string(concepts) + "\r\n"), "");
    EXPECT_EQ(f.load(DataFile::Items, bytes), "") << bytes;
    return test::rows(f.state.itemConcept);
}

TEST(ItemConceptFile, MarksTheListedConceptsLineByLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"3\r\n1 1,2,\r\n2 2,3,\r\n3 3,\r\n", "110 011 001"},
        // Text after the last comma is ignored, blanks around numbers are
        // not, a concept listed twice is marked once.
        {"3\r\n1 3,1\r\n2 3, 1,\r\n3 2,2,\t2 ,\r\n", "001 101 010"},
        // Without a space the whole line is read.
        {"2\r\n2,3,\r\n3 1,\r\n", "011 100"},
        // Numbers round half to even; a point without decimals is a number.
        {"2\r\n1 2.5,1.6,\r\n2 1.,\r\n", "010 100"},
        // Blank lines in the range are items without concepts, those after
        // the last item are the editor's; missing lines leave items empty.
        {"4\r\n1 1,\n\r\n\r\n3 2,\n\r\n\r\n \r\n", "100 000 010 000"},
        {"2.5\r\n1 1,\r\n", "100 000"}};
    for (const auto& [bytes, marks] : cases) EXPECT_EQ(table(bytes), marks) << bytes;
    const std::string utf8 = "2\r\n第一題 1,\r\n第二題 2,\r\n";
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, test::toBig5(utf8)})
        EXPECT_EQ(table(bytes, 2), "10 01");
    test::ClassFiles f;
    ASSERT_EQ(f.load(DataFile::Concepts, "1\r\n"), "");
    ASSERT_EQ(f.load(DataFile::Items, "10000\r\n"), "");
    EXPECT_EQ(f.state.itemConcept.rows(), 10000);
}

TEST(ItemConceptFile, LongEntriesAreQuotedWholeCharacters) {
    test::ClassFiles f;
    ASSERT_EQ(f.load(DataFile::Concepts, "3\r\n"), "");
    std::string entry;
    for (int i = 0; i < 30; ++i) entry += "甲";
    const std::string message = f.load(DataFile::Items, "1\r\n1 " + entry + ",\r\n");
    EXPECT_TRUE(isValidUtf8(message));
    // 40 bytes at most: thirteen characters of three bytes.
    EXPECT_THAT(message, HasSubstr("「" + entry.substr(0, 39) + "…」不是概念編號"));
}

TEST(ItemConceptFile, LoadingSetsTheItemCountAndKeepsTheKey) {
    test::ClassFiles f;
    ASSERT_TRUE(f.loadClass("2\r\n", "5\r\n", "8\r\n9\r\nABCDE\r\n"));
    f.state.hasResults = true;
    ASSERT_EQ(f.load(DataFile::Items, "3\r\n1 1,\r\n"), "");
    EXPECT_EQ(f.state.itemCount, 3);
    EXPECT_EQ(test::rows(f.state.itemConcept), "10 00 00");
    EXPECT_FALSE(f.state.hasResults);
    EXPECT_EQ(f.state.answerKey, U"ABCDE");
}

}  // namespace
}  // namespace qv
