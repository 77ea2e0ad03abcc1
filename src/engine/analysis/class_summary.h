#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/state.h"
#include "stats/item_stats.h"

namespace qv {

// How the values of one index, or the score, spread over the class. Each bin
// holds the values from its lower edge up to, not including, its upper edge;
// the last bin of an index also holds its upper edge (an index of 1).
struct Histogram {
    std::vector<double> edges;         // one more than the bins, ascending
    std::vector<std::int64_t> counts;  // students per bin
    std::int64_t withoutValue = 0;     // students whose value does not exist (N/A)
    // Over the students with a value, to three decimals.
    std::optional<double> mean, median;
    friend bool operator==(const Histogram&, const Histogram&) = default;
};

// The class's histograms, in this order.
enum ClassValue : int { kValuePfc = 0, kValueGtd = 1, kValuePrx = 2, kValueScore = 3 };
inline constexpr int kClassValueCount = 4;

// What the class as a whole does with each concept pair and each item, after
// a run. Concepts and items are 0-based here. Undetermined students (see
// StudentRecord) count in the score histogram and the items, and nowhere else.
struct ClassSummary {
    std::int64_t studentCount = 0;
    std::vector<std::string> undeterminedIds;  // in the class's order
    int conceptCount = 0;
    int itemCount = 0;
    std::vector<std::uint8_t> standard;          // per pair: 1 when the standard links it
    std::vector<std::int64_t> pairStudents;      // per pair: students whose network links it
    std::vector<std::vector<int>> itemConcepts;  // per item, the concepts it involves
    std::vector<std::int64_t> itemCorrect;       // per item, students who answered it right
    std::array<Histogram, kClassValueCount> histograms;
    ItemSums itemSums;  // over every student

    // The students whose networks count in the pairs.
    std::int64_t determinedCount() const;

    // Pairs i < j are numbered row by row: (0,1), (0,2), ..., (1,2), ...
    std::size_t pairIndex(int i, int j) const;
    bool isStandard(int i, int j) const;
    std::int64_t students(int i, int j) const;
    // What the heat map shows: for a standard link the share of students who
    // miss it, for another pair the share who add it, of the determined
    // students; nothing when there are none.
    std::optional<double> diagnosisShare(int i, int j) const;
    // The share of the class that answered item m right.
    std::optional<double> itemShare(int m) const;

    friend bool operator==(const ClassSummary&, const ClassSummary&) = default;
};

// Counts over the class that add up in any order (whole numbers only), so a
// class tallied in blocks on several threads gives the same summary.
class ClassTally {
  public:
    // For a class of these concept and item counts.
    explicit ClassTally(const ClassData& data);

    void add(const StudentRecord& record);

    // For runInBlocks, whose writer runs on the workers and whose output
    // reaches the calling thread in order: the part of one record that the
    // tally needs, as bytes, and those bytes read back (any number of records).
    void appendBytes(std::string& out, const StudentRecord& record) const;
    void addBytes(std::string_view bytes);

    // The summary, with the standard network of the run and the item
    // concepts of its class.
    ClassSummary summary(const RunResults& results) const;

  private:
    struct ValueCounts {
        std::vector<std::int64_t> counts;  // by thousandth (indices) or by score
        std::int64_t missing = 0;
    };
    void addValue(int which, std::optional<std::int64_t> value);
    const char* addRecord(const char* at);

    int n_;
    int items_;
    std::size_t pairs_;
    std::int64_t students_ = 0;
    std::vector<std::int64_t> pairStudents_;
    std::vector<std::string> undetermined_;
    ItemSums itemSums_;
    std::vector<int> rightItems_;  // reused from record to record
    std::array<ValueCounts, kClassValueCount> values_;
};

// The summary of a run's records.
ClassSummary summariseClass(const RunResults& results);

// A pair in a ranked list, with the share the heat map shows for it.
struct RankedPair {
    int i = 0, j = 0;
    std::int64_t students = 0;
    double share = 0;
};
// Standard links by the share of students who miss them, most missed first.
std::vector<RankedPair> mostMissedLinks(const ClassSummary& summary, std::size_t count);
// Other pairs by the share who add them; pairs nobody adds are left out.
std::vector<RankedPair> mostCommonExtraLinks(const ClassSummary& summary, std::size_t count);

// The items whose concepts include i or j, ascending: where a pair is taught.
std::vector<int> itemsOfPair(const ClassSummary& summary, int i, int j);

}  // namespace qv
