#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "analysis/student_matrices.h"
#include "core/expected.h"
#include "core/state.h"

namespace qv {

// What the 說明 sheet says beside the run: the class's files (role, path),
// the date and the program's version.
struct WorkbookNotes {
    std::vector<std::pair<std::string, std::string>> files;
    std::string date, version;
};

// The run's results as one XLSX workbook: 結果 holds the cells of the results
// CSV (numbers as numbers, a value that does not exist as the text N/A), 概念對
// the pair table of the summary CSV, 題目 each item with its concepts, correct
// answers and share, 說明 the class files, method, r and q, date and version.
// Written through the safe write. `progress` (0 to 100) is called between rows.
Expected<void> writeResultsWorkbook(const std::filesystem::path& target, const RunResults& results,
                                    const RunMethod& method, const WorkbookNotes& notes,
                                    const std::function<void(int)>& progress = {});

}  // namespace qv
