#include "analyze_output.h"

#include <cerrno>
#include <iostream>

#include <nlohmann/json.hpp>

#include "analysis/student_matrices.h"
#include "commands.h"
#include "core/number_text.h"
#include "core/utf8.h"

namespace qv::cli {

namespace {

using json = nlohmann::ordered_json;

std::string csvNumber(const std::optional<double>& value) {
    return value ? numberText(*value) : std::string();
}

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

json countsJson(const LinkFlagCounts& c) {
    return {{"match", c[kMatch]},   {"miss", c[kMiss]},         {"over", c[kOver]},
            {"absent", c[kAbsent]}, {"stdLinks", c[kStdLinks]}, {"targetLinks", c[kTargetLinks]}};
}

json ratesJson(const StudentRecord& r) {
    static constexpr const char* kNames[6] = {"matchOnStd",    "missOnStd",    "overOnStd",
                                              "matchOnTarget", "missOnTarget", "overOnTarget"};
    json rates = json::object();
    for (std::size_t k = 0; k < 6; ++k)
        rates[kNames[k]] = jsonNumber(r.rateValues[k]);
    return rates;
}

json studentJson(const StudentRecord& r, const StudentNetwork* derived) {
    json s = json::object();
    s["id"] = r.id;
    s["score"] = r.score;
    s["answers"] = answersText(r.answers);
    s["wrongItems"] = r.wrongItems;
    s["counts"] = countsJson(r.linkCounts);
    s["pfc"] = jsonNumber(r.pfcValue);
    s["gtd"] = jsonNumber(r.gtdValue);
    s["prx"] = jsonNumber(r.prxValue);
    s["rates"] = ratesJson(r);
    s["links"] = linksJson(r.links);
    s["distance"] = distanceJson(derived ? derived->distance : r.distance);
    s["graphDistance"] = graphJson(derived ? derived->graphDistance : r.graphDistance);
    return s;
}

void writeField(Sink& out, std::string_view key, const json& value, bool last = false) {
    out.write("  ");
    out.write(json(key).dump());
    out.write(": ");
    out.write(value.dump());
    out.write(last ? "\n" : ",\n");
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

void writeTable(Sink& out, std::string_view text, std::string_view lineBreak) {
    std::string converted;
    converted.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t br = text.find(lineBreak, pos);
        if (br == std::string_view::npos) {
            converted.append(text.substr(pos));
            break;
        }
        converted.append(text.substr(pos, br - pos));
        converted += '\n';
        pos = br + lineBreak.size();
    }
    out.write(converted);
}

void writeCsv(Sink& out, const AppState& state) {
    std::string text = "\xEF\xBB\xBF";
    text +=
        "ID,Score,Match,Miss,Over,Absent,STD links,Target links,PFC,GTD,PRX,"
        "Match on STD,Miss on STD,Over on STD,Match on Target,Miss on Target,Over on Target\r\n";
    for (const StudentRecord& r : state.students) {
        text += csvField(r.id);
        text += ',';
        text += std::to_string(r.score);
        for (std::int32_t count : r.linkCounts) {
            text += ',';
            text += std::to_string(count);
        }
        for (const auto* value : {&r.pfcValue, &r.gtdValue, &r.prxValue}) {
            text += ',';
            text += csvNumber(*value);
        }
        for (const auto& rate : r.rateValues) {
            text += ',';
            text += csvNumber(rate);
        }
        text += "\r\n";
    }
    out.write(text);
}

void writeJson(Sink& out, const AppState& state, RunMethod method) {
    out.write("{\n");
    writeField(out, "method", method == RunMethod::Triangle ? "triangle" : "path-search");
    writeField(out, "conceptCount", state.conceptCount);
    writeField(out, "itemCount", state.itemCount);
    writeField(out, "studentCount", state.studentCount);
    writeField(out, "concepts", conceptsJson(state));
    writeField(out, "answerKey", toUtf8(state.answerKey));
    writeField(out, "standard", standardJson(state));
    out.write("  \"students\": [");
    const StudentNetworkBuilder builder(state, method);
    bool first = true;
    for (const StudentRecord& r : state.students) {
        out.write(first ? "\n    " : ",\n    ");
        first = false;
        if (r.distance.empty() && state.conceptCount > 0) {
            const StudentNetwork derived = builder.network(r);
            out.write(studentJson(r, &derived).dump());
        } else {
            out.write(studentJson(r, nullptr).dump());
        }
    }
    out.write(first ? "]\n}\n" : "\n  ]\n}\n");
}

}  // namespace qv::cli
