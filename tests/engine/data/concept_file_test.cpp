#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data_test_util.h"

namespace qv {
namespace {

using ::testing::ElementsAre;
using test::DataFile;

std::vector<std::string> labels(const std::string& bytes) {
    test::ClassFiles f;
    EXPECT_EQ(f.load(DataFile::Concepts, bytes), "");
    return f.state.conceptNames;
}

int count(const std::string& bytes) {
    test::ClassFiles f;
    EXPECT_EQ(f.load(DataFile::Concepts, bytes), "");
    return f.state.conceptCount;
}

TEST(ConceptFile, LabelsKeepTheirLeadingSpace) {
    std::string text = "20\r\n";
    for (int i = 1; i <= 20; ++i) text += std::to_string(i) + " 概念" + std::to_string(i) + "\r\n";
    const auto names = labels(text);
    ASSERT_EQ(names.size(), 20u);
    EXPECT_EQ(names[19], " 概念20");
    // Only the first space separates; trailing blanks and the editor's LF go;
    // blank lines are not concepts; missing labels stay empty.
    EXPECT_THAT(labels("2\r\n1 分數 的 加法 \t\n\r\n\r\n \r\n2  兩個空白\n\r\n\r\n"),
                ElementsAre(" 分數 的 加法", "  兩個空白"));
    EXPECT_THAT(labels("3\r\n1 \r\n"), ElementsAre(" ", "", ""));
    const std::string utf8 = "2\r\n1 整數\r\n2 分數與小數\r\n";
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, test::toBig5(utf8)})
        EXPECT_THAT(labels(bytes), ElementsAre(" 整數", " 分數與小數"));
}

TEST(ConceptFile, CountIsTheLeadingNumberRoundedHalfToEven) {
    const std::pair<const char*, int> cases[] = {
        {" 5\r\n", 5}, {"\t3 個概念\r\n", 3}, {"2.5\r\n", 2}, {"3.5\r\n", 4},
        {"181\r\n", 181}, {"1d2\r\n", 100}};
    for (const auto& [bytes, n] : cases) EXPECT_EQ(count(bytes), n) << bytes;
}

TEST(ConceptFile, NewConceptsKeepTheItemMatrixAndDropTheResults) {
    test::ClassFiles f;
    ASSERT_TRUE(f.loadClass("2\r\n", "3\r\n1 1,\r\n", "8\r\n9\r\nABC\r\n"));
    f.state.hasResults = true;
    ASSERT_EQ(f.load(DataFile::Concepts, "3\r\n1 a\r\n2 b\r\n3 c\r\n"), "");
    EXPECT_THAT(f.state.conceptNames, ElementsAre(" a", " b", " c"));
    EXPECT_FALSE(f.state.hasResults);
    EXPECT_EQ(test::rows(f.state.itemConcept), "10 00 00");
    EXPECT_EQ(f.state.itemCount, 3);
}

}  // namespace
}  // namespace qv
