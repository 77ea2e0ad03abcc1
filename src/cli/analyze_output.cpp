#include "analyze_output.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <iostream>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "analysis/results_text.h"
#include "analysis/student_matrices.h"
#include "commands.h"
#include "core/number_text.h"
#include "core/utf8.h"

namespace qv::cli {

namespace {

using json = nlohmann::ordered_json;

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char ch : text) {
        if (ch == '"') out += '"';
        out += ch;
    }
    out += '"';
    return out;
}

// Numbers as the table writes them: 0.43, never 0.43000000000000005.
json jsonNumber(const std::optional<double>& value) {
    if (!value) return nullptr;
    return std::strtod(numberText(*value).c_str(), nullptr);
}

json currencyJson(Currency c) {
    if (c.raw() % Currency::kScale == 0) return c.raw() / Currency::kScale;
    return std::strtod(numberText(c.toDouble()).c_str(), nullptr);
}

template <typename T, typename ToJson>
json matrixJson(const Matrix<T>& m, ToJson toJson) {
    json rows = json::array();
    for (int i = 0; i < m.rows(); ++i) {
        json row = json::array();
        for (int j = 0; j < m.cols(); ++j)
            row.push_back(toJson(m(i, j)));
        rows.push_back(std::move(row));
    }
    return rows;
}

// Links as pairs of 1-based concept numbers, the smaller first.
json linksJson(const LinkMatrix& links) {
    json pairs = json::array();
    for (int i = 0; i < links.rows(); ++i)
        for (int j = i + 1; j < links.cols(); ++j)
            if (links(i, j)) pairs.push_back({i + 1, j + 1});
    return pairs;
}

json distanceJson(const DistanceMatrix& d) {
    return matrixJson(d, currencyJson);
}
json graphJson(const GraphDistanceMatrix& g) {
    return matrixJson(g, [](std::int16_t v) { return json(v); });
}

std::string trimmed(std::string_view label) {
    const auto first = label.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = label.find_last_not_of(" \t\r\n");
    return std::string(label.substr(first, last - first + 1));
}

std::string answersText(const std::u32string& answers) {
    std::string out;
    for (char32_t a : answers) {
        if (a != kNoAnswer) appendUtf8(out, a);
    }
    return out;
}

void writeField(std::string& out, std::string_view key, const json& value, bool last = false) {
    out += "  ";
    out += json(key).dump();
    out += ": ";
    out += value.dump();
    out += last ? "\n" : ",\n";
}

void appendInt(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

// A string as nlohmann::json writes it; texts without a character to escape
// (nearly all) are copied as they are.
void appendString(std::string& out, std::string_view text) {
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
    });
    if (plain) {
        out += '"';
        out += text;
        out += '"';
    } else {
        out += json(text).dump();
    }
}

// Numbers as the table writes them (0.43, never 0.43000000000000005) in
// nlohmann::json's notation. A class has few distinct values, so each
// thread remembers the texts it has made.
void appendNumber(std::string& out, const std::optional<double>& value) {
    if (!value) {
        out += "null";
        return;
    }
    thread_local std::unordered_map<std::uint64_t, std::string> texts;
    auto [at, added] = texts.try_emplace(std::bit_cast<std::uint64_t>(*value));
    if (added) at->second = jsonNumber(value).dump();
    out += at->second;
}

// The widest cell text: a whole Currency or a double in JSON notation.
constexpr std::size_t kMaxCell = 32;

char* putInt(char* at, std::int64_t value) {
    // Nearly every cell is a small count.
    if (value >= 0 && value < 10) {
        *at = static_cast<char>('0' + value);
        return at + 1;
    }
    if (value >= 10 && value < 100) {
        at[0] = static_cast<char>('0' + value / 10);
        at[1] = static_cast<char>('0' + value % 10);
        return at + 2;
    }
    return std::to_chars(at, at + kMaxCell, value).ptr;
}

