#include "data/workbook_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include <xlsxwriter.h>

#include "data/live_temporaries.h"
#include "data/loaders.h"
#include "data/safe_file.h"

namespace qv {

namespace fs = std::filesystem;

struct WorkbookFile::State {
    fs::path target, temp;
    LiveTemporary mark;
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* bold = nullptr;
    lxw_row_t row = 0;
    std::string text;  // a cell's text with the terminator the library wants
    ~State() {
        // An uncommitted workbook is closed only to free it; its file goes.
        if (book) workbook_close(book);
        if (!temp.empty()) ::unlink(temp.c_str());
    }
};

namespace {

Error workbookError(const fs::path& target, std::string what) {
    return Error{pathText(target), 0, std::move(what)};
}

Error libraryError(const fs::path& target, lxw_error code) {
    return workbookError(target, std::string("無法寫出活頁簿（") + lxw_strerror(code) + "）");
}

}  // namespace

WorkbookFile::WorkbookFile(std::unique_ptr<State> state) : state_(std::move(state)) {}
WorkbookFile::WorkbookFile(WorkbookFile&&) noexcept = default;
WorkbookFile& WorkbookFile::operator=(WorkbookFile&&) noexcept = default;
WorkbookFile::~WorkbookFile() = default;

Expected<WorkbookFile> WorkbookFile::create(const fs::path& target) {
    auto state = std::make_unique<State>();
    state->target = target;
    // The library writes the package itself; its file stays out of the
    // target's folder, and the safe write puts the bytes there at the end.
    std::string pattern = (fs::temp_directory_path() / "quorvane-XXXXXX.xlsx").string();
    const int fd = ::mkstemps(pattern.data(), 5);
    if (fd < 0) return workbookError(target, "無法建立暫存檔：" + systemReason(errno));
    ::close(fd);
    state->temp = pattern;
    state->mark = LiveTemporary(state->temp);
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    state->book = workbook_new_opt(pattern.c_str(), &options);
    if (!state->book) return workbookError(target, "無法建立活頁簿：記憶體不足");
    state->bold = workbook_add_format(state->book);
    format_set_bold(state->bold);
    return WorkbookFile(std::move(state));
}

Expected<void> WorkbookFile::addSheet(std::string_view name,
                                      std::span<const std::string_view> header,
                                      std::span<const double> widths) {
    State& s = *state_;
    s.sheet = workbook_add_worksheet(s.book, std::string(name).c_str());
    if (!s.sheet) return workbookError(s.target, "無法加入工作表「" + std::string(name) + "」");
    for (std::size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(s.sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                             widths[c], nullptr);
    worksheet_freeze_panes(s.sheet, 1, 0);
    s.row = 0;
    for (std::size_t c = 0; c < header.size(); ++c) {
        s.text.assign(header[c]);
        if (auto code = worksheet_write_string(s.sheet, 0, static_cast<lxw_col_t>(c),
                                               s.text.c_str(), s.bold);
            code != LXW_NO_ERROR)
            return libraryError(s.target, code);
    }
    s.row = 1;
    return {};
}

Expected<void> WorkbookFile::addRow(std::span<const WorkbookCell> cells) {
    State& s = *state_;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const auto col = static_cast<lxw_col_t>(c);
        lxw_error code = LXW_NO_ERROR;
        switch (cells[c].kind) {
            case WorkbookCell::Kind::Empty:
                break;
            case WorkbookCell::Kind::Number:
                code = worksheet_write_number(s.sheet, s.row, col, cells[c].number, nullptr);
                break;
            case WorkbookCell::Kind::Text:
                s.text.assign(cells[c].text);
                code = worksheet_write_string(s.sheet, s.row, col, s.text.c_str(), nullptr);
                break;
        }
        if (code != LXW_NO_ERROR) return libraryError(s.target, code);
    }
    ++s.row;
    return {};
}

Expected<void> WorkbookFile::commit() {
    State& s = *state_;
    const lxw_error closed = workbook_close(s.book);
    s.book = nullptr;
    if (closed != LXW_NO_ERROR) return libraryError(s.target, closed);
    std::ifstream in(s.temp, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        return workbookError(s.target, "無法讀回暫存的活頁簿：" + systemReason(errno));
    ::unlink(s.temp.c_str());
    s.temp.clear();
    s.mark.release();
    return writeFileSafely(s.target, bytes);
}

}  // namespace qv
