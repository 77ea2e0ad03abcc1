// The sheets a teacher has, read and imported: the sample class in the three
// forms a spreadsheet program leaves it in must become the hand-typed class.
#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <fstream>
#include <sstream>

#include "analysis/run.h"
#include "class_files.h"
#include "data/class_import.h"
#include "data/loaders.h"
#include "data_test_util.h"
#include "samples/sample_class.h"

namespace qv::test {
namespace {

using Grid = std::vector<std::vector<std::string>>;

std::string readAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

ClassData handTyped() {
    return readClass(ClassText{samples::conceptFile(), samples::itemConceptFile(),
                               samples::studentFile()})
        .value();
}

std::string csv(const Grid& grid, char delimiter, std::string_view eol) {
    std::string out;
    for (const auto& row : grid) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) out += delimiter;
            out += row[c];
        }
        out += eol;
    }
    return out;
}

// Answers as the sheet shows them: a missing mark (8) is an empty cell.
Grid answerGrid(const ClassData& hand, bool withName) {
    Grid grid(1, {"學號"});
    if (withName) grid[0].push_back("姓名");
    for (int m = 1; m <= hand.itemCount; ++m)
        grid[0].push_back("第" + std::to_string(m) + "題");
    for (const Student& s : hand.students) {
        grid.push_back({s.id});
        if (withName) grid.back().push_back("王小" + s.id.substr(6));
        for (char a : s.answers)
            grid.back().push_back(a == '8' ? "" : std::string(1, a));
    }
    return grid;
}

std::vector<std::string> keyRow(const ClassData& hand, const char* label) {
    std::vector<std::string> row{label};
    for (char32_t c : hand.answerKey)
        row.push_back(std::string(1, static_cast<char>(c)));
    return row;
}

Grid qmatrixGrid(const ClassData& hand) {
    Grid grid(1, {"題目"});
    for (const auto& name : hand.conceptNames)
        grid[0].push_back(name.substr(1));
    for (int m = 0; m < hand.itemCount; ++m) {
        grid.push_back({"第" + std::to_string(m + 1) + "題"});
        for (int c = 0; c < hand.conceptCount; ++c)
            grid.back().push_back(hand.itemConcept(m, c) == Currency{} ? "" : "1");
    }
    return grid;
}

// A workbook's cells: whole numbers as numbers, the rest as text; empty cells unwritten.
void writeSheet(lxw_workbook* book, const char* name, const Grid& grid) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, name);
    for (std::size_t r = 0; r < grid.size(); ++r) {
        for (std::size_t c = 0; c < grid[r].size(); ++c) {
            const std::string& text = grid[r][c];
            const auto row = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(c);
            if (text.empty()) continue;
            if (text.find_first_not_of("0123456789") == std::string::npos)
                worksheet_write_number(sheet, row, col, std::stod(text), nullptr);
            else
                worksheet_write_string(sheet, row, col, text.c_str(), nullptr);
        }
    }
}

Expected<ImportedClass> importBytes(const std::string& answers, const char* answersSheet,
                                    const AnswerLayout& layout, const std::string& qmatrix) {
    auto a = readSheet(answers, "answers", answersSheet);
    if (!a) return a.error();
    auto q = readSheet(qmatrix, "qmatrix");
    if (!q) return q.error();
    return importClass({*a, "answers"}, layout, {*q, "qmatrix"});
}

std::string analysisText(ClassData data, RunMethod method) {
    RunOptions options;
    options.method = method;
    options.threads = 1;
    auto run = runAnalysis(std::make_shared<const ClassData>(std::move(data)), options);
    return run ? run->text : run.error().message();
}

