// Files are replaced whole or not at all, and inputs are read only when they
// are regular files of a bounded size.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// The real calls, each logged by kind ("fsync file", "fsync folder", ...);
// the first call of the kind `failing` fails with EIO instead, and with
// `noLinks` every link fails as on a file system without hard links. Safe
// for a large set's calls, which come from several threads.
class WatchedCalls : public SystemCalls {
  public:
    std::string failing;
    bool noLinks = false;
    mutable std::vector<std::string> log;

    int open(const char* path, int flags, mode_t mode) const override {
        const bool folder = (flags & O_DIRECTORY) != 0;
        if (fails(folder ? "open folder" : "open file")) return -1;
        const int fd = SystemCalls::open(path, flags, mode);
        const std::lock_guard held(lock_);
        if (folder && fd >= 0) folders_.insert(fd);
        return fd;
    }
    ssize_t write(int fd, const char* data, std::size_t size) const override {
        return fails("write") ? -1 : SystemCalls::write(fd, data, size);
    }
    int fsync(int fd) const override {
        return fails(kind("fsync", fd)) ? -1 : SystemCalls::fsync(fd);
    }
    int syncfs(int fd) const override { return fails("syncfs") ? -1 : SystemCalls::syncfs(fd); }
    int fchmod(int fd, mode_t mode) const override {
        return fails("fchmod") ? -1 : SystemCalls::fchmod(fd, mode);
    }
    int close(int fd) const override {
        const bool failed = fails(kind("close", fd));
        {
            const std::lock_guard held(lock_);
            folders_.erase(fd);
        }
        const int closed = SystemCalls::close(fd);  // a failed close frees the descriptor too
        if (failed) errno = EIO;
        return failed ? -1 : closed;
    }
    int rename(const char* from, const char* to) const override {
        return fails("rename") ? -1 : SystemCalls::rename(from, to);
    }
    int link(const char* from, const char* to) const override {
        if (noLinks) {
            note("link");
            errno = EPERM;
            return -1;
        }
        return fails("link") ? -1 : SystemCalls::link(from, to);
    }
    int unlink(const char* path) const override {
        note("unlink");
        return SystemCalls::unlink(path);
    }

  private:
    void note(const std::string& kind) const {
        const std::lock_guard held(lock_);
        log.push_back(kind);
    }
    std::string kind(const char* call, int fd) const {
        const std::lock_guard held(lock_);
        return std::string(call) + (folders_.contains(fd) ? " folder" : " file");
    }
    bool fails(const std::string& kind) const {
        const std::lock_guard held(lock_);
        log.push_back(kind);
        if (kind != failing || failed_) return false;
        failed_ = true;
        errno = EIO;
        return true;
    }
    mutable std::mutex lock_;
    mutable std::set<int> folders_;
    mutable bool failed_ = false;
};

// The file reaches the disk before it takes the old one's name, and the
// folder after; the old file keeps a second name until then.
TEST_F(SafeFileTest, FileIsSyncedBeforeTheRenameAndItsFolderAfter) {
    const fs::path target = put("results.csv", "old");
    WatchedCalls calls;
    auto file = SafeFile::create(target, calls);
    ASSERT_TRUE(file);
    ASSERT_TRUE(file->write("new"));
    ASSERT_TRUE(file->commit());
    EXPECT_EQ(calls.log, (std::vector<std::string>{"open file", "fchmod", "write", "fsync file",
                                                   "close file", "link", "rename", "open folder",
                                                   "fsync folder", "close folder", "unlink"}));
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(entries(), 1u);
}

// Whichever call fails, the write fails naming the file (or its folder) and
// the system's reason, and leaves the old file and nothing else.
TEST_F(SafeFileTest, EveryFailingCallLeavesTheOldFileWhole) {
    const fs::path target = put("results.csv", "old");
    for (const char* kind : {"open file", "fchmod", "write", "fsync file", "close file", "link",
                             "rename", "open folder", "fsync folder", "close folder"}) {
        WatchedCalls calls;
        calls.failing = kind;
        Expected<void> done = errorText("not written");
        if (auto file = SafeFile::create(target, calls)) {
            done = file->write("new");
            if (done) done = file->commit();
        } else {
            done = file.error();
        }
        ASSERT_FALSE(done) << kind;
        const std::string named = std::string(kind).ends_with("folder")
                                      ? "資料夾「" + dir_.string() + "」"
                                      : "檔案「" + target.string() + "」";
        EXPECT_NE(done.error().message().find(named), std::string::npos) << done.error().message();
        EXPECT_NE(done.error().message().find("磁碟讀寫錯誤"), std::string::npos) << kind;
        EXPECT_EQ(read(target), "old") << kind;
        EXPECT_EQ(entries(), 1u) << kind;
    }
}