char* putCurrency(char* at, Currency c) {
    if (c.raw() % Currency::kScale == 0) return putInt(at, c.raw() / Currency::kScale);
    thread_local std::unordered_map<std::int64_t, std::string> texts;
    auto [found, added] = texts.try_emplace(c.raw());
    if (added) found->second = currencyJson(c).dump().substr(0, kMaxCell);
    return std::copy(found->second.begin(), found->second.end(), at);
}

char* putGraphDistance(char* at, std::int16_t value) {
    return putInt(at, value);
}

// Each row is formatted into a buffer and appended whole: appending cell by
// cell to the string took most of the JSON's time.
template <typename T, typename Put>
void appendMatrix(std::string& out, const Matrix<T>& m, Put put) {
    thread_local std::string row;
    row.resize(static_cast<std::size_t>(m.cols()) * (kMaxCell + 1) + 3);
    out += '[';
    for (int i = 0; i < m.rows(); ++i) {
        char* const start = row.data();
        char* at = start;
        if (i > 0) *at++ = ',';
        *at++ = '[';
        const T* cells = m.rowData(i);
        for (int j = 0; j < m.cols(); ++j) {
            if (j > 0) *at++ = ',';
            at = put(at, cells[j]);
        }
        *at++ = ']';
        out.append(start, static_cast<std::size_t>(at - start));
    }
    out += ']';
}

// The layout of studentJson, written without building the document.
void appendStudentJson(std::string& out, const StudentRecord& r) {
    out += "{\"id\":";
    appendString(out, r.id);
    out += ",\"score\":";
    appendInt(out, r.score);
    out += ",\"answers\":";
    appendString(out, answersText(r.answers));
    out += ",\"wrongItems\":[";
    for (std::size_t k = 0; k < r.wrongItems.size(); ++k) {
        if (k > 0) out += ',';
        appendInt(out, r.wrongItems[k]);
    }
    const LinkFlagCounts& c = r.linkCounts;
    static constexpr const char* kCounts[6] = {"match",  "miss",     "over",
                                               "absent", "stdLinks", "targetLinks"};
    out += "],\"counts\":{";
    for (std::size_t k = 0; k < 6; ++k) {
        if (k > 0) out += ',';
        out += '"';
        out += kCounts[k];
        out += "\":";
        appendInt(out, c[k]);
    }
    out += "},\"pfc\":";
    appendNumber(out, r.pfcValue);
    out += ",\"gtd\":";
    appendNumber(out, r.gtdValue);
    out += ",\"prx\":";
    appendNumber(out, r.prxValue);
    static constexpr const char* kRates[6] = {"matchOnStd",    "missOnStd",    "overOnStd",
                                              "matchOnTarget", "missOnTarget", "overOnTarget"};
    out += ",\"rates\":{";
    for (std::size_t k = 0; k < 6; ++k) {
        if (k > 0) out += ',';
        out += '"';
        out += kRates[k];
        out += "\":";
        appendNumber(out, r.rateValues[k]);
    }
    out += "},\"links\":[";
    bool firstLink = true;
    for (int i = 0; i < r.links.rows(); ++i) {
        for (int j = i + 1; j < r.links.cols(); ++j) {
            if (!r.links(i, j)) continue;
            out += firstLink ? "[" : ",[";
            firstLink = false;
            appendInt(out, i + 1);
            out += ',';
            appendInt(out, j + 1);
            out += ']';
        }
    }
    out += "],\"distance\":";
    appendMatrix(out, r.distance, putCurrency);
    out += ",\"graphDistance\":";
    appendMatrix(out, r.graphDistance, putGraphDistance);
    out += '}';
}

json conceptsJson(const AppState& state) {
    json names = json::array();
    for (const std::string& name : state.conceptNames)
        names.push_back(trimmed(name));
    return names;
}

