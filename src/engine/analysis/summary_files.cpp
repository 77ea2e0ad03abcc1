#include "analysis/summary_files.h"

#include <array>
#include <vector>

#include "analysis/results_csv.h"
#include "analysis/results_json.h"
#include "core/number_text.h"
#include "report/class_charts.h"
#include "stats/item_stats.h"
#include "stats/quiz_design.h"

namespace qv {

namespace {

constexpr std::size_t kPieceBytes = 1 << 16;

std::string optionalNumber(const std::optional<double>& value) {
    return value ? numberText(*value) : "null";
}

// Shares are fractions of the class to four decimals.
std::string share(double value) {
    return numberText(RoundToDecimals(value, 4));
}

template <typename T, typename Text>
std::string list(const std::vector<T>& values, Text text) {
    std::string out = "[";
    for (std::size_t k = 0; k < values.size(); ++k) {
        if (k > 0) out += ", ";
        out += text(values[k]);
    }
    return out + "]";
}

std::string oneBased(int index) {
    return std::to_string(index + 1);
}

std::string histogramJson(const Histogram& h) {
    return "{\"edges\": " + list(h.edges, [](double e) { return numberText(e); }) +
           ", \"counts\": " + list(h.counts, [](std::int64_t c) { return std::to_string(c); }) +
           ", \"withoutValue\": " + std::to_string(h.withoutValue) +
           ", \"mean\": " + optionalNumber(h.mean) + ", \"median\": " + optionalNumber(h.median) +
           "}";
}

std::string optionalShare(const std::optional<double>& value) {
    return value ? share(*value) : "null";
}

std::string designWarningJson(const DesignWarning& w) {
    std::string out = "{\"problem\": \"" + std::string(designProblemKey(w.problem)) + "\"";
    if (w.problem == DesignProblem::EmptyItem)
        out += ", \"item\": " + oneBased(w.item);
    else
        out += ", \"concepts\": " + list(w.concepts, oneBased);
    out += ", \"message\": ";
    appendJsonString(out, w.message);
    return out + "}";
}

constexpr std::array<const char*, kClassValueCount> kHistogramKeys{"pfc", "gtd", "prx", "score"};

}  // namespace

void writeSummaryJson(const ClassSummary& s, const std::vector<std::string>& conceptNames,
                      const RunMethod& method, const std::function<void(std::string_view)>& emit) {
    std::string text = "{\n";
    appendMethodJson(text, method, s.conceptCount);
    text += "  \"conceptCount\": " + std::to_string(s.conceptCount) + ",\n";
    text += "  \"itemCount\": " + std::to_string(s.itemCount) + ",\n";
    text += "  \"studentCount\": " + std::to_string(s.studentCount) + ",\n";
    text += "  \"undetermined\": {\"students\": " + std::to_string(s.undeterminedIds.size()) +
            ", \"ids\": [";
    for (std::size_t k = 0; k < s.undeterminedIds.size(); ++k) {
        if (k > 0) text += ", ";
        appendJsonString(text, s.undeterminedIds[k]);
    }
    text += "]},\n";
    text += "  \"concepts\": [";
    for (int c = 0; c < s.conceptCount; ++c) {
        if (c > 0) text += ", ";
        appendJsonString(text, conceptLabel(c, conceptNames));
    }
    text += "],\n  \"histograms\": {\n";
    for (std::size_t k = 0; k < kHistogramKeys.size(); ++k)
        text += "    \"" + std::string(kHistogramKeys[k]) +
                "\": " + histogramJson(s.histograms[k]) +
                (k + 1 < kHistogramKeys.size() ? ",\n" : "\n");
    const ItemStatistics stats = itemStatistics(s.itemSums);
    text += "  },\n  \"kr20\": " + optionalShare(stats.kr20) + ",\n  \"items\": [";
    for (int m = 0; m < s.itemCount; ++m) {
        const auto k = static_cast<std::size_t>(m);
        const ItemStat& item = stats.items[k];
        text += m > 0 ? ",\n    " : "\n    ";
        text += "{\"item\": " + oneBased(m) +
                ", \"concepts\": " + list(s.itemConcepts[k], oneBased) +
                ", \"correct\": " + std::to_string(s.itemCorrect[k]) +
                ", \"share\": " + (s.studentCount > 0 ? share(*s.itemShare(m)) : "null") +
                ", \"difficulty\": " + optionalShare(item.difficulty) +
                ", \"discrimination\": " + optionalShare(item.discrimination) +
                ", \"alphaIfDeleted\": " + optionalShare(item.alphaIfDeleted) + "}";
    }
    text += s.itemCount > 0 ? "\n  ],\n" : "],\n";
    const std::vector<DesignWarning> warnings = quizDesignWarnings(s.itemConcepts, s.conceptCount, conceptNames);
    text += "  \"designWarnings\": [";
    for (std::size_t k = 0; k < warnings.size(); ++k)
        text += (k > 0 ? ",\n    " : "\n    ") + designWarningJson(warnings[k]);
    text += warnings.empty() ? "],\n  \"pairs\": [" : "\n  ],\n  \"pairs\": [";
    bool first = true;
    for (int i = 0; i < s.conceptCount; ++i) {
        for (int j = i + 1; j < s.conceptCount; ++j) {
            const bool standard = s.isStandard(i, j);
            const std::optional<double> shown = s.diagnosisShare(i, j);
            text += first ? "\n    " : ",\n    ";
            first = false;
            text += "{\"concepts\": [" + oneBased(i) + ", " + oneBased(j) +
                    "], \"standard\": " + (standard ? "true" : "false") +
                    ", \"students\": " + std::to_string(s.students(i, j)) + ", \"" +
                    (standard ? "missShare" : "extraShare") +
                    "\": " + (shown ? share(*shown) : "null") +
                    ", \"items\": " + list(itemsOfPair(s, i, j), oneBased) + "}";
            if (text.size() >= kPieceBytes) {
                emit(text);
                text.clear();
            }
        }
    }
    text += first ? "]\n}\n" : "\n  ]\n}\n";
    emit(text);
}

void writeSummaryCsv(const ClassSummary& s, const std::vector<std::string>& conceptNames,
                     const RunMethod& method, const std::function<void(std::string_view)>& emit) {
    const std::string methodField = csvField(methodKey(method, s.conceptCount));
    std::string text =
        "\xEF\xBB\xBF"
        "Concept 1,Concept 2,Label 1,Label 2,Standard,Students,Miss share,Extra share,Items,"
        "Method\r\n";
    for (int i = 0; i < s.conceptCount; ++i) {
        for (int j = i + 1; j < s.conceptCount; ++j) {
            const bool standard = s.isStandard(i, j);
            const std::optional<double> shown = s.diagnosisShare(i, j);
            const std::string value = shown ? share(*shown) : "";
            std::string items;
            for (int m : itemsOfPair(s, i, j))
                items += (items.empty() ? "" : " ") + oneBased(m);
            text += oneBased(i) + "," + oneBased(j) + "," +
                    csvField(conceptLabel(i, conceptNames)) + "," +
                    csvField(conceptLabel(j, conceptNames)) + "," + (standard ? "1" : "0") + "," +
                    std::to_string(s.students(i, j)) + "," + (standard ? value : "") + "," +
                    (standard ? "" : value) + "," + items + "," + methodField + "\r\n";
            if (text.size() >= kPieceBytes) {
                emit(text);
                text.clear();
            }
        }
    }
    emit(text);
}

}  // namespace qv