// A set is replaced all or not at all: when a later rename fails, the files
// already replaced get their old bytes back and a new one goes, whether the
// old files were kept as links or, without links, as copies.
// A set's files reach the disk in one step, before the first of them takes
// its name; when that step fails, no file does.
TEST_F(SafeFileTest, SetIsSyncedOnceBeforeItsRenames) {
    const fs::path a = put("students.txt", "old a");
    const fs::path b = dir_ / "concepts.txt";
    for (const std::string failing : {"syncfs", ""}) {
        WatchedCalls calls;
        calls.failing = failing;
        SafeFileSet set(calls);
        ASSERT_TRUE(set.add(a, "new a"));
        ASSERT_TRUE(set.add(b, "new b"));
        const auto committed = set.commit();
        const auto at = [&](const char* kind) { return std::ranges::find(calls.log, kind); };
        if (!failing.empty()) {
            ASSERT_FALSE(committed);
            EXPECT_NE(committed.error().message().find("磁碟讀寫錯誤"), std::string::npos);
            EXPECT_EQ(at("rename"), calls.log.end());
            EXPECT_EQ(read(a), "old a");
            EXPECT_EQ(entries(), 1u);
            continue;
        }
        ASSERT_TRUE(committed);
        EXPECT_EQ(std::ranges::count(calls.log, "syncfs"), 1);
        EXPECT_EQ(std::ranges::count(calls.log, "fsync file"), 1);  // the journal's
        EXPECT_LT(at("syncfs"), at("link"));
        EXPECT_LT(at("syncfs"), at("rename"));
        EXPECT_EQ(read(a) + read(b), "new anew b");
    }
}

TEST_F(SafeFileTest, SetWhoseRenameFailsPutsEveryOldFileBack) {
    for (const bool links : {true, false}) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const fs::path fresh = dir_ / "items.txt";
        const fs::path old = put("students.txt", "old students");
        const fs::path blocked = put("concepts.txt", "old concepts");
        ::chmod(old.c_str(), 0640);
        WatchedCalls calls;
        calls.noLinks = !links;
        SafeFileSet set(calls);
        ASSERT_TRUE(set.add(fresh, "new items"));
        ASSERT_TRUE(set.add(old, "new students"));
        ASSERT_TRUE(set.add(blocked, "new concepts"));
        // The third target turns into a folder with a file in it: no file
        // can be renamed over that.
        fs::remove(blocked);
        fs::create_directories(blocked);
        put("concepts.txt/inside.txt", "x");

        const auto committed = set.commit();
        ASSERT_FALSE(committed) << links;
        EXPECT_NE(committed.error().message().find("concepts.txt」：無法取代舊檔"),
                  std::string::npos)
            << committed.error().message();
        EXPECT_EQ(read(old), "old students") << links;
        EXPECT_EQ(fs::status(old).permissions(), fs::perms(0640)) << links;
        EXPECT_FALSE(fs::exists(fresh)) << links;
        EXPECT_EQ(entries(), 2u) << links;  // the old file and the folder, no leftovers
    }
}

// A set large enough to be replaced on several threads: whichever renames
// were made before the failing one and after it, every old file comes back.
TEST_F(SafeFileTest, LargeSetWhoseRenameFailsPutsEveryOldFileBack) {
    constexpr int kFiles = 600;
    const auto name = [](int k) { return "s" + std::to_string(k) + ".txt"; };
    for (int k = 0; k < kFiles; k += 2)
        put(name(k), "old " + std::to_string(k));
    WatchedCalls calls;
    SafeFileSet set(calls);
    for (int k = 0; k < kFiles; ++k)
        ASSERT_TRUE(set.add(dir_ / name(k), "new " + std::to_string(k)));
    // One in the middle cannot be replaced.
    const fs::path blocked = dir_ / name(kFiles / 2);
    fs::remove(blocked);
    fs::create_directories(blocked);
    put(name(kFiles / 2) + "/inside.txt", "x");

    ASSERT_FALSE(set.commit());
    for (int k = 0; k < kFiles; k += 2) {
        if (k == kFiles / 2) continue;
        ASSERT_EQ(read(dir_ / name(k)), "old " + std::to_string(k)) << k;
    }
    EXPECT_EQ(entries(), static_cast<std::size_t>(kFiles / 2));  // no new file, no leftover
    EXPECT_GT(std::ranges::count(calls.log, "rename"), 1);
}

