#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"

namespace qv {

// A cell to write: a number, a text, or nothing.
struct WorkbookCell {
    enum class Kind { Empty, Number, Text } kind = Kind::Empty;
    double number = 0;
    std::string_view text;
    static WorkbookCell ofNumber(double value) { return {Kind::Number, value, {}}; }
    static WorkbookCell ofText(std::string_view value) { return {Kind::Text, 0, value}; }
};

// An XLSX workbook written a row at a time (libxlsxwriter in its constant
// memory mode), sheet after sheet, each with a frozen header row. The
// library writes to a temporary file of its own; commit() moves the bytes
// through the safe write, so a kill or a full disk leaves the old workbook
// whole.
class WorkbookFile {
  public:
    static Expected<WorkbookFile> create(const std::filesystem::path& target);
    WorkbookFile(WorkbookFile&&) noexcept;
    WorkbookFile& operator=(WorkbookFile&&) noexcept;
    ~WorkbookFile();

    // A new sheet whose first row is `header` (frozen), with the columns'
    // widths in characters.
    Expected<void> addSheet(std::string_view name, std::span<const std::string_view> header,
                            std::span<const double> widths);
    // The next row of the last sheet added.
    Expected<void> addRow(std::span<const WorkbookCell> cells);
    Expected<void> commit();

  private:
    struct State;
    explicit WorkbookFile(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace qv
