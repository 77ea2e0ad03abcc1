#include "analysis/class_summary.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/number_text.h"

namespace qv {

namespace {

// Index values are kept in thousandths, the precision the run rounds them to.
constexpr int kThousandths = 1000;
constexpr std::int16_t kNoValue = std::numeric_limits<std::int16_t>::min();
// Index histograms have bins a tenth wide.
constexpr int kIndexBinWidth = 100;
// The score histogram has at most this many bins.
constexpr int kScoreBins = 20;

std::size_t pairCount(int n) {
    return n < 2 ? 0 : static_cast<std::size_t>(n) * static_cast<std::size_t>(n - 1) / 2;
}

std::size_t byteCount(std::size_t bits) {
    return (bits + 7) / 8;
}


template <typename T>
void put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T>
T take(const char*& at) {
    T value;
    std::memcpy(&value, at, sizeof(T));
    at += sizeof(T);
    return value;
}

std::int16_t thousandths(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) return kNoValue;
    const double t =
        std::clamp(std::round(*value * kThousandths), -1.0 * kThousandths, 1.0 * kThousandths);
    return static_cast<std::int16_t>(t);
}

// Calls f(k) for every set bit k of the bytes.
template <typename F>
const char* forEachBit(const char* at, std::size_t bits, F f) {
    const std::size_t bytes = byteCount(bits);
    for (std::size_t b = 0; b < bytes; ++b) {
        unsigned v = static_cast<unsigned char>(at[b]);
        while (v != 0) {
            const int bit = std::countr_zero(v);
            f(b * 8 + static_cast<std::size_t>(bit));
            v &= v - 1;
        }
    }
    return at + bytes;
}

// Where the histogram of one value kind starts and how wide its bins are, in
// the units the tally counts (thousandths or points).
struct BinPlan {
    int low, width, bins;
    bool lastClosed;
};

BinPlan planOf(int which, int items) {
    if (which == kValuePfc) return {0, kIndexBinWidth, kThousandths / kIndexBinWidth, true};
    if (which != kValueScore)
        return {-kThousandths, kIndexBinWidth, 2 * kThousandths / kIndexBinWidth, true};
    const int values = std::max(items, 0) + 1;
    const int width = (values + kScoreBins - 1) / kScoreBins;
    return {0, width, (values + width - 1) / width, false};
}

double rounded(int which, double value) {
    return which == kValueScore ? RoundToDecimals(value, 3) : roundIndex(value);
}

// Pairs i < j numbered row by row.
std::size_t upperPairIndex(int n, int i, int j) {
    const auto row = static_cast<std::size_t>(i);
    return row * static_cast<std::size_t>(n) - row * (row + 1) / 2 +
           static_cast<std::size_t>(j - i - 1);
}

}  // namespace

std::size_t ClassSummary::pairIndex(int i, int j) const {
    if (i > j) std::swap(i, j);
    return upperPairIndex(conceptCount, i, j);
}

bool ClassSummary::isStandard(int i, int j) const {
    return standard[pairIndex(i, j)] != 0;
}

std::int64_t ClassSummary::students(int i, int j) const {
    return pairStudents[pairIndex(i, j)];
}

std::int64_t ClassSummary::determinedCount() const {
    return studentCount - static_cast<std::int64_t>(undeterminedIds.size());
}

std::optional<double> ClassSummary::diagnosisShare(int i, int j) const {
    const std::int64_t determined = determinedCount();
    if (determined <= 0) return std::nullopt;
    const std::int64_t k = students(i, j);
    const std::int64_t shown = isStandard(i, j) ? determined - k : k;
    return static_cast<double>(shown) / static_cast<double>(determined);
}

std::optional<double> ClassSummary::itemShare(int m) const {
    if (studentCount <= 0) return std::nullopt;
    return static_cast<double>(itemCorrect[static_cast<std::size_t>(m)]) /
           static_cast<double>(studentCount);
}

ClassTally::ClassTally(const ClassData& data)
    : n_(std::max(data.conceptCount, 0)),
      items_(std::max(data.itemCount, 0)),
      pairs_(pairCount(n_)),
      pairStudents_(pairs_, 0),
      itemSums_(items_) {
    for (int which = 0; which < kClassValueCount; ++which)
        values_[static_cast<std::size_t>(which)].counts.assign(
            which == kValueScore ? static_cast<std::size_t>(items_) + 1
                                 : 2 * static_cast<std::size_t>(kThousandths) + 1,
            0);
}

