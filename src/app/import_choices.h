#pragma once

// What the import window's controls hold, turned into what the engine's
// import takes, and back. Rows and columns count from 0 unless a text shows
// them to the user.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"
#include "data/class_import.h"
#include "data/sheet.h"

namespace qv::app {

// The answer sheet's fields as the user types or clicks them: the ID column
// ("A", a header text or a number), the item columns ("B:AO"; empty for every
// column after the ID column), the key row (its 1-based number as shown) and
// the typed key, used instead of the row when `typeKey` is set.
struct AnswerFields {
    std::string idColumn, items, keyRow, key;
    bool typeKey = false;
};

// The engine's defaults as fields: the first column, every column after it,
// the first row labelled 答案, 標準答案, 正確答案 or key.
AnswerFields defaultFields(const Sheet& sheet);

// The layout the fields describe. A key row is passed on by the text of its
// ID cell; one that another row above it shares, or that is empty, is
// refused, since the import would take a different row or none.
Expected<AnswerLayout> answerLayout(const NamedSheet& answers, const AnswerFields& fields);

// The key row of the fields, 0-based, when it is a number; nothing otherwise.
std::optional<std::size_t> keyRowOf(const AnswerFields& fields);

// The item columns a layout reads, first and last; nothing when there are none.
std::optional<std::pair<std::size_t, std::size_t>> itemColumns(const Sheet& sheet,
                                                               const AnswerLayout& layout);

// The students the import would read: the rows below the headers that are
// not blank in the ID and item columns, less the key row.
std::size_t studentRows(const Sheet& sheet, const AnswerLayout& layout,
                        std::optional<std::size_t> keyRow);

// The rows a preview of a long sheet shows: the first `head`, the last
// `tail` and any of `extra`, in order, each once.
std::vector<std::size_t> previewRows(std::size_t rowCount, std::size_t head, std::size_t tail,
                                     const std::vector<std::size_t>& extra);

// The item x concept grid: concept labels, item labels, and for each item
// whether it involves each concept.
struct ConceptGrid {
    std::vector<std::string> concepts;
    std::vector<std::string> items;
    std::vector<std::vector<bool>> marks;  // items x concepts
};

// A Q-matrix cell as a mark: 1, x or ✓ (✔) involve, 0 or blank do not;
// nothing for any other text.
std::optional<bool> markOf(std::string_view text);

// A Q-matrix sheet read into a grid: blank rows skipped, a cell that is not
// a mark refused with the file, sheet and cell named.
Expected<ConceptGrid> conceptGrid(const NamedSheet& qmatrix);

// The grid as the Q-matrix sheet the import reads.
Sheet conceptSheet(const ConceptGrid& grid, std::string name);

// Cells copied from a spreadsheet: rows on line ends (LF or CR LF), cells
// on tabs; the line end after the last row does not make another.
std::vector<std::vector<std::string>> pastedCells(std::string_view text);

}  // namespace qv::app
