#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "analysis/class_summary.h"
#include "analysis/results_csv.h"
#include "analysis/run.h"
#include "analysis/synthetic_class.h"
#include "class_builder.h"
#include "data/loaders.h"
#include "sample_files.h"
#include "stats/item_stats.h"
#include "stats/quiz_design.h"

namespace qv {
namespace {

using ::testing::ElementsAre;

// The statistics the plain way: the 0/1 table, means and sums of squares.
double mean(const std::vector<double>& v) {
    double s = 0;
    for (double x : v)
        s += x;
    return s / static_cast<double>(v.size());
}
double variance(const std::vector<double>& v) {
    const double m = mean(v);
    double s = 0;
    for (double x : v)
        s += (x - m) * (x - m);
    return s / static_cast<double>(v.size());
}
std::optional<double> plainKr20(const std::vector<std::vector<double>>& x,
                                const std::vector<std::size_t>& items) {
    std::vector<double> total(x.size(), 0);
    double pq = 0;
    for (std::size_t j : items) {
        std::vector<double> column;
        for (std::size_t i = 0; i < x.size(); ++i) {
            total[i] += x[i][j];
            column.push_back(x[i][j]);
        }
        pq += mean(column) * (1 - mean(column));
    }
    const double k = static_cast<double>(items.size());
    if (items.size() < 2 || variance(total) < 1e-12) return std::nullopt;
    return k / (k - 1) * (1 - pq / variance(total));
}

void expectPlainStatistics(const ClassData& data) {
    const auto run = runAnalysis(test::shared(data), RunOptions{});
    ASSERT_TRUE(run.ok());
    const ItemStatistics got = itemStatistics(summariseClass(*run).itemSums);
    std::vector<std::vector<double>> x;
    for (const Student& s : data.students) {
        x.emplace_back();
        for (int j = 0; j < data.itemCount; ++j)
            x.back().push_back(s.isCorrect(j) ? 1 : 0);
    }
    const auto items = static_cast<std::size_t>(data.itemCount);
    std::vector<std::size_t> all;
    for (std::size_t j = 0; j < items; ++j)
        all.push_back(j);
    const auto near = [](std::optional<double> a, std::optional<double> b) {
        return a.has_value() == b.has_value() && (!a || std::abs(*a - *b) < 1e-9);
    };
    EXPECT_TRUE(near(got.kr20, plainKr20(x, all)));
    ASSERT_EQ(got.items.size(), items);
    for (std::size_t j = 0; j < items; ++j) {
        std::vector<double> item, rest;
        for (const auto& row : x) {
            item.push_back(row[j]);
            double r = 0;
            for (std::size_t k = 0; k < items; ++k)
                r += k == j ? 0 : row[k];
            rest.push_back(r);
        }
        std::optional<double> r;
        if (variance(item) > 1e-12 && variance(rest) > 1e-12) {
            double cov = 0;
            for (std::size_t i = 0; i < x.size(); ++i)
                cov += (item[i] - mean(item)) * (rest[i] - mean(rest));
            r = cov / static_cast<double>(x.size()) / std::sqrt(variance(item) * variance(rest));
        }
        std::vector<std::size_t> others;
        for (std::size_t k = 0; k < items; ++k)
            if (k != j) others.push_back(k);
        EXPECT_TRUE(near(got.items[j].difficulty, mean(item))) << j;
        EXPECT_TRUE(near(got.items[j].discrimination, r)) << j;
        EXPECT_TRUE(near(got.items[j].alphaIfDeleted, plainKr20(x, others))) << j;
    }
}

TEST(ItemStatistics, AgreeWithThePlainComputation) {
    ClassPtr sample;
    ASSERT_TRUE(test::loadShippedSample(sample));
    expectPlainStatistics(*sample);
    const SyntheticClassFiles f = makeSyntheticClass({200, 9, 17, 5});
    const auto generated = readClass(ClassText{f.conceptFile, f.itemConceptFile, f.studentFile});
    ASSERT_TRUE(generated.ok());
    expectPlainStatistics(*generated);
    // An item everyone gets right, an item nobody does: no variance, no correlation.
    expectPlainStatistics(test::makeClass({{1}, {2}, {1, 2}, {2}}, 2, "ABCD",
                                          {{"1", "ABCD"}, {"2", "AXCX"}, {"3", "AXXD"}}));
    // Equal scores: no KR-20.
    const ItemStatistics flat = itemStatistics(
        summariseClass(*runAnalysis(test::shared(test::makeClass({{1}, {2}}, 2, "AB",
                                                                 {{"1", "AX"}, {"2", "XB"}})),
                                    RunOptions{}))
            .itemSums);
    EXPECT_FALSE(flat.kr20);
    EXPECT_EQ(flat.items[0].discrimination, -1.0);
    EXPECT_FALSE(flat.items[0].alphaIfDeleted);  // one item left
}

// A student with no right answer links every pair, and so does one whose
// right answers treat every pair alike ("c"): left out of the pairs and the
// index histograms, kept in the score and the items.
TEST(UndeterminedStudents, AreMarkedAndLeftOutOfThePairs) {
    const ClassData data = test::makeClass({{1, 2}, {1, 3}, {1, 4}, {2}, {3}, {4}}, 4, "ABCDAB",
                                           {{"a", "ABCDAB"},
                                            {"none", "DDDADD"},
                                            {"b", "BCDDBC"},
                                            {"c", "ABCXXX"},
                                            {"none2", "XXXXXX"}});
    const auto run = runAnalysis(test::shared(data), RunOptions{});
    ASSERT_TRUE(run.ok());
    std::vector<std::string> flagged;
    for (const StudentRecord& r : run->students) {
        if (r.undetermined) flagged.push_back(r.id);
        // By the definition, on the matrix itself.
        bool equal = true;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                equal = equal && (i == j || r.distance(i, j) == r.distance(0, 1));
        EXPECT_EQ(r.undetermined, equal) << r.id;
    }
    EXPECT_THAT(flagged, ElementsAre("none", "c", "none2"));
    const ClassSummary s = summariseClass(*run);
    EXPECT_THAT(s.undeterminedIds, ElementsAre("none", "c", "none2"));
    EXPECT_EQ(s.determinedCount(), 2);
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) {
            std::int64_t k = 0;
            for (const StudentRecord& r : run->students)
                k += !r.undetermined && hasLink(r.links, i, j) ? 1 : 0;
            EXPECT_EQ(s.students(i, j), k);
            const double shown = s.isStandard(i, j) ? 2.0 - static_cast<double>(k) : k;
            EXPECT_DOUBLE_EQ(*s.diagnosisShare(i, j), shown / 2);
        }
    const auto total = [](const Histogram& h) {
        std::int64_t n = h.withoutValue;
        for (std::int64_t c : h.counts)
            n += c;
        return n;
    };
    EXPECT_EQ(total(s.histograms[kValuePfc]), 2);
    EXPECT_EQ(total(s.histograms[kValuePrx]), 2);
    EXPECT_EQ(total(s.histograms[kValueScore]), 5);
    EXPECT_EQ(s.itemSums.students, 5);
    // Streamed in bytes, as the command line tallies.
    ClassTally tally(data);
    std::string bytes;
    for (const StudentRecord& r : run->students)
        tally.appendBytes(bytes, r);
    tally.addBytes(bytes);
    EXPECT_EQ(tally.summary(*run), s);
    std::string row;
    appendResultsCsvRow(row, run->students[1], "triangle");
    EXPECT_THAT(row, ::testing::EndsWith(",1,triangle\r\n"));
}

TEST(QuizDesign, NamesEachProblemOnce) {
    // Concept 1 unused; 2 and 3 share items 1 and 2; 4 only with 5; item 4 empty.
    const auto warnings =
        quizDesignWarnings({{1, 2}, {1, 2}, {3, 4}, {}, {4}}, 5, {"a", "b", "c", "d", "e"});
    std::vector<std::pair<DesignProblem, std::vector<int>>> got;
    for (const DesignWarning& w : warnings)
        got.emplace_back(w.problem, w.problem == DesignProblem::EmptyItem ? std::vector<int>{w.item}
                                                                          : w.concepts);
    using P = DesignProblem;
    EXPECT_THAT(got, ElementsAre(std::pair(P::UnusedConcept, std::vector<int>{0}),
                                 std::pair(P::SameItems, std::vector<int>{1, 2}),
                                 std::pair(P::NeverAlone, std::vector<int>{3}),
                                 std::pair(P::EmptyItem, std::vector<int>{3})));
    EXPECT_THAT(quizDesignWarnings({{0}, {1}, {0, 1}}, 2, {"a", "b"}), ::testing::IsEmpty());
}

}  // namespace
}  // namespace qv
