#include "compare/link_flags.h"

#include "core/bit_ops.h"
#include "core/number_text.h"

namespace qv {

namespace {

struct PairCounts {
    std::int32_t match = 0, miss = 0, over = 0;
};

// Up to 64 concepts: each row's upper part as one word.
PairCounts countNarrow(const LinkMatrix& stdLinks, const LinkMatrix& target, int n) {
    PairCounts c;
    for (int i = 0; i + 1 < n; ++i) {
        const std::uint64_t later = bitRange(i + 1, n);
        const std::uint64_t s = nonZeroBits(stdLinks.rowData(i), n) & later;
        const std::uint64_t t = nonZeroBits(target.rowData(i), n) & later;
        c.match += countBits(s & t);
        c.miss += countBits(s & ~t);
        c.over += countBits(t & ~s);
    }
    return c;
}

PairCounts countWide(const LinkMatrix& stdLinks, const LinkMatrix& target, int n) {
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

}  // namespace

void CountLinkFlags(const LinkMatrix& stdLinks, const LinkMatrix& target, int n,
                    LinkFlagCounts& counts) {
    if (n < 2) return;
    const PairCounts c =
        n <= 64 ? countNarrow(stdLinks, target, n) : countWide(stdLinks, target, n);
    const auto pairs = static_cast<std::int32_t>(static_cast<std::int64_t>(n) * (n - 1) / 2);
    counts[kMatch] += c.match;
    counts[kMiss] += c.miss;
    counts[kOver] += c.over;
    counts[kAbsent] += pairs - c.match - c.miss - c.over;
    counts[kStdLinks] += c.match + c.miss;
    counts[kTargetLinks] += c.match + c.over;
}

std::optional<double> linkRate(std::int32_t count, std::int32_t total) {
    if (total == 0) return std::nullopt;
    return RoundToDecimals(static_cast<double>(count) / total * 100, 3);
}

}  // namespace qv
