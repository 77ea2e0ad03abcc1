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
    // A fault in a sheet of a workbook names the sheet; one in a cell names
    // the cell as a spreadsheet does ("E7") in place of the line and field,
    // which then hold its 1-based row and column.
    std::string sheet{}, cell{};

    // 檔案「a.txt」第 5 行：<what>; 檔案「a.txt」第 5 行第 3 欄：<what> with a
    // field; 檔案「a.txt」：<what> for line 0;
    // 第 5 行：<what> without a file; only <what> when neither is known;
    // 檔案「a.xlsx」工作表「成績」E7：<what> for a cell.
    std::string message() const;
};

inline Error errorText(std::string what) {
    return Error{{}, 0, std::move(what)};
}

}  // namespace qv
