#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "analysis/run.h"
#include "data_test_util.h"

namespace qv {
namespace {

std::string refusalOf(const ClassData& state) {
    const auto runnable = checkRunnable(state);
    return runnable ? std::string() : runnable.error().message();
}

using test::DataFile;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

const std::string kConcepts = "3\r\n1 整數\n\r\n2 分數\n\r\n3 小數\n\r\n\r\n";
const std::string kItems = "5\r\n1 1,2,\n\r\n2 2,\n\r\n3 3,\n\r\n4 1,3,\n\r\n5 \n\r\n\r\n";
const std::string kData = "8\r\n9\r\nABCDA\r\n90702001 ABCDA\n\r\n90702002 ABCDD\n\r\n\r\n";

// A class of two students, five items and three concepts, loaded.
void loadClass(test::ClassFiles& f) {
    ASSERT_TRUE(f.loadClass(test::toBig5(kConcepts), kItems, "\xEF\xBB\xBF" + kData));
    ASSERT_EQ(f.state().studentCount, 2);
    ASSERT_EQ(f.state().students[1].score, 4);
    ASSERT_EQ(f.state().itemConcept.rows(), 5);
    ASSERT_THAT(loadWarnings(f.state()), IsEmpty());
}

TEST(Loaders, RefusedFilesNameTheirLineAndLeaveTheStateAsItWas) {
    const struct {
        DataFile kind;
        std::string bytes;
        int line;
        const char* why;
    } cases[] = {
        {DataFile::Concepts, "", 0, "檔案是空的"},
        {DataFile::Concepts, "概念\r\n1 a\r\n", 1, "沒有數字"},
        {DataFile::Concepts, "-3\r\n", 1, "負數"},
        {DataFile::Concepts, "0\r\n", 1, "至少要有 1 個"},
        {DataFile::Concepts, "182\r\n", 1,
         "概念數 182 超過系統的上限 181（網路演算法最多處理 181 個概念）"},
        {DataFile::Concepts, "1e400\r\n", 1, "上限"},
        {DataFile::Concepts, "2\r\n1 a\r\n2 b\r\n\r\n3 c\r\n", 5, "概念行比第 1 行的概念數 2 多"},
        {DataFile::Concepts, "2\r\n1 a\r\n2\n\r\n", 3, "沒有空白"},
        // LF-only files would read "20\n1 a..." as the count 201.
        {DataFile::Concepts, "20\n1 a\n2 b\n", 1, "CR LF"},
        {DataFile::Items, "", 0, "檔案是空的"},
        {DataFile::Items, "題數\r\n", 1, "沒有數字"},
        {DataFile::Items, "0\r\n", 1, "至少要有 1 個"},
        {DataFile::Items, "-2\r\n", 1, "負數"},
        {DataFile::Items, "10001\r\n", 1, "上限 10000"},
        {DataFile::Items, "40\n1 1,\n2 2,\n", 1, "CR LF"},
        {DataFile::Items, "3\r\n1 1,\r\n2 1,,2,\r\n", 3, "空的概念編號"},
        {DataFile::Items, "2\r\n1 1,\r\n2 4,\r\n", 3,
         "概念編號 4 不在 1 到 3 之間（概念註解檔有 3 個概念）"},
        {DataFile::Items, "1\r\n1 0.4,\r\n", 2, "概念編號 0 不在"},
        {DataFile::Items, "1\r\n1 -1,\r\n", 2, "概念編號 -1 不在"},
        {DataFile::Items, "1\r\n1 99999999999999999999999,\r\n", 2, "不在"},
        {DataFile::Items, "1\r\n1 2a,\r\n", 2, "「2a」不是概念編號"},
        {DataFile::Items, "1\r\n1 1 2,\r\n", 2, "「1 2」不是概念編號"},
        {DataFile::Items, "1\r\n1 1e1,\r\n", 2, "「1e1」不是概念編號"},
        {DataFile::Items, "2\r\n1 1,\r\n2 2,\r\n\r\n3 1,\r\n", 5, "題目行太多"},
        {DataFile::Students, "", 0, "檔案是空的"},
        {DataFile::Students, "8\r\n9\r\n", 0,
         "檔案只有 2 行，資料檔至少要有三行：遺失資料代碼、錯誤資料代碼與標準答案"},
        // Lines broken by LF alone: one line, and a note about CR LF.
        {DataFile::Students, "8\n9\nABCDE\n1 ABCDE\n", 0,
         "只有 1 行，資料檔至少要有三行：遺失資料代碼、錯誤資料代碼與標準答案。每一行必須以 CR LF "
         "結尾"},
        {DataFile::Students, "8\r\n9\r\n\n\r\n1 A\r\n", 3, "標準答案是空的"},
        {DataFile::Students, "8\r\n9\r\nABCDE\r\n1 ABCDE\r\n\r\n90702002\r\n", 6,
         "這一行的學生資料沒有空白，無法分出學號與答案"},
        {DataFile::Students, "8\r\n9\r\nABCDE\r\n ABCDE\r\n", 4, "沒有學號"},
        // Students joined by a lone LF would be lost silently.
        {DataFile::Students, "8\r\n9\r\nABCDE\r\n1 ABCDE\n2 ABCDE\r\n", 4, "CR LF"},
        {DataFile::Students, "8\r\n9\r\n" + std::string(10001, 'A') + "\r\n", 3, "上限 10000"},
    };
    test::ClassFiles f;
    loadClass(f);
    const std::string before = test::snapshot(f.state());
    for (const auto& c : cases) {
        const std::string where = c.line > 0 ? "第 " + std::to_string(c.line) + " 行" : "";
        const std::string message = f.load(c.kind, c.bytes, "bad.txt");
        const char* role = c.kind == DataFile::Concepts ? "概念註解檔"
                           : c.kind == DataFile::Items  ? "題目所包含概念檔"
                                                        : "學生資料檔";
        EXPECT_THAT(message, HasSubstr(std::string(role) + "「" +
                                       (f.dir.path() / "bad.txt").string() + "」" + where + "："))
            << c.bytes;
        EXPECT_THAT(message, HasSubstr(c.why)) << c.bytes;
        EXPECT_EQ(test::snapshot(f.state()), before) << c.bytes;
    }
    EXPECT_THAT(test::load(f.data, DataFile::Students, f.dir.path() / "沒有這個檔案.txt"),
                HasSubstr("沒有這個檔案.txt」：檔案不存在"));
    std::filesystem::create_directory(f.dir.path() / "folder.txt");
    EXPECT_THAT(test::load(f.data, DataFile::Concepts, f.dir.path() / "folder.txt"),
                HasSubstr("這是一個資料夾"));
    EXPECT_EQ(test::snapshot(f.state()), before);
}

// A class is replaced only once all three of its files have loaded: a
// refused second or third file leaves the class before it whole, whole-class
// and block-read loads alike.
TEST(Loaders, ARefusedFileOfAClassLeavesTheClassBeforeItWhole) {
    ClassPtr current;
    ASSERT_TRUE(qv::loadClass(current, ClassText{kConcepts, kItems, kData}));
    const ClassPtr old = current;
    const std::string before = test::snapshot(*old);
    const std::string fourConcepts = "4\r\n1 a\r\n2 b\r\n3 c\r\n4 d\r\n";
    const ClassText refused[] = {{fourConcepts, "1\r\n1 5,\r\n", kData},
                                 {fourConcepts, "5\r\n", "8\r\n9\r\n"}};
    for (const ClassText& text : refused) {
        EXPECT_FALSE(qv::loadClass(current, text)) << text.items;
        EXPECT_EQ(current, old);
        EXPECT_FALSE(loadClassIndexed(current, text, 16)) << text.items;
        EXPECT_EQ(current, old);
        EXPECT_EQ(test::snapshot(*current), before);
    }
    ASSERT_TRUE(qv::loadClass(current, ClassText{fourConcepts, "5\r\n", kData}));
    EXPECT_EQ(current->conceptCount, 4);
    EXPECT_EQ(test::snapshot(*old), before);
}

TEST(Loaders, TheItemFileNeedsTheConceptsFirst) {
    test::ClassFiles f;
    EXPECT_THAT(f.load(DataFile::Items, kItems, "i.txt"),
                HasSubstr("i.txt」：請先載入概念註解檔：題目所包含概念檔的概念編號要依概念數來讀"));
    EXPECT_FALSE(f.state().itemConceptLoaded);
}

TEST(Loaders, FilesThatDisagreeAreWarnedAboutAndNotRun) {
    test::ClassFiles f;
    // Without the student file there is no item count to disagree with.
    ASSERT_EQ(f.load(DataFile::Concepts, kConcepts), "");
    ASSERT_EQ(f.load(DataFile::Items, kItems), "");
    EXPECT_THAT(loadWarnings(f.state()), IsEmpty());
    // A six-item key against five item lines, the student file loaded last.
    ASSERT_EQ(f.load(DataFile::Students, "8\r\n9\r\nABCDAB\r\n1 ABCDA B\r\n"), "");
    EXPECT_EQ(f.state().itemCount, 6);
    auto warnings = loadWarnings(f.state());
    ASSERT_THAT(warnings, SizeIs(1));
    EXPECT_THAT(warnings[0], HasSubstr("標準答案有 6 題，題目所包含概念檔卻有 5 題"));
    EXPECT_THAT(refusalOf(f.state()), HasSubstr("學生資料檔有 6 題，題目所包含概念檔有 5 題"));
    // The same the other way round: the item-concept file loaded last.
    ASSERT_EQ(f.load(DataFile::Items, "4\r\n"), "");
    EXPECT_EQ(f.state().itemCount, 4);
    EXPECT_THAT(loadWarnings(f.state()), SizeIs(1));
    EXPECT_THAT(refusalOf(f.state()), HasSubstr("學生資料檔有 6 題，題目所包含概念檔有 4 題"));
    ASSERT_EQ(f.load(DataFile::Items, "6\r\n"), "");
    EXPECT_THAT(loadWarnings(f.state()), IsEmpty());
    EXPECT_TRUE(checkRunnable(f.state()));
    // New concepts after the item file: the matrix keeps its old width.
    ASSERT_EQ(f.load(DataFile::Concepts, "4\r\n"), "");
    warnings = loadWarnings(f.state());
    ASSERT_THAT(warnings, SizeIs(1));
    EXPECT_THAT(warnings[0], HasSubstr("請重新載入題目所包含概念檔"));
    EXPECT_THAT(refusalOf(f.state()), HasSubstr("依 3 個概念載入"));
}

}  // namespace
}  // namespace qv
