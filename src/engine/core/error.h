#pragma once

#include <string>

namespace qv {

// Why the engine refused something, in one shape for every entry point. A
// fault in a file names the file as the user sees it, the 1-based line (0 when
// the fault is not on one line), the 1-based field of that line (0 for the
// whole line) and what kind of file it is.
struct Error {
    std::string file;
    int line = 0;
    std::string what;
    std::string kind = "檔案";
    int field = 0;

    // 檔案「a.txt」第 5 行：<what>; 檔案「a.txt」第 5 行第 3 欄：<what> with a
    // field; 檔案「a.txt」：<what> for line 0;
    // 第 5 行：<what> without a file; only <what> when neither is known.
    std::string message() const;
};

inline Error errorText(std::string what) {
    return Error{{}, 0, std::move(what)};
}

}  // namespace qv
