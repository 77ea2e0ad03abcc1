#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace qv {

// Whole-number sums over the students from which the quiz's item statistics
// follow; they add up in any order, so a class tallied in blocks on several
// threads gives the same statistics. The score is the number of items right.
struct ItemSums {
    std::int64_t students = 0;
    std::int64_t scoreSum = 0;             // sum of S
    std::int64_t scoreSquares = 0;         // sum of S^2
    std::vector<std::int64_t> right;       // per item: students right on it
    std::vector<std::int64_t> rightScore;  // per item: sum of S over those students

    explicit ItemSums(int items = 0)
        : right(static_cast<std::size_t>(items), 0),
          rightScore(static_cast<std::size_t>(items), 0) {}
    // A student by the items answered right (0-based, each once).
    void add(const std::vector<int>& rightItems);
    friend bool operator==(const ItemSums&, const ItemSums&) = default;
};

struct ItemStat {
    std::optional<double> difficulty;      // the share right; none in an empty class
    std::optional<double> discrimination;  // corrected point-biserial
    std::optional<double> alphaIfDeleted;  // KR-20 of the other items
    friend bool operator==(const ItemStat&, const ItemStat&) = default;
};

struct ItemStatistics {
    std::vector<ItemStat> items;
    std::optional<double> kr20;
    friend bool operator==(const ItemStatistics&, const ItemStatistics&) = default;
};

// Over I items and N students, p_j the share right on item j and S the score:
// - difficulty p_j;
// - discrimination: the Pearson correlation of the item's 1/0 with S minus
//   that item, none when either has no variance;
// - KR-20 = I/(I-1) * (1 - sum p_j(1-p_j) / var S), var S divided by N, none
//   when var S = 0 or I < 2; alpha-if-deleted the same over the other items.
// Values are full precision; writers round them.
ItemStatistics itemStatistics(const ItemSums& sums);

}  // namespace qv
