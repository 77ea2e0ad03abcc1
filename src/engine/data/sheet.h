#pragma once

// Sheets of a spreadsheet file (CSV, XLSX, ODS) as rows of text cells, the
// way a teacher sees them in the spreadsheet program.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/expected.h"

namespace qv {

// One sheet: rows of cells, each the UTF-8 text the spreadsheet shows (a
// number as 85000001 or 0.25, never 85000001.0). An empty cell and a cell
// beyond the end of its row both read as "". Rows and columns count from 0.
class Sheet {
  public:
    // The sheet's name in its workbook; empty for a CSV file, which has one.
    std::string name;

    std::size_t rowCount() const { return rowStarts_.size(); }
    // The columns of the widest row.
    std::size_t columnCount() const;
    std::size_t cellsInRow(std::size_t row) const;
    std::string_view cell(std::size_t row, std::size_t column) const;
    // True when every cell of the row is empty or blanks.
    bool isBlankRow(std::size_t row) const;

    // Building, in reading order: a row, then its cells left to right.
    void startRow();
    void addCell(std::string_view text);
    // Appends to the last cell of the last row.
    void appendToCell(std::string_view text);
    // Drops the empty cells at the end of the last row.
    void trimRow();

  private:
    std::string text_;
    std::vector<std::size_t> cellEnds_;   // end of each cell in text_
    std::vector<std::size_t> rowStarts_;  // first cell of each row
    std::size_t width_ = 0;               // of the rows before the last
};

// The kind of a sheet file, told by its bytes rather than its name.
enum class SheetFormat { Csv, Xlsx, Ods };
SheetFormat sheetFormat(std::string_view bytes);

// The names of the sheets in a file, in workbook order; one empty name for a
// CSV file. `fileName` is the name the messages show.
Expected<std::vector<std::string>> sheetNames(std::string_view bytes, std::string_view fileName);

// Reads one sheet: the one named `sheetName`, or the first when it is empty.
// An Excel 97-2003 file (.xls) is refused with a hint to save it anew.
Expected<Sheet> readSheet(std::string_view bytes, std::string_view fileName,
                          std::string_view sheetName = {});

// A CSV file read whole (see readSheet): the delimiter is the one of comma,
// semicolon and tab that the first line holds most of; fields may be quoted as
// RFC 4180 has it; lines end in CR LF, LF or CR; the text is UTF-8 with or
// without a byte order mark, UTF-16 with one, or else Big5.
Expected<Sheet> readCsv(std::string_view bytes, std::string_view fileName);

// Column letters as a spreadsheet writes them: 0 -> "A", 26 -> "AA".
std::string columnLetters(std::size_t column);
// The column of letters such as "C" or "aa" (any case); nothing for other text.
std::optional<std::size_t> columnFromLetters(std::string_view letters);
// A cell's name: row 6, column 4 -> "E7".
std::string cellName(std::size_t row, std::size_t column);

// A refusal about one cell of a sheet, naming file, sheet and cell.
Error cellError(std::string_view fileName, const Sheet& sheet, std::size_t row, std::size_t column,
                std::string what);

// The largest sheet read: Excel's own limits.
inline constexpr std::size_t kMaxSheetRows = 1'048'576;
inline constexpr std::size_t kMaxSheetColumns = 16'384;

}  // namespace qv
