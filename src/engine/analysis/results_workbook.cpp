#include "analysis/results_workbook.h"

#include <array>
#include <bit>
#include <cstdlib>
#include <unordered_map>

#include "analysis/class_summary.h"
#include "analysis/results_csv.h"
#include "analysis/results_text.h"
#include "analysis/summary_files.h"
#include "core/number_text.h"
#include "data/sheet.h"
#include "data/workbook_file.h"
#include "pathfinder/pfnet.h"

namespace qv {

namespace {

// The header of a CSV the program writes, as cells.
std::vector<std::string> headerCells(std::string head) {
    if (head.starts_with("\xEF\xBB\xBF")) head.erase(0, 3);
    while (!head.empty() && (head.back() == '\n' || head.back() == '\r'))
        head.pop_back();
    std::vector<std::string> cells;
    std::size_t from = 0;
    for (std::size_t comma; (comma = head.find(',', from)) != std::string::npos; from = comma + 1)
        cells.push_back(head.substr(from, comma - from));
    cells.push_back(head.substr(from));
    return cells;
}

std::vector<std::string_view> views(const std::vector<std::string>& texts) {
    return {texts.begin(), texts.end()};
}

// The number a CSV cell's text reads as: the cell shows what the CSV shows.
class ShownNumbers {
  public:
    double operator()(double value) {
        auto [found, added] = shown_.try_emplace(std::bit_cast<std::uint64_t>(value));
        if (added) found->second = std::strtod(numberText(value).c_str(), nullptr);
        return found->second;
    }

