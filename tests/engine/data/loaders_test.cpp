#include "data/loaders.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "data_test_util.h"

namespace qv {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

const std::string kConcepts = "3\r\n1 整數\n\r\n2 分數\n\r\n3 小數\n\r\n\r\n";
const std::string kItems = "5\r\n1 1,2,\n\r\n2 2,\n\r\n3 3,\n\r\n4 1,3,\n\r\n5 \n\r\n\r\n";
const std::string kData = "8\r\n9\r\nABCDA\r\n90702001 ABCDA\n\r\n90702002 ABCDD\n\r\n\r\n";

// A state holding a complete class, loaded from the files above.
AppState loadedState(const test::TempDir& dir) {
    AppState state;
    EXPECT_FALSE(loadConceptFile(state, dir.write("c.txt", test::toBig5(kConcepts))));
    EXPECT_FALSE(loadItemConceptFile(state, dir.write("i.txt", kItems)));
    EXPECT_FALSE(loadStudentFile(state, dir.write("d.txt", "\xEF\xBB\xBF" + kData)));
    return state;
}

TEST(Loaders, LoadTheThreeFiles) {
    test::TempDir dir;
    const AppState state = loadedState(dir);
    EXPECT_EQ(state.conceptCount, 3);
    EXPECT_THAT(state.conceptNames, ElementsAre(" 整數", " 分數", " 小數"));
    EXPECT_EQ(state.itemCount, 5);
    EXPECT_EQ(state.itemConcept.rows(), 5);
    EXPECT_EQ(state.itemConcept.cols(), 3);
    EXPECT_EQ(state.studentCount, 2);
    EXPECT_EQ(state.students[1].score, 4);
    EXPECT_TRUE(state.dataLoaded && state.conceptsLoaded && state.itemConceptLoaded);
    EXPECT_THAT(loadWarnings(state), IsEmpty());
}

TEST(Loaders, RefusedFilesLeaveTheStateAsItWas) {
    test::TempDir dir;
    AppState state = loadedState(dir);
    const std::string before = test::snapshot(state);
    const struct {
        const char* name;
        std::string bytes;
        int line;
        std::optional<Error> (*load)(AppState&, const std::filesystem::path&);
    } cases[] = {
        {"short.txt", "8\r\n9\r\n", 0, loadStudentFile},
        {"lf.txt", "8\n9\nABC\n1 ABC\n", 0, loadStudentFile},
        {"nokey.txt", "8\r\n9\r\n\r\n1 A\r\n", 3, loadStudentFile},
        {"nospace.txt", "8\r\n9\r\nABC\r\n1 ABC\r\n2\r\n", 5, loadStudentFile},
        {"big.txt", "8\r\n9\r\n" + std::string(10001, 'A') + "\r\n", 3, loadStudentFile},
        {"nocount.txt", "x\r\n1 a\r\n", 1, loadConceptFile},
        {"toomany.txt", "1\r\n1 a\r\n2 b\r\n", 3, loadConceptFile},
        {"huge.txt", "500\r\n", 1, loadConceptFile},
        {"empty.txt", "", 0, loadConceptFile},
        {"range.txt", "2\r\n1 1,\r\n2 4,\r\n", 3, loadItemConceptFile},
        {"entry.txt", "2\r\n1 1,x,\r\n", 2, loadItemConceptFile},
        {"extra.txt", "1\r\n1 1,\r\n2 2,\r\n", 3, loadItemConceptFile},
        {"negative.txt", "-1\r\n", 1, loadItemConceptFile},
    };
    for (const auto& c : cases) {
        const auto error = c.load(state, dir.write(c.name, c.bytes));
        ASSERT_TRUE(error) << c.name;
        EXPECT_EQ(error->file, c.name);
        EXPECT_EQ(error->line, c.line) << error->message();
        EXPECT_EQ(test::snapshot(state), before) << c.name;
    }
}

TEST(Loaders, MissingAndUnreadableFiles) {
    test::TempDir dir;
    AppState state = loadedState(dir);
    const std::string before = test::snapshot(state);
    auto error = loadStudentFile(state, dir.path() / "沒有這個檔案.txt");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->message(), "檔案「沒有這個檔案.txt」：找不到檔案");
    std::filesystem::create_directory(dir.path() / "folder.txt");
    error = loadConceptFile(state, dir.path() / "folder.txt");
    ASSERT_TRUE(error);
    EXPECT_THAT(error->what, HasSubstr("無法讀取檔案"));
    EXPECT_EQ(test::snapshot(state), before);
}

TEST(Loaders, ItemFileNeedsTheConceptsFirst) {
    test::TempDir dir;
    AppState state;
    const auto error = loadItemConceptFile(state, dir.write("i.txt", kItems));
    ASSERT_TRUE(error);
    EXPECT_THAT(error->what, HasSubstr("請先載入概念註解檔"));
    EXPECT_FALSE(state.itemConceptLoaded);
}

TEST(Loaders, WarningsWhenTheFilesDisagree) {
    test::TempDir dir;
    AppState state = loadedState(dir);
    // A six-item key against five item lines: the later load sets the count.
    ASSERT_FALSE(loadStudentFile(state, dir.write("d6.txt", "8\r\n9\r\nABCDAB\r\n1 ABCDA B\r\n")));
    EXPECT_EQ(state.itemCount, 6);
    auto warnings = loadWarnings(state);
    ASSERT_THAT(warnings, SizeIs(1));
    EXPECT_THAT(warnings[0], HasSubstr("標準答案有 6 題，題目所包含概念檔卻有 5 題"));
    ASSERT_FALSE(loadItemConceptFile(state, dir.write("i6.txt", "6\r\n")));
    EXPECT_THAT(loadWarnings(state), IsEmpty());
    // New concepts after the item file: the matrix keeps its old width.
    ASSERT_FALSE(loadConceptFile(state, dir.write("c4.txt", "4\r\n")));
    warnings = loadWarnings(state);
    ASSERT_THAT(warnings, SizeIs(1));
    EXPECT_THAT(warnings[0], HasSubstr("請重新載入題目所包含概念檔"));
}

}  // namespace
}  // namespace qv
