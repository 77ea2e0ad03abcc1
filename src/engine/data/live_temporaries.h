#pragma once

#include <filesystem>

namespace qv {

struct LiveSlot;

// A temporary file of this process that is not yet renamed or removed: while
// the mark lives, a termination signal (see removeTemporariesOnSignals)
// removes the file before the process ends. The mark goes with the file.
class LiveTemporary {
  public:
    LiveTemporary() = default;
    explicit LiveTemporary(const std::filesystem::path& path);
    LiveTemporary(LiveTemporary&& other) noexcept;
    LiveTemporary& operator=(LiveTemporary&& other) noexcept;
    ~LiveTemporary() { release(); }

    // The file is gone or has its final name: nothing is left to remove.
    void release() noexcept;

  private:
    LiveSlot* slot_ = nullptr;
};

// Removes every marked file. Async-signal-safe: only reads the marks and
// calls unlink().
void removeLiveTemporaries() noexcept;

// SIGINT, SIGTERM and SIGHUP remove the marked files, then end the process
// as the signal would have (the default action, so the parent sees the signal).
void removeTemporariesOnSignals();

// Held while a set of files takes its targets' names: a termination signal
// waits until the set is replaced or rolled back, so that it cannot stop
// half-way between the old files and the new.
class SignalsDeferred {
  public:
    SignalsDeferred();
    ~SignalsDeferred();
    SignalsDeferred(const SignalsDeferred&) = delete;
    SignalsDeferred& operator=(const SignalsDeferred&) = delete;
};

}  // namespace qv
