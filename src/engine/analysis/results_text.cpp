#include "analysis/results_text.h"

#include <cmath>

#include "compare/link_flags.h"
#include "core/number_text.h"

namespace qv {

namespace {

std::string padded(std::optional<double> value, std::size_t width) {
    if (!value) return padLeft(kNoValueText, width);
    return padLeft(numberText(*value), width);
}

}  // namespace

std::string indexText(std::optional<double> value) {
    return padded(value, kIndexWidth);
}

std::string rateText(std::optional<double> value) {
    return padded(value, kRateWidth);
}

namespace {

// A value right-aligned in its field: counts of thousandths (nearly every
// index and rate) written directly, the rest through numberText.
void appendField(std::string& out, std::optional<double> value, std::size_t width) {
    char text[32];
    char* end = value ? thousandthsText(text, *value) : nullptr;
    if (!end) {
        out += padded(value, width);
        return;
    }
    const auto size = static_cast<std::size_t>(end - text);
    if (size < width) out.append(width - size, ' ');
    out.append(text, size);
}

}  // namespace

void appendResultRow(std::string& out, const StudentRecord& r, std::string_view lineBreak) {
    out += r.id;
    for (const auto* value : {&r.pfcValue, &r.gtdValue, &r.prxValue}) {
        out += ' ';
        appendField(out, *value, kIndexWidth);
    }
    out += ' ';
    for (const auto& rate : r.rateValues) {
        appendField(out, rate, kRateWidth);
        out += "% ";
    }
    out += lineBreak;
}

}  // namespace qv
