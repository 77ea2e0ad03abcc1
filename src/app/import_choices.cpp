#include "import_choices.h"

#include <algorithm>
#include <charconv>

namespace qv::app {

namespace {

std::string_view trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// As the import matches a key row's label.
bool sameLabel(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

Error sheetError(const NamedSheet& in, std::string what) {
    Error e{std::string(in.fileName), 0, std::move(what)};
    e.sheet = in.sheet.name;
    return e;
}

}  // namespace

AnswerFields defaultFields(const Sheet& sheet) {
    AnswerFields fields;
    fields.idColumn = "A";
    if (sheet.columnCount() > 1) fields.items = "B:" + columnLetters(sheet.columnCount() - 1);
    for (std::size_t r = 1; r < sheet.rowCount(); ++r) {
        if (isDefaultKeyLabel(sheet.cell(r, 0))) {
            fields.keyRow = std::to_string(r + 1);
            break;
        }
    }
    return fields;
}

std::optional<std::size_t> keyRowOf(const AnswerFields& fields) {
    const std::string_view text = trimmed(fields.keyRow);
    std::size_t number = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (ec != std::errc() || end != text.data() + text.size() || number == 0) return std::nullopt;
    return number - 1;
}

Expected<AnswerLayout> answerLayout(const NamedSheet& answers, const AnswerFields& fields) {
    AnswerLayout layout;
    auto id = findColumn(answers, fields.idColumn);
    if (!id) return id.error();
    layout.idColumn = *id;
    if (!trimmed(fields.items).empty()) {
        auto items = parseColumnRange(fields.items);
        if (!items) return items.error();
        layout.items = *items;
    }
    if (fields.typeKey) {
        layout.key = fields.key;
        return layout;
    }
    if (trimmed(fields.keyRow).empty()) return layout;
    const Sheet& sheet = answers.sheet;
    const auto row = keyRowOf(fields);
    if (!row || *row == 0 || *row >= sheet.rowCount()) {
        return sheetError(answers, "標準答案列「" + fields.keyRow + "」不是第 2 到第 " +
                                       std::to_string(sheet.rowCount()) + " 列之一");
    }
    const std::string_view label = trimmed(sheet.cell(*row, layout.idColumn));
    if (label.empty()) {
        return cellError(answers.fileName, sheet, *row, layout.idColumn,
                         "標準答案列的學號欄是空的：請在這一格寫上「答案」，或直接輸入標準答案");
    }
    for (std::size_t r = 1; r < *row; ++r) {
        if (sameLabel(trimmed(sheet.cell(r, layout.idColumn)), label)) {
            return cellError(answers.fileName, sheet, r, layout.idColumn,
                             "這一列的學號欄和標準答案列（第 " + std::to_string(*row + 1) +
                                 " 列）同為「" + std::string(label) + "」");
        }
    }
    layout.keyLabel = std::string(label);
    return layout;
}

std::optional<std::pair<std::size_t, std::size_t>> itemColumns(const Sheet& sheet,
                                                               const AnswerLayout& layout) {
    const std::size_t width = sheet.columnCount();
    auto range = layout.items.value_or(std::pair(layout.idColumn + 1, width - 1));
    if (width == 0 || range.first > range.second || range.second >= width) return std::nullopt;
    return range;
}

std::size_t studentRows(const Sheet& sheet, const AnswerLayout& layout,
                        std::optional<std::size_t> keyRow) {
    const auto items = itemColumns(sheet, layout);
    std::size_t count = 0;
    for (std::size_t r = 1; r < sheet.rowCount(); ++r) {
        if (r == keyRow) continue;
        bool blank = trimmed(sheet.cell(r, layout.idColumn)).empty();
        for (std::size_t c = items ? items->first : 1; blank && items && c <= items->second; ++c)
            blank = trimmed(sheet.cell(r, c)).empty();
        if (!blank) ++count;
    }
    return count;
}

std::vector<std::size_t> previewRows(std::size_t rowCount, std::size_t head, std::size_t tail,
                                     const std::vector<std::size_t>& extra) {
    std::vector<std::size_t> rows;
    for (std::size_t r = 0; r < std::min(head, rowCount); ++r)
        rows.push_back(r);
    for (std::size_t r : extra)
        if (r < rowCount) rows.push_back(r);
    for (std::size_t r = rowCount - std::min(tail, rowCount); r < rowCount; ++r)
        rows.push_back(r);
    std::ranges::sort(rows);
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::optional<bool> markOf(std::string_view text) {
    text = trimmed(text);
    if (text.empty() || text == "0") return false;
    if (text == "1" || text == "x" || text == "X" || text == "✓" || text == "✔") return true;
    return std::nullopt;
}

Expected<ConceptGrid> conceptGrid(const NamedSheet& qmatrix) {
    const Sheet& sheet = qmatrix.sheet;
    ConceptGrid grid;
    std::size_t concepts = sheet.cellsInRow(0);
    while (concepts > 1 && trimmed(sheet.cell(0, concepts - 1)).empty())
        --concepts;
    for (std::size_t c = 1; c < concepts; ++c)
        grid.concepts.emplace_back(trimmed(sheet.cell(0, c)));
    for (std::size_t r = 1; r < sheet.rowCount(); ++r) {
        if (sheet.isBlankRow(r)) continue;
        grid.items.emplace_back(trimmed(sheet.cell(r, 0)));
        auto& marks = grid.marks.emplace_back(grid.concepts.size(), false);
        for (std::size_t c = 1; c < sheet.cellsInRow(r); ++c) {
            const auto mark = markOf(sheet.cell(r, c));
            if (mark && (!*mark || c < concepts)) {
                if (*mark) marks[c - 1] = true;
                continue;
            }
            return cellError(qmatrix.fileName, sheet, r, c,
                             mark ? "這一欄沒有概念名稱，卻填了 1"
                                  : "Q 矩陣的格子只能是 1（或 x、✓）、0 或空白，讀到「" +
                                        std::string(trimmed(sheet.cell(r, c))) + "」");
        }
    }
    return grid;
}

Sheet conceptSheet(const ConceptGrid& grid, std::string name) {
    Sheet sheet;
    sheet.name = std::move(name);
    sheet.startRow();
    sheet.addCell("題目");
    for (const std::string& label : grid.concepts)
        sheet.addCell(label);
    for (std::size_t m = 0; m < grid.marks.size(); ++m) {
        sheet.startRow();
        // An item without a label still holds its row.
        sheet.addCell(m < grid.items.size() && !grid.items[m].empty() ? grid.items[m]
                                                                      : std::to_string(m + 1));
        for (bool mark : grid.marks[m])
            sheet.addCell(mark ? "1" : "0");
    }
    return sheet;
}

std::vector<std::vector<std::string>> pastedCells(std::string_view text) {
    std::vector<std::vector<std::string>> rows;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (line.ends_with('\r')) line.remove_suffix(1);
        auto& row = rows.emplace_back();
        for (std::size_t at = 0;;) {
            const std::size_t tab = line.find('\t', at);
            row.emplace_back(line.substr(at, tab - at));
            if (tab == std::string_view::npos) break;
            at = tab + 1;
        }
    }
    return rows;
}

}  // namespace qv::app
