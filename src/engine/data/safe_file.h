#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

#include "core/expected.h"

namespace qv {

// A file replaced whole or not at all. The bytes go to a temporary file in
// the target's folder; commit() flushes it to the disk and renames it over
// the target. Until then the old file stays as it was, so a kill or a full
// disk at any moment leaves either the old file or the complete new one. An
// uncommitted temporary file is removed when the SafeFile goes.
class SafeFile {
  public:
    static Expected<SafeFile> create(const std::filesystem::path& target);

    SafeFile(SafeFile&& other) noexcept;
    SafeFile& operator=(SafeFile&& other) noexcept;
    ~SafeFile();

    Expected<void> write(std::string_view bytes);
    // finish() then replace(); a set of files finishes all before replacing any.
    Expected<void> commit();
    // Closes the temporary file, after flushing it to the disk unless the
    // caller syncs a whole set of files at once.
    Expected<void> finish(bool sync = true);
    // Renames the finished temporary file over the target.
    Expected<void> replace();

  private:
    SafeFile(std::filesystem::path target, std::filesystem::path temp, int fd);
    Error failure(const char* doing, int errnum) const;
    void discard();

    std::filesystem::path target_, temp_;
    int fd_ = -1;
};

// The whole of `bytes` as the new content of `target`, through a SafeFile.
Expected<void> writeFileSafely(const std::filesystem::path& target, std::string_view bytes);

// Files that belong together (the three files of a class, a folder of
// reports): each is written to its temporary file first, and none replaces
// its target until all are written. A file that cannot be written is not
// added and says why; the others still go in.
class SafeFileSet {
  public:
    Expected<void> add(const std::filesystem::path& target, std::string_view bytes);
    Expected<void> commit();
    std::size_t size() const { return files_.size(); }

  private:
    std::vector<SafeFile> files_;
};

// True when both name one existing file (however they are spelled).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// A system error number as a short Traditional Chinese reason.
std::string systemReason(int errnum);

}  // namespace qv
