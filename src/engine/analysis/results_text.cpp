#include "analysis/results_text.h"

#include <cmath>

#include "compare/link_flags.h"
#include "core/number_text.h"

namespace qv {

namespace {

// Beyond this many links per network the per-pair table would be large and
// sparsely used; rates are then formatted one by one.
constexpr int kMaxCachedLinks = 4096;
constexpr int kIndexSlots = 2001;  // thousandths from -1 to 1

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

void appendResultRow(std::string& out, const StudentRecord& r, std::string_view lineBreak) {
    // Each thread remembers the texts it has made: a class has few values.
    thread_local IndexTexts indices;
    thread_local std::optional<RateTexts> rates;
    const int pairs = r.links.n * (r.links.n - 1) / 2;
    if (!rates || rates->maxLinks() != pairs) rates.emplace(pairs);
    out += r.id;
    for (const auto* value : {&r.pfcValue, &r.gtdValue, &r.prxValue}) {
        out += ' ';
        out += indices.get(*value).text;
    }
    out += ' ';
    const LinkFlagCounts& c = r.linkCounts;
    for (const int total : {c[kStdLinks], c[kTargetLinks]}) {
        for (int flag = kMatch; flag <= kOver; ++flag) {
            out += rates->get(c[static_cast<std::size_t>(flag)], total).text;
            out += "% ";
        }
    }
    out += lineBreak;
}

RateTexts::RateTexts(int maxLinks)
    : maxLinks_(maxLinks), cached_(maxLinks >= 0 && maxLinks <= kMaxCachedLinks) {
    if (cached_) byTotal_.resize(static_cast<std::size_t>(maxLinks) + 1);
}

const FormattedValue& RateTexts::get(int count, int total) {
    const bool inTable =
        cached_ && count >= 0 && count <= maxLinks_ && total >= 0 && total <= maxLinks_;
    if (!inTable) {
        scratch_.value = linkRate(count, total);
        scratch_.text = rateText(scratch_.value);
        return scratch_;
    }
    auto& row = byTotal_[static_cast<std::size_t>(total)];
    if (row.empty()) row.resize(static_cast<std::size_t>(maxLinks_) + 1);
    Slot& slot = row[static_cast<std::size_t>(count)];
    if (!slot.ready) {
        slot.formatted.value = linkRate(count, total);
        slot.formatted.text = rateText(slot.formatted.value);
        slot.ready = true;
    }
    return slot.formatted;
}

IndexTexts::IndexTexts() : slots_(kIndexSlots + 1) {}

const FormattedValue& IndexTexts::get(std::optional<double> value) {
    // The last slot holds the text of "no value".
    std::size_t index = kIndexSlots;
    if (value) {
        const double thousandths = std::nearbyint(*value * 1000.0);
        if (!(thousandths >= -1000.0 && thousandths <= 1000.0)) {
            scratch_ = {value, indexText(value)};
            return scratch_;
        }
        index = static_cast<std::size_t>(thousandths + 1000.0);
    }
    Slot& slot = slots_[index];
    if (!slot.ready) {
        slot.formatted = {value, indexText(value)};
        slot.ready = true;
    } else if (slot.formatted.value != value) {
        scratch_ = {value, indexText(value)};
        return scratch_;
    }
    return slot.formatted;
}

}  // namespace qv