json standardJson(const AppState& state) {
    return {{"links", linksJson(state.stdLinks)},
            {"distance", distanceJson(state.stdDistance)},
            {"graphDistance", graphJson(state.stdGraphDistance)}};
}

}  // namespace

Error stdoutFailure(int errnum) {
    return errorText("錯誤：無法寫入標準輸出：" + systemReason(errnum));
}

void Sink::write(std::string_view bytes) {
    if (error_ || bytes.empty()) return;
    if (file_) {
        if (auto written = file_->write(bytes); !written) error_ = written.error();
    } else if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) {
        error_ = stdoutFailure(errno);
    }
}

int printText(std::string_view text) {
    Sink out(stdout);
    out.write(text);
    if (auto done = out.finish(); !done) {
        std::cerr << done.error().message() << "\n";
        return kExitBadInput;
    }
    return kExitOk;
}

Expected<void> Sink::finish() {
    if (error_) return *error_;
    if (file_) return file_->commit();
    if (std::fflush(stream_) != 0) return stdoutFailure(errno);
    return {};
}

AnalyzeFormat tableFormat() {
    AnalyzeFormat f;
    f.head = [] { return std::string(kResultsHeader) + "\n"; };
    f.student = [](std::string& out, const StudentRecord& r) { appendResultRow(out, r, "\n"); };
    return f;
}

AnalyzeFormat csvFormat() {
    AnalyzeFormat f;
    f.head = [] {
        return std::string(
            "\xEF\xBB\xBF"
            "ID,Score,Match,Miss,Over,Absent,STD links,Target links,PFC,GTD,PRX,"
            "Match on STD,Miss on STD,Over on STD,Match on Target,Miss on Target,Over on "
            "Target\r\n");
    };
    f.student = [](std::string& text, const StudentRecord& r) {
        text += csvField(r.id);
        text += ',';
        appendInt(text, r.score);
        for (std::int32_t count : r.linkCounts) {
            text += ',';
            appendInt(text, count);
        }
        for (const auto* value : {&r.pfcValue, &r.gtdValue, &r.prxValue}) {
            text += ',';
            if (*value) text += numberText(**value);
        }
        for (const auto& rate : r.rateValues) {
            text += ',';
            if (rate) text += numberText(*rate);
        }
        text += "\r\n";
    };
    return f;
}

namespace {

std::string methodJsonName(const RunMethod& method) {
    switch (method.kind) {
        case NetworkKind::Triangle:
            return "triangle";
        case NetworkKind::PathSearch:
            return "path-search";
        case NetworkKind::Pfnet:
            return "pfnet";
    }
    return {};
}

}  // namespace

// The layout: the method (with r and q for pfnet), the class, the standard
// network, then one line per student.
AnalyzeFormat jsonFormat(const AppState& state, RunMethod method) {
    AnalyzeFormat f;
    f.head = [&state, method] {
        std::string out = "{\n";
        writeField(out, "method", methodJsonName(method));
        if (method.kind == NetworkKind::Pfnet) {
            writeField(out, "r", method.pfnetParams.r == PfnetR::One ? "1" : "inf");
            writeField(out, "q", pfnetHops(method.pfnetParams, state.conceptCount));
        }
        writeField(out, "conceptCount", state.conceptCount);
        writeField(out, "itemCount", state.itemCount);
        writeField(out, "studentCount", state.studentCount);
        writeField(out, "concepts", conceptsJson(state));
        writeField(out, "answerKey", toUtf8(state.answerKey));
        writeField(out, "standard", standardJson(state));
        out += "  \"students\": [";
        return out;
    };
    // Every student follows a comma; the first one's is left out.
    f.student = [](std::string& out, const StudentRecord& r) {
        out += ",\n    ";
        appendStudentJson(out, r);
    };
    f.firstSkip = 1;
    f.tail = state.studentCount > 0 ? "\n  ]\n}\n" : "]\n}\n";
    return f;
}

}  // namespace qv::cli
