#include "data/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>

#include "core/ordered_blocks.h"
#include "data/live_temporaries.h"
#include "data/loaders.h"

namespace qv {

namespace {

namespace fs = std::filesystem;

// Asked of open() for a new file: the kernel takes the umask off it, so the
// umask is never read (reading it means setting it, a race with every other
// thread that creates a file meanwhile).
constexpr mode_t kNewFileMode = 0666;
// How often a random name is drawn again when it is taken.
constexpr int kNameAttempts = 100;

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// The longest file name most file systems take.
constexpr std::size_t kNameMax = 255;
// What a name beside the target adds to the target's name: "." before it,
// ".old." and a process ID of up to ten digits, "." and six letters.
constexpr std::size_t kBesideExtra = 23;

// The target's name as the names beside it start, cut (at a character
// boundary) so that they stay within kNameMax whatever the target's length.
std::string besideStem(const fs::path& target) {
    std::string stem = target.filename().native();
    if (stem.size() <= kNameMax - kBesideExtra) return stem;
    std::size_t keep = kNameMax - kBesideExtra;
    while (keep > 0 && (static_cast<unsigned char>(stem[keep]) & 0xC0) == 0x80)
        --keep;
    return stem.substr(0, keep);
}

// This process's ID, asked of the system once (and again in a forked child),
// not twice for every file of a set.
std::atomic<pid_t> knownPid{0};

pid_t thisProcess() {
    pid_t pid = knownPid.load(std::memory_order_relaxed);
    if (pid == 0) {
        static const int hooked = ::pthread_atfork(
            nullptr, nullptr, [] { knownPid.store(0, std::memory_order_relaxed); });
        (void)hooked;
        pid = ::getpid();
        knownPid.store(pid, std::memory_order_relaxed);
    }
    return pid;
}

// A hidden name beside the target that no other writer takes, with this
// process's ID in it, so that a later write can tell its leftovers from a
// live writer's: ".results.json.4711.k3x9qa" for a temporary file,
// ".results.json.old.4711.k3x9qa" for the old file's second name.
// This process's ID and six random letters: "4711.k3x9qa".
std::string writerTag() {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string tag = std::to_string(thisProcess()) + ".";
    for (int k = 0; k < 6; ++k)
        tag += kLetters[random() % kLetters.size()];
    return tag;
}

fs::path besideName(const fs::path& target, std::string_view tag) {
    return folderOf(target) / ("." + besideStem(target) + std::string(tag) + writerTag());
}

// The process that made a name besideName() gives, and the target's stem it
// was made for (with ".old" when that could be part of the stem too).
struct BesideName {
    pid_t pid = 0;
    std::string stem, stemWithoutOld;
};

std::optional<BesideName> parseBesideName(const std::string& name) {
    constexpr std::size_t kTail = 7;  // ".k3x9qa"
    if (name.size() < 1 + 1 + 1 + 1 + kTail || name.front() != '.') return std::nullopt;
    const std::size_t dot = name.size() - kTail;
    if (name[dot] != '.') return std::nullopt;
    for (std::size_t i = dot + 1; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i])) &&
            !(name[i] >= 'a' && name[i] <= 'z'))
            return std::nullopt;
    std::size_t digits = dot;
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1])))
        --digits;
    if (digits == dot || dot - digits > 10 || digits < 3 || name[digits - 1] != '.')
        return std::nullopt;
    BesideName parsed;
    const long long pid = std::stoll(name.substr(digits, dot - digits));
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) return std::nullopt;
    parsed.pid = static_cast<pid_t>(pid);
    parsed.stem = name.substr(1, digits - 2);
    if (parsed.stem.ends_with(".old"))
        parsed.stemWithoutOld = parsed.stem.substr(0, parsed.stem.size() - 4);
    return parsed;
}

// A process that may still write its temporary file: this one, or any that
// the system knows (another user's too).
bool processRuns(pid_t pid) {
    return pid == thisProcess() || ::kill(pid, 0) == 0 || errno == EPERM;
}