TEST(ClassImport, SampleClassFromEverySheetFormIsTheHandTypedClass) {
    const ClassData hand = handTyped();
    const TempDir dir;
    std::vector<ImportedClass> imported;

    // UTF-8 CSV, key row first, as shipped for teachers to copy.
    const std::filesystem::path sheets = std::filesystem::path(QV_SAMPLES_DIR) / "sheets";
    auto shipped =
        importBytes(readAll(sheets / "answers.csv"), "", {}, readAll(sheets / "qmatrix.csv"));
    ASSERT_TRUE(shipped) << shipped.error().message();
    imported.push_back(*shipped);

    // Big5 CSV with CR LF and the key row last; the Q-matrix with semicolons.
    Grid answers = answerGrid(hand, false);
    answers.push_back(keyRow(hand, "答案"));
    auto big5 = importBytes(toBig5(csv(answers, ',', "\r\n")), "", {},
                            toBig5(csv(qmatrixGrid(hand), ';', "\r\n")));
    ASSERT_TRUE(big5) << big5.error().message();
    imported.push_back(*big5);

    // XLSX: numeric IDs, a name column, a total column past the items and the
    // key row labelled 標準答案, on the second sheet; the Q-matrix in a
    // workbook of inline strings.
    answers = answerGrid(hand, true);
    answers.insert(answers.begin() + 1, keyRow(hand, "標準答案"));
    answers[1].insert(answers[1].begin() + 1, "");
    answers[0].push_back("總分");
    for (std::size_t r = 2; r < answers.size(); ++r)
        answers[r].push_back(std::to_string(hand.students[r - 2].score));
    const std::string answersPath = (dir.path() / "answers.xlsx").string();
    lxw_workbook* book = workbook_new(answersPath.c_str());
    writeSheet(book, "說明", {{"本活頁簿的第二個工作表是成績"}});
    writeSheet(book, "成績", answers);
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
    const std::string qmatrixPath = (dir.path() / "qmatrix.xlsx").string();
    lxw_workbook_options inlineStrings{};
    inlineStrings.constant_memory = LXW_TRUE;
    book = workbook_new_opt(qmatrixPath.c_str(), &inlineStrings);
    writeSheet(book, "Q", qmatrixGrid(hand));
    ASSERT_EQ(workbook_close(book), LXW_NO_ERROR);
    AnswerLayout layout;
    layout.items = parseColumnRange("C:AP").value();
    auto xlsx = importBytes(readAll(answersPath), "成績", layout, readAll(qmatrixPath));
    ASSERT_TRUE(xlsx) << xlsx.error().message();
    imported.push_back(*xlsx);

    for (const ImportedClass& files : imported) {
        EXPECT_EQ(files.students, 35u);
        auto loaded =
            readClass(ClassText{files.conceptFile, files.itemConceptFile, files.studentFile});
        ASSERT_TRUE(loaded) << loaded.error().message();
        ASSERT_EQ(snapshot(*loaded), snapshot(hand));
    }
    // The class is the same, so is every analysis of it.
    for (RunMethod method : {RunMethod::Triangle, RunMethod::PathSearch, RunMethod::pfnet({}),
                             RunMethod::pfnet({PfnetR::One, 0}), RunMethod::pfnet({{}, 3})}) {
        EXPECT_EQ(
            analysisText(readClass(ClassText{imported[2].conceptFile, imported[2].itemConceptFile,
                                             imported[2].studentFile})
                             .value(),
                         method),
            analysisText(hand, method));
    }
}

// Rows joined by "/", cells by "|".
std::string shown(const Expected<Sheet>& sheet) {
    if (!sheet) return sheet.error().message();
    std::string out;
    for (std::size_t r = 0; r < sheet->rowCount(); ++r) {
        if (r > 0) out += '/';
        for (std::size_t c = 0; c < sheet->cellsInRow(r); ++c)
            out += (c > 0 ? "|" : "") + std::string(sheet->cell(r, c));
    }
    return out;
}

std::string utf16(std::u16string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t u : text) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    return out;
}

