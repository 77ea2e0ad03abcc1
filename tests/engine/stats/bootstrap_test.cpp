#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/run.h"
#include "class_files.h"
#include "core/link_rows.h"
#include "stats/bootstrap.h"

namespace qv {
namespace {

// SplitMix64 as the rule states it, one step at a time.
std::uint64_t splitMixStep(std::uint64_t& state) {
    state += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state;
    z ^= z >> 30;
    z *= 0xBF58476D1CE4E5B9u;
    z ^= z >> 27;
    z *= 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

TEST(Bootstrap, DrawsFollowSplitMix64) {
    // From state 0 the generator's published first outputs.
    SplitMix64 zero(0);
    EXPECT_EQ(zero.next(), 0xE220A8397B1DCDAFu);
    EXPECT_EQ(zero.next(), 0x6E789E6AA1B965F4u);
    EXPECT_EQ(zero.next(), 0x06C45D188009454Fu);
    // Replicate b of seed S starts at S + (b + 1) * golden, mod 2^64.
    for (std::uint64_t seed : {std::uint64_t{1}, ~std::uint64_t{0}}) {
        for (std::uint64_t b : {0u, 1u, 999u}) {
            std::uint64_t state = seed + (b + 1) * 0x9E3779B97F4A7C15u;
            const std::vector<int> items = replicateItems(seed, b, 7);
            ASSERT_EQ(items.size(), 7u);
            for (int item : items)
                EXPECT_EQ(static_cast<std::uint64_t>(item), splitMixStep(state) % 7);
        }
    }
}

TEST(Bootstrap, ConfidenceIsAnExactDecimal) {
    const Confidence c = parseConfidence("0.95").value();
    EXPECT_EQ(c.parts, 95);
    EXPECT_EQ(c.scale, 100);
    EXPECT_TRUE(parseConfidence(".9"));
    for (const char* bad : {"1", "0", "0.0", "1.5", "0.", "-0.5", "0.9x", "0.1234567891"})
        EXPECT_FALSE(parseConfidence(bad)) << bad;
    // (m - 1)(1 - C)/2 and (m - 1)(1 + C)/2 land on whole numbers here: no
    // rounding may move them (999 * 0.05 / 2 is no double whole number).
    EXPECT_EQ(percentilePositions(1001, c), (std::array<std::size_t, 2>{25, 975}));
    EXPECT_EQ(percentilePositions(1000, c), (std::array<std::size_t, 2>{24, 975}));
    EXPECT_EQ(percentilePositions(1, c), (std::array<std::size_t, 2>{0, 0}));
}

// A class of six concepts and nine items written as the loaders read it.
struct SmallClass {
    std::vector<std::vector<int>> items = {{1, 2}, {2, 3}, {3}, {4, 5},   {5, 6},
                                           {1, 6}, {2, 4}, {6}, {1, 3, 5}};
    std::string key = "ABCDABCDA";
    std::vector<std::string> answers;

    SmallClass() {
        // Every pattern of right answers a small counter gives, with the
        // all-wrong and all-right students among them.
        for (unsigned s = 0; s < 14; ++s) {
            std::string line;
            for (std::size_t m = 0; m < key.size(); ++m) {
                const bool right = s == 13 || (s != 0 && ((s * 37 + m * 11) % 7) < 4);
                line += right ? key[m] : static_cast<char>(key[m] == 'A' ? 'B' : 'A');
            }
            answers.push_back(line);
        }
    }

    // The three files of the class whose items are `drawn` (0-based), in order.
    bool load(test::ClassFiles& files, const std::vector<int>& drawn) const {
        const std::string br = "\n\r\n";
        std::string concepts = "6" + br;
        for (int c = 1; c <= 6; ++c)
            concepts += std::to_string(c) + " c" + std::to_string(c) + br;
        std::string table = std::to_string(drawn.size()) + br;
        std::string newKey;
        for (std::size_t k = 0; k < drawn.size(); ++k) {
            table += std::to_string(k + 1) + " ";
            for (int c : items[static_cast<std::size_t>(drawn[k])])
                table += std::to_string(c) + ",";
            table += br;
            newKey += key[static_cast<std::size_t>(drawn[k])];
        }
        std::string students = "8" + br + "9" + br + newKey + br;
        for (std::size_t s = 0; s < answers.size(); ++s) {
            std::string line;  // a separator after every fifth answer
            for (std::size_t k = 0; k < drawn.size(); ++k)
                line += (k > 0 && k % 5 == 0 ? " " : "") +
                        answers[s].substr(static_cast<std::size_t>(drawn[k]), 1);
            students += std::to_string(90000001 + s) + " " + line + br;
        }
        for (const auto& [kind, text] : {std::pair{test::DataFile::Concepts, concepts},
                                         std::pair{test::DataFile::Items, table},
                                         std::pair{test::DataFile::Students, students}}) {
            const std::string refused = files.load(kind, text + br, "f.txt");
            if (!refused.empty()) {
                ADD_FAILURE() << refused;
                return false;
            }
        }
        return true;
    }
};

RunResults mainRun(const RunMethod& method) {
    const SmallClass c;
    test::ClassFiles files;
    std::vector<int> all(c.key.size());
    for (std::size_t m = 0; m < all.size(); ++m)
        all[m] = static_cast<int>(m);
    EXPECT_TRUE(c.load(files, all));
    RunOptions options;
    options.method = method;
    options.keepStudentMatrices = false;
    return runAnalysis(files.data, options).value();
}

std::uint64_t bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

// Every replicate built as files and run as any class is; the intervals by
// the percentile rule in whole numbers (C = 0.9 = 9 / 10).
TEST(Bootstrap, IntervalsAreThoseOfTheReplicateClassesRunOneByOne) {
    constexpr int kReplicates = 41;
    constexpr std::uint64_t kSeed = 5;
    for (const RunMethod method : {RunMethod::Triangle, RunMethod::pfnet({PfnetR::One, 3})}) {
        const RunResults run = mainRun(method);
        const SmallClass c;
        const std::size_t students = run.students.size();
        std::vector<std::vector<std::vector<double>>> values(
            3, std::vector<std::vector<double>>(students));
        std::vector<std::vector<int>> kept(students);
        for (std::size_t s = 0; s < students; ++s)
            forEachUpperLink(run.students[s].links, [&](int, int) { kept[s].push_back(0); });
        for (int b = 0; b < kReplicates; ++b) {
            std::uint64_t state = kSeed + static_cast<std::uint64_t>(b + 1) * 0x9E3779B97F4A7C15u;
            std::vector<int> drawn;
            for (std::size_t k = 0; k < c.key.size(); ++k)
                drawn.push_back(static_cast<int>(splitMixStep(state) % c.key.size()));
            test::ClassFiles files;
            ASSERT_TRUE(c.load(files, drawn));
            RunOptions options;
            options.method = method;
            const RunResults replicate = runAnalysis(files.data, options).value();
            for (std::size_t s = 0; s < students; ++s) {
                const StudentRecord& r = replicate.students[s];
                const std::optional<double> v[] = {r.pfcValue, r.gtdValue, r.prxValue};
                for (int x = 0; x < 3; ++x)
                    if (v[x]) values[static_cast<std::size_t>(x)][s].push_back(*v[x]);
                std::size_t k = 0;
                forEachUpperLink(run.students[s].links,
                                 [&](int i, int j) { kept[s][k++] += hasLink(r.links, i, j); });
            }
        }
        BootstrapOptions options;
        options.method = method;
        options.replicates = kReplicates;
        options.seed = kSeed;
        options.confidence = {9, 10};
        const BootstrapResults got = bootstrapIntervals(run, options).value();
        ASSERT_EQ(got.students.size(), students);
        bool someMissing = false;
        for (std::size_t s = 0; s < students; ++s) {
            for (std::size_t x = 0; x < 3; ++x) {
                std::vector<double>& v = values[x][s];
                std::sort(v.begin(), v.end());
                const auto& ci = got.students[s].ci[x];
                someMissing |= v.empty();
                ASSERT_EQ(ci.has_value(), !v.empty()) << s << " " << x;
                if (v.empty()) continue;
                const std::size_t m = v.size();
                const std::size_t low = (m - 1) / 20;               // floor((m-1) * 0.05)
                const std::size_t high = ((m - 1) * 19 + 19) / 20;  // ceil((m-1) * 0.95)
                EXPECT_EQ(bits(ci->low), bits(v[low])) << s << " " << x;
                EXPECT_EQ(bits(ci->high), bits(v[high])) << s << " " << x;
            }
            EXPECT_EQ(std::vector<int>(got.students[s].linksKept.begin(),
                                       got.students[s].linksKept.end()),
                      kept[s]);
        }
        // The all-wrong student's PRX has no value in any replicate.
        EXPECT_TRUE(someMissing);
    }
}

TEST(Bootstrap, SameResultsOnAnyThreadCount) {
    const RunResults run = mainRun(RunMethod::PathSearch);
    BootstrapOptions options;
    options.method = RunMethod::PathSearch;
    options.replicates = 37;
    options.threads = 1;
    const BootstrapResults one = bootstrapIntervals(run, options).value();
    options.threads = 3;
    const BootstrapResults three = bootstrapIntervals(run, options).value();
    for (std::size_t s = 0; s < run.students.size(); ++s) {
        std::string a, b;
        appendIntervalsJson(a, one.students[s], run.students[s].links, options.replicates);
        appendIntervalsJson(b, three.students[s], run.students[s].links, options.replicates);
        EXPECT_EQ(a, b);
    }
}

TEST(Bootstrap, MedianWidthOfAnEvenCountIsTheMeanOfTheMiddleTwo) {
    BootstrapResults r;
    for (double w : {0.1, 0.5, 0.2, 0.3}) {
        StudentIntervals s;
        s.ci[0] = Interval{0.4, 0.4 + w};
        r.students.push_back(s);
    }
    r.students.push_back({});  // no interval: not counted
    const auto widths = medianWidths(r);
    EXPECT_EQ(widths[0], 0.25);
    EXPECT_FALSE(widths[1]);
}

}  // namespace
}  // namespace qv