Error folderFailure(const fs::path& folder, int errnum) {
    return Error{pathText(folder), 0, "無法寫入：" + systemReason(errnum), "資料夾"};
}

// Puts a folder's new entries (the renames) on the disk.
Expected<void> syncFolder(const SystemCalls& calls, const fs::path& folder) {
    const int fd = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0) return folderFailure(folder, errno);
    // A file system that cannot sync a folder says EINVAL; its renames are
    // as lasting as it makes them.
    const bool synced = calls.fsync(fd) == 0 || errno == EINVAL;
    const int syncError = errno;
    const bool closed = calls.close(fd) == 0;
    if (!synced) return folderFailure(folder, syncError);
    if (!closed) return folderFailure(folder, errno);
    return {};
}

// A set's journal: for each file of the set, its target's name, its
// temporary file's and its old file's second name (empty for a new target),
// each ended by a NUL (no file name holds one), then an empty name for the
// end. While it exists the set is not yet replaced; its removal is the moment
// the new files count.
constexpr std::string_view kJournalPrefix = ".quorvane-set.";
constexpr std::string_view kJournalSuffix = ".journal";

struct JournalEntry {
    std::string target, temp, old;
};

// The process that wrote a journal, from its name
// (".quorvane-set.4711.k3x9qa.journal").
std::optional<pid_t> journalWriter(std::string_view name) {
    if (!name.starts_with(kJournalPrefix) || !name.ends_with(kJournalSuffix)) return std::nullopt;
    name.remove_prefix(kJournalPrefix.size());
    name.remove_suffix(kJournalSuffix.size());
    // What writerTag() gives, in front of a name of one letter.
    const auto parsed = parseBesideName(".j." + std::string(name));
    if (!parsed || parsed->stem != "j") return std::nullopt;
    return parsed->pid;
}

