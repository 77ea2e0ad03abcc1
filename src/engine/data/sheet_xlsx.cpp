// Excel workbooks (Office Open XML): xl/workbook.xml lists the sheets, its
// relationships name their parts, xl/sharedStrings.xml holds the texts the
// cells point to.
#include <charconv>

#include "data/sheet_zip.h"

namespace qv::detail {

namespace {

struct SheetEntry {
    std::string name, relation;
};

class WorkbookHandler : public XmlHandler {
  public:
    std::vector<SheetEntry> sheets;
    void start(std::string_view name, const char** attrs) override {
        if (name == "sheet")
            sheets.push_back(
                {std::string(attribute(attrs, "name")), std::string(attribute(attrs, "id"))});
    }
    void end(std::string_view) override {}
};

class RelationsHandler : public XmlHandler {
  public:
    std::vector<std::pair<std::string, std::string>> targets;  // id, target
    void start(std::string_view name, const char** attrs) override {
        if (name == "Relationship")
            targets.emplace_back(attribute(attrs, "Id"), attribute(attrs, "Target"));
    }
    void end(std::string_view) override {}
};

// Text runs (<t>) count; phonetic guides (<rPh>) do not, the cell shows none.
class StringsHandler : public XmlHandler {
  public:
    std::vector<std::string> strings;
    void start(std::string_view name, const char**) override {
        if (name == "si") strings.emplace_back();
        if (name == "rPh") ++phonetic_;
        if (name == "t") inText_ = true;
    }
    void end(std::string_view name) override {
        if (name == "rPh") --phonetic_;
        if (name == "t") inText_ = false;
    }
    void text(std::string_view s) override {
        if (inText_ && phonetic_ == 0 && !strings.empty()) strings.back().append(s);
    }

  private:
    int phonetic_ = 0;
    bool inText_ = false;
};

class WorksheetHandler : public XmlHandler {
  public:
    WorksheetHandler(Sheet& sheet, const std::vector<std::string>& strings,
                     std::string_view fileName)
        : sheet_(sheet), strings_(strings), fileName_(fileName) {}

    void start(std::string_view name, const char** attrs) override {
        if (name == "row") {
            startRow(attribute(attrs, "r"));
        } else if (name == "c") {
            startCell(attribute(attrs, "r"), attribute(attrs, "t"));
        } else if (name == "v" || (name == "t" && inInline_)) {
            collecting_ = phonetic_ == 0;
        } else if (name == "is") {
            inInline_ = true;
        } else if (name == "rPh") {
            ++phonetic_;
        }
    }

    void end(std::string_view name) override {
        if (name == "v" || name == "t") {
            collecting_ = false;
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "c") {
            endCell();
        } else if (name == "row") {
            sheet_.trimRow();
        }
    }

    void text(std::string_view s) override {
        if (collecting_) value_.append(s);
    }

  private:
    void refuse(std::size_t row, std::size_t column, std::string what) {
        if (!failure) failure = cellError(fileName_, sheet_, row, column, std::move(what));
    }

    void startRow(std::string_view ref) {
        std::size_t row = sheet_.rowCount();
        if (!ref.empty()) {
            std::size_t number = 0;
            const auto [end, ec] = std::from_chars(ref.data(), ref.data() + ref.size(), number);
            if (ec != std::errc() || end != ref.data() + ref.size() || number < 1 ||
                number > kMaxSheetRows || number - 1 < sheet_.rowCount()) {
                failure = Error{std::string(fileName_), 0,
                                "工作表的列號「" + std::string(ref) + "」不正確或順序錯亂"};
                return;
            }
            row = number - 1;
        }
        while (sheet_.rowCount() < row) {
            sheet_.startRow();
        }
        sheet_.startRow();
    }

    void startCell(std::string_view ref, std::string_view type) {
        const std::size_t row = sheet_.rowCount() - 1;
        std::size_t column = sheet_.cellsInRow(row);
        if (!ref.empty()) {
            const std::size_t digits = ref.find_first_of("0123456789");
            const auto letters = columnFromLetters(ref.substr(0, digits));
            if (!letters || *letters >= kMaxSheetColumns || *letters < column) {
                failure = Error{std::string(fileName_), static_cast<int>(row + 1),
                                "儲存格位置「" + std::string(ref) + "」不正確或順序錯亂"};
                return;
            }
            column = *letters;
        }
        while (sheet_.cellsInRow(row) < column)
            sheet_.addCell({});
        type_ = type;
        value_.clear();
    }