  private:
    std::unordered_map<std::uint64_t, double> shown_;
};

Expected<void> resultsSheet(WorkbookFile& book, const RunResults& results,
                            const std::string& method, const std::function<void(int)>& progress) {
    const std::vector<std::string> header = headerCells(resultsCsvHead());
    std::vector<double> widths(header.size(), 12);
    widths.front() = 14;
    widths.back() = 20;
    if (auto added = book.addSheet("結果", views(header), widths); !added) return added;
    ShownNumbers shown;
    std::vector<WorkbookCell> row;
    const auto value = [&](const std::optional<double>& v) {
        row.push_back(v ? WorkbookCell::ofNumber(shown(*v)) : WorkbookCell::ofText(kNoValueText));
    };
    const std::size_t count = results.students.size();
    for (std::size_t k = 0; k < count; ++k) {
        const StudentRecord& r = results.students[k];
        row.clear();
        row.push_back(WorkbookCell::ofText(r.id));
        row.push_back(WorkbookCell::ofNumber(r.score));
        for (std::int32_t c : r.linkCounts)
            row.push_back(WorkbookCell::ofNumber(c));
        for (const auto* v : {&r.pfcValue, &r.gtdValue, &r.prxValue})
            value(*v);
        for (const auto& rate : r.rateValues)
            value(rate);
        row.push_back(WorkbookCell::ofNumber(r.undetermined ? 1 : 0));
        row.push_back(WorkbookCell::ofText(method));
        if (auto added = book.addRow(row); !added) return added;
        if (progress && k % 4096 == 0) progress(static_cast<int>(80 * k / count));
    }
    return {};
}

// The summary CSV read back by the program's own reader, so the sheet has
// its cells and no others; the counts and shares as numbers.
Expected<void> pairSheet(WorkbookFile& book, const ClassSummary& summary,
                         const std::vector<std::string>& labels, const RunMethod& method) {
    std::string csv;
    writeSummaryCsv(summary, labels, method, [&csv](std::string_view bytes) { csv += bytes; });
    auto sheet = readCsv(csv, "概念對");
    if (!sheet) return sheet.error();
    const std::size_t columns = sheet->cellsInRow(0);
    std::vector<std::string> header;
    for (std::size_t c = 0; c < columns; ++c)
        header.emplace_back(sheet->cell(0, c));
    const std::vector<double> widths = {10, 10, 16, 16, 10, 10, 11, 11, 24, 20};
    if (auto added = book.addSheet("概念對", views(header), widths); !added) return added;
    constexpr std::array<bool, 10> kNumber = {true, true, false, false, true,
                                              true, true, true,  false, false};
    std::vector<WorkbookCell> row;
    for (std::size_t r = 1; r < sheet->rowCount(); ++r) {
        row.clear();
        for (std::size_t c = 0; c < columns; ++c) {
            const std::string_view text = sheet->cell(r, c);
            if (text.empty())
                row.emplace_back();
            else if (c < kNumber.size() && kNumber[c])
                row.push_back(WorkbookCell::ofNumber(std::strtod(std::string(text).c_str(), nullptr)));
            else
                row.push_back(WorkbookCell::ofText(text));
        }
        if (auto added = book.addRow(row); !added) return added;
    }
    return {};
}

Expected<void> itemSheet(WorkbookFile& book, const ClassSummary& summary) {
    constexpr std::array<std::string_view, 4> kHeader = {"Item", "Concepts", "Correct", "Share"};
    constexpr std::array<double, 4> kWidths = {8, 24, 10, 10};
    if (auto added = book.addSheet("題目", kHeader, kWidths); !added) return added;
    for (int m = 0; m < summary.itemCount; ++m) {
        std::string concepts;
        for (int c : summary.itemConcepts[static_cast<std::size_t>(m)])
            concepts += (concepts.empty() ? "" : " ") + std::to_string(c + 1);
        const std::optional<double> share = summary.itemShare(m);
        const std::array<WorkbookCell, 4> row = {
            WorkbookCell::ofNumber(m + 1), WorkbookCell::ofText(concepts),
            WorkbookCell::ofNumber(
                static_cast<double>(summary.itemCorrect[static_cast<std::size_t>(m)])),
            share ? WorkbookCell::ofNumber(RoundToDecimals(*share, 4))
                  : WorkbookCell::ofText(kNoValueText)};
        if (auto added = book.addRow(row); !added) return added;
    }
    return {};
}

Expected<void> notesSheet(WorkbookFile& book, const RunMethod& method, int n,
                          const WorkbookNotes& notes) {
    constexpr std::array<std::string_view, 2> kHeader = {"項目", "內容"};
    constexpr std::array<double, 2> kWidths = {20, 60};
    if (auto added = book.addSheet("說明", kHeader, kWidths); !added) return added;
    std::vector<std::pair<std::string, std::string>> lines = notes.files;
    lines.emplace_back("算則", methodKey(method, n));
    if (method.kind == NetworkKind::Pfnet) {
        lines.emplace_back("r", method.pfnetParams.r == PfnetR::One ? "1" : "inf");
        lines.emplace_back("q", std::to_string(pfnetHops(method.pfnetParams, n)));
    }
    lines.emplace_back("日期", notes.date);
    lines.emplace_back("程式版本", notes.version);
    for (const auto& [what, text] : lines) {
        const std::array<WorkbookCell, 2> row = {WorkbookCell::ofText(what),
                                                 WorkbookCell::ofText(text)};
        if (auto added = book.addRow(row); !added) return added;
    }
    return {};
}

}  // namespace

Expected<void> writeResultsWorkbook(const std::filesystem::path& target, const RunResults& results,
                                    const RunMethod& method, const WorkbookNotes& notes,
                                    const std::function<void(int)>& progress) {
    const ClassData& data = *results.data;
    const int n = data.conceptCount;
    auto book = WorkbookFile::create(target);
    if (!book) return book.error();
    if (auto written = resultsSheet(*book, results, methodKey(method, n), progress); !written)
        return written;
    const ClassSummary summary = summariseClass(results);
    if (auto written = pairSheet(*book, summary, data.conceptNames, method); !written)
        return written;
    if (auto written = itemSheet(*book, summary); !written) return written;
    if (auto written = notesSheet(*book, method, n, notes); !written) return written;
    if (progress) progress(90);
    auto committed = book->commit();
    if (progress && committed) progress(100);
    return committed;
}

}  // namespace qv
