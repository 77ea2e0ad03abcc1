#include "compare/link_flags.h"

#include <cassert>

#include "core/bit_ops.h"
#include "core/number_text.h"

namespace qv {

namespace {

struct PairCounts {
    std::int32_t match = 0, miss = 0, over = 0;
};

// Up to 64 concepts: the pairs of row i beyond the diagonal as one word per
// network.
PairCounts narrowCounts(const LinkRows& stdLinks, const LinkRows& target) {
    PairCounts c;
    for (int i = 0; i + 1 < target.n; ++i) {
        const std::uint64_t later = ~((std::uint64_t{2} << i) - 1);
        const std::uint64_t s = stdLinks.rows[static_cast<std::size_t>(i)] & later;
        const std::uint64_t t = target.rows[static_cast<std::size_t>(i)] & later;
        c.match += countBits(s & t);
        c.miss += countBits(s & ~t);
        c.over += countBits(t & ~s);
    }
    return c;
}

PairCounts wideCounts(const LinkMatrix& stdLinks, const LinkMatrix& target, int n) {
    PairCounts c;
    for (int i = 0; i + 1 < n; ++i) {
        const std::uint8_t* s = stdLinks.rowData(i);
        const std::uint8_t* t = target.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const bool inStd = s[j] != 0, inTarget = t[j] != 0;
            c.match += (inStd && inTarget) ? 1 : 0;
            c.miss += (inStd && !inTarget) ? 1 : 0;
            c.over += (!inStd && inTarget) ? 1 : 0;
        }
    }
    return c;
}

void addCounts(const PairCounts& c, int n, LinkFlagCounts& counts) {
    const auto pairs = n > 1 ? static_cast<std::int32_t>(std::int64_t{n} * (n - 1) / 2) : 0;
    counts[kMatch] += c.match;
    counts[kMiss] += c.miss;
    counts[kOver] += c.over;
    counts[kAbsent] += pairs - c.match - c.miss - c.over;
    counts[kStdLinks] += c.match + c.miss;
    counts[kTargetLinks] += c.match + c.over;
}

}  // namespace

void CountLinkFlags(const LinkMatrix& stdLinks, const LinkMatrix& target, int n,
                    LinkFlagCounts& counts) {
    if (n >= 0 && n <= LinkRows::kMaxConcepts)
        return CountLinkFlags(linkRows(stdLinks, n), linkRows(target, n), counts);
    addCounts(wideCounts(stdLinks, target, n), n, counts);
}

void CountLinkFlags(const LinkRows& stdLinks, const LinkRows& target, LinkFlagCounts& counts) {
    assert(stdLinks.n == target.n);
    addCounts(narrowCounts(stdLinks, target), target.n, counts);
}

std::optional<double> linkRate(std::int32_t count, std::int32_t total) {
    if (total == 0) return std::nullopt;
    return RoundToDecimals(static_cast<double>(count) / total * 100, 3);
}

}  // namespace qv