// The entries of a journal; `complete` tells whether it got to its end (one
// cut short was written by a process killed before any rename).
std::vector<JournalEntry> readJournal(const fs::path& journal, bool& complete) {
    std::ifstream in(journal, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::string> names;
    for (std::size_t from = 0, nul; (nul = bytes.find('\0', from)) != std::string::npos;
         from = nul + 1)
        names.push_back(bytes.substr(from, nul - from));
    std::vector<JournalEntry> entries;
    complete = false;
    // Plain names in this folder only: a journal never sends a rename elsewhere.
    const auto plain = [](const std::string& n) {
        return n != "." && n != ".." && n.find('/') == std::string::npos;
    };
    for (std::size_t k = 0; k < names.size(); k += 3) {
        if (names[k].empty()) {
            complete = true;
            break;
        }
        if (k + 2 >= names.size() || names[k + 1].empty() || !plain(names[k]) ||
            !plain(names[k + 1]) || !plain(names[k + 2]))
            break;
        entries.push_back({names[k], names[k + 1], names[k + 2]});
    }
    return entries;
}

// Takes a dead writer's set back to its old files: a file whose temporary
// is still there was not renamed; one whose temporary is gone took its
// target's name, so the old file's second name goes back over it (a new
// target goes). Only then do the second names and the journal go.
void rollBackJournal(const SystemCalls& calls, const fs::path& folder, const fs::path& journal) {
    bool complete = false;
    const std::vector<JournalEntry> entries = readJournal(journal, complete);
    // No rename starts before the journal is whole.
    if (complete) {
        for (const JournalEntry& e : entries) {
            if (::access((folder / e.temp).c_str(), F_OK) == 0 || errno != ENOENT) continue;
            if (e.old.empty()) {
                calls.unlink((folder / e.target).c_str());
            } else {
                calls.rename((folder / e.old).c_str(), (folder / e.target).c_str());
            }
        }
        // The old files are back on the disk before anything they need goes.
        if (!syncFolder(calls, folder)) return;
    }
    for (const JournalEntry& e : entries) {
        calls.unlink((folder / e.temp).c_str());
        if (!e.old.empty()) calls.unlink((folder / e.old).c_str());
    }
    calls.unlink(journal.c_str());
    (void)syncFolder(calls, folder);
}

// Writes the journal of a set whose files are all in `folder`, on the disk
// with its folder entry before any rename.
Expected<fs::path> writeJournal(const SystemCalls& calls, const fs::path& folder,
                                const std::vector<JournalEntry>& entries) {
    std::string bytes;
    for (const JournalEntry& e : entries)
        for (const std::string* name : {&e.target, &e.temp, &e.old})
            bytes += *name + '\0';
    bytes += '\0';
    fs::path journal;
    int fd = -1;
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        journal =
            folder / (std::string(kJournalPrefix) + writerTag() + std::string(kJournalSuffix));
        fd = calls.open(journal.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return folderFailure(folder, errno);
    std::string_view rest = bytes;
    int errnum = 0;
    while (!rest.empty() && errnum == 0) {
        const ssize_t n = calls.write(fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) errnum = n < 0 ? errno : EIO;
        if (n > 0) rest.remove_prefix(static_cast<std::size_t>(n));
    }
    if (errnum == 0 && calls.fsync(fd) != 0) errnum = errno;
    if (calls.close(fd) != 0 && errnum == 0) errnum = errno;
    if (errnum == 0) {
        if (auto synced = syncFolder(calls, folder); !synced) {
            calls.unlink(journal.c_str());
            return synced.error();
        }
        return journal;
    }
    calls.unlink(journal.c_str());
    return folderFailure(folder, errnum);
}

// From how many files on a set's steps run on several threads: the kernel
// makes each create, rename and removal wait (for the disk, for the
// folder's lock), and meanwhile another thread gets on with the next.
constexpr std::size_t kFilesForWorkers = 256;

// step(k) for every k below `count`, on one thread per core when there are
// enough; a failure stops the steps not yet started, and the one of the
// lowest k among those that failed is returned.
Expected<void> eachFile(std::size_t count, const std::function<Expected<void>(std::size_t)>& step) {
    const int threads = count < kFilesForWorkers ? 1 : workerCount(0);
    if (threads == 1) {
        for (std::size_t k = 0; k < count; ++k)
            if (auto done = step(k); !done) return done;
        return {};
    }
    std::atomic<std::size_t> next{0};
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::size_t failedAt = count;
    std::optional<Error> failure;
    std::exception_ptr thrown;
    // Taken a few at a time: one counter per file would be fought over.
    constexpr std::size_t kRun = 16;
    const auto work = [&] {
        try {
            for (std::size_t from; !stop && (from = next.fetch_add(kRun)) < count;)
                for (std::size_t k = from; k < std::min(count, from + kRun) && !stop; ++k)
                    if (auto done = step(k); !done) {
                        const std::lock_guard held(lock);
                        if (k < failedAt) failedAt = k, failure = done.error();
                        stop = true;
                    }
        } catch (...) {
            const std::lock_guard held(lock);
            if (!thrown) thrown = std::current_exception();
            stop = true;
        }
    };
    {
        std::vector<std::jthread> workers;
        for (int t = 1; t < threads; ++t)
            workers.emplace_back(work);
        work();
    }
    if (thrown) std::rethrow_exception(thrown);
    if (failure) return *failure;
    return {};
}

}  // namespace

int SystemCalls::open(const char* path, int flags, mode_t mode) const {
    return ::open(path, flags, mode);
}
ssize_t SystemCalls::read(int fd, char* data, std::size_t size) const {
    return ::read(fd, data, size);
}
ssize_t SystemCalls::write(int fd, const char* data, std::size_t size) const {
    return ::write(fd, data, size);
}
int SystemCalls::fsync(int fd) const {
    return ::fsync(fd);
}
int SystemCalls::syncfs(int fd) const {
    return ::syncfs(fd);
}
int SystemCalls::fchmod(int fd, mode_t mode) const {
    return ::fchmod(fd, mode);
}
int SystemCalls::close(int fd) const {
    return ::close(fd);
}
int SystemCalls::rename(const char* from, const char* to) const {
    return ::rename(from, to);
}
int SystemCalls::link(const char* from, const char* to) const {
    return ::link(from, to);
}
int SystemCalls::unlink(const char* path) const {
    return ::unlink(path);
}

const SystemCalls& systemCalls() {
    static const SystemCalls calls;
    return calls;
}

std::string systemReason(int errnum) {
    switch (errnum) {
        case ENOSPC:
            return "磁碟空間不足";
        case EDQUOT:
            return "超過磁碟配額";
        case EACCES:
        case EPERM:
            return "沒有寫入權限";
        case ENAMETOOLONG:
            return "檔名太長";
        case ENOENT:
            return "資料夾不存在";
        case ENOTDIR:
            return "路徑中有一段不是資料夾";
        case EISDIR:
            return "這是一個資料夾";
        case EROFS:
            return "檔案系統是唯讀的";
        case EFBIG:
            return "檔案超過系統允許的大小";
        case EIO:
            return "磁碟讀寫錯誤";
        case EXDEV:
            return "暫存檔與目標不在同一個檔案系統";
        case ELOOP:
            return "符號連結形成迴圈";
        default:
            return std::string("系統錯誤：") + std::strerror(errnum);
    }
}

StaleTemporaries::StaleTemporaries(const SystemCalls& calls, const fs::path& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;  // the write itself will say what is wrong
    // A set whose writer was killed half-way goes back to its old files
    // first; what its rollback removes is then no longer found below.
    std::vector<fs::path> journals;
    while (const dirent* entry = ::readdir(dir)) {
        const auto writer = journalWriter(entry->d_name);
        if (writer && !processRuns(*writer)) journals.push_back(folder / entry->d_name);
    }
    for (const fs::path& journal : journals)
        rollBackJournal(calls, folder, journal);
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const auto parsed = parseBesideName(name);
        if (!parsed || processRuns(parsed->pid)) continue;
        byStem_.emplace(parsed->stem, folder / name);
        if (!parsed->stemWithoutOld.empty()) byStem_.emplace(parsed->stemWithoutOld, folder / name);
    }
    ::closedir(dir);
}

