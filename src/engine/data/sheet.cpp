#include "data/sheet.h"

#include <algorithm>

#include "data/sheet_zip.h"

namespace qv {

std::size_t Sheet::cellsInRow(std::size_t row) const {
    if (row >= rowStarts_.size()) return 0;
    const std::size_t end = row + 1 < rowStarts_.size() ? rowStarts_[row + 1] : cellEnds_.size();
    return end - rowStarts_[row];
}

std::string_view Sheet::cell(std::size_t row, std::size_t column) const {
    if (column >= cellsInRow(row)) return {};
    const std::size_t at = rowStarts_[row] + column;
    const std::size_t start = at == 0 ? 0 : cellEnds_[at - 1];
    return std::string_view(text_).substr(start, cellEnds_[at] - start);
}

bool Sheet::isBlankRow(std::size_t row) const {
    for (std::size_t c = 0; c < cellsInRow(row); ++c) {
        if (cell(row, c).find_first_not_of(" \t") != std::string_view::npos) return false;
    }
    return true;
}

void Sheet::startRow() {
    if (!rowStarts_.empty()) width_ = std::max(width_, cellsInRow(rowStarts_.size() - 1));
    rowStarts_.push_back(cellEnds_.size());
}

void Sheet::addCell(std::string_view text) {
    text_.append(text);
    cellEnds_.push_back(text_.size());
}

void Sheet::appendToCell(std::string_view text) {
    text_.append(text);
    cellEnds_.back() = text_.size();
}

void Sheet::trimRow() {
    const std::size_t row = rowStarts_.size() - 1;
    while (cellsInRow(row) > 0 && cell(row, cellsInRow(row) - 1).empty())
        cellEnds_.pop_back();
}

std::size_t Sheet::columnCount() const {
    return rowStarts_.empty() ? 0 : std::max(width_, cellsInRow(rowStarts_.size() - 1));
}

SheetFormat sheetFormat(std::string_view bytes) {
    if (!bytes.starts_with("PK\x03\x04")) return SheetFormat::Csv;
    return detail::isOdsPackage(bytes) ? SheetFormat::Ods : SheetFormat::Xlsx;
}

namespace {

// Excel 97-2003 files (.xls) are compound documents, not text: read as CSV
// they would give a sheet of noise.
std::optional<Error> legacyWorkbook(std::string_view bytes, std::string_view fileName) {
    if (!bytes.starts_with("\xD0\xCF\x11\xE0")) return std::nullopt;
    return Error{std::string(fileName), 0,
                 "這是舊式的 Excel 活頁簿（.xls），無法讀取：請另存為 .xlsx 或 CSV 後再匯入"};
}

}  // namespace

Expected<std::vector<std::string>> sheetNames(std::string_view bytes, std::string_view fileName) {
    if (auto legacy = legacyWorkbook(bytes, fileName)) return *legacy;
    switch (sheetFormat(bytes)) {
        case SheetFormat::Csv:
            return std::vector<std::string>{std::string()};
        case SheetFormat::Xlsx:
            return detail::xlsxSheetNames(bytes, fileName);
        case SheetFormat::Ods:
            return detail::odsSheetNames(bytes, fileName);
    }
    return std::vector<std::string>{};
}

Expected<Sheet> readSheet(std::string_view bytes, std::string_view fileName,
                          std::string_view sheetName) {
    if (auto legacy = legacyWorkbook(bytes, fileName)) return *legacy;
    switch (sheetFormat(bytes)) {
        case SheetFormat::Csv:
            // A CSV file has one sheet without a name; a name given for it
            // is not an error, as a teacher may save a workbook's sheet as CSV.
            return readCsv(bytes, fileName);
        case SheetFormat::Xlsx:
            return detail::readXlsx(bytes, fileName, sheetName);
        case SheetFormat::Ods:
            return detail::readOds(bytes, fileName, sheetName);
    }
    return Error{std::string(fileName), 0, "無法辨識的檔案格式"};
}

std::string columnLetters(std::size_t column) {
    std::string out;
    for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26)
        out.insert(out.begin(), static_cast<char>('A' + (n - 1) % 26));
    return out;
}

std::optional<std::size_t> columnFromLetters(std::string_view letters) {
    if (letters.empty() || letters.size() > 3) return std::nullopt;
    std::size_t n = 0;
    for (char c : letters) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') return std::nullopt;
        n = n * 26 + static_cast<std::size_t>(c - 'A' + 1);
    }
    return n - 1;
}

std::string cellName(std::size_t row, std::size_t column) {
    return columnLetters(column) + std::to_string(row + 1);
}

Error cellError(std::string_view fileName, const Sheet& sheet, std::size_t row, std::size_t column,
                std::string what) {
    Error e{std::string(fileName), static_cast<int>(row + 1), std::move(what)};
    e.field = static_cast<int>(column + 1);
    e.sheet = sheet.name;
    e.cell = cellName(row, column);
    return e;
}

}  // namespace qv
