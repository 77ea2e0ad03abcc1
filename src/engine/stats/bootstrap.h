#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/student_matrices.h"
#include "core/expected.h"
#include "core/state.h"

namespace qv {

// Bootstrap intervals over the quiz's items. Replicate b (0 .. B - 1) draws I
// items with replacement by SplitMix64 from state (seed + (b + 1) * golden),
// and is the class with those items in draw order: the key, every student's
// right/wrong and the item-concept rows follow the drawn items. Its standard
// network and every student's network and indices are those of an ordinary
// run by the same method. Per student and index, of the m replicates where the
// index has a value, sorted v0 <= ... <= v(m-1): the interval is
// [v(floor((m-1)(1-C)/2)), v(ceil((m-1)(1+C)/2))], none when m = 0.

// The generator, one 64-bit draw per call.
class SplitMix64 {
  public:
    static constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15u;
    explicit constexpr SplitMix64(std::uint64_t state) : state_(state) {}
    // The generator of replicate b for a seed.
    static constexpr SplitMix64 replicate(std::uint64_t seed, std::uint64_t b) {
        return SplitMix64(seed + (b + 1) * kGolden);
    }
    constexpr std::uint64_t next() {
        state_ += kGolden;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

  private:
    std::uint64_t state_;
};

// The items of replicate b, 0-based, in draw order.
std::vector<int> replicateItems(std::uint64_t seed, std::uint64_t b, int itemCount);

// The replicate class of those items (students, key and item-concept rows).
ClassData replicateClass(const ClassData& data, const std::vector<int>& items);

// A confidence level as an exact decimal, parts / scale (0.95 is 95 / 100), so
// that the percentile positions are decided in whole numbers.
struct Confidence {
    std::int64_t parts = 95;
    std::int64_t scale = 100;
    double value() const { return static_cast<double>(parts) / static_cast<double>(scale); }
};
// A decimal strictly between 0 and 1 ("0.95", ".9"), at most nine decimals.
Expected<Confidence> parseConfidence(std::string_view text);
// The position of the lower and upper value among m sorted values (m >= 1).
std::array<std::size_t, 2> percentilePositions(std::size_t m, const Confidence& c);

struct Interval {
    double low = 0, high = 0;
};

// One student's intervals (PFC, GTD, PRX) and, for each link i < j of the
// student's own network in row order, the number of replicates keeping it.
struct StudentIntervals {
    std::array<std::optional<Interval>, 3> ci;
    std::vector<std::int32_t> linksKept;
};

struct BootstrapOptions {
    RunMethod method;
    int replicates = 1000;
    std::uint64_t seed = 1;
    Confidence confidence;
    int threads = 0;  // 0 for one per core; the results are the same for any count
    std::function<void(int)> progress;  // 0 to kProgressMax, on the calling thread
    const std::atomic<bool>* cancel = nullptr;
};

struct BootstrapResults {
    int replicates = 0;
    std::uint64_t seed = 0;
    Confidence confidence;
    std::vector<StudentIntervals> students;  // in the run's order
};

// The values kept for the percentiles cost 24 bytes a student and replicate:
// students x replicates beyond this is refused.
inline constexpr std::int64_t kMaxBootstrapCells = 20'000'000;

// The intervals of a run's students (the run must hold its students and was
// made by options.method); refused for too many cells, B < 1, or a cancel
// (with kRunCancelled).
Expected<BootstrapResults> bootstrapIntervals(const RunResults& run,
                                              const BootstrapOptions& options);

// The share of replicates keeping a link, to three decimals.
double linkStability(std::int32_t kept, int replicates);

// The class's median interval width per index (PFC, GTD, PRX) over the
// students with an interval; of an even count the mean of the middle two;
// rounded to three decimals. None when no student has one.
std::array<std::optional<double>, 3> medianWidths(const BootstrapResults& results);

// A student's additions to the results JSON: ,"ci":{...},"linkStability":[[i,j,share],...]
// with 1-based concepts.
void appendIntervalsJson(std::string& out, const StudentIntervals& s, const LinkRows& links,
                         int replicates);
// The CSV's six cells, each after a comma: PFC low, PFC high, GTD low, ... PRX high.
void appendIntervalsCsv(std::string& out, const StudentIntervals& s);

}  // namespace qv