void StaleTemporaries::removeFor(const SystemCalls& calls, const fs::path& target) {
    const std::lock_guard held(lock_);
    const auto [from, to] = byStem_.equal_range(besideStem(target));
    // Best effort: one that cannot go is left as it was.
    for (auto it = from; it != to; ++it)
        calls.unlink(it->second.c_str());
    byStem_.erase(from, to);
}

Expected<SafeFile> SafeFile::create(const fs::path& given, const SystemCalls& calls) {
    return create(given, calls, nullptr);
}

Expected<SafeFile> SafeFile::create(const fs::path& given, const SystemCalls& calls,
                                    StaleTemporaries* stale) {
    fs::path target = given;
    struct stat st {};
    bool exists = ::lstat(given.c_str(), &st) == 0;
    // A link is followed so that the file it names is replaced, not the link.
    if (exists && S_ISLNK(st.st_mode)) {
        std::error_code ec;
        target = fs::weakly_canonical(given, ec);
        if (ec) return Error{pathText(given), 0, "無法寫入：" + systemReason(ec.value())};
        exists = ::stat(target.c_str(), &st) == 0;
    }
    if (target.filename().native().size() > kNameMax)
        return Error{pathText(given), 0, "無法寫入：" + systemReason(ENAMETOOLONG)};
    if (exists && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode))
            return Error{pathText(given), 0, "無法寫入：" + systemReason(EISDIR)};
        // A device or a pipe (/dev/stdout, a FIFO) cannot be replaced; it
        // takes the bytes as they come.
        const int fd = calls.open(target.c_str(), O_WRONLY | O_CLOEXEC, 0);
        if (fd < 0) return Error{pathText(given), 0, "無法寫入：" + systemReason(errno)};
        return SafeFile(calls, target, {}, {}, fd);
    }
    if (stale != nullptr) {
        stale->removeFor(calls, target);
    } else {
        StaleTemporaries(calls, folderOf(target)).removeFor(calls, target);
    }
    fs::path temp;
    LiveTemporary mark;
    int fd = -1, errnum = 0;
    for (int attempt = 0; attempt < kNameAttempts && fd < 0; ++attempt) {
        temp = besideName(target, ".");
        // Marked before it exists: a signal between the two finds nothing
        // to remove, rather than a file nobody removes.
        mark = LiveTemporary(temp);
        fd = calls.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        errnum = errno;
        if (fd < 0 && errnum != EEXIST) break;
    }
    if (fd < 0) return Error{pathText(target), 0, "無法寫入：" + systemReason(errnum)};
    SafeFile file(calls, target, temp, std::move(mark), fd);
    // The old file's mode, set bits and all, goes on to the new one.
    if (exists && calls.fchmod(fd, st.st_mode & 07777) != 0)
        return file.failure("無法設定檔案權限", errno);
    return file;
}

