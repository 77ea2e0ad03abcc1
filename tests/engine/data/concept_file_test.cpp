#include "data/concept_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data_test_util.h"

namespace qv {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

ConceptNotes parse(const std::string& text) {
    auto result = parseConceptFile(text, "c.txt");
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error().message());
    return result.ok() ? std::move(result).value() : ConceptNotes{};
}

Error parseError(const std::string& text) {
    auto result = parseConceptFile(text, "c.txt");
    EXPECT_FALSE(result.ok());
    return result.ok() ? Error{} : result.error();
}

TEST(ConceptFile, LabelsKeepTheirLeadingSpace) {
    std::string text = "20\r\n";
    for (int i = 1; i <= 20; ++i)
        text += std::to_string(i) + " 概念" + std::to_string(i) + "\r\n";
    const auto notes = parse(text);
    EXPECT_EQ(notes.count, 20);
    ASSERT_EQ(notes.names.size(), 20u);
    EXPECT_EQ(notes.names[0], " 概念1");
    EXPECT_EQ(notes.names[19], " 概念20");
    // Only the first space separates; trailing blanks and the editor's LF go.
    EXPECT_THAT(parse("2\r\n1 分數 的 加法 \t\n\r\n2  兩個空白\n\r\n\r\n").names,
                ElementsAre(" 分數 的 加法", "  兩個空白"));
    EXPECT_THAT(parse("1\r\n1 \r\n").names, ElementsAre(" "));
}

TEST(ConceptFile, CountIsTheRoundedLeadingNumber) {
    EXPECT_EQ(parse(" 5\r\n").count, 5);
    EXPECT_EQ(parse("\t3 個概念\r\n").count, 3);
    EXPECT_EQ(parse("2.5\r\n").count, 2);  // halves go to the even neighbour
    EXPECT_EQ(parse("3.5\r\n").count, 4);
    EXPECT_EQ(parse("181\r\n").count, 181);
    // Fewer labels than concepts: the rest stay empty.
    EXPECT_THAT(parse("3\r\n1 a\r\n").names, ElementsAre(" a", "", ""));
}

TEST(ConceptFile, BlankLinesAreNotConcepts) {
    EXPECT_THAT(parse("2\r\n\r\n1 a\n\r\n \r\n\n\r\n2 b\r\n\r\n").names, ElementsAre(" a", " b"));
}

TEST(ConceptFile, BothEncodings) {
    const std::string utf8 = "2\r\n1 整數\r\n2 分數與小數\r\n";
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, test::toBig5(utf8)})
        EXPECT_THAT(parse(bytes).names, ElementsAre(" 整數", " 分數與小數"));
}

TEST(ConceptFile, MalformedFilesNameTheirLine) {
    EXPECT_THAT(parseError("").what, HasSubstr("檔案是空的"));
    auto e = parseError("概念\r\n1 a\r\n");
    EXPECT_EQ(e.line, 1);
    EXPECT_THAT(e.what, HasSubstr("沒有數字"));
    EXPECT_THAT(parseError("-3\r\n").what, HasSubstr("負數"));
    EXPECT_THAT(parseError("0\r\n").what, HasSubstr("至少要有 1 個"));
    e = parseError("182\r\n");
    EXPECT_EQ(e.message(),
              "檔案「c.txt」第 1 行：概念數 182 超過系統的上限 181"
              "（網路演算法最多處理 181 個概念）");
    EXPECT_THAT(parseError("1e400\r\n").what, HasSubstr("上限"));
    e = parseError("2\r\n1 a\r\n2 b\r\n\r\n3 c\r\n");
    EXPECT_EQ(e.line, 5);
    EXPECT_THAT(e.what, HasSubstr("概念行比第 1 行的概念數 2 多"));
    e = parseError("2\r\n1 a\r\n2\n\r\n");
    EXPECT_EQ(e.line, 3);
    EXPECT_THAT(e.what, HasSubstr("沒有空白"));
    // LF-only files would read "20\n1 a..." as the count 201.
    e = parseError("20\n1 a\n2 b\n");
    EXPECT_EQ(e.line, 1);
    EXPECT_THAT(e.what, HasSubstr("CR LF"));
}

TEST(ConceptFile, ApplyKeepsTheItemMatrix) {
    AppState state;
    state.itemConcept = ItemMatrix(4, 2, Currency::fromInt(1));
    state.itemCount = 4;
    state.hasResults = true;
    applyConceptNotes(state, parse("3\r\n1 a\r\n2 b\r\n3 c\r\n"));
    EXPECT_EQ(state.conceptCount, 3);
    EXPECT_THAT(state.conceptNames, ElementsAre(" a", " b", " c"));
    EXPECT_TRUE(state.conceptsLoaded);
    EXPECT_FALSE(state.hasResults);
    EXPECT_EQ(state.itemConcept, ItemMatrix(4, 2, Currency::fromInt(1)));
    EXPECT_EQ(state.itemCount, 4);
}

}  // namespace
}  // namespace qv
