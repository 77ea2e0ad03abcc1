#include "data/item_concept_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data_test_util.h"

namespace qv {
namespace {

using ::testing::HasSubstr;

ItemConceptTable parse(const std::string& text, int concepts = 20) {
    auto result = parseItemConceptFile(text, "i.txt", concepts, true);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error().message());
    return result.ok() ? std::move(result).value() : ItemConceptTable{};
}

Error parseError(const std::string& text, int concepts = 20) {
    auto result = parseItemConceptFile(text, "i.txt", concepts, true);
    EXPECT_FALSE(result.ok());
    return result.ok() ? Error{} : result.error();
}

// The rows of a 0/1 matrix as text, "110 011 001".
std::string rows(const ItemMatrix& m) {
    std::string out;
    for (int r = 0; r < m.rows(); ++r) {
        if (r > 0) out += ' ';
        for (int c = 0; c < m.cols(); ++c)
            out += m(r, c) == Currency::fromInt(1) ? '1' : '0';
    }
    return out;
}

TEST(ItemConceptFile, MarksListedConcepts) {
    auto t = parse("3\r\n1 1,2,\r\n2 2,3,\r\n3 3,\r\n", 3);
    EXPECT_EQ(t.itemCount, 3);
    EXPECT_EQ(rows(t.matrix), "110 011 001");
    // Text after the last comma is ignored; blanks around numbers are not;
    // a concept listed twice is marked once; a line without concepts stays 0.
    EXPECT_EQ(rows(parse("4\r\n1 4,9\r\n2 4, 9,\r\n3 2,2,\t2 ,\r\n4 \r\n", 9).matrix),
              "000100000 000100001 010000000 000000000");
    // Without a space the whole line is read; the leading number is never a concept.
    EXPECT_EQ(rows(parse("2\r\n2,3,\r\n3 1,\r\n", 3).matrix), "011 100");
    // Numbers round half to even, as the counts do.
    EXPECT_EQ(rows(parse("1\r\n1 2.5,1.6,\r\n", 3).matrix), "010");
    EXPECT_EQ(parse("2.5\r\n", 3).itemCount, 2);
}

TEST(ItemConceptFile, LineOrderIsItemOrder) {
    // A blank line in the range is an item without concepts; blank lines after
    // the last item (the editor's final empty line) are fine.
    auto t = parse("3\r\n1 1,\n\r\n\r\n3 2,\n\r\n\r\n \r\n", 2);
    EXPECT_EQ(rows(t.matrix), "10 00 01");
    // Fewer lines than items leave the rest empty.
    EXPECT_EQ(rows(parse("3\r\n1 1,\r\n", 2).matrix), "10 00 00");
}

TEST(ItemConceptFile, BothEncodings) {
    const std::string utf8 = "2\r\n第一題 1,\r\n第二題 2,\r\n";
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, test::toBig5(utf8)})
        EXPECT_EQ(rows(parse(bytes, 2).matrix), "10 01");
}

TEST(ItemConceptFile, BadEntriesNameTheirLine) {
    auto e = parseError("3\r\n1 1,\r\n2 1,,2,\r\n", 3);
    EXPECT_EQ(e.line, 3);
    EXPECT_THAT(e.what, HasSubstr("空的概念編號"));
    e = parseError("2\r\n1 1,\r\n2 4,\r\n", 3);
    EXPECT_EQ(e.message(),
              "檔案「i.txt」第 3 行：概念編號 4 不在 1 到 3 之間（概念註解檔有 3 個概念）");
    EXPECT_THAT(parseError("1\r\n1 0,\r\n", 3).what, HasSubstr("概念編號 0 不在"));
    EXPECT_THAT(parseError("1\r\n1 0.4,\r\n", 3).what, HasSubstr("概念編號 0 不在"));
    EXPECT_THAT(parseError("1\r\n1 -1,\r\n", 3).what, HasSubstr("概念編號 -1 不在"));
    EXPECT_THAT(parseError("1\r\n1 a,\r\n", 3).what, HasSubstr("「a」不是概念編號"));
    EXPECT_THAT(parseError("1\r\n1 2a,\r\n", 3).what, HasSubstr("「2a」不是概念編號"));
    EXPECT_THAT(parseError("1\r\n1 1 2,\r\n", 3).what, HasSubstr("「1 2」不是概念編號"));
    EXPECT_THAT(parseError("1\r\n1 1e1,\r\n", 3).what, HasSubstr("不是概念編號"));
    EXPECT_THAT(parseError("1\r\n1 99999999999999999999999,\r\n", 3).what, HasSubstr("不在"));
}

TEST(ItemConceptFile, CountsAndExtraLines) {
    auto e = parseError("2\r\n1 1,\r\n2 2,\r\n\r\n3 1,\r\n", 3);
    EXPECT_EQ(e.line, 5);
    EXPECT_THAT(e.what, HasSubstr("題目行太多"));
    EXPECT_THAT(parseError("").what, HasSubstr("檔案是空的"));
    EXPECT_THAT(parseError("題數\r\n").what, HasSubstr("沒有數字"));
    EXPECT_THAT(parseError("0\r\n").what, HasSubstr("至少要有 1 個"));
    EXPECT_THAT(parseError("-2\r\n").what, HasSubstr("負數"));
    EXPECT_THAT(parseError("10001\r\n").what, HasSubstr("上限 10000"));
    EXPECT_EQ(parse("10000\r\n", 1).matrix.rows(), 10000);
    e = parseError("40\n1 1,\n2 2,\n");
    EXPECT_EQ(e.line, 1);
    EXPECT_THAT(e.what, HasSubstr("CR LF"));
}

TEST(ItemConceptFile, RefusedBeforeTheConcepts) {
    auto result = parseItemConceptFile("1\r\n1 1,\r\n", "i.txt", 0, false);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().line, 0);
    EXPECT_THAT(result.error().what, HasSubstr("請先載入概念註解檔"));
}

TEST(ItemConceptFile, ApplySetsTheItemCount) {
    AppState state;
    state.itemCount = 5;
    state.answerKey = U"ABCDE";
    state.conceptCount = 2;
    state.hasResults = true;
    applyItemConcept(state, parse("3\r\n1 1,\r\n", 2));
    EXPECT_EQ(state.itemCount, 3);
    EXPECT_EQ(rows(state.itemConcept), "10 00 00");
    EXPECT_TRUE(state.itemConceptLoaded);
    EXPECT_FALSE(state.hasResults);
    EXPECT_EQ(state.answerKey, U"ABCDE");
}

}  // namespace
}  // namespace qv
