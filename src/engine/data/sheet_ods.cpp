// OpenDocument spreadsheets: every sheet is a table:table in content.xml.
// Runs of equal rows and cells are written once with a repeat count, and a
// sheet usually ends with a run of empty rows to the program's last row:
// empty runs are only laid out when something follows them.
#include <charconv>

#include "data/sheet_zip.h"

namespace qv::detail {

namespace {

constexpr const char* kContent = "content.xml";

std::size_t repeatCount(const char** attrs, std::string_view name) {
    const std::string_view text = attribute(attrs, name);
    std::size_t n = 1;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || n < 1) return 1;
    return n;
}

class ContentHandler : public XmlHandler {
  public:
    // Reads the table named `wanted` (the first when empty) into `sheet`, or
    // only the names when `sheet` is null.
    ContentHandler(Sheet* sheet, std::string_view wanted, std::string_view fileName)
        : sheet_(sheet), wanted_(wanted), fileName_(fileName) {}

    std::vector<std::string> names;
    bool found = false;

    void start(std::string_view name, const char** attrs) override {
        if (name == "table" && depth_ == 0) {
            names.emplace_back(attribute(attrs, "name"));
            reading_ = sheet_ != nullptr && !found && (wanted_.empty() || names.back() == wanted_);
            if (reading_) sheet_->name = names.back();
            found = found || reading_;
        }
        if (name == "table") ++depth_;
        if (!reading_ || depth_ != 1) return;
        if (name == "table-row") {
            rowRepeat_ = repeatCount(attrs, "number-rows-repeated");
            row_.clear();
            emptyCells_ = 0;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            cellRepeat_ = repeatCount(attrs, "number-columns-repeated");
            const std::string_view type = attribute(attrs, "value-type");
            value_.clear();
            // A float shows as the spreadsheet shows a number by default; other
            // kinds (dates, percentages, money) as the text the cell displays.
            useValue_ = type == "float";
            if (useValue_) value_ = numberCellText(attribute(attrs, "value"));
            paragraphs_ = 0;
        } else if (name == "annotation") {
            ++annotation_;
        } else if (name == "p" && annotation_ == 0) {
            if (paragraphs_++ > 0 && !useValue_) value_ += '\n';
            inParagraph_ = true;
        } else if (name == "s" && inParagraph_ && !useValue_) {
            value_.append(std::min<std::size_t>(repeatCount(attrs, "c"), 1000), ' ');
        } else if (name == "tab" && inParagraph_ && !useValue_) {
            value_ += '\t';
        } else if (name == "line-break" && inParagraph_ && !useValue_) {
            value_ += '\n';
        }
    }

    void end(std::string_view name) override {
        if (name == "table") {
            if (--depth_ == 0) reading_ = false;
            return;
        }
        if (!reading_ || depth_ != 1) return;
        if (name == "annotation") {
            --annotation_;
        } else if (name == "p") {
            inParagraph_ = false;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            if (value_.empty()) {
                emptyCells_ += cellRepeat_;
                return;
            }
            for (; emptyCells_ > 0 && row_.size() < kMaxSheetColumns; --emptyCells_)
                row_.emplace_back();
            emptyCells_ = 0;
            for (std::size_t k = 0; k < cellRepeat_ && row_.size() < kMaxSheetColumns; ++k)
                row_.push_back(value_);
        } else if (name == "table-row") {
            endRow();
        }
    }

    void text(std::string_view s) override {
        if (reading_ && inParagraph_ && annotation_ == 0 && !useValue_) value_.append(s);
    }

  private:
    void endRow() {
        if (row_.empty()) {
            blankRows_ += rowRepeat_;
            return;
        }
        if (sheet_->rowCount() + blankRows_ + rowRepeat_ > kMaxSheetRows) {
            failure = Error{
                std::string(fileName_), 0,
                "工作表「" + sheet_->name + "」超過 " + std::to_string(kMaxSheetRows) + " 列"};
            return;
        }
        for (; blankRows_ > 0; --blankRows_)
            sheet_->startRow();
        for (std::size_t k = 0; k < rowRepeat_; ++k) {
            sheet_->startRow();
            for (const auto& cell : row_)
                sheet_->addCell(cell);
        }
    }

    Sheet* sheet_;
    std::string_view wanted_, fileName_;
    std::vector<std::string> row_;
    std::string value_;
    std::size_t rowRepeat_ = 1, cellRepeat_ = 1, blankRows_ = 0, emptyCells_ = 0;
    int depth_ = 0, annotation_ = 0, paragraphs_ = 0;
    bool reading_ = false, inParagraph_ = false, useValue_ = false;
};

}  // namespace

Expected<std::vector<std::string>> odsSheetNames(std::string_view bytes,
                                                 std::string_view fileName) {
    auto package = ZipPackage::open(bytes, fileName);
    if (!package) return package.error();
    ContentHandler content(nullptr, {}, fileName);
    if (auto parsed = package->parse(kContent, content); !parsed) return parsed.error();
    if (content.names.empty()) return Error{std::string(fileName), 0, "試算表裡沒有工作表"};
    return std::move(content.names);
}

Expected<Sheet> readOds(std::string_view bytes, std::string_view fileName,
                        std::string_view sheetName) {
    auto package = ZipPackage::open(bytes, fileName);
    if (!package) return package.error();
    Sheet sheet;
    ContentHandler content(&sheet, sheetName, fileName);
    if (auto parsed = package->parse(kContent, content); !parsed) return parsed.error();
    if (!content.found) {
        if (content.names.empty()) return Error{std::string(fileName), 0, "試算表裡沒有工作表"};
        return noSuchSheet(fileName, sheetName, content.names);
    }
    return sheet;
}

}  // namespace qv::detail
