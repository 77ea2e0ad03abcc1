#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/utf8.h"
#include "data/lines.h"
#include "data/loaders.h"
#include "data/matrix_file.h"
#include "data_test_util.h"

namespace qv {
namespace {

using test::DataFile;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// The class after loading one concept file.
ClassData concepts(const std::string& bytes) {
    test::ClassFiles f;
    EXPECT_EQ(f.load(DataFile::Concepts, bytes), "") << bytes;
    return f.state();
}

// The item-concept table read against a concept file of `n` concepts.
std::string table(const std::string& bytes, int n = 3) {
    test::ClassFiles f;
    EXPECT_EQ(f.load(DataFile::Concepts, std::to_string(n) + "\r\n"), "");
    EXPECT_EQ(f.load(DataFile::Items, bytes), "") << bytes;
    return test::rows(f.state().itemConcept);
}

TEST(Lines, CrAndCrLfEndLinesALoneLfStays) {
    using Lines = std::vector<std::string>;
    const std::pair<const char*, Lines> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\rc", {"a", "b", "c"}},
        {"a\nb\r\nc", {"a\nb", "c"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        // CR CR LF: the first CR ends a line, the CR LF an empty one; in LF
        // CR the LF belongs to the line.
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\rb", {"a\n", "b"}},
        // An editor box joins its lines with LF CR LF, the save adds CR LF.
        {"20\r\n1 a\n\r\n\r\n", {"20", "1 a\n", ""}},
        // No empty line after the last terminator.
        {"", {}},
        {"\r\n", {""}},
        {"abc\r", {"abc"}},
        {"abc\r\n\n", {"abc", "\n"}}};
    for (const auto& [text, lines] : cases)
        EXPECT_EQ(splitLines(text), lines) << text;
    EXPECT_TRUE(isBlankLine(" \t\n "));
    EXPECT_FALSE(isBlankLine("\xE3\x80\x80"));  // a full-width space is text
    EXPECT_EQ(withoutTrailingLf("a\nb\n\n"), "a\nb");
}

TEST(ConceptFile, LabelsKeepTheirLeadingSpaceAndTheCountIsRoundedHalfToEven) {
    std::string text = "20\r\n";
    for (int i = 1; i <= 20; ++i)
        text += std::to_string(i) + " 概念" + std::to_string(i) + "\r\n";
    EXPECT_EQ(concepts(text).conceptNames.at(19), " 概念20");
    // Only the first space separates; trailing blanks and the editor's LF go;
    // blank lines are not concepts; missing labels stay empty.
    EXPECT_THAT(concepts("2\r\n1 分數 的 加法 \t\n\r\n\r\n \r\n2  兩個空白\n\r\n\r\n").conceptNames,
                ElementsAre(" 分數 的 加法", "  兩個空白"));
    EXPECT_THAT(concepts("3\r\n1 \r\n").conceptNames, ElementsAre(" ", "", ""));
    const std::string utf8 = "2\r\n1 整數\r\n2 分數與小數\r\n";
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, test::toBig5(utf8)})
        EXPECT_THAT(concepts(bytes).conceptNames, ElementsAre(" 整數", " 分數與小數"));
    const std::pair<const char*, int> counts[] = {{" 5\r\n", 5},    {"\t3 個概念\r\n", 3},
                                                  {"2.5\r\n", 2},   {"3.5\r\n", 4},
                                                  {"181\r\n", 181}, {"1d2\r\n", 100}};
    for (const auto& [bytes, n] : counts)
        EXPECT_EQ(concepts(bytes).conceptCount, n) << bytes;
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
    for (const auto& [bytes, marks] : cases)
        EXPECT_EQ(table(bytes), marks) << bytes;
    const std::string utf8 = "2\r\n第一題 1,\r\n第二題 2,\r\n";
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, test::toBig5(utf8)})
        EXPECT_EQ(table(bytes, 2), "10 01");
    EXPECT_EQ(table("10000\r\n", 1).size(), 10000u * 2 - 1);
    // A long entry is quoted in whole characters: 40 bytes at most, thirteen
    // characters of three.
    test::ClassFiles f;
    ASSERT_EQ(f.load(DataFile::Concepts, "3\r\n"), "");
    std::string entry;
    for (int i = 0; i < 30; ++i)
        entry += "甲";
    const std::string message = f.load(DataFile::Items, "1\r\n1 " + entry + ",\r\n");
    EXPECT_TRUE(isValidUtf8(message));
    EXPECT_THAT(message, HasSubstr("「" + entry.substr(0, 39) + "…」不是概念編號"));
}

