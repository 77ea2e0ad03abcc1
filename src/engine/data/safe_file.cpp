#include "data/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "data/loaders.h"

namespace qv {

namespace {

// The mode a new file gets from the user's umask, or the old file's own.
mode_t modeFor(const std::filesystem::path& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

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
        default:
            return std::string("系統錯誤：") + std::strerror(errnum);
    }
}

Expected<SafeFile> SafeFile::create(const std::filesystem::path& given) {
    std::error_code ec;
    // A link is followed so that the file it names is replaced, not the link.
    const std::filesystem::path target = std::filesystem::is_symlink(given, ec)
                                             ? std::filesystem::weakly_canonical(given, ec)
                                             : given;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode))
            return Error{pathText(given), 0, "無法寫入：" + systemReason(EISDIR)};
        // A device or a pipe (/dev/stdout, a FIFO) cannot be replaced; it
        // takes the bytes as they come.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return Error{pathText(given), 0, "無法寫入：" + systemReason(errno)};
        return SafeFile(target, {}, fd);
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string pattern = pathText(folder / ("." + pathText(target.filename()) + ".XXXXXX"));
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        const int errnum = errno;
        return Error{pathText(target), 0, "無法寫入：" + systemReason(errnum)};
    }
    ::fchmod(fd, modeFor(target));
    return SafeFile(target, std::filesystem::path(pattern), fd);
}

SafeFile::SafeFile(std::filesystem::path target, std::filesystem::path temp, int fd)
    : target_(std::move(target)), temp_(std::move(temp)), fd_(fd) {}

SafeFile::SafeFile(SafeFile&& other) noexcept
    : target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      fd_(std::exchange(other.fd_, -1)) {
    other.temp_.clear();
}

SafeFile& SafeFile::operator=(SafeFile&& other) noexcept {
    if (this != &other) {
        discard();
        target_ = std::move(other.target_);
        temp_ = std::move(other.temp_);
        fd_ = std::exchange(other.fd_, -1);
        other.temp_.clear();
    }
    return *this;
}

SafeFile::~SafeFile() {
    discard();
}

void SafeFile::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
}

Error SafeFile::failure(const char* doing, int errnum) const {
    return Error{pathText(target_), 0, std::string(doing) + "：" + systemReason(errnum)};
}

Expected<void> SafeFile::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return failure("無法寫入", errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

Expected<void> SafeFile::finish(bool sync) {
    // Some file systems report a full disk only at fsync or close; a device
    // or pipe has nothing to sync.
    if (sync && !temp_.empty() && ::fsync(fd_) != 0) return failure("無法寫入", errno);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) return failure("無法寫入", errno);
    return {};
}

Expected<void> SafeFile::replace() {
    if (temp_.empty()) return {};  // written in place
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) return failure("無法取代舊檔", errno);
    temp_.clear();
    return {};
}

Expected<void> SafeFile::commit() {
    if (auto finished = finish(); !finished) return finished;
    return replace();
}

Expected<void> writeFileSafely(const std::filesystem::path& target, std::string_view bytes) {
    auto file = SafeFile::create(target);
    if (!file) return file.error();
    if (auto written = file->write(bytes); !written) return written;
    return file->commit();
}

Expected<void> SafeFileSet::add(const std::filesystem::path& target, std::string_view bytes) {
    auto file = SafeFile::create(target);
    if (!file) return file.error();
    if (auto written = file->write(bytes); !written) return written;
    // Closed at once: a folder of reports may hold more files than a process
    // may keep open.
    if (auto finished = file->finish(false); !finished) return finished;
    files_.push_back(std::move(file).value());
    return {};
}

Expected<void> SafeFileSet::commit() {
    // One sync for the whole set instead of one per file.
    ::sync();
    for (SafeFile& file : files_)
        if (auto replaced = file.replace(); !replaced) return replaced;
    files_.clear();
    return {};
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace qv
