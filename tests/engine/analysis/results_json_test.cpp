#include "analysis/results_json.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "analysis/run.h"
#include "analysis/summary_files.h"
#include "class_builder.h"
#include "core/number_text.h"
#include "core/utf8.h"

namespace qv {
namespace {

using json = nlohmann::json;

std::string jsonString(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

// Texts with every kind of character the files can carry: quotes, `\`, each
// control character, U+007F, CJK, and characters beyond the BMP.
std::vector<std::string> oddTexts() {
    std::vector<std::string> texts = {"a\"b", "back\\slash", "\\\"\\", "整數與分數", "𝑥😀",
                                      "\x7f", "mixed \"整\\數\" 😀\t𝑥\n"};
    for (char c = 0; c < 0x20; ++c)
        texts.push_back(std::string("x") + c + "y");
    return texts;
}

// As nlohmann::json writes each text, and back to the same text.
TEST(ResultsJson, StringsAreEscapedAsJsonWritesThem) {
    std::string everyAscii;
    for (int c = 0; c < 0x80; ++c)
        everyAscii += static_cast<char>(c);
    std::vector<std::string> texts = oddTexts();
    texts.push_back(everyAscii);
    texts.push_back("");
    for (const std::string& text : texts) {
        const std::string written = jsonString(text);
        EXPECT_EQ(written, json(text).dump()) << written;
        EXPECT_EQ(json::parse(written).get<std::string>(), text) << written;
    }
    // Bytes that are no UTF-8 give U+FFFD and a document that parses.
    for (const auto& [bytes, read] : {std::pair<std::string, std::string>{"a\xff" "b", "a\uFFFD" "b"},
                                      {"\xc3", "\uFFFD"},
                                      {"\"\xfe\\", "\"\uFFFD\\"}}) {
        const std::string written = jsonString(bytes);
        EXPECT_TRUE(isValidUtf8(written));
        EXPECT_EQ(json::parse(written).get<std::string>(), read) << written;
    }
}

// The number as written: the double that the table's text reads as.
double shown(double value) {
    return std::strtod(numberText(value).c_str(), nullptr);
}

void expectNumber(const json& written, const std::optional<double>& value, const std::string& what) {
    if (!value) {
        EXPECT_TRUE(written.is_null()) << what;
        return;
    }
    ASSERT_TRUE(written.is_number()) << what;
    EXPECT_EQ(written.get<double>(), shown(*value)) << what;
}

template <typename T, typename Cell>
void expectMatrix(const json& written, const Matrix<T>& m, Cell cell, const std::string& what) {
    ASSERT_EQ(written.size(), static_cast<std::size_t>(m.rows())) << what;
    for (int i = 0; i < m.rows(); ++i) {
        ASSERT_EQ(written[i].size(), static_cast<std::size_t>(m.cols())) << what;
        for (int j = 0; j < m.cols(); ++j)
            EXPECT_EQ(written[i][j].get<double>(), cell(m(i, j))) << what << " " << i << "," << j;
    }
}

double currencyValue(Currency c) {
    return shown(c.toDouble());
}
double wholeValue(std::int16_t v) {
    return v;
}

// The document parsed back against the state it was written from, field by
// field; the records keep their matrices as a second account of them.
void expectDocument(const json& doc, const RunResults& run, const std::string& method) {
    const ClassData& s = *run.data;
    EXPECT_EQ(doc["method"], method);
    EXPECT_EQ(doc["conceptCount"], s.conceptCount);
    EXPECT_EQ(doc["itemCount"], s.itemCount);
    EXPECT_EQ(doc["studentCount"], s.studentCount);
    ASSERT_EQ(doc["concepts"].size(), static_cast<std::size_t>(s.conceptCount));
    for (int c = 0; c < s.conceptCount; ++c) {
        std::string label = s.conceptNames[static_cast<std::size_t>(c)];
        label.erase(0, label.find_first_not_of(" \t\r\n"));
        label.erase(label.find_last_not_of(" \t\r\n") + 1);
        EXPECT_EQ(doc["concepts"][c], label);
    }
    EXPECT_EQ(doc["answerKey"], toUtf8(s.answerKey));
    json links = json::array();
    for (int i = 0; i < s.conceptCount; ++i)
        for (int j = i + 1; j < s.conceptCount; ++j)
            if (run.stdLinks(i, j)) links.push_back({i + 1, j + 1});
    EXPECT_EQ(doc["standard"]["links"], links);
    expectMatrix(doc["standard"]["distance"], run.stdDistance, currencyValue, "standard");
    expectMatrix(doc["standard"]["graphDistance"], run.stdGraphDistance, wholeValue, "standard");
    ASSERT_EQ(doc["students"].size(), run.students.size());
    for (std::size_t k = 0; k < run.students.size(); ++k) {
        const StudentRecord& r = run.students[k];
        const json& w = doc["students"][k];
        EXPECT_EQ(w["id"], r.id);
        EXPECT_EQ(w["score"], r.score);
        EXPECT_EQ(w["answers"], r.answers);
        json wrong = json::array();
        for (int m = 0; m < s.itemCount; ++m)
            if (!r.isCorrect(m)) wrong.push_back(m + 1);
        EXPECT_EQ(w["wrongItems"], wrong) << r.id;
        const char* counts[] = {"match", "miss", "over", "absent", "stdLinks", "targetLinks"};
        for (std::size_t f = 0; f < 6; ++f)
            EXPECT_EQ(w["counts"][counts[f]], r.linkCounts[f]) << r.id;
        expectNumber(w["pfc"], r.pfcValue, r.id + " pfc");
        expectNumber(w["gtd"], r.gtdValue, r.id + " gtd");
        expectNumber(w["prx"], r.prxValue, r.id + " prx");
        const char* rates[] = {"matchOnStd",    "missOnStd",    "overOnStd",
                               "matchOnTarget", "missOnTarget", "overOnTarget"};
        for (std::size_t f = 0; f < 6; ++f)
            expectNumber(w["rates"][rates[f]], r.rateValues[f], r.id + " " + rates[f]);
        json studentLinks = json::array();
        for (int i = 0; i < s.conceptCount; ++i)
            for (int j = i + 1; j < s.conceptCount; ++j)
                if (hasLink(r.links, i, j)) studentLinks.push_back({i + 1, j + 1});
        EXPECT_EQ(w["links"], studentLinks) << r.id;
        expectMatrix(w["distance"], r.distance, currencyValue, r.id);
        expectMatrix(w["graphDistance"], r.graphDistance, wholeValue, r.id);
    }
}

std::string document(const RunResults& run, const RunMethod& method) {
    const StudentNetworkBuilder builder(*run.data, method);
    std::string out;
    writeResultsJson(resultsJsonClass(*run.data, run, method), run.students, builder,
                     [&out](std::string_view bytes) { out += bytes; });
    return out;
}

// A class whose IDs, answers, labels and key hold every kind of character.
ClassData oddClass() {
    std::vector<std::pair<std::string, std::string>> students;
    const std::vector<std::string> texts = oddTexts();
    const std::string answers[] = {"ABCDAB", "BCDDBC", "DDDADD", "ABCAAB", "ABDDAB"};
    for (std::size_t k = 0; k < texts.size(); ++k)
        students.emplace_back(texts[k], answers[k % 5]);
    students.emplace_back("答\"案", "A\\C\x01" "整😀");
    ClassData s = test::makeClass({{1, 2}, {1, 3}, {1, 4}, {2}, {3}, {4}}, 4, "ABCDAB", students);
    s.conceptNames = {" \"引號\"\\反斜線 ", " 控\x02制\x1f字元\t", " 𝑥😀 \x7f", " "};
    s.answerKey = U"A\"C\\整😀";
    return s;
}

TEST(ResultsJson, ParsesBackToTheRecordsInEveryMethod) {
    for (const auto& [method, name] :
         {std::pair{RunMethod::Triangle, "triangle"}, std::pair{RunMethod::PathSearch, "path-search"},
          std::pair{RunMethod::pfnet({PfnetR::One, 2}), "pfnet"}}) {
        RunOptions options;
        options.method = method;
        auto ran = runAnalysis(test::shared(oddClass()), options);
        ASSERT_TRUE(ran.ok());
        RunResults s = std::move(ran).value();
        // Values that are no thousandths take the slow way.
        s.students[1].pfcValue = 1.0 / 3;
        s.students[1].rateValues[2] = 12345.678901234;
        s.students[2].gtdValue = -1e-7;
        const std::string written = document(s, method);
        const json doc = json::parse(written);
        expectDocument(doc, s, name);
        if (method.kind == NetworkKind::Pfnet) {
            EXPECT_EQ(doc["r"], "1");
            EXPECT_EQ(doc["q"], 2);
        }
    }
}

// Distances other than whole numbers, graph distances past one digit and a
// class without students keep their values and the layout.
TEST(ResultsJson, HeadKeepsEveryNumberAndAnEmptyClassParses) {
    ClassData c = oddClass();
    c.students.clear();
    c.studentCount = 0;
    c.conceptCount = 3;
    c.conceptNames.resize(3);
    RunResults s;
    s.data = test::shared(c);
    s.stdDistance = DistanceMatrix(3, 3);
    s.stdDistance(0, 1) = Currency::fromDouble(0.5);
    s.stdDistance(1, 2) = Currency::fromDouble(1234.0625);
    s.stdDistance(2, 0) = Currency::fromInt(-7);
    s.stdGraphDistance = GraphDistanceMatrix(3, 3);
    s.stdGraphDistance(0, 2) = 10;
    s.stdGraphDistance(1, 0) = 1500;
    s.stdGraphDistance(2, 2) = -1;
    s.stdLinks = LinkMatrix(3, 3);
    s.stdLinks(0, 2) = s.stdLinks(2, 0) = 1;
    const std::string written = resultsJsonHead(resultsJsonClass(c, s, RunMethod::Triangle)) +
                                std::string(resultsJsonTail(0));
    EXPECT_TRUE(written.ends_with("\"students\": []\n}\n")) << written;
    expectDocument(json::parse(written), s, "triangle");
}

TEST(SummaryJson, LabelsAndPairsParseBack) {
    auto ran = runAnalysis(test::shared(oddClass()), RunOptions{});
    ASSERT_TRUE(ran.ok());
    const ClassSummary summary = summariseClass(*ran);
    std::string written;
    writeSummaryJson(summary, ran->data->conceptNames, RunMethod::Triangle,
                     [&written](std::string_view bytes) { written += bytes; });
    const json doc = json::parse(written);
    const json labels = {"\"引號\"\\反斜線", "控\x02制\x1f字元", "𝑥😀 \x7f", ""};
    EXPECT_EQ(doc["concepts"], labels);
    ASSERT_EQ(doc["pairs"].size(), 6u);
    std::size_t k = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j, ++k) {
            const json& pair = doc["pairs"][k];
            EXPECT_EQ(pair["concepts"], json({i + 1, j + 1}));
            EXPECT_EQ(pair["standard"], summary.isStandard(i, j));
            EXPECT_EQ(pair["students"], summary.students(i, j));
        }
}

}  // namespace
}  // namespace qv
