#include "verify/speed_test.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/state.h"

namespace qv {
namespace {

using ::testing::MatchesRegex;
using ::testing::StartsWith;
const std::string kLb(kLineBreak);

// Rows given with one space between entries, written with two.
std::string linkRows(std::initializer_list<std::string> rows) {
    std::string text;
    for (std::string row : rows) {
        for (std::size_t at = row.find(' '); at != std::string::npos; at = row.find(' ', at + 2))
            row.insert(at, " ");
        text += row + kLb;
    }
    return text;
}

// Replays the listed values, then repeats the last one.
UniformSource scripted(std::vector<double> values) {
    auto next = std::make_shared<std::size_t>(0);
    return [values, next] { return values[std::min(values.size() - 1, (*next)++)]; };
}

TEST(SpeedTest, SamplePhaseOfEachButton) {
    const DistanceMatrix sample = builtInSampleMatrix();
    const std::array expected = {
        linkRows({"0 1 0 1 1", "1 0 1 0 0", "0 1 0 0 0", "1 0 0 0 1", "1 0 0 1 0"}),
        linkRows({"0 1 0 1 1", "1 0 1 0 0", "0 1 0 0 0", "1 0 0 0 0", "1 0 0 0 0"}),
        linkRows({"0 1 0 1 1", "1 0 1 0 0", "0 1 0 1 1", "1 0 1 0 1", "1 0 1 1 0"}),
        linkRows({"0 1 0 1 1", "1 0 1 0 0", "0 1 0 0 1", "1 0 0 0 1", "1 0 1 1 0"})};
    const CancelFlag cancel{false};
    for (std::size_t b = 0; b < kSpeedAlgorithms.size(); ++b) {
        const PhaseResult r = runSamplePhase(kSpeedAlgorithms[b], sample, kLb, cancel);
        ASSERT_EQ(r.status, PhaseResult::Status::Done);
        ASSERT_THAT(r.text, StartsWith(expected[b])) << "button " << b + 1;
        EXPECT_THAT(r.text.substr(expected[b].size()), MatchesRegex("所需花費時間[0-9.]+秒\n\r\n"));
    }
}

TEST(SpeedTest, TimeLines) {
    EXPECT_EQ(sampleTimeLine(16, kLb), "所需花費時間0.016秒\n\r\n");
    EXPECT_EQ(sampleTimeLine(1500, kLb), "所需花費時間1.5秒\n\r\n");
    EXPECT_EQ(randomTimeLine(5.5, 2, kLb), "5.5x5.5所需花費時間0.002秒\n\r\n");
    EXPECT_EQ(randomTimeLine(0, 0, kLb), "0x0所需花費時間0秒\n\r\n");
}

TEST(SpeedTest, ReadsAndRefusesInputs) {
    // {count, max, concepts, max value}: leading numbers, halves to even.
    const std::tuple<const char*, const char*, int, int> read[] = {
        {"20", "10", 20, 10},      {"", "", 0, 0},
        {"abc", "x", 0, 0},        {" 12abc", "7 個", 12, 7},
        {"5.5", "10", 6, 10},      {"4.5", "10.5", 4, 10},
        {"1", "11.5", 1, 12},      {"32767.4", "32766", 32767, 32766},
        {"3", "-32768", 3, -32768}};
    for (const auto& [count, max, concepts, maxValue] : read) {
        const auto r = parseSpeedInputs(count, max);
        ASSERT_TRUE(r.ok()) << count << " / " << max;
        EXPECT_EQ(r->conceptCount, concepts) << count;
        EXPECT_EQ(r->maxValue, maxValue) << max;
    }
    EXPECT_EQ(parseSpeedInputs("5.5", "10")->count, 5.5);
    for (auto [count, max] : {std::pair{"-0.2", "10"},
                              {"32767.5", "10"},
                              {"40000", "10"},
                              {"1e400", "10"},
                              {"5", "32767"},
                              {"5", "-32769"},
                              {"5", "1e12"}})
        EXPECT_FALSE(parseSpeedInputs(count, max).ok()) << count << " / " << max;
    EXPECT_NE(parseSpeedInputs("-3", "10").error().message().find("負數"), std::string::npos);
    EXPECT_NE(parseSpeedInputs("3", "40000").error().message().find("隨機最大值"),
              std::string::npos);
}

TEST(SpeedTest, RandomMatricesAreSymmetricWholeNumbersFromOneToMaxPlusOne) {
    std::mt19937_64 engine(5);
    UniformSource uniform = [&engine] {
        return std::uniform_real_distribution<double>(0.0, 1.0)(engine);
    };
    for (auto [count, max] : {std::pair{12, 10}, {30, 3}, {7, 0}, {14, -4}}) {
        const DistanceMatrix r = RandomSymmetricMatrix({double(count), count, max}, uniform);
        ASSERT_EQ(r.rows(), count);
        const auto low = Currency::fromInt(std::min(1, max + 1));
        const auto high = Currency::fromInt(std::max(1, max + 1));
        bool sawLow = false, sawHigh = false;
        for (int i = 0; i < count; ++i)
            for (int j = 0; j < count; ++j) {
                EXPECT_EQ(r(i, j), i == j ? Currency{} : r(j, i));
                if (i == j) continue;
                EXPECT_TRUE(r(i, j) >= low && r(i, j) <= high && r(i, j).raw() % 10000 == 0);
                sawLow |= r(i, j) == low;
                sawHigh |= r(i, j) == high;
            }
        EXPECT_TRUE(sawLow && sawHigh) << count;
    }
}

TEST(SpeedTest, RandomMatrixRoundsHalvesToEvenAndKeepsTheLaterVisit) {
    // Two concepts: (0, 0) then (0, 1) are drawn.
    EXPECT_EQ(RandomSymmetricMatrix({2, 2, 2}, scripted({0.9, 0.25}))(1, 0), Currency::fromInt(1));
    EXPECT_EQ(RandomSymmetricMatrix({2, 2, 2}, scripted({0.9, 0.75}))(0, 1), Currency::fromInt(3));
    // Three concepts: (0,0) (0,1) (0,2) (1,0) (1,1) (1,2); (1,0) overwrites (0,1).
    const auto r = RandomSymmetricMatrix({3, 3, 10}, scripted({0, 0.1, 0.2, 0.5, 0, 0.3}));
    EXPECT_EQ(r(0, 1), Currency::fromInt(6));
    EXPECT_EQ(r(1, 0), Currency::fromInt(6));
    EXPECT_EQ(r(0, 2), Currency::fromInt(3));
    EXPECT_EQ(r(2, 1), Currency::fromInt(4));
    // A count of 5.5 sizes the matrix 6 but fills only the first five concepts.
    const auto half = RandomSymmetricMatrix({5.5, 6, 10}, scripted({0.5}));
    ASSERT_EQ(half.rows(), 6);
    for (int k = 0; k < 6; ++k)
        EXPECT_TRUE(half(5, k).isZero() && half(k, 5).isZero());
    EXPECT_EQ(half(4, 3), Currency::fromInt(6));
}

TEST(SpeedTest, RandomPhaseOfNoConceptsFailsOrIsCancelled) {
    const auto uniform = systemUniformSource();
    const CancelFlag go{false}, cancelled{true};
    EXPECT_EQ(runRandomPhase(SpeedAlgorithm::DC, {182, 182, 10}, uniform, kLb, go).status,
              PhaseResult::Status::Failed);
    EXPECT_THAT(runRandomPhase(SpeedAlgorithm::Exhaustive, {0, 0, 10}, uniform, kLb, go).text,
                StartsWith("0x0所需花費時間"));
    for (SpeedAlgorithm a : kSpeedAlgorithms) {
        const PhaseResult r = runRandomPhase(a, {9, 9, 10}, uniform, kLb, cancelled);
        EXPECT_EQ(r.status, PhaseResult::Status::Cancelled);
        EXPECT_TRUE(r.text.empty());
    }
}

TEST(SpeedTest, SystemGeneratorStaysInRangeAndIsSeededAfresh) {
    const auto a = systemUniformSource(), b = systemUniformSource();
    bool differ = false;
    for (int k = 0; k < 1000; ++k) {
        const double u = a();
        ASSERT_TRUE(u >= 0 && u < 1);
        differ |= u != b();
    }
    EXPECT_TRUE(differ);
}

}  // namespace
}  // namespace qv