// The real calls, but the process ends (as by a kill -9: nothing cleans up)
// when the `nth` call of the kind `dying` starts: "rename", "unlink journal",
// or "unlink after" (the first removal once the journal is gone).
class DyingCalls : public SystemCalls {
  public:
    DyingCalls(std::string dying, int nth, bool noLinks)
        : dying_(std::move(dying)), nth_(nth), noLinks_(noLinks) {}

    int rename(const char* from, const char* to) const override {
        dieAt("rename");
        return SystemCalls::rename(from, to);
    }
    int link(const char* from, const char* to) const override {
        if (!noLinks_) return SystemCalls::link(from, to);
        errno = EPERM;
        return -1;
    }
    int unlink(const char* path) const override {
        const bool journal = std::string_view(path).ends_with(".journal");
        dieAt(journal ? "unlink journal" : journalGone_ ? "unlink after" : "unlink");
        journalGone_ = journalGone_ || journal;
        return SystemCalls::unlink(path);
    }

  private:
    void dieAt(const std::string& kind) const {
        if (kind == dying_ && ++seen_ == nth_) ::_exit(kKilled);
    }
    std::string dying_;
    int nth_;
    bool noLinks_;
    mutable int seen_ = 0;
    mutable bool journalGone_ = false;

  public:
    static constexpr int kKilled = 42;
};

// A set's writer killed at any point of its renames leaves, once the next
// write into the folder has run, every old file as it was, no new target and
// nothing beside them; killed once the set is replaced, every new file.
TEST_F(SafeFileTest, SetWriterKilledBetweenRenamesIsUndoneByTheNextWrite) {
    const std::vector<std::pair<std::string, int>> points = {
        {"rename", 1}, {"rename", 2}, {"rename", 3}, {"unlink journal", 1}, {"unlink after", 1}};
    for (const bool links : {true, false}) {
        for (const auto& [dying, nth] : points) {
            const std::string at = dying + " " + std::to_string(nth) + (links ? "" : " copies");
            fs::remove_all(dir_);
            fs::create_directories(dir_);
            const fs::path a = put("a.png", "old a"), b = put("b.png", "old b");
            const fs::path fresh = dir_ / "c.png";
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                DyingCalls calls(dying, nth, !links);
                SafeFileSet set(calls);
                const bool done = set.add(a, "new a") && set.add(fresh, "new c") &&
                                  set.add(b, "new b") && set.commit();
                ::_exit(done ? 0 : 1);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_EQ(WEXITSTATUS(status), DyingCalls::kKilled) << at;

            ASSERT_TRUE(writeFileSafely(dir_ / "other.txt", "x")) << at;
            const bool replaced = dying == "unlink after";
            EXPECT_EQ(read(a), replaced ? "new a" : "old a") << at;
            EXPECT_EQ(read(b), replaced ? "new b" : "old b") << at;
            EXPECT_EQ(fs::exists(fresh), replaced) << at;
            std::set<std::string> names;
            for (const auto& entry : fs::directory_iterator(dir_))
                names.insert(entry.path().filename().string());
            // Once the journal is gone, the old files' second names may stay
            // until their targets are written again.
            std::erase_if(names,
                          [&](const std::string& n) { return replaced && n.starts_with("."); });
            std::set<std::string> expected = {"a.png", "b.png", "other.txt"};
            if (replaced) expected.insert("c.png");
            EXPECT_EQ(names, expected) << at;
        }
    }
}

// A new file gets 0666 less the umask; an old one keeps its mode.
TEST_F(SafeFileTest, NewFilesTakeTheUmaskAndOldFilesKeepTheirMode) {
    const auto modeOf = [](const fs::path& p) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        return st.st_mode & 07777;
    };
    const mode_t before = ::umask(022);
    for (const auto& [mask, mode] : {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}}) {
        ::umask(mask);
        const fs::path fresh = dir_ / ("new-" + std::to_string(mask));
        ASSERT_TRUE(writeFileSafely(fresh, "x"));
        EXPECT_EQ(modeOf(fresh), mode) << std::oct << mask;
        SafeFileSet set;
        ASSERT_TRUE(set.add(dir_ / ("set-" + std::to_string(mask)), "x"));
        ASSERT_TRUE(set.commit());
        EXPECT_EQ(modeOf(dir_ / ("set-" + std::to_string(mask))), mode) << std::oct << mask;

        const fs::path old = put("old-" + std::to_string(mask), "x");
        ::chmod(old.c_str(), 0604);
        ASSERT_TRUE(writeFileSafely(old, "y"));
        EXPECT_EQ(modeOf(old), 0604u) << std::oct << mask;
    }
    ::umask(before);
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