SafeFile::SafeFile(const SystemCalls& calls, fs::path target, fs::path temp, LiveTemporary mark,
                   int fd)
    : calls_(&calls),
      target_(std::move(target)),
      temp_(std::move(temp)),
      tempMark_(std::move(mark)),
      fd_(fd) {}

SafeFile::SafeFile(SafeFile&& other) noexcept
    : calls_(other.calls_),
      target_(std::move(other.target_)),
      temp_(std::exchange(other.temp_, {})),
      old_(std::exchange(other.old_, {})),
      tempMark_(std::move(other.tempMark_)),
      oldMark_(std::move(other.oldMark_)),
      fd_(std::exchange(other.fd_, -1)),
      replaced_(std::exchange(other.replaced_, false)) {}

SafeFile& SafeFile::operator=(SafeFile&& other) noexcept {
    if (this != &other) {
        discard();
        calls_ = other.calls_;
        target_ = std::move(other.target_);
        temp_ = std::exchange(other.temp_, {});
        old_ = std::exchange(other.old_, {});
        tempMark_ = std::move(other.tempMark_);
        oldMark_ = std::move(other.oldMark_);
        fd_ = std::exchange(other.fd_, -1);
        replaced_ = std::exchange(other.replaced_, false);
    }
    return *this;
}

SafeFile::~SafeFile() {
    discard();
}

// What an unfinished or failed file leaves goes; nothing is to be told.
void SafeFile::discard() {
    if (fd_ >= 0) calls_->close(fd_);
    fd_ = -1;
    if (!temp_.empty()) calls_->unlink(temp_.c_str());
    temp_.clear();
    tempMark_.release();
    dropOld();
}

Error SafeFile::failure(const char* doing, int errnum) const {
    return Error{pathText(target_), 0, std::string(doing) + "：" + systemReason(errnum)};
}