TEST(SheetReader, CsvAsSpreadsheetProgramsWriteIt) {
    const auto read = [](std::string_view bytes) { return shown(readCsv(bytes, "a.csv")); };
    // Quotes hold delimiters, line breaks and doubled quotes; every line end counts.
    EXPECT_EQ(read("id,\"x, y\",\"say \"\"hi\"\"\"\r\n\"1\r\n2\",,z\n3\rlast,"),
              "id|x, y|say \"hi\"/1\r\n2||z/3/last");
    // Semicolons (a comma inside quotes does not count), tabs, and empty rows kept.
    EXPECT_EQ(read("\"a,b,c\";d\n1;2,5\n\n4"), "a,b,c|d/1|2,5//4");
    EXPECT_EQ(read("a\tb\tc,d\n1\t2"), "a|b|c,d/1|2");
    // Byte order marks, and Big5 without one.
    EXPECT_EQ(read("\xEF\xBB\xBF學號,答案\r\n"), "學號|答案");
    EXPECT_EQ(read(utf16(u"學號;A\r\n1;\u00E9", false)), "學號|A/1|é");
    EXPECT_EQ(read(utf16(u"學號,A", true)), "學號|A");
    EXPECT_EQ(read(toBig5("學號,標準答案\r\n")), "學號|標準答案");
    EXPECT_NE(shown(readSheet("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "a.xls")).find(".xls"),
              std::string::npos);
    EXPECT_EQ(read("a,b\n1,\"open"),
              "檔案「a.csv」B2：引號沒有結束：以「\"」開頭的欄位必須以「\"」結束");
}

// An OpenDocument package of one content part.
std::string odsPackage(const std::string& content) {
    const TempDir dir;
    const std::string path = (dir.path() / "a.ods").string();
    int error = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE, &error);
    const std::string type = "application/vnd.oasis.opendocument.spreadsheet";
    zip_file_add(z, "mimetype", zip_source_buffer(z, type.data(), type.size(), 0), 0);
    zip_set_file_compression(z, 0, ZIP_CM_STORE, 0);
    zip_file_add(z, "content.xml", zip_source_buffer(z, content.data(), content.size(), 0), 0);
    zip_close(z);
    return readAll(path);
}

TEST(SheetReader, OdsRepeatsLaidOutOnlyBeforeContent) {
    const std::string ods = odsPackage(
        R"(<office:document-content xmlns:office="o" xmlns:table="t" xmlns:text="x"><office:body>)"
        R"(<office:spreadsheet><table:table table:name="封面"/><table:table table:name="B">)"
        R"(<table:table-row><table:table-cell table:number-columns-repeated="2"><text:p>x</text:p>)"
        R"(</table:table-cell><table:table-cell table:number-columns-repeated="2"/>)"
        R"(<table:table-cell office:value-type="float" office:value="85000001"><text:p>85,000,001)"
        R"(</text:p></table:table-cell><table:table-cell><office:annotation><text:p>note</text:p>)"
        R"(</office:annotation><text:p>a<text:s text:c="2"/>b</text:p></table:table-cell>)"
        R"(<table:table-cell table:number-columns-repeated="16000"/></table:table-row>)"
        R"(<table:table-row table:number-rows-repeated="2"><table:table-cell/></table:table-row>)"
        R"(<table:table-row><table:table-cell><text:p>y</text:p></table:table-cell></table:table-row>)"
        R"(<table:table-row table:number-rows-repeated="1048000"><table:table-cell/>)"
        R"(</table:table-row></table:table></office:spreadsheet></office:body>)"
        R"(</office:document-content>)");
    EXPECT_EQ(sheetNames(ods, "a.ods").value(), (std::vector<std::string>{"封面", "B"}));
    EXPECT_EQ(shown(readSheet(ods, "a.ods", "B")), "x|x|||85000001|a  b///y");
    EXPECT_EQ(shown(readSheet(ods, "a.ods", "C")),
              "檔案「a.ods」：沒有名為「C」的工作表；這個活頁簿的工作表有 「封面」、「B」");
}

}  // namespace
}  // namespace qv::test
