#include "analysis/results_json.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <nlohmann/json.hpp>

#include "analysis/referent.h"
#include "analysis/student_matrices.h"
#include "compare/graph_distance.h"
#include "core/bit_ops.h"
#include "core/number_text.h"
#include "core/utf8.h"
#include "pathfinder/pfnet.h"
#include "report/class_charts.h"

namespace qv {

namespace {

// Everything is written at a pointer into a buffer sized beforehand for the
// worst case, then appended whole: appending piece by piece to a string took
// most of the time of a large class's document.

// The widest number: a whole Currency or a double in JSON notation
// ("-2.2250738585072014e-308" is 24 bytes).
constexpr std::size_t kMaxNumber = 32;
// The widest a text gets: six bytes for a byte (\u001f), quotes aside.
constexpr std::size_t kMaxEscaped = 6;

std::size_t stringBound(std::string_view text) {
    return kMaxEscaped * text.size() + 2;
}

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
    return std::to_chars(at, at + kMaxNumber, value).ptr;
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

char* putEscaped(char* at, char c) {
    constexpr char kHex[] = "0123456789abcdef";
    const auto u = static_cast<unsigned char>(c);
    const char* shortForm = c == '"'    ? "\\\""
                            : c == '\\' ? "\\\\"
                            : c == '\b' ? "\\b"
                            : c == '\f' ? "\\f"
                            : c == '\n' ? "\\n"
                            : c == '\r' ? "\\r"
                            : c == '\t' ? "\\t"
                                        : nullptr;
    if (shortForm) return putText(at, std::string_view(shortForm, 2));
    if (u >= 0x20) {
        *at++ = c;
        return at;
    }
    at = putText(at, "\\u00");
    *at++ = kHex[u >> 4];
    *at++ = kHex[u & 15];
    return at;
}

// The one escaping of the program's JSON; at most stringBound bytes.
char* putString(char* at, std::string_view text) {
    // IDs and answers are nearly always printable ASCII: copied as they are.
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 0x20 && u < 0x80 && c != '"' && c != '\\';
    });
    *at++ = '"';
    if (plain) {
        at = putText(at, text);
    } else {
        // A byte that starts no character becomes U+FFFD: three bytes at most
        // for one, within the bound.
        std::string repaired;
        if (!isValidUtf8(text)) {
            repaired = toUtf8(toCodePoints(text));
            text = repaired;
        }
        for (char c : text)
            at = putEscaped(at, c);
    }
    *at++ = '"';
    return at;
}

// A double as a JSON number, in the notation nlohmann::json writes (1.0,
// 0.1, 1e-05). Only values other than whole numbers and thousandths come
// here, which the quiz data never give; speed does not matter.
char* putDouble(char* at, double value) {
    return putText(at, nlohmann::json(value).dump());
}

// Numbers as the table writes them (0.43, never 0.43000000000000005): the
// double that numberText's text reads as.
double asShown(double value) {
    return std::strtod(numberText(value).c_str(), nullptr);
}

// The indices and rates are thousandths: written directly.
char* putNumber(char* at, const std::optional<double>& value) {
    if (!value) return putText(at, "null");
    if (char* end = thousandthsJson(at, *value)) return end;
    return putDouble(at, asShown(*value));
}

