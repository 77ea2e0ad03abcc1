#include "analysis/results_text.h"

#include <cmath>
#include <cstring>

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

// A value right-aligned in its field at `at`: counts of thousandths (nearly
// every index and rate) written directly, the rest through numberText.
char* putField(char* at, std::optional<double> value, std::size_t width) {
    char text[32];
    char* end = value ? thousandthsText(text, *value) : nullptr;
    if (!end) {
        const std::string field = padded(value, width);
        std::memcpy(at, field.data(), field.size());
        return at + field.size();
    }
    const auto size = static_cast<std::size_t>(end - text);
    if (size < width) {
        std::memset(at, ' ', width - size);
        at += width - size;
    }
    std::memcpy(at, text, size);
    return at + size;
}

}  // namespace

void appendResultRow(std::string& out, const StudentRecord& r, std::string_view lineBreak) {
    // The fields into one buffer, appended whole: each is at most 32 bytes.
    constexpr std::size_t kFieldBound = 32 + 3;
    char buffer[9 * kFieldBound];
    char* at = buffer;
    for (const auto* value : {&r.pfcValue, &r.gtdValue, &r.prxValue}) {
        *at++ = ' ';
        at = putField(at, *value, kIndexWidth);
    }
    *at++ = ' ';
    for (const auto& rate : r.rateValues) {
        at = putField(at, rate, kRateWidth);
        std::memcpy(at, "% ", 2);
        at += 2;
    }
    out += r.id;
    out.append(buffer, static_cast<std::size_t>(at - buffer));
    out += lineBreak;
}

}  // namespace qv
