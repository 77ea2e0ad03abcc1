#include "compare/link_flags.h"

#include <algorithm>
#include <cassert>

#include "core/bit_ops.h"
#include "core/kernels.h"
#include "core/number_text.h"

namespace qv {

namespace {

struct PairCounts {
    std::int32_t match = 0, miss = 0, over = 0;
};

// The pairs of row i beyond the diagonal, a word at a time per network.
QV_KERNEL PairCounts rowCounts(const LinkRows& stdLinks, const LinkRows& target) {
    PairCounts c;
    if (target.words == 1) {
        // Rows of one word: the pairs beyond the diagonal are the bits above i.
        for (int i = 0; i + 1 < target.n; ++i) {
            const std::uint64_t later = ~std::uint64_t{0} << (i + 1);
            const std::uint64_t s = stdLinks.bits[static_cast<std::size_t>(i)] & later;
            const std::uint64_t t = target.bits[static_cast<std::size_t>(i)] & later;
            c.match += countBits(s & t);
            c.miss += countBits(s & ~t);
            c.over += countBits(t & ~s);
        }
        return c;
    }
    for (int i = 0; i + 1 < target.n; ++i) {
        const std::uint64_t* sRow = stdLinks.row(i);
        const std::uint64_t* tRow = target.row(i);
        for (int w = i / 64; w < target.words; ++w) {
            const std::uint64_t later = bitRange(std::max(i + 1 - 64 * w, 0), 64);
            const std::uint64_t s = sRow[w] & later, t = tRow[w] & later;
            c.match += countBits(s & t);
            c.miss += countBits(s & ~t);
            c.over += countBits(t & ~s);
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
    n = std::max(n, 0);
    CountLinkFlags(linkRows(stdLinks, n), linkRows(target, n), counts);
}

void CountLinkFlags(const LinkRows& stdLinks, const LinkRows& target, LinkFlagCounts& counts) {
    assert(stdLinks.n == target.n && stdLinks.words == target.words);
    addCounts(rowCounts(stdLinks, target), target.n, counts);
}

std::optional<double> linkRate(std::int32_t count, std::int32_t total) {
    if (total == 0) return std::nullopt;
    return RoundToDecimals(static_cast<double>(count) / total * 100, 3);
}

}  // namespace qv