// A record's bytes: the score, the three indices, the pair bits, the item
// bits, a flag byte and, for an undetermined student, its ID's length and bytes.
void ClassTally::appendBytes(std::string& out, const StudentRecord& r) const {
    put<std::int32_t>(out, r.score);
    for (const auto* value : {&r.pfcValue, &r.gtdValue, &r.prxValue})
        put<std::int16_t>(out, thousandths(*value));
    const std::size_t start = out.size();
    out.append(byteCount(pairs_) + byteCount(static_cast<std::size_t>(items_)), '\0');
    char* bits = out.data() + start;
    // A record of another class size (no run yet) counts as linking nothing.
    if (r.links.n == n_) {
        forEachUpperLink(r.links, [&](int i, int j) {
            const std::size_t pair = upperPairIndex(n_, i, j);
            bits[pair / 8] = static_cast<char>(bits[pair / 8] | (1 << (pair % 8)));
        });
    }
    bits += byteCount(pairs_);
    for (std::size_t b = 0; b < byteCount(static_cast<std::size_t>(items_)); ++b) {
        if (b / 8 >= r.correct.size()) break;
        bits[b] = static_cast<char>((r.correct[b / 8] >> (b % 8 * 8)) & 0xFF);
    }
    // Bits of the last byte past the item count are not items.
    if (items_ % 8 != 0) {
        char& last = bits[byteCount(static_cast<std::size_t>(items_)) - 1];
        last = static_cast<char>(last & ((1 << (items_ % 8)) - 1));
    }
    out += static_cast<char>(r.undetermined ? 1 : 0);
    if (r.undetermined) {
        put<std::uint32_t>(out, static_cast<std::uint32_t>(r.id.size()));
        out += r.id;
    }
}

void ClassTally::addValue(int which, std::optional<std::int64_t> value) {
    ValueCounts& v = values_[static_cast<std::size_t>(which)];
    if (!value) {
        ++v.missing;
        return;
    }
    const auto last = static_cast<std::int64_t>(v.counts.size()) - 1;
    const std::int64_t offset = which == kValueScore ? 0 : kThousandths;
    ++v.counts[static_cast<std::size_t>(std::clamp(*value + offset, std::int64_t{0}, last))];
}

const char* ClassTally::addRecord(const char* at) {
    ++students_;
    addValue(kValueScore, take<std::int32_t>(at));
    std::array<std::int16_t, 3> indices{};
    for (std::int16_t& t : indices)
        t = take<std::int16_t>(at);
    const char* const pairBits = at;
    at += byteCount(pairs_);
    rightItems_.clear();
    at = forEachBit(at, static_cast<std::size_t>(items_),
                    [this](std::size_t k) { rightItems_.push_back(static_cast<int>(k)); });
    itemSums_.add(rightItems_);
    if (*at++ != 0) {
        const auto size = take<std::uint32_t>(at);
        undetermined_.emplace_back(at, size);
        return at + size;
    }
    for (int which : {kValuePfc, kValueGtd, kValuePrx}) {
        const std::int16_t t = indices[static_cast<std::size_t>(which)];
        addValue(which, t == kNoValue ? std::nullopt : std::optional<std::int64_t>(t));
    }
    forEachBit(pairBits, pairs_, [this](std::size_t k) { ++pairStudents_[k]; });
    return at;
}

void ClassTally::addBytes(std::string_view bytes) {
    for (const char* at = bytes.data(); at < bytes.data() + bytes.size();)
        at = addRecord(at);
}

void ClassTally::add(const StudentRecord& r) {
    // Through the bytes, so that a record is read the one way.
    thread_local std::string bytes;
    bytes.clear();
    appendBytes(bytes, r);
    addBytes(bytes);
}

