#include "compare/link_flags.h"

#include "core/number_text.h"

namespace qv {

void CountLinkFlags(const LinkMatrix& stdLinks, const LinkMatrix& target, int n,
                    LinkFlagCounts& counts) {
    std::int32_t match = 0, miss = 0, over = 0, pairs = 0;
    for (int i = 0; i + 1 < n; ++i) {
        const std::uint8_t* s = stdLinks.rowData(i);
        const std::uint8_t* t = target.rowData(i);
        for (int j = i + 1; j < n; ++j) {
            const bool inStd = s[j] != 0, inTarget = t[j] != 0;
            match += (inStd && inTarget) ? 1 : 0;
            miss += (inStd && !inTarget) ? 1 : 0;
            over += (!inStd && inTarget) ? 1 : 0;
        }
        pairs += n - 1 - i;
    }
    counts[kMatch] += match;
    counts[kMiss] += miss;
    counts[kOver] += over;
    counts[kAbsent] += pairs - match - miss - over;
    counts[kStdLinks] += match + miss;
    counts[kTargetLinks] += match + over;
}

std::optional<double> linkRate(std::int32_t count, std::int32_t total) {
    if (total == 0) return std::nullopt;
    return RoundToDecimals(static_cast<double>(count) / total * 100, 3);
}

}  // namespace qv
