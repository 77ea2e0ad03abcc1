#include "stats/item_stats.h"

#include <cmath>

namespace qv {

void ItemSums::add(const std::vector<int>& rightItems) {
    const auto score = static_cast<std::int64_t>(rightItems.size());
    ++students;
    scoreSum += score;
    scoreSquares += score * score;
    for (int m : rightItems) {
        ++right[static_cast<std::size_t>(m)];
        rightScore[static_cast<std::size_t>(m)] += score;
    }
}

namespace {

// KR-20 of `items` items from the sum of their p(1-p) and the variance of
// their total, both times N^2 and so whole: equal scores give exactly 0.
std::optional<double> kr20Of(std::int64_t items, std::int64_t pqN2, std::int64_t varianceN2) {
    if (items < 2 || varianceN2 <= 0) return std::nullopt;
    const double k = static_cast<double>(items);
    return k / (k - 1) * (1 - static_cast<double>(pqN2) / static_cast<double>(varianceN2));
}

}  // namespace

ItemStatistics itemStatistics(const ItemSums& s) {
    ItemStatistics out;
    const std::size_t items = s.right.size();
    out.items.resize(items);
    if (s.students <= 0) return out;
    const std::int64_t n = s.students;
    const double nd = static_cast<double>(n);
    // N^2 var S, in whole numbers.
    const std::int64_t scoreVar = n * s.scoreSquares - s.scoreSum * s.scoreSum;
    std::int64_t pqSum = 0;
    for (std::int64_t r : s.right)
        pqSum += r * (n - r);
    out.kr20 = kr20Of(static_cast<std::int64_t>(items), pqSum, scoreVar);
    for (std::size_t m = 0; m < items; ++m) {
        const std::int64_t r = s.right[m];
        ItemStat& stat = out.items[m];
        stat.difficulty = static_cast<double>(r) / nd;
        // Rest score R = S - x: sums of x, R, R^2 and xR, all whole.
        const std::int64_t restSum = s.scoreSum - r;
        const std::int64_t restSquares = s.scoreSquares - 2 * s.rightScore[m] + r;
        const std::int64_t crossSum = s.rightScore[m] - r;
        const std::int64_t itemVar = n * r - r * r;
        const std::int64_t restVar = n * restSquares - restSum * restSum;
        const std::int64_t cov = n * crossSum - r * restSum;
        if (itemVar > 0 && restVar > 0)
            stat.discrimination = static_cast<double>(cov) /
                                  std::sqrt(static_cast<double>(itemVar)) /
                                  std::sqrt(static_cast<double>(restVar));
        stat.alphaIfDeleted =
            kr20Of(static_cast<std::int64_t>(items) - 1, pqSum - itemVar, restVar);
    }
    return out;
}

}  // namespace qv
