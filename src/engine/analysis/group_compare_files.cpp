#include <cmath>

#include "analysis/group_compare.h"
#include "analysis/results_csv.h"
#include "analysis/results_json.h"
#include "core/number_text.h"

namespace qv {

namespace {

constexpr std::array<const char*, 3> kIndexKeys{"pfc", "gtd", "prx"};

std::string designKey(CompareDesign design) {
    switch (design) {
    case CompareDesign::TwoClasses: return "two-classes";
    case CompareDesign::Paired: return "paired";
    case CompareDesign::ScoreSplit: return "score-split";
    case CompareDesign::IdSplit: return "id-split";
    }
    return "";
}

std::string boolText(bool value) {
    return value ? "true" : "false";
}

std::string optionalNumber(const std::optional<double>& value) {
    return value ? numberText(*value) : "null";
}

// An index as the results table shows it.
std::string indexNumber(const std::optional<double>& value) {
    return value ? numberText(roundIndex(*value)) : "null";
}

// [[i, j], ...], 1-based.
std::string pairList(const std::vector<std::array<int, 2>>& pairs) {
    std::string out = "[";
    for (std::size_t k = 0; k < pairs.size(); ++k)
        out += (k > 0 ? ", [" : "[") + std::to_string(pairs[k][0] + 1) + ", " +
               std::to_string(pairs[k][1] + 1) + "]";
    return out + "]";
}

std::string stringList(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (std::size_t k = 0; k < texts.size(); ++k) {
        if (k > 0) out += ", ";
        appendJsonString(out, texts[k]);
    }
    return out + "]";
}

// {"A": ..., "B": ...} of a member of each side.
template <typename Text>
std::string bySide(Text text) {
    return std::string("{\"A\": ") + text(0) + ", \"B\": " + text(1) + "}";
}

std::string indices(const std::array<std::optional<double>, 3>& values) {
    std::string out = "{";
    for (std::size_t x = 0; x < 3; ++x)
        out += std::string(x > 0 ? ", \"" : "\"") + kIndexKeys[x] + "\": " + indexNumber(values[x]);
    return out + "}";
}

std::string studentJson(const StudentChange& c) {
    std::string out = "{\"id\": ";
    appendJsonString(out, c.id);
    out += ", \"gained\": " + pairList(c.gained) + ", \"lost\": " + pairList(c.lost) +
           ", \"first\": " + indices(c.first) + ", \"second\": " + indices(c.second) +
           ", \"change\": {";
    for (std::size_t x = 0; x < 3; ++x) {
        std::optional<double> change;
        if (c.first[x] && c.second[x])
            change = static_cast<double>(std::llround(roundIndex(*c.second[x]) * 1000.0) -
                                         std::llround(roundIndex(*c.first[x]) * 1000.0)) /
                     1000.0;
        out += std::string(x > 0 ? ", \"" : "\"") + kIndexKeys[x] + "\": " + optionalNumber(change);
    }
    return out + "}}";
}

std::string signFlipJson(const SignFlipTest& t) {
    return "{\"students\": " + std::to_string(t.students) +
           ", \"sum\": " + numberText(static_cast<double>(t.sum) / 1000.0) +
           ", \"exact\": " + boolText(t.exact) +
           ", \"permutations\": " + std::to_string(t.permutations) +
           ", \"hits\": " + std::to_string(t.hits) + ", \"p\": " + numberText(t.p) + "}";
}

}  // namespace

std::string compareJson(const CompareResults& r) {
    std::string text = "{\n  \"design\": \"" + designKey(r.design) + "\",\n";
    appendMethodJson(text, r.method, r.conceptCount);
    // The method's fields name a referent other than the design's; a
    // comparison names it always.
    if (r.method.kind != NetworkKind::Pfnet || r.method.referent.isDesign()) {
        text += "  \"referent\": ";
        appendJsonString(text, r.referentKey);
        text += ",\n";
    }
    text += "  \"conceptCount\": " + std::to_string(r.conceptCount) +
            ",\n  \"concepts\": " + stringList(r.labels) + ",\n  \"groups\": " +
            bySide([&r](std::size_t side) {
                std::string g = "{\"name\": ";
                appendJsonString(g, r.sides[side].name);
                return g + ", \"students\": " + std::to_string(r.sides[side].students) + "}";
            }) +
            ",\n  \"exact\": " + boolText(r.tests.exact) +
            ",\n  \"permutations\": " + std::to_string(r.tests.permutations) +
            ",\n  \"seed\": " + std::to_string(r.seed) + ",\n  \"pairs\": [";
    for (std::size_t k = 0; k < r.tests.pairs.size(); ++k) {
        const PairTest& t = r.tests.pairs[k];
        text += k > 0 ? ",\n    " : "\n    ";
        text += "{\"i\": " + std::to_string(t.i + 1) + ", \"j\": " + std::to_string(t.j + 1) +
                ", \"labels\": ";
        text += stringList({r.labels[static_cast<std::size_t>(t.i)],
                            r.labels[static_cast<std::size_t>(t.j)]});
        text += ", \"A\": " + std::to_string(t.a) + ", \"B\": " + std::to_string(t.b) +
                ", \"hits\": " + std::to_string(t.hits) + ", \"p\": " + numberText(t.p) +
                ", \"q\": " + numberText(t.q) + "}";
    }
    text += r.tests.pairs.empty() ? "],\n" : "\n  ],\n";
    text += "  \"majority\": " +
            bySide([&r](std::size_t side) { return pairList(r.sides[side].majority); });
    if (r.hasMeanNetwork) {
        text += ",\n  \"meanNetwork\": " +
                bySide([&r](std::size_t side) { return pairList(r.sides[side].meanNetwork); });
        text += ",\n  \"meanCorrelation\": " + optionalNumber(r.meanCorrelation);
    }
    if (r.design == CompareDesign::Paired) {
        text += ",\n  \"unmatched\": " +
                bySide([&r](std::size_t side) { return stringList(r.unmatched[side]); });
        text += ",\n  \"students\": [";
        for (std::size_t k = 0; k < r.changes.size(); ++k)
            text += (k > 0 ? ",\n    " : "\n    ") + studentJson(r.changes[k]);
        text += r.changes.empty() ? "]" : "\n  ]";
        text += ",\n  \"indexTests\": {";
        for (std::size_t x = 0; x < 3; ++x)
            text += std::string(x > 0 ? ", \"" : "\"") + kIndexKeys[x] +
                    "\": " + signFlipJson(r.indexTests[x]);
        text += "}";
    }
    return text + "\n}\n";
}

std::string compareCsv(const CompareResults& r) {
    const std::string methodField = csvField(methodKey(r.method, r.conceptCount));
    std::string text =
        "\xEF\xBB\xBF"
        "Concept 1,Concept 2,Label 1,Label 2,A,B,p,q,Method\r\n";
    for (const PairTest& t : r.tests.pairs)
        text += std::to_string(t.i + 1) + "," + std::to_string(t.j + 1) + "," +
                csvField(r.labels[static_cast<std::size_t>(t.i)]) + "," +
                csvField(r.labels[static_cast<std::size_t>(t.j)]) + "," + std::to_string(t.a) +
                "," + std::to_string(t.b) + "," + numberText(t.p) + "," + numberText(t.q) + "," +
                methodField + "\r\n";
    return text;
}

}  // namespace qv
