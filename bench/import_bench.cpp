// Import of generated answer sheets, from the file's bytes to the three class
// files' bytes: a CSV of 100,000 students and an XLSX of 10,000, 40 items each.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "data/class_import.h"

namespace {

constexpr int kItems = 40;
constexpr int kConcepts = 20;

// Row 0 the header, row 1 the key, then one row per student; every 37th answer blank.
std::vector<std::vector<std::string>> answerRows(int students) {
    std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(students) + 2);
    rows[0].push_back("學號");
    rows[1].push_back("答案");
    for (int m = 1; m <= kItems; ++m) {
        rows[0].push_back("第" + std::to_string(m) + "題");
        rows[1].push_back(std::string(1, static_cast<char>('A' + m % 4)));
    }
    unsigned seed = 1;
    for (int s = 0; s < students; ++s) {
        auto& row = rows[static_cast<std::size_t>(s) + 2];
        row.push_back(std::to_string(90000001 + s));
        for (int m = 0; m < kItems; ++m) {
            seed = seed * 1103515245u + 12345u;
            row.push_back(seed % 37 == 0 ? "" : std::string(1, static_cast<char>('A' + seed % 4)));
        }
    }
    return rows;
}

std::string qmatrixCsv() {
    std::string out = "題目";
    for (int c = 1; c <= kConcepts; ++c)
        out += ",概念" + std::to_string(c);
    out += "\r\n";
    for (int m = 0; m < kItems; ++m) {
        out += std::to_string(m + 1);
        for (int c = 0; c < kConcepts; ++c)
            out += c == m % kConcepts || c == (m * 7) % kConcepts ? ",1" : ",";
        out += "\r\n";
    }
    return out;
}

std::string answersCsv(int students) {
    std::string out;
    for (const auto& row : answerRows(students)) {
        for (std::size_t c = 0; c < row.size(); ++c)
            out += (c > 0 ? "," : "") + row[c];
        out += "\r\n";
    }
    return out;
}

// IDs as numbers and answers as shared strings, as Excel saves them.
std::string answersXlsx(int students) {
    const auto path = std::filesystem::temp_directory_path() / "quorvane-import-bench.xlsx";
    lxw_workbook* book = workbook_new(path.string().c_str());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "成績");
    const auto rows = answerRows(students);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            if (c == 0 && r > 1)
                worksheet_write_number(sheet, row, col, std::stod(rows[r][c]), nullptr);
            else if (!rows[r][c].empty())
                worksheet_write_string(sheet, row, col, rows[r][c].c_str(), nullptr);
        }
    }
    if (workbook_close(book) != LXW_NO_ERROR) std::abort();
    std::ifstream in(path, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove(path);
    return bytes;
}

void importSheet(benchmark::State& st, const std::string& answers) {
    const std::string qmatrix = qmatrixCsv();
    for (auto _ : st) {
        auto a = qv::readSheet(answers, "answers");
        auto q = qv::readSheet(qmatrix, "qmatrix.csv");
        if (!a || !q) std::abort();
        auto imported = qv::importClass({*a, "answers"}, {}, {*q, "qmatrix.csv"});
        if (!imported) std::abort();
        benchmark::DoNotOptimize(imported->studentFile.data());
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(st.iterations() * answers.size()));
}

void BM_ImportCsv(benchmark::State& st) {
    static const std::string csv = answersCsv(100'000);
    importSheet(st, csv);
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

void BM_ImportXlsx(benchmark::State& st) {
    static const std::string xlsx = answersXlsx(10'000);
    importSheet(st, xlsx);
}
BENCHMARK(BM_ImportXlsx)->Unit(benchmark::kMillisecond);

}  // namespace
