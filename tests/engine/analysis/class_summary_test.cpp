#include "analysis/class_summary.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ranges>

#include "analysis/run.h"
#include "class_builder.h"
#include "sample_files.h"

namespace qv {
namespace {

using ::testing::ElementsAre;

// The counts against the run's own records, cell by cell.
TEST(ClassSummary, SampleClassCountsAgreeWithTheRecords) {
    ClassPtr loaded;
    ASSERT_TRUE(test::loadShippedSample(loaded));
    const auto run = runAnalysis(loaded, RunOptions{});
    ASSERT_TRUE(run.ok());
    const RunResults& s = *run;
    const ClassSummary summary = summariseClass(s);
    const int n = loaded->conceptCount;
    ASSERT_EQ(summary.studentCount, loaded->studentCount);
    ASSERT_EQ(summary.pairStudents.size(), static_cast<std::size_t>(n * (n - 1) / 2));
    std::int64_t links = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            std::int64_t k = 0;
            for (const StudentRecord& r : s.students)
                k += hasLink(r.links, i, j) ? 1 : 0;
            EXPECT_EQ(summary.students(i, j), k) << i << "-" << j;
            EXPECT_EQ(summary.students(j, i), k);
            EXPECT_EQ(summary.isStandard(i, j), s.stdLinks(i, j) != 0);
            links += k;
        }
    std::int64_t counted = 0;
    for (const StudentRecord& r : s.students)
        counted += r.linkCounts[kTargetLinks];
    EXPECT_EQ(links, counted);
    for (int m = 0; m < loaded->itemCount; ++m) {
        const auto right = std::ranges::count_if(
            s.students, [m](const StudentRecord& r) { return r.isCorrect(m); });
        EXPECT_EQ(summary.itemCorrect[static_cast<std::size_t>(m)], right);
    }
    for (const Histogram& h : summary.histograms) {
        std::int64_t total = h.withoutValue;
        for (std::int64_t c : h.counts)
            total += c;
        EXPECT_EQ(total, loaded->studentCount);
        EXPECT_EQ(h.edges.size(), h.counts.size() + 1);
    }
    // Tallied as the streamed run does, in bytes and in another order.
    ClassTally tally(*loaded);
    std::string bytes;
    for (const StudentRecord& r : std::views::reverse(s.students))
        tally.appendBytes(bytes, r);
    tally.addBytes(bytes);
    EXPECT_EQ(tally.summary(s), summary);
}

TEST(ClassSummary, ThreeStudentsByHand) {
    const auto run = runAnalysis(test::shared(test::threeStudentClass()), RunOptions{});
    ASSERT_TRUE(run.ok());
    const ClassSummary c = summariseClass(*run);
    EXPECT_THAT(c.itemCorrect, ElementsAre(1, 1, 1, 2, 1, 1));
    EXPECT_EQ(itemsOfPair(c, 0, 1), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(itemsOfPair(c, 3, 2), (std::vector<int>{1, 2, 4, 5}));

    const Histogram& score = c.histograms[kValueScore];
    EXPECT_THAT(score.edges, ElementsAre(0, 1, 2, 3, 4, 5, 6, 7));
    EXPECT_THAT(score.counts, ElementsAre(1, 1, 0, 0, 0, 0, 1));
    EXPECT_EQ(score.mean, 2.333);
    EXPECT_EQ(score.median, 1);
    // PFC 1 and 0.167; the third student, who links everything, is left out.
    EXPECT_THAT(c.undeterminedIds, ElementsAre("90702003"));
    const Histogram& pfc = c.histograms[kValuePfc];
    EXPECT_THAT(pfc.counts, ElementsAre(0, 1, 0, 0, 0, 0, 0, 0, 0, 1));
    EXPECT_EQ(pfc.mean, 0.584);
    EXPECT_EQ(pfc.median, 0.584);
    const Histogram& prx = c.histograms[kValuePrx];
    EXPECT_EQ(prx.edges.front(), -1);
    EXPECT_EQ(prx.withoutValue, 0);

    // The star A-B, A-C, A-D: the second student keeps one of its links and
    // adds two others.
    const auto missed = mostMissedLinks(c, 10);
    ASSERT_EQ(missed.size(), 2u);
    for (const RankedPair& p : missed) {
        EXPECT_TRUE(c.isStandard(p.i, p.j));
        EXPECT_DOUBLE_EQ(p.share, 0.5);
        EXPECT_EQ(p.students, 1);
    }
    EXPECT_LT(std::pair(missed[0].i, missed[0].j), std::pair(missed[1].i, missed[1].j));
    const auto extra = mostCommonExtraLinks(c, 10);
    ASSERT_EQ(extra.size(), 2u);
    EXPECT_DOUBLE_EQ(extra[0].share, 0.5);
    EXPECT_EQ(mostCommonExtraLinks(c, 1).size(), 1u);
    EXPECT_EQ(c.diagnosisShare(0, 1), 1.0 - static_cast<double>(c.students(0, 1)) / 2);

    const auto empty = runAnalysis(test::shared(test::makeClass({{1, 2}, {2}}, 2, "AB", {})),
                                   RunOptions{});
    ASSERT_TRUE(empty.ok());
    const ClassSummary none = summariseClass(*empty);
    EXPECT_FALSE(none.diagnosisShare(0, 1));
    EXPECT_FALSE(none.histograms[kValueScore].median);
    EXPECT_TRUE(mostMissedLinks(none, 5).empty());
}

// Means and medians halfway between two thousandths round up to the double
// nearest the next one: 0.0095 is 0.01, never an ulp below it.
TEST(ClassSummary, HalfwayMeansRoundToTheNearestDouble) {
    ClassData d;
    d.conceptCount = 2;
    d.itemCount = 2;
    RunResults s;
    s.data = test::shared(d);
    ClassTally tally(d);
    for (const double t : {0.009, 0.010}) {
        StudentRecord r;
        r.pfcValue = t;
        r.gtdValue = -t;
        r.prxValue = t + 0.09;
        tally.add(r);
    }
    const ClassSummary c = tally.summary(s);
    const Histogram& pfc = c.histograms[kValuePfc];
    EXPECT_EQ(pfc.mean, 0.01);
    EXPECT_EQ(pfc.median, 0.01);
    EXPECT_EQ(pfc.counts.front(), 2);
    EXPECT_EQ(c.histograms[kValueGtd].mean, -0.01);
    EXPECT_EQ(c.histograms[kValuePrx].median, 0.1);
}

}  // namespace
}  // namespace qv
