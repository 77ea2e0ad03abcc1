#pragma once

#include <sys/types.h>

#include <filesystem>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/expected.h"
#include "data/live_temporaries.h"

namespace qv {

// The system calls a safe write makes. Each returns what the call of the same
// name returns and leaves errno as it does; tests derive from it to watch the
// order of the calls or to make one of them fail.
class SystemCalls {
  public:
    virtual ~SystemCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode) const;
    virtual ssize_t read(int fd, char* data, std::size_t size) const;
    virtual ssize_t write(int fd, const char* data, std::size_t size) const;
    virtual int fsync(int fd) const;
    virtual int syncfs(int fd) const;
    virtual int fchmod(int fd, mode_t mode) const;
    virtual int close(int fd) const;
    virtual int rename(const char* from, const char* to) const;
    virtual int link(const char* from, const char* to) const;
    virtual int unlink(const char* path) const;
};

// The calls as the system makes them.
const SystemCalls& systemCalls();

// The temporary files in one folder that writers which have gone left beside
// their targets (their process ID is in the name, see SafeFile), by the
// target they were made for. A file of a process that still runs is never
// taken for one: its writer may be at work.
class StaleTemporaries {
  public:
    // Sets that dead writers left half-replaced in the folder (their
    // journals) are first taken back to their old files.
    StaleTemporaries(const SystemCalls& calls, const std::filesystem::path& folder);
    // Removes those left beside `target`, which is in the folder. Safe to
    // call from several threads at once.
    void removeFor(const SystemCalls& calls, const std::filesystem::path& target);

  private:
    std::mutex lock_;
    std::unordered_multimap<std::string, std::filesystem::path> byStem_;
};

// A file replaced whole or not at all. The bytes go to a temporary file in
// the target's folder; commit() flushes it to the disk, renames it over the
// target and flushes the folder. Until then the old file stays as it was, so a
// kill or a full disk at any moment leaves either the old file or the complete
// new one. A new file gets the mode 0666 less the umask, an old one keeps its
// own. An uncommitted temporary file is removed when the SafeFile goes, and
// by a termination signal (see LiveTemporary). Before it starts, the write
// removes what earlier writes of the same target left behind when they were
// killed (see StaleTemporaries).
class SafeFile {
  public:
    static Expected<SafeFile> create(const std::filesystem::path& target,
                                     const SystemCalls& calls = systemCalls());

    SafeFile(SafeFile&& other) noexcept;
    SafeFile& operator=(SafeFile&& other) noexcept;
    ~SafeFile();

    Expected<void> write(std::string_view bytes);
    // finish() then the replacement; a failure leaves the old file whole.
    Expected<void> commit();
    // Flushes the temporary file to the disk and closes it.
    Expected<void> finish() { return finish(true); }

  private:
    friend class SafeFileSet;
    static Expected<SafeFile> create(const std::filesystem::path& target, const SystemCalls& calls,
                                     StaleTemporaries* stale);
    SafeFile(const SystemCalls& calls, std::filesystem::path target, std::filesystem::path temp,
             LiveTemporary mark, int fd);
    // Closes the temporary file; flushed to the disk first when `sync`.
    Expected<void> finish(bool sync);
    Error failure(const char* doing, int errnum) const;
    void discard();
    Expected<void> keepOld();
    bool restoreOld();
    void dropOld();
    // Renames the finished files over their targets, all or none.
    static Expected<void> replaceAll(std::span<SafeFile> files);

    const SystemCalls* calls_;
    std::filesystem::path target_, temp_;
    // A second name of the old target while it is being replaced; empty when
    // there was none.
    std::filesystem::path old_;
    LiveTemporary tempMark_, oldMark_;
    int fd_ = -1;
    bool replaced_ = false;
};

// The whole of `bytes` as the new content of `target`, through a SafeFile.
Expected<void> writeFileSafely(const std::filesystem::path& target, std::string_view bytes);

// Files that belong together (the three files of a class): each is written to
// its temporary file first, and none replaces its target until all are
// written. A file that cannot be written is not added and says why. commit()
// replaces all or none: when one cannot be replaced, those already replaced
// get their old content back and those that are new go. A set in one folder
// keeps a journal there while its files take their names, so that a writer
// killed half-way is undone by the next write into that folder (see
// StaleTemporaries). Its files reach the disk together, in one step before
// the first rename.
class SafeFileSet {
  public:
    explicit SafeFileSet(const SystemCalls& calls = systemCalls()) : calls_(&calls) {}
    SafeFileSet(const SafeFileSet&) = delete;
    SafeFileSet& operator=(const SafeFileSet&) = delete;
    ~SafeFileSet();

    // prepare() then keep().
    Expected<void> add(const std::filesystem::path& target, std::string_view bytes);
    // Writes `bytes` to a temporary file for `target`, which joins the set
    // once given to keep(). Safe to call from several threads at once, so
    // that many files are written side by side; the calls they make must
    // be safe for that too.
    Expected<SafeFile> prepare(const std::filesystem::path& target, std::string_view bytes);
    // Joins a prepared file to the set. The set's journal lists its files in
    // the order they joined.
    void keep(SafeFile file);
    Expected<void> commit();
    std::size_t size() const { return files_.size(); }

  private:
    // The open descriptor of `folder`, opened now if it is not yet; -1 (and
    // errno) when it cannot be. Called with lock_ held.
    int folderFd(const std::filesystem::path& folder);

    const SystemCalls* calls_;
    // Guards stale_ and folderFds_ for prepare().
    std::mutex lock_;
    std::vector<SafeFile> files_;
    // Each folder is searched for leftovers once, not once per file.
    std::unordered_map<std::string, StaleTemporaries> stale_;
    // An open descriptor of each folder the temporaries are in, taken before
    // the first of them is written (see commit()).
    std::unordered_map<std::string, int> folderFds_;
};

// True when both name one existing file (however they are spelled).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// A system error number as a short Traditional Chinese reason.
std::string systemReason(int errnum);

}  // namespace qv