    void endCell() {
        const std::size_t row = sheet_.rowCount() - 1;
        const std::size_t column = sheet_.cellsInRow(row);
        if (type_ == "s") {
            std::size_t index = 0;
            const auto [end, ec] =
                std::from_chars(value_.data(), value_.data() + value_.size(), index);
            if (ec != std::errc() || end != value_.data() + value_.size() ||
                index >= strings_.size())
                return refuse(row, column, "儲存格指向不存在的共用字串「" + value_ + "」");
            sheet_.addCell(strings_[index]);
        } else if (type_ == "b") {
            sheet_.addCell(value_ == "1" ? "TRUE" : value_.empty() ? "" : "FALSE");
        } else if (type_ == "str" || type_ == "inlineStr" || type_ == "e" || value_.empty()) {
            sheet_.addCell(value_);
        } else {
            sheet_.addCell(numberCellText(value_));
        }
    }

    Sheet& sheet_;
    const std::vector<std::string>& strings_;
    std::string_view fileName_;
    std::string type_, value_;
    bool collecting_ = false, inInline_ = false;
    int phonetic_ = 0;
};

constexpr const char* kWorkbook = "xl/workbook.xml";

Expected<std::vector<SheetEntry>> workbookSheets(const ZipPackage& package) {
    if (!package.has(kWorkbook)) {
        return Error{package.fileName(), 0,
                     "這個壓縮檔不是 Excel 活頁簿（.xlsx）：裡面沒有 xl/workbook.xml"};
    }
    WorkbookHandler workbook;
    if (auto parsed = package.parse(kWorkbook, workbook); !parsed) return parsed.error();
    if (workbook.sheets.empty()) return Error{package.fileName(), 0, "活頁簿裡沒有工作表"};
    return std::move(workbook.sheets);
}

// The part of a relationship's target: relative to xl/, or from the package root.
std::string partOf(std::string_view target) {
    if (target.starts_with('/')) return std::string(target.substr(1));
    return "xl/" + std::string(target);
}

}  // namespace

Expected<std::vector<std::string>> xlsxSheetNames(std::string_view bytes,
                                                  std::string_view fileName) {
    auto package = ZipPackage::open(bytes, fileName);
    if (!package) return package.error();
    auto sheets = workbookSheets(*package);
    if (!sheets) return sheets.error();
    std::vector<std::string> names;
    for (const auto& s : *sheets)
        names.push_back(s.name);
    return names;
}

Expected<Sheet> readXlsx(std::string_view bytes, std::string_view fileName,
                         std::string_view sheetName) {
    auto package = ZipPackage::open(bytes, fileName);
    if (!package) return package.error();
    auto sheets = workbookSheets(*package);
    if (!sheets) return sheets.error();
    const SheetEntry* chosen = &sheets->front();
    if (!sheetName.empty()) {
        chosen = nullptr;
        std::vector<std::string> names;
        for (const auto& s : *sheets) {
            if (s.name == sheetName) chosen = &s;
            names.push_back(s.name);
        }
        if (chosen == nullptr) return noSuchSheet(fileName, sheetName, names);
    }
    RelationsHandler relations;
    if (auto parsed = package->parse("xl/_rels/workbook.xml.rels", relations); !parsed)
        return parsed.error();
    std::string part;
    for (const auto& [id, target] : relations.targets)
        if (id == chosen->relation) part = partOf(target);
    if (part.empty())
        return Error{std::string(fileName), 0, "找不到工作表「" + chosen->name + "」的內容"};
    StringsHandler strings;
    if (package->has("xl/sharedStrings.xml")) {
        if (auto parsed = package->parse("xl/sharedStrings.xml", strings); !parsed)
            return parsed.error();
    }
    Sheet sheet;
    sheet.name = chosen->name;
    WorksheetHandler cells(sheet, strings.strings, fileName);
    if (auto parsed = package->parse(part, cells); !parsed) return parsed.error();
    return sheet;
}

}  // namespace qv::detail
