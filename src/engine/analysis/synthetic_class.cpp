#include "analysis/synthetic_class.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/state.h"

namespace qv {

namespace {

constexpr std::string_view kRecordEnd = "\r\n";
constexpr char kChoices[] = {'A', 'B', 'C', 'D'};
constexpr std::int64_t kFirstId = 90000001;

// SplitMix64: small, fast, and the same on every platform.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint64_t>(bound)); }

  private:
    std::uint64_t state_;
};

std::string conceptFile(int concepts) {
    std::string out = std::to_string(concepts);
    out += kRecordEnd;
    for (int c = 1; c <= concepts; ++c) {
        out += std::to_string(c) + " 概念" + std::to_string(c);
        out += kLineBreak;
    }
    out += kRecordEnd;
    return out;
}

std::string itemConceptFile(const SyntheticClassOptions& o, Random& rng) {
    std::string out = std::to_string(o.items);
    out += kRecordEnd;
    for (int item = 0; item < o.items; ++item) {
        std::vector<int> concepts;
        if (o.concepts > 0) concepts.push_back(item % o.concepts + 1);
        const int extra = rng.below(3);
        for (int e = 0; e < extra && o.concepts > 1; ++e) {
            const int c = rng.below(o.concepts) + 1;
            bool seen = false;
            for (int k : concepts)
                seen = seen || k == c;
            if (!seen) concepts.push_back(c);
        }
        out += std::to_string(item + 1) + " ";
        for (int c : concepts)
            out += std::to_string(c) + ",";
        out += kLineBreak;
    }
    out += kRecordEnd;
    return out;
}

std::string studentFile(const SyntheticClassOptions& o, Random& rng) {
    std::string key(static_cast<std::size_t>(o.items), 'A');
    std::vector<double> difficulty(static_cast<std::size_t>(o.items));
    for (int i = 0; i < o.items; ++i) {
        key[static_cast<std::size_t>(i)] = kChoices[rng.below(4)];
        difficulty[static_cast<std::size_t>(i)] = rng.uniform() * 3.0 - 1.5;
    }
    std::string out = "8";
    out += kRecordEnd;
    out += "9";
    out += kRecordEnd;
    out += key;
    out += kRecordEnd;
    out.reserve(out.size() + static_cast<std::size_t>(o.students) *
                                 (12 + static_cast<std::size_t>(o.items) * 6 / 5));
    for (std::int32_t s = 0; s < o.students; ++s) {
        const double ability = rng.uniform() * 5.0 - 2.5;
        out += std::to_string(kFirstId + s);
        out += ' ';
        for (int i = 0; i < o.items; ++i) {
            const double p =
                0.25 + 0.75 / (1.0 + std::exp(difficulty[static_cast<std::size_t>(i)] - ability));
            const char right = key[static_cast<std::size_t>(i)];
            char answer = right;
            if (rng.uniform() >= p) answer = kChoices[(right - 'A' + 1 + rng.below(3)) % 4];
            out += answer;
            if (i % 5 == 4 && i + 1 < o.items) out += ' ';
        }
        out += kLineBreak;
    }
    out += kRecordEnd;
    return out;
}

}  // namespace

SyntheticClassFiles makeSyntheticClass(const SyntheticClassOptions& options) {
    Random rng(options.seed);
    SyntheticClassFiles files;
    files.conceptFile = conceptFile(options.concepts);
    files.itemConceptFile = itemConceptFile(options, rng);
    files.studentFile = studentFile(options, rng);
    return files;
}

std::int64_t syntheticStudentFileBytes(const SyntheticClassOptions& o) {
    const auto items = static_cast<std::int64_t>(o.items);
    const auto end = static_cast<std::int64_t>(kRecordEnd.size());
    std::int64_t bytes = 1 + end + 1 + end + items + end + end;
    // IDs run from kFirstId upward and all have its digits until one more is needed.
    std::int64_t firstWider = 1;
    while (firstWider <= kFirstId)
        firstWider *= 10;
    const std::int64_t idDigits = static_cast<std::int64_t>(std::to_string(kFirstId).size());
    const std::int64_t students = o.students;
    const std::int64_t wider = std::max<std::int64_t>(0, kFirstId + students - firstWider);
    const std::int64_t line = 1 + items + std::max<std::int64_t>(0, (items - 1) / 5) +
                              static_cast<std::int64_t>(kLineBreak.size());
    return bytes + students * (idDigits + line) + wider;
}

}  // namespace qv
