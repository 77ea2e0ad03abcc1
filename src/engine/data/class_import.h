#pragma once

// A class from a teacher's sheets: an answer sheet (one row per student, one
// column per item) and a Q-matrix sheet (one row per item, one column per
// concept), turned into the three files the loaders read.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/expected.h"
#include "data/sheet.h"

namespace qv {

// Where the parts of the answer sheet are. Columns and rows count from 0;
// row 0 holds the headers.
struct AnswerLayout {
    std::size_t idColumn = 0;
    // The item columns, first to last; none: every column after the ID column.
    std::optional<std::pair<std::size_t, std::size_t>> items;
    // The key: the row whose ID cell is `keyLabel` (none: 答案, 標準答案,
    // 正確答案 or key in any case), or `key` itself, one character per item
    // (blanks are dropped). Without either, a sheet whose answers are all 0
    // or 1 is scored already and its key is all 1.
    std::optional<std::string> keyLabel;
    std::optional<std::string> key;
};

// A sheet and the name its file has in messages.
struct NamedSheet {
    const Sheet& sheet;
    std::string_view fileName;
};

// The ID column from the user's words: its header text, its letters ("B")
// or its 1-based number ("2"). Header text wins over letters.
Expected<std::size_t> findColumn(const NamedSheet& answers, std::string_view wanted);

// Item columns from the user's words: "C:V" in letters or "3-22" in numbers.
Expected<std::pair<std::size_t, std::size_t>> parseColumnRange(std::string_view text);

// The key row's labels looked for when the user names none.
bool isDefaultKeyLabel(std::string_view text);

// The class's files as the loaders read them, with the counts.
struct ImportedClass {
    std::size_t students = 0, items = 0, concepts = 0;
    // Where the key came from: a row of the sheet (0-based), the layout's
    // text, or neither (the answers were scores and the key is all 1).
    std::optional<std::size_t> keyRow;
    bool keyGiven = false;
    std::string studentFile, conceptFile, itemConceptFile;
};

// Builds the files, or refuses with the cell at fault: an answer or key cell
// of more than one character, an empty key cell, no key, an empty,
// duplicate or blank-holding ID, a Q-matrix whose items or cells do not fit,
// and whatever the files could not carry (too many items or concepts, line
// breaks in labels). Blank rows are skipped; an empty answer becomes the
// missing-data code 8.
Expected<ImportedClass> importClass(const NamedSheet& answers, const AnswerLayout& layout,
                                    const NamedSheet& qmatrix);

// The file names in a class folder, as `generate` writes them too.
inline constexpr std::string_view kStudentFileName = "students.txt";
inline constexpr std::string_view kConceptFileName = "concepts.txt";
inline constexpr std::string_view kItemConceptFileName = "item-concepts.txt";

// Writes the three files into `folder` (made when missing), all or none.
Expected<void> writeClassFolder(const std::filesystem::path& folder, const ImportedClass& files);

}  // namespace qv
