#include "analyze_output.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>
#include <memory>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "analysis/results_csv.h"
#include "analysis/results_text.h"
#include "analysis/student_matrices.h"
#include "commands.h"
#include "compare/graph_distance.h"
#include "core/bit_ops.h"
#include "core/number_text.h"
#include "core/utf8.h"

namespace qv::cli {

namespace {

using json = nlohmann::ordered_json;

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

void writeField(std::string& out, std::string_view key, const json& value, bool last = false) {
    out += "  ";
    out += json(key).dump();
    out += ": ";
    out += value.dump();
    out += last ? "\n" : ",\n";
}

// The widest cell text: a whole Currency or a double in JSON notation.
constexpr std::size_t kMaxCell = 32;

// Whole numbers below 1000 with a comma after them, four bytes each, and the
// bytes of each that count.
constexpr int kTabledCells = 1000;
struct CellTexts {
    std::array<std::array<char, 4>, kTabledCells> text{};
    std::array<std::uint8_t, kTabledCells> size{};
};
constexpr CellTexts kCellTexts = [] {
    CellTexts t;
    for (int v = 0; v < kTabledCells; ++v) {
        auto& text = t.text[static_cast<std::size_t>(v)];
        std::size_t k = 0;
        if (v >= 100) text[k++] = static_cast<char>('0' + v / 100);
        if (v >= 10) text[k++] = static_cast<char>('0' + v / 10 % 10);
        text[k++] = static_cast<char>('0' + v % 10);
        text[k++] = ',';
        t.size[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(k);
    }
    return t;
}();

char* putInt(char* at, std::int64_t value) {
    // Nearly every cell is a small count: four bytes copied from the table,
    // the comma after the digits left to be written over.
    if (value >= 0 && value < kTabledCells) {
        std::memcpy(at, kCellTexts.text[static_cast<std::size_t>(value)].data(), 4);
        return at + kCellTexts.size[static_cast<std::size_t>(value)] - 1;
    }
    return std::to_chars(at, at + kMaxCell, value).ptr;
}

template <std::size_t N>
char* putText(char* at, const char (&text)[N]) {
    std::memcpy(at, text, N - 1);
    return at + N - 1;
}

char* putText(char* at, std::string_view text) {
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

// A string as nlohmann::json writes it (at most six bytes a byte); texts
// without a character to escape (nearly all) are copied as they are.
char* putString(char* at, std::string_view text) {
    const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '\\';
    });
    if (!plain) return putText(at, json(text).dump());
    *at++ = '"';
    at = putText(at, text);
    *at++ = '"';
    return at;
}

// Numbers as the table writes them (0.43, never 0.43000000000000005) in
// nlohmann::json's notation: thousandths (the indices and rates) directly,
// anything else through the document, remembered per thread.
char* putNumber(char* at, const std::optional<double>& value) {
    if (!value) return putText(at, "null");
    if (char* end = thousandthsJson(at, *value)) return end;
    thread_local std::unordered_map<std::uint64_t, std::string> made;
    auto [found, added] = made.try_emplace(std::bit_cast<std::uint64_t>(*value));
    if (added) found->second = jsonNumber(value).dump().substr(0, kMaxCell);
    return putText(at, found->second);
}

char* putCurrency(char* at, Currency c) {
    if (c.raw() % Currency::kScale == 0) return putInt(at, c.raw() / Currency::kScale);
    thread_local std::unordered_map<std::int64_t, std::string> texts;
    auto [found, added] = texts.try_emplace(c.raw());
    if (added) found->second = currencyJson(c).dump().substr(0, kMaxCell);
    return putText(at, found->second);
}

// {"key":value,...} with each value written by put.
template <typename Values, typename Put>
char* putObject(char* at, const std::array<std::string_view, 6>& keys, const Values& values,
                Put put) {
    *at++ = '{';
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (k > 0) *at++ = ',';
        *at++ = '"';
        at = putText(at, keys[k]);
        at = putText(at, "\":");
        at = put(at, values[k]);
    }
    *at++ = '}';
    return at;
}

template <typename T>
std::size_t matrixBound(const Matrix<T>& m) {
    return static_cast<std::size_t>(m.rows()) *
               (static_cast<std::size_t>(m.cols()) * (kMaxCell + 1) + 3) +
           2;
}

// A row's cells, each followed by a comma. Only a table of other values
// than 0 and 1 gives Currency distances; whole ones are written as integers.
char* putCells(char* at, const Currency* cells, int n) {
    for (int j = 0; j < n; ++j) {
        at = putCurrency(at, cells[j]);
        *at++ = ',';
    }
    return at;
}

// Whole-number distances: from the table below 1000, as integers beyond.
char* putUnitCells(char* at, const std::int16_t* cells, int n) {
    for (int j = 0; j < n; ++j) {
        const auto u = static_cast<std::uint16_t>(cells[j]);
        if (u < kTabledCells) {
            std::memcpy(at, kCellTexts.text[u].data(), 4);
            at += kCellTexts.size[u];
        } else {
            at = putInt(at, cells[j]);
            *at++ = ',';
        }
    }
    return at;
}

// Graph distances are single digits (0 .. 7): two bytes a cell, written
// as one 16-bit value each.
char* putCells(char* at, const std::int16_t* cells, int n) {
    std::uint32_t above = 0;
    for (int j = 0; j < n; ++j)
        above |= static_cast<std::uint16_t>(cells[j]) > 9u ? 1u : 0u;
    if (above != 0) {
        for (int j = 0; j < n; ++j) {
            at = putInt(at, cells[j]);
            *at++ = ',';
        }
        return at;
    }
    constexpr std::uint16_t kDigitComma =
        std::endian::native == std::endian::little ? ',' << 8 | '0' : '0' << 8 | ',';
    constexpr int kShift = std::endian::native == std::endian::little ? 0 : 8;
    for (int j = 0; j < n; ++j) {
        const auto pair = static_cast<std::uint16_t>(kDigitComma + (cells[j] << kShift));
        std::memcpy(at + 2 * j, &pair, 2);
    }
    return at + 2 * n;
}

template <typename T, typename PutCells>
char* putMatrix(char* at, const Matrix<T>& m, PutCells putRow) {
    *at++ = '[';
    for (int i = 0; i < m.rows(); ++i) {
        *at++ = '[';
        at = putRow(at, m.rowData(i), m.cols());
        // The last comma closes the row.
        if (m.cols() > 0) --at;
        *at++ = ']';
        *at++ = ',';
    }
    if (m.rows() > 0) --at;
    *at++ = ']';
    return at;
}

// The layout of studentJson, written without building the document: into
// one buffer sized for the worst case and appended whole, since appending
// piece by piece to the string took most of the JSON's time.
// A student's matrices, derived again from the record: its distances (whole
// units, or Currency when the table is not 0/1) and its graph distances.
struct StudentMatrices {
    const WholeDistanceMatrix* units = nullptr;
    const DistanceMatrix* distance = nullptr;
    const GraphDistanceMatrix& graphDistance;
};

void appendStudentJson(std::string& out, const StudentRecord& r, int itemCount,
                       const StudentMatrices& m) {
    const std::size_t bound =
        1024 + 6 * (r.id.size() + r.answers.size()) + 12 * static_cast<std::size_t>(itemCount) +
        16 * static_cast<std::size_t>(r.links.n) * static_cast<std::size_t>(r.links.n) +
        (m.units ? matrixBound(*m.units) : matrixBound(*m.distance)) + matrixBound(m.graphDistance);
    thread_local std::unique_ptr<char[]> buffer;
    thread_local std::size_t capacity = 0;
    if (capacity < bound) {
        buffer = std::make_unique_for_overwrite<char[]>(bound);
        capacity = bound;
    }
    char* const start = buffer.get();
    char* at = putText(start, "{\"id\":");
    at = putString(at, r.id);
    at = putText(at, ",\"score\":");
    at = putInt(at, r.score);
    at = putText(at, ",\"answers\":");
    at = putString(at, r.answers);
    at = putText(at, ",\"wrongItems\":[");
    // The items whose bits are clear, each followed by a comma but the last.
    char* const firstWrong = at;
    for (int w = 0; 64 * w < itemCount; ++w) {
        const std::uint64_t right = static_cast<std::size_t>(w) < r.correct.size()
                                        ? r.correct[static_cast<std::size_t>(w)]
                                        : 0;
        for (std::uint64_t wrong = ~right & bitRange(0, std::min(itemCount - 64 * w, 64)); wrong;
             wrong &= wrong - 1) {
            at = putInt(at, 64 * w + std::countr_zero(wrong) + 1);
            *at++ = ',';
        }
    }
    if (at != firstWrong) --at;
    static constexpr std::array<std::string_view, 6> kCounts = {
        "match", "miss", "over", "absent", "stdLinks", "targetLinks"};
    at = putText(at, "],\"counts\":");
    at = putObject(at, kCounts, r.linkCounts, putInt);
    at = putText(at, ",\"pfc\":");
    at = putNumber(at, r.pfcValue);
    at = putText(at, ",\"gtd\":");
    at = putNumber(at, r.gtdValue);
    at = putText(at, ",\"prx\":");
    at = putNumber(at, r.prxValue);
    static constexpr std::array<std::string_view, 6> kRates = {
        "matchOnStd", "missOnStd", "overOnStd", "matchOnTarget", "missOnTarget", "overOnTarget"};
    at = putText(at, ",\"rates\":");
    at = putObject(at, kRates, r.rateValues, putNumber);
    at = putText(at, ",\"links\":[");
    // Each pair "[i,j]," with its row's "[i," made once; the last comma goes.
    char* const firstLink = at;
    std::array<char, 8> rowText{};
    std::size_t rowSize = 0;
    int row = -1;
    forEachUpperLink(r.links, [&](int i, int j) {
        if (j + 1 >= kTabledCells) {
            *at++ = '[';
            at = putInt(at, i + 1);
            *at++ = ',';
            at = putInt(at, j + 1);
            at = putText(at, "],");
            return;
        }
        if (i != row) {
            row = i;
            rowText[0] = '[';
            std::memcpy(rowText.data() + 1, kCellTexts.text[static_cast<std::size_t>(i + 1)].data(),
                        4);
            rowSize = 1 + kCellTexts.size[static_cast<std::size_t>(i + 1)];
        }
        std::memcpy(at, rowText.data(), rowText.size());
        at += rowSize;
        std::memcpy(at, kCellTexts.text[static_cast<std::size_t>(j + 1)].data(), 4);
        at += kCellTexts.size[static_cast<std::size_t>(j + 1)];
        at[-1] = ']';
        *at++ = ',';
    });
    if (at != firstLink) --at;
    at = putText(at, "],\"distance\":");
    at = m.units ? putMatrix(at, *m.units, putUnitCells)
                 : putMatrix(at, *m.distance, [](char* to, const Currency* cells, int n) {
                       return putCells(to, cells, n);
                   });
    at = putText(at, ",\"graphDistance\":");
    at = putMatrix(at, m.graphDistance, [](char* to, const std::int16_t* cells, int n) {
        return putCells(to, cells, n);
    });
    *at++ = '}';
    out.append(start, static_cast<std::size_t>(at - start));
}

json conceptsJson(const ClassData& state) {
    json names = json::array();
    for (const std::string& name : state.conceptNames)
        names.push_back(trimmed(name));
    return names;
}

json standardJson(const RunResults& state) {
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

// The method's name in JSON.
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

// The method's fields of a JSON document: its name, and r and q for pfnet.
void appendMethodJson(std::string& out, const RunMethod& method, int conceptCount) {
    writeField(out, "method", methodJsonName(method));
    if (method.kind == NetworkKind::Pfnet) {
        writeField(out, "r", method.pfnetParams.r == PfnetR::One ? "1" : "inf");
        writeField(out, "q", pfnetHops(method.pfnetParams, conceptCount));
    }
}

AnalyzeFormat csvFormat() {
    AnalyzeFormat f;
    f.head = resultsCsvHead;
    f.student = appendResultsCsvRow;
    return f;
}

// The layout: the method (with r and q for pfnet), the class, the standard
// network, then one line per student.
AnalyzeFormat jsonFormat(const ClassData& state, const RunResults& standard, RunMethod method) {
    AnalyzeFormat f;
    f.head = [&state, &standard, method] {
        std::string out = "{\n";
        appendMethodJson(out, method, state.conceptCount);
        writeField(out, "conceptCount", state.conceptCount);
        writeField(out, "itemCount", state.itemCount);
        writeField(out, "studentCount", state.studentCount);
        writeField(out, "concepts", conceptsJson(state));
        writeField(out, "answerKey", toUtf8(state.answerKey));
        writeField(out, "standard", standardJson(standard));
        out += "  \"students\": [";
        return out;
    };
    // Every student follows a comma; the first one's is left out.
    // The run keeps no matrices: each student's are derived here, on the
    // worker that writes the student, into buffers it reuses.
    const auto builder = std::make_shared<const StudentNetworkBuilder>(state, method);
    f.student = [items = state.itemCount, builder](std::string& out, const StudentRecord& r) {
        thread_local WholeDistanceMatrix units;
        thread_local DistanceMatrix distance;
        thread_local GraphDistanceMatrix graphDistance;
        PointDistanceNOInto(r.links, graphDistance);
        const bool whole = builder->unitsInto(r, units);
        if (!whole) builder->distanceInto(r, distance);
        out += ",\n    ";
        appendStudentJson(out, r, items,
                          {whole ? &units : nullptr, whole ? nullptr : &distance, graphDistance});
    };
    f.firstSkip = 1;
    f.tail = state.studentCount > 0 ? "\n  ]\n}\n" : "]\n}\n";
    return f;
}

}  // namespace qv::cli