// A termination signal removes the temporary files of the writes under way
// and still ends the process by that signal; while a set takes its names the
// signal waits for it.
TEST_F(SafeFileTest, TerminationSignalsLeaveNoTemporaryFiles) {
    const fs::path target = put("results.csv", "old");
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        int ready[2], go[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(go), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            removeTemporariesOnSignals();
            auto file = SafeFile::create(target);
            SafeFileSet set;
            if (!file || !file->write("half") || !set.add(dir_ / "b.csv", "b")) ::_exit(1);
            {
                const SignalsDeferred held;
                (void)!::write(ready[1], "w", 1);
                char byte = 0;
                (void)!::read(go[0], &byte, 1);  // the signal has been sent
                std::ofstream(dir_ / "held.txt") << "ran on";
            }
            ::_exit(0);
        }
        char byte = 0;
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
        ::kill(child, signal);
        ASSERT_EQ(::write(go[1], "g", 1), 1);
        int status = 0;
        ::waitpid(child, &status, 0);
        for (const int fd : {ready[0], ready[1], go[0], go[1]})
            ::close(fd);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_TRUE(fs::exists(dir_ / "held.txt")) << signal;
        fs::remove(dir_ / "held.txt");
        EXPECT_EQ(read(target), "old");
        EXPECT_EQ(entries(), 1u) << signal;
    }
}

// What a killed writer left beside a target goes with the next write of that
// target; what a running writer has there, or a user's own hidden file, stays.
TEST_F(SafeFileTest, NextWriteRemovesOnlyLeftoversOfGoneWriters) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const pid_t running = ::fork();
    if (running == 0) {
        ::pause();
        ::_exit(0);
    }
    const std::string g = std::to_string(gone), r = std::to_string(running);
    const fs::path target = put("results.csv", "old");
    put(".results.csv." + g + ".k3x9qa", "left by a kill");
    put(".results.csv.old." + g + ".k3x9qa", "left by a kill");
    put(".results.csv." + r + ".k3x9qa", "being written");
    put(".results.csv.backup", "the user's");
    put(".concepts.txt." + g + ".k3x9qa", "another target's");
    // A running writer's set, half renamed: its journal is its own to finish.
    const fs::path students = put("students.txt", "new students");
    const std::string journal = ".quorvane-set." + r + ".k3x9qa.journal";
    put(journal, std::string("students.txt\0.students.txt.1.aaaaaa\0\0\0", 38));
    ASSERT_TRUE(writeFileSafely(target, "new"));
    EXPECT_EQ(read(students), "new students");
    fs::remove(students);
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names,
              (std::set<std::string>{"results.csv", ".results.csv." + r + ".k3x9qa", journal,
                                     ".results.csv.backup", ".concepts.txt." + g + ".k3x9qa"}));
    SafeFileSet set;
    ASSERT_TRUE(set.add(dir_ / "concepts.txt", "c"));
    EXPECT_FALSE(fs::exists(dir_ / (".concepts.txt." + g + ".k3x9qa")));
    ::kill(running, SIGKILL);
    ::waitpid(running, nullptr, 0);
}

// The names beside a target stay within the 255 bytes a file system takes,
// however long the target's own name is.
TEST_F(SafeFileTest, LongestLegalNamesAreWritten) {
    for (const std::size_t bytes : {std::size_t{232}, std::size_t{254}, std::size_t{255}}) {
        const fs::path target = dir_ / std::string(bytes, 'n');
        ASSERT_TRUE(writeFileSafely(target, "first")) << bytes;
        ASSERT_TRUE(writeFileSafely(target, "second")) << bytes;  // with the old file's link
        EXPECT_EQ(read(target), "second");
    }
    const std::string wide = std::string(230, 'n') + "\xE5\xAD\xB8\xE7\x94\x9F";  // 學生 at the cut
    ASSERT_TRUE(writeFileSafely(dir_ / wide, "x"));
    EXPECT_EQ(entries(), 4u);
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
