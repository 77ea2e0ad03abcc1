#pragma once

#include <string>

namespace qv {

// Why a data file was refused: the file's name as the user sees it, the
// 1-based line (0 when the fault is not on one line) and what is wrong.
struct LoadError {
    std::string file;
    int line = 0;
    std::string what;

    // 檔案「a.txt」第 5 行：<what>, or 檔案「a.txt」：<what> for line 0.
    std::string message() const;
};

}  // namespace qv
