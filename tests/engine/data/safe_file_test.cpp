// Files are replaced whole or not at all, and inputs are read only when they
// are regular files of a bounded size.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "core/state.h"
#include "data/loaders.h"
#include "data/safe_file.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qv-safe-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path put(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return dir_ / name;
    }
    static std::string read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }

    fs::path dir_;
};

TEST_F(SafeFileTest, KilledWriterLeavesTheOldFileWhole) {
    const fs::path target = put("results.json", "old and complete");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto file = SafeFile::create(target);
        if (!file || !file->write(std::string(1 << 20, 'x'))) ::_exit(1);
        (void)!::write(ready[1], "w", 1);
        ::pause();  // killed here, half-way through its output
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(read(target), "old and complete");

    ASSERT_TRUE(writeFileSafely(target, "new and complete"));
    EXPECT_EQ(read(target), "new and complete");
}

TEST_F(SafeFileTest, FailedWriteKeepsTheOldFileAndSaysWhy) {
    const fs::path target = put("class.txt", "old");
    // A file-size limit stands in for a full disk: the write fails part-way.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const auto written = writeFileSafely(target, std::string(100000, 'n'));
        const bool saysWhy = !written && written.error().message().find("檔案超過系統允許的大小") !=
                                             std::string::npos;
        ::_exit(saysWhy ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read(target), "old");
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind

    const auto full = writeFileSafely("/dev/full", "x");
    ASSERT_FALSE(full);
    EXPECT_NE(full.error().message().find("磁碟空間不足"), std::string::npos);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));  // a device is written, never replaced

    const auto noFolder = writeFileSafely(dir_ / "missing" / "a.txt", "x");
    ASSERT_FALSE(noFolder);
    EXPECT_NE(noFolder.error().message().find("資料夾不存在"), std::string::npos);
}

TEST_F(SafeFileTest, SetReplacesNothingUntilCommitted) {
    const fs::path a = put("students.txt", "old a");
    const fs::path b = put("concepts.txt", "old b");
    {
        SafeFileSet set;
        ASSERT_TRUE(set.add(a, "new a"));
        ASSERT_TRUE(set.add(b, "new b"));
        EXPECT_EQ(read(a), "old a");
        EXPECT_FALSE(set.add(dir_ / "no" / "such" / "c.txt", "c"));
    }  // dropped without commit
    EXPECT_EQ(read(a), "old a");
    EXPECT_EQ(read(b), "old b");
    EXPECT_EQ(entries(), 2u);

    SafeFileSet set;
    ASSERT_TRUE(set.add(a, "new a"));
    ASSERT_TRUE(set.add(b, "new b"));
    ASSERT_TRUE(set.commit());
    EXPECT_EQ(read(a) + read(b), "new anew b");
    EXPECT_EQ(entries(), 2u);
}

TEST_F(SafeFileTest, SameFileComparesIdentityNotSpelling) {
    const fs::path a = put("a.txt", "x");
    fs::create_directories(dir_ / "sub");
    EXPECT_TRUE(sameFile(a, dir_ / "sub" / ".." / "a.txt"));
    fs::create_symlink(a, dir_ / "link.txt");
    EXPECT_TRUE(sameFile(a, dir_ / "link.txt"));
    EXPECT_FALSE(sameFile(a, put("b.txt", "x")));
    EXPECT_FALSE(sameFile(a, dir_ / "none.txt"));

    // Writing through the link replaces the file it names and keeps the link.
    ASSERT_TRUE(writeFileSafely(dir_ / "link.txt", "y"));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
    EXPECT_EQ(read(a), "y");
}

TEST_F(SafeFileTest, LoadersReadOnlyRegularFilesAndSayWhichFile) {
    ClassPtr state;
    const fs::path utf16 = put("u16.txt", std::string("\xFF\xFE"
                                                      "2\0\r\0\n\0",
                                                      8));
    const struct {
        Expected<void> (*load)(ClassPtr&, const fs::path&);
        fs::path file;
        std::string says;
    } cases[] = {{loadStudentFile, "/dev/zero", "學生資料檔「/dev/zero」：這不是一般的檔案"},
                 {loadConceptFile, dir_, "概念註解檔「" + dir_.string() + "」：這是一個資料夾"},
                 {loadItemConceptFile, dir_ / "none.txt", "題目所包含概念檔「"},
                 {loadItemConceptFile, dir_ / "none.txt", "」：檔案不存在"},
                 {loadConceptFile, utf16, "UTF-16"}};
    for (const auto& c : cases) {
        const auto loaded = c.load(state, c.file);
        ASSERT_FALSE(loaded) << c.file;
        EXPECT_NE(loaded.error().message().find(c.says), std::string::npos)
            << loaded.error().message();
    }
    EXPECT_FALSE(state);
}

}  // namespace
}  // namespace qv