// Each load makes a new class and leaves the one before it as it was.
TEST(Loading, EachFileReplacesItsOwnPartInANewClass) {
    test::ClassFiles f;
    ASSERT_TRUE(f.loadClass("2\r\n", "3\r\n1 1,\r\n", "8\r\n9\r\nABC\r\n"));
    ClassPtr before = f.data;
    ASSERT_EQ(f.load(DataFile::Concepts, "3\r\n1 a\r\n2 b\r\n3 c\r\n"), "");
    EXPECT_THAT(f.state().conceptNames, ElementsAre(" a", " b", " c"));
    EXPECT_EQ(test::rows(f.state().itemConcept), "10 00 00");  // read for two concepts
    EXPECT_EQ(before->conceptCount, 2);
    ASSERT_EQ(f.load(DataFile::Items, "2\r\n1 3,\r\n"), "");
    EXPECT_EQ(f.state().itemCount, 2);
    EXPECT_EQ(test::rows(f.state().itemConcept), "001 000");
    EXPECT_EQ(f.state().answerKey, U"ABC");
    before = f.data;
    ASSERT_EQ(f.load(DataFile::Students, "8\r\n9\r\nABCDE\r\n1 ABCDE\r\n2 ABCDD\r\n"), "");
    EXPECT_EQ(f.state().studentCount, 2);
    EXPECT_EQ(f.state().students.size(), 2u);
    EXPECT_EQ(f.state().itemCount, 5);
    EXPECT_EQ(f.state().conceptCount, 3);
    EXPECT_EQ(before->itemCount, 2);
    EXPECT_TRUE(before->students.empty());
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

// A file that is not 8-bit text says what it looks like; a count too long to
// be one is refused before it is read as a number.
TEST(Refusals, SayWhatTheFileIsAndNameLineAndField) {
    ClassPtr state;
    const struct {
        std::string bytes, says;
    } cases[] = {
        {std::string(300, '\0'), "開頭全是 NUL（0）位元組"},
        {std::string("\xFF\xFE\0\0"
                     "3\0\0\0",
                     8),
         "UTF-32"},
        {std::string("3\0\0\0\r\0\0\0\n\0\0\0", 12), "UTF-32"},
        {std::string("\0\0\0"
                     "3\0\0\0\r",
                     8),
         "UTF-32"},
        {std::string("\xFF\xFE"
                     "3\0\r\0",
                     6),
         "UTF-16"},
        {std::string("3\0\r\0\n\0", 6), "UTF-16"},
        {"1" + std::string(100000, '9') + "\r\n", "第 1 行：概念數的數字太長（超過 64 個字元）"},
    };
    for (const auto& c : cases) {
        const auto loaded = loadClass(state, ClassText{c.bytes, "", "", "c.txt"});
        ASSERT_FALSE(loaded) << c.says;
        EXPECT_NE(loaded.error().message().find(c.says), std::string::npos)
            << loaded.error().message();
    }
    const auto matrix = parseMatrixText("2\n0 1\n1 x\n");
    ASSERT_FALSE(matrix);
    EXPECT_EQ(matrix.error().message(), "第 3 行第 2 欄：「x」不是數值");
}

}  // namespace
}  // namespace qv