Expected<void> SafeFile::write(std::string_view bytes) {
    if (fd_ < 0) return failure("無法寫入", EBADF);
    while (!bytes.empty()) {
        const ssize_t n = calls_->write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return failure("無法寫入", n < 0 ? errno : EIO);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

Expected<void> SafeFile::finish(bool sync) {
    if (fd_ < 0) return {};
    // Some file systems report a full disk only at fsync or close; a device
    // or pipe has nothing to sync.
    const bool synced = !sync || temp_.empty() || calls_->fsync(fd_) == 0;
    const int syncError = errno;
    const bool closed = calls_->close(std::exchange(fd_, -1)) == 0;
    if (!synced) return failure("無法寫入", syncError);
    if (!closed) return failure("無法寫入", errno);
    return {};
}

// A second name for the old target, so that it can come back when a later
// step fails: a hard link where the file system has them, else a copy.
Expected<void> SafeFile::keepOld() {
    int errnum = 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        fs::path old = besideName(target_, ".old.");
        if (calls_->link(target_.c_str(), old.c_str()) == 0) {
            oldMark_ = LiveTemporary(old);
            old_ = std::move(old);
            return {};
        }
        errnum = errno;
        if (errnum == ENOENT) return {};  // a new file: nothing to keep
        if (errnum != EEXIST) break;
    }
    // What took the target's place since create() (a folder, say) cannot be
    // replaced, and the rename will say so.
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return {};
    if (errnum != EPERM && errnum != ENOTSUP && errnum != EMLINK && errnum != ENOSYS)
        return failure("無法保留舊檔", errnum);
    const int in = calls_->open(target_.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (in < 0) return errno == ENOENT ? Expected<void>{} : failure("無法保留舊檔", errno);
    auto copy = create(target_, *calls_);  // beside it, with its mode
    Expected<void> copied = copy ? Expected<void>{} : Expected<void>(copy.error());
    char buffer[1 << 16];
    while (copied) {
        const ssize_t n = calls_->read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) copied = failure("無法保留舊檔", errno);
        if (n <= 0) break;
        copied = copy->write(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
    // Only read: its close cannot lose anything.
    calls_->close(in);
    if (copied) copied = copy->finish();
    if (!copied) return copied;
    old_ = std::exchange(copy->temp_, {});
    oldMark_ = std::move(copy->tempMark_);
    return {};
}

// The old content back under the target's name (a new target goes); true
// unless the old file could not be put back, and then it stays where it is.
bool SafeFile::restoreOld() {
    if (!replaced_) return true;
    replaced_ = false;
    if (old_.empty()) {
        calls_->unlink(target_.c_str());
        return true;
    }
    if (calls_->rename(old_.c_str(), target_.c_str()) != 0) return false;
    old_.clear();
    oldMark_.release();
    return true;
}

void SafeFile::dropOld() {
    if (!old_.empty()) calls_->unlink(old_.c_str());
    old_.clear();
    oldMark_.release();
}

Expected<void> SafeFile::replaceAll(std::span<SafeFile> files) {
    const SignalsDeferred untilAllOrNone;
    // Devices and pipes were written in place.
    auto replaceable = [](const SafeFile& f) { return !f.temp_.empty() || f.replaced_; };
    std::vector<fs::path> folders;
    for (const SafeFile& f : files)
        if (replaceable(f) && std::ranges::find(folders, folderOf(f.target_)) == folders.end())
            folders.push_back(folderOf(f.target_));
    const SystemCalls& calls = *files.front().calls_;
    fs::path journal;
    const auto rollBack = [&](Error error) -> Expected<void> {
        bool restored = true;
        for (SafeFile& f : files) {
            if (!f.restoreOld()) {
                error.what += "；舊檔留在「" + pathText(f.old_) + "」";
                f.old_.clear();
                f.oldMark_.release();
                restored = false;
            }
            f.discard();
        }
        // Best effort: the error already says what went wrong.
        for (const fs::path& folder : folders)
            (void)syncFolder(calls, folder);
        // An old file that could not come back is left to the journal: the
        // next write into the folder puts it back.
        if (!journal.empty() && restored) {
            calls.unlink(journal.c_str());
            (void)syncFolder(calls, folders.front());
        }
        if (files.size() > 1) error.what += "；這一組檔案都沒有更動";
        return error;
    };
    if (auto kept = eachFile(files.size(),
                             [&](std::size_t k) {
                                 return replaceable(files[k]) ? files[k].keepOld()
                                                              : Expected<void>{};
                             });
        !kept)
        return rollBack(kept.error());
    // A kill between the renames must not leave some files new and some old:
    // the journal lets the next write into the folder undo the renames.
    // A lone file is replaced by one rename and needs none; a set across
    // folders (through links) has no one place for it and goes without.
    const auto count = std::ranges::count_if(files, replaceable);
    if (count > 1 && folders.size() == 1) {
        std::vector<JournalEntry> entries;
        for (const SafeFile& f : files)
            if (replaceable(f))
                entries.push_back({f.target_.filename().native(), f.temp_.filename().native(),
                                   f.old_.empty() ? std::string() : f.old_.filename().native()});
        auto written = writeJournal(calls, folders.front(), entries);
        if (!written) return rollBack(written.error());
        journal = std::move(written).value();
    }
    // Any order will do: the journal undoes whichever renames were made.
    if (auto renamed = eachFile(files.size(),
                                [&](std::size_t k) -> Expected<void> {
                                    SafeFile& f = files[k];
                                    if (!replaceable(f)) return {};
                                    if (f.calls_->rename(f.temp_.c_str(), f.target_.c_str()) != 0)
                                        return f.failure("無法取代舊檔", errno);
                                    f.temp_.clear();
                                    f.tempMark_.release();
                                    f.replaced_ = true;
                                    return {};
                                });
        !renamed)
        return rollBack(renamed.error());
    for (const fs::path& folder : folders)
        if (auto synced = syncFolder(calls, folder); !synced) return rollBack(synced.error());
    if (!journal.empty()) {
        // The moment the set counts as replaced; the old files are needed
        // until it is on the disk.
        if (calls.unlink(journal.c_str()) != 0)
            return rollBack(folderFailure(folders.front(), errno));
        if (auto synced = syncFolder(calls, folders.front()); !synced)
            return rollBack(synced.error());
    }
    (void)eachFile(files.size(), [&](std::size_t k) -> Expected<void> {
        files[k].replaced_ = false;
        files[k].dropOld();
        return {};
    });
    return {};
}

Expected<void> SafeFile::commit() {
    if (auto finished = finish(); !finished) return finished;
    return replaceAll(std::span(this, 1));
}

Expected<void> writeFileSafely(const fs::path& target, std::string_view bytes) {
    auto file = SafeFile::create(target);
    if (!file) return file.error();
    if (auto written = file->write(bytes); !written) return written;
    return file->commit();
}

SafeFileSet::~SafeFileSet() {
    for (const auto& [folder, fd] : folderFds_)
        calls_->close(fd);
}

Expected<void> SafeFileSet::add(const fs::path& target, std::string_view bytes) {
    auto file = prepare(target, bytes);
    if (!file) return file.error();
    keep(std::move(file).value());
    return {};
}

int SafeFileSet::folderFd(const fs::path& folder) {
    const auto known = folderFds_.find(folder.native());
    if (known != folderFds_.end()) return known->second;
    const int fd = calls_->open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd >= 0) folderFds_.emplace(folder.native(), fd);
    return fd;
}

Expected<SafeFile> SafeFileSet::prepare(const fs::path& target, std::string_view bytes) {
    const fs::path folder = folderOf(target);
    StaleTemporaries* stale = nullptr;
    {
        const std::lock_guard held(lock_);
        stale = &stale_.try_emplace(folder.native(), *calls_, folder).first->second;
    }
    auto file = SafeFile::create(target, *calls_, stale);
    if (!file) return file.error();
    // The folder the temporary file is in (a link's target may be elsewhere),
    // opened before the first temporary in it is written (see commit()).
    if (!file->temp_.empty()) {
        const fs::path tempFolder = folderOf(file->target_);
        const std::lock_guard held(lock_);
        if (folderFd(tempFolder) < 0) return folderFailure(tempFolder, errno);
    }
    if (auto written = file->write(bytes); !written) return written.error();
    // Closed at once: a set may hold more files than a process may keep
    // open. Not yet synced: commit() does that for all of them at once.
    if (auto finished = file->finish(false); !finished) return finished.error();
    return file;
}

void SafeFileSet::keep(SafeFile file) {
    files_.push_back(std::move(file));
}

Expected<void> SafeFileSet::commit() {
    if (files_.empty()) return {};
    // One syncfs() per file system in place of one fsync() per file (a
    // thousand files took seconds, 100,000 minutes). It is as safe: it
    // returns once every file of the file system, these temporaries among
    // them, is on the disk, and reports a write-back error of any of them
    // since the folder's descriptor was opened, which was before the first
    // temporary was written. A full disk is still told by write() and
    // close() as before. No rename starts until it has returned.
    std::vector<SafeFile> files = std::move(files_);
    files_.clear();
    std::optional<Error> failed;
    for (const auto& [folder, fd] : folderFds_) {
        if (!failed && calls_->syncfs(fd) != 0) failed = folderFailure(folder, errno);
        calls_->close(fd);
    }
    folderFds_.clear();
    if (failed) {
        if (files.size() > 1) failed->what += "；這一組檔案都沒有更動";
        return *failed;
    }
    return SafeFile::replaceAll(files);
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace qv