ClassSummary ClassTally::summary(const RunResults& results) const {
    const ClassData& data = *results.data;
    ClassSummary s;
    s.studentCount = students_;
    s.conceptCount = n_;
    s.itemCount = items_;
    s.pairStudents = pairStudents_;
    s.itemCorrect = itemSums_.right;
    s.itemSums = itemSums_;
    s.undeterminedIds = undetermined_;
    s.standard.assign(pairs_, 0);
    if (results.stdLinks.rows() == n_ && results.stdLinks.cols() == n_) {
        for (int i = 0; i < n_; ++i)
            for (int j = i + 1; j < n_; ++j)
                s.standard[s.pairIndex(i, j)] = results.stdLinks(i, j) != 0 ? 1 : 0;
    }
    s.itemConcepts.resize(static_cast<std::size_t>(items_));
    if (data.itemConcept.rows() == items_ && data.itemConcept.cols() == n_) {
        for (int m = 0; m < items_; ++m)
            for (int c = 0; c < n_; ++c)
                if (data.itemConcept(m, c) != Currency{})
                    s.itemConcepts[static_cast<std::size_t>(m)].push_back(c);
    }
    for (int which = 0; which < kClassValueCount; ++which) {
        const ValueCounts& v = values_[static_cast<std::size_t>(which)];
        Histogram& h = s.histograms[static_cast<std::size_t>(which)];
        const BinPlan plan = planOf(which, items_);
        const double unit = which == kValueScore ? 1.0 : kThousandths;
        const std::int64_t offset = which == kValueScore ? 0 : -kThousandths;
        for (int b = 0; b <= plan.bins; ++b)
            h.edges.push_back((plan.low + b * plan.width) / unit);
        h.counts.assign(static_cast<std::size_t>(plan.bins), 0);
        h.withoutValue = v.missing;
        std::int64_t count = 0, sum = 0;
        for (std::size_t slot = 0; slot < v.counts.size(); ++slot) {
            const std::int64_t c = v.counts[slot];
            if (c == 0) continue;
            const std::int64_t value = static_cast<std::int64_t>(slot) + offset;
            const std::int64_t bin =
                std::clamp<std::int64_t>((value - plan.low) / plan.width, 0, plan.bins - 1);
            h.counts[static_cast<std::size_t>(bin)] += c;
            count += c;
            sum += c * value;
        }
        if (count == 0) continue;
        h.mean = rounded(which, static_cast<double>(sum) / static_cast<double>(count) / unit);
        // The middle value, or the mean of the two middle values.
        const std::int64_t lowRank = (count - 1) / 2, highRank = count / 2;
        std::optional<std::int64_t> low, high;
        std::int64_t seen = 0;
        for (std::size_t slot = 0; slot < v.counts.size() && !high; ++slot) {
            seen += v.counts[slot];
            const std::int64_t value = static_cast<std::int64_t>(slot) + offset;
            if (!low && seen > lowRank) low = value;
            if (!high && seen > highRank) high = value;
        }
        h.median = rounded(which, static_cast<double>(*low + *high) / 2.0 / unit);
    }
    return s;
}

ClassSummary summariseClass(const RunResults& results) {
    ClassTally tally(*results.data);
    for (const StudentRecord& record : results.students)
        tally.add(record);
    return tally.summary(results);
}

namespace {

std::vector<RankedPair> ranked(const ClassSummary& s, bool standard, std::size_t count) {
    std::vector<RankedPair> out;
    for (int i = 0; i < s.conceptCount; ++i) {
        for (int j = i + 1; j < s.conceptCount; ++j) {
            if (s.isStandard(i, j) != standard) continue;
            const std::optional<double> share = s.diagnosisShare(i, j);
            if (!share || *share <= 0) continue;
            out.push_back({i, j, s.students(i, j), *share});
        }
    }
    // Stable: equal shares keep the concept order.
    std::stable_sort(out.begin(), out.end(),
                     [](const RankedPair& a, const RankedPair& b) { return a.share > b.share; });
    if (out.size() > count) out.resize(count);
    return out;
}

}  // namespace

std::vector<RankedPair> mostMissedLinks(const ClassSummary& summary, std::size_t count) {
    return ranked(summary, true, count);
}

std::vector<RankedPair> mostCommonExtraLinks(const ClassSummary& summary, std::size_t count) {
    return ranked(summary, false, count);
}

std::vector<int> itemsOfPair(const ClassSummary& summary, int i, int j) {
    std::vector<int> out;
    for (std::size_t m = 0; m < summary.itemConcepts.size(); ++m) {
        const auto& concepts = summary.itemConcepts[m];
        if (std::ranges::find(concepts, i) != concepts.end() ||
            std::ranges::find(concepts, j) != concepts.end())
            out.push_back(static_cast<int>(m));
    }
    return out;
}

}  // namespace qv