char* putCurrency(char* at, Currency c) {
    if (c.raw() % Currency::kScale == 0) return putInt(at, c.raw() / Currency::kScale);
    return putDouble(at, asShown(c.toDouble()));
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
               (static_cast<std::size_t>(m.cols()) * (kMaxNumber + 1) + 3) +
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
char* putGraphCells(char* at, const std::int16_t* cells, int n) {
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

// Links as pairs of 1-based concept numbers, the smaller first: each pair
// "[i,j]," with its row's "[i," made once; the last comma goes.
char* putLinks(char* at, const LinkRows& links) {
    *at++ = '[';
    char* const firstLink = at;
    std::array<char, 8> rowText{};
    std::size_t rowSize = 0;
    int row = -1;
    forEachUpperLink(links, [&](int i, int j) {
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
    *at++ = ']';
    return at;
}

// Appends what put writes in at most `bound` bytes.
template <typename Put>
void appendPut(std::string& out, std::size_t bound, Put put) {
    const std::size_t size = out.size();
    out.resize(size + bound);
    char* const start = out.data() + size;
    out.resize(size + static_cast<std::size_t>(put(start) - start));
}

void appendField(std::string& out, std::string_view key, std::string_view value) {
    out += "  ";
    appendJsonString(out, key);
    out += ": ";
    out += value;
    out += ",\n";
}

std::string jsonText(std::string_view text) {
    std::string out;
    appendJsonString(out, text);
    return out;
}

struct StudentMatrices {
    const WholeDistanceMatrix* units = nullptr;
    const DistanceMatrix* distance = nullptr;
    const GraphDistanceMatrix& graphDistance;
};

void putStudentJson(std::string& out, const StudentRecord& r, int itemCount,
                    const StudentMatrices& m) {
    const std::size_t bound =
        1024 + stringBound(r.id) + stringBound(r.answers) +
        (kMaxNumber + 1) * static_cast<std::size_t>(itemCount) +
        32 * static_cast<std::size_t>(r.links.n) * static_cast<std::size_t>(r.links.n) +
        (m.units ? matrixBound(*m.units) : matrixBound(*m.distance)) + matrixBound(m.graphDistance);
    thread_local std::unique_ptr<char[]> buffer;
    thread_local std::size_t capacity = 0;
    if (capacity < bound) {
        buffer = std::make_unique_for_overwrite<char[]>(bound);
        capacity = bound;
    }
    char* const start = buffer.get();
    char* at = putText(start, ",\n    {\"id\":");
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
    // Only where it holds, so that the documents of other students stay as they were.
    if (r.undetermined) at = putText(at, ",\"undetermined\":true");
    static constexpr std::array<std::string_view, 6> kRates = {
        "matchOnStd", "missOnStd", "overOnStd", "matchOnTarget", "missOnTarget", "overOnTarget"};
    at = putText(at, ",\"rates\":");
    at = putObject(at, kRates, r.rateValues, putNumber);
    at = putText(at, ",\"links\":");
    at = putLinks(at, r.links);
    // A student left out of its referent's group was compared with its own.
    if (r.referentLinks.n > 0) {
        at = putText(at, ",\"referentLinks\":");
        at = putLinks(at, r.referentLinks);
    }
    at = putText(at, ",\"distance\":");
    at = m.units ? putMatrix(at, *m.units, putUnitCells) : putMatrix(at, *m.distance, putCells);
    at = putText(at, ",\"graphDistance\":");
    at = putMatrix(at, m.graphDistance, putGraphCells);
    *at++ = '}';
    out.append(start, static_cast<std::size_t>(at - start));
}

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    appendPut(out, stringBound(text), [&](char* at) { return putString(at, text); });
}

void appendMethodJson(std::string& out, const RunMethod& method, int conceptCount) {
    appendField(out, "method", jsonText(methodWord(method)));
    if (method.kind == NetworkKind::Pfnet) {
        appendField(out, "r", jsonText(method.pfnetParams.r == PfnetR::One ? "1" : "inf"));
        appendField(out, "q", std::to_string(pfnetHops(method.pfnetParams, conceptCount)));
        if (!method.referent.isDesign())
            appendField(out, "referent", jsonText(referentKey(method.referent)));
    }
}

std::string resultsJsonHead(const ResultsJsonClass& c) {
    const int n = c.conceptCount;
    std::string out = "{\n";
    appendMethodJson(out, c.method, n);
    appendField(out, "conceptCount", std::to_string(n));
    appendField(out, "itemCount", std::to_string(c.itemCount));
    appendField(out, "studentCount", std::to_string(c.studentCount));
    std::string names = "[";
    for (int k = 0; k < n; ++k) {
        if (k > 0) names += ',';
        appendJsonString(names, conceptLabel(k, c.conceptNames));
    }
    appendField(out, "concepts", names + "]");
    appendField(out, "answerKey", jsonText(toUtf8(c.answerKey)));
    std::string standard = "{\"links\":";
    appendPut(standard, 16 * static_cast<std::size_t>(n) * static_cast<std::size_t>(n) + 2,
              [&](char* at) { return putLinks(at, linkRows(c.stdLinks, c.stdLinks.rows())); });
    standard += ",\"distance\":";
    appendPut(standard, matrixBound(c.stdDistance),
              [&](char* at) { return putMatrix(at, c.stdDistance, putCells); });
    standard += ",\"graphDistance\":";
    appendPut(standard, matrixBound(c.stdGraphDistance),
              [&](char* at) { return putMatrix(at, c.stdGraphDistance, putGraphCells); });
    appendField(out, "standard", standard + "}");
    out += "  \"students\": [";
    return out;
}

std::string_view resultsJsonTail(std::int64_t studentCount) {
    return studentCount > 0 ? "\n  ]\n}\n" : "]\n}\n";
}

void appendStudentJson(std::string& out, const StudentRecord& r, int itemCount,
                       const StudentNetworkBuilder& builder) {
    thread_local WholeDistanceMatrix units;
    thread_local DistanceMatrix distance;
    thread_local GraphDistanceMatrix graphDistance;
    PointDistanceNOInto(r.links, graphDistance);
    const bool whole = builder.unitsInto(r, units);
    if (!whole) builder.distanceInto(r, distance);
    putStudentJson(out, r, itemCount,
                   {whole ? &units : nullptr, whole ? nullptr : &distance, graphDistance});
}

void writeResultsJson(const ResultsJsonClass& c, std::span<const StudentRecord> students,
                      const StudentNetworkBuilder& builder,
                      const std::function<void(std::string_view)>& emit) {
    constexpr std::size_t kPieceBytes = 1 << 16;
    std::string text = resultsJsonHead(c);
    bool first = true;
    for (const StudentRecord& r : students) {
        const std::size_t start = text.size();
        appendStudentJson(text, r, c.itemCount, builder);
        if (first) text.erase(start, kFirstStudentSkip);
        first = false;
        if (text.size() >= kPieceBytes) {
            emit(text);
            text.clear();
        }
    }
    text += resultsJsonTail(static_cast<std::int64_t>(students.size()));
    emit(text);
}

}  // namespace qv
