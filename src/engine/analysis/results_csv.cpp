#include "analysis/results_csv.h"

#include <bit>
#include <charconv>
#include <cstdint>
#include <unordered_map>

#include "core/number_text.h"

namespace qv {

namespace {

void appendInt(std::string& out, std::int64_t value) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, end);
}

// numberText of a value; a class has few distinct values, so each thread
// remembers the texts it has made.
const std::string& cachedNumberText(double value) {
    thread_local std::unordered_map<std::uint64_t, std::string> texts;
    auto [found, added] = texts.try_emplace(std::bit_cast<std::uint64_t>(value));
    if (added) found->second = numberText(value);
    return found->second;
}

}  // namespace

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

std::string resultsCsvHead() {
    return "\xEF\xBB\xBF"
           "ID,Score,Match,Miss,Over,Absent,STD links,Target links,PFC,GTD,PRX,"
           "Match on STD,Miss on STD,Over on STD,Match on Target,Miss on Target,Over on "
           "Target,Undetermined,Method\r\n";
}

void appendResultsCsvRow(std::string& text, const StudentRecord& r, std::string_view method) {
    text += csvField(r.id);
    text += ',';
    appendInt(text, r.score);
    for (std::int32_t count : r.linkCounts) {
        text += ',';
        appendInt(text, count);
    }
    for (const auto* value : {&r.pfcValue, &r.gtdValue, &r.prxValue}) {
        text += ',';
        if (*value) text += cachedNumberText(**value);
    }
    for (const auto& rate : r.rateValues) {
        text += ',';
        if (rate) text += cachedNumberText(*rate);
    }
    text += r.undetermined ? ",1," : ",0,";
    text += csvField(method);
    text += "\r\n";
}

}  // namespace qv
