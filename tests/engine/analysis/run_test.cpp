#include "analysis/run.h"

#include <gtest/gtest.h>

#include "analysis/results_text.h"
#include "analysis/student_matrices.h"
#include "class_builder.h"

namespace qv {
namespace {

using test::makeClass;
using test::threeStudentClass;

std::string row(const std::string& id, const char* indices, const char* rates) {
    return id + " " + indices + " " + rates + std::string(kLineBreak);
}

TEST(Run, ThreeStudentClassTextAndProgress) {
    AppState state = threeStudentClass();
    std::vector<int> progress;
    auto result = Level1TriangleRun(state, [&](int v) { progress.push_back(v); });
    ASSERT_TRUE(result.ok());

    const std::string expected = std::string(kResultsHeader) + std::string(kLineBreak) +
                                 row("90702001", "     1      1      1",
                                     "    100%       0%       0%     100%       0%       0% ") +
                                 row("90702002", " 0.167 -0.333 -0.333",
                                     " 33.333%  66.667%  66.667%  33.333%  66.667%  66.667% ") +
                                 row("90702003", "   0.5      1    N/A",
                                     "    100%       0%     100%      50%       0%      50% ");
    EXPECT_EQ(*result, expected);
    EXPECT_EQ(progress,
              (std::vector<int>{0, 83, 166, 249, 332, 415, 498, 581, 664, 747, 830, 913, 1000}));
    EXPECT_TRUE(state.hasResults);
}

TEST(Run, StoresTheStandardAndEveryRecord) {
    AppState state = threeStudentClass();
    ASSERT_TRUE(Level1TriangleRun(state).ok());

    // Standard: A is 3 from B, C and D; those are 4 apart; the star around A.
    ASSERT_EQ(state.stdDistance.rows(), 4);
    EXPECT_EQ(state.stdDistance(0, 1), Currency::fromInt(3));
    EXPECT_EQ(state.stdDistance(2, 3), Currency::fromInt(4));
    const LinkMatrix star = state.stdLinks;
    EXPECT_TRUE(star(0, 1) && star(0, 2) && star(0, 3) && star(3, 0));
    EXPECT_FALSE(star(1, 2) || star(1, 3) || star(2, 3));
    EXPECT_EQ(state.stdGraphDistance(1, 2), 2);

    const StudentRecord& same = state.students[0];
    EXPECT_EQ(same.links, state.stdLinks);
    EXPECT_EQ(same.distance, state.stdDistance);
    EXPECT_EQ(same.linkCounts, (LinkFlagCounts{3, 0, 0, 3, 3, 3}));

    // Only concept B touched: 1 from A, C and D; A, C, D untouched (7 apart).
    const StudentRecord& weak = state.students[1];
    EXPECT_EQ(weak.distance(0, 1), Currency::fromInt(1));
    EXPECT_EQ(weak.distance(0, 2), Currency::fromInt(7));
    EXPECT_EQ(weak.graphDistance(0, 2), 2);
    EXPECT_EQ(weak.linkCounts, (LinkFlagCounts{1, 2, 2, 1, 3, 3}));
    EXPECT_EQ(weak.pfc, " 0.167");
    EXPECT_EQ(weak.gtd, "-0.333");
    EXPECT_EQ(weak.prx, "-0.333");
    EXPECT_EQ(weak.overOnStd, " 66.667");
    ASSERT_TRUE(weak.rateValues[0].has_value());
    EXPECT_EQ(weak.matchOnStd, " 33.333");

    // Nothing correct: every distance is ItemCount + 1, no PRX, every pair linked.
    const StudentRecord& none = state.students[2];
    EXPECT_EQ(none.distance(1, 3), Currency::fromInt(7));
    EXPECT_FALSE(none.prxValue.has_value());
    EXPECT_EQ(none.prx, "   N/A");
    EXPECT_EQ(none.linkCounts[kTargetLinks], 6);
    EXPECT_EQ(none.matchOnTarget, "     50");
}

TEST(Run, RepeatedRunsStartTheCountersAtZero) {
    AppState state = threeStudentClass();
    const std::string first = *Level1TriangleRun(state);
    const LinkFlagCounts counts = state.students[1].linkCounts;
    EXPECT_EQ(*Level1TriangleRun(state), first);
    EXPECT_EQ(state.students[1].linkCounts, counts);

    // A path-search run in between replaces the table and does not leak its counts.
    const std::string other = *Level1PathSearchRun(state);
    EXPECT_EQ(other.find(kResultsHeader), 0u);
    EXPECT_EQ(other.find(kResultsHeader, 1), std::string::npos);
    EXPECT_EQ(*Level1TriangleRun(state), first);
    EXPECT_EQ(state.students[1].linkCounts, counts);
}

TEST(Run, WithoutStudentMatricesKeepsLinksAndTexts) {
    AppState full = threeStudentClass();
    AppState lean = threeStudentClass();
    RunOptions options;
    options.keepStudentMatrices = false;
    EXPECT_EQ(*runAnalysis(lean, options), *runAnalysis(full, {}));
    for (std::size_t k = 0; k < lean.students.size(); ++k) {
        EXPECT_TRUE(lean.students[k].distance.empty());
        EXPECT_TRUE(lean.students[k].graphDistance.empty());
        EXPECT_EQ(lean.students[k].links, full.students[k].links);
        EXPECT_EQ(lean.students[k].prx, full.students[k].prx);
    }
    // The builder gives back what the full run kept.
    const StudentNetworkBuilder builder(lean, RunMethod::Triangle);
    const StudentNetwork again = builder.network(lean.students[1]);
    EXPECT_EQ(again.distance, full.students[1].distance);
    EXPECT_EQ(again.graphDistance, full.students[1].graphDistance);
}

TEST(Run, EmptyClassShowsTheHeaderAlone) {
    AppState state = makeClass({{1, 2}, {2}}, 2, "AB", {});
    std::vector<int> progress;
    auto result = Level1PathSearchRun(state, [&](int v) { progress.push_back(v); });
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(*result, std::string(kResultsHeader) + std::string(kLineBreak));
    EXPECT_EQ(progress, (std::vector<int>{0, 333, 666, 1000}));
}

// What a refused run must leave alone.
struct Snapshot {
    explicit Snapshot(const AppState& s)
        : hasResults(s.hasResults), stdLinks(s.stdLinks), conceptCount(s.conceptCount) {
        for (const StudentRecord& r : s.students)
            texts.push_back(r.pfc + r.matchOnStd);
    }
    bool operator==(const Snapshot&) const = default;
    bool hasResults;
    LinkMatrix stdLinks;
    int conceptCount;
    std::vector<std::string> texts;
};

void expectRefused(AppState state, const std::string& phrase) {
    const Snapshot before(state);
    bool reported = false;
    RunOptions options;
    options.progress = [&](int) { reported = true; };
    auto result = runAnalysis(state, options);
    ASSERT_FALSE(result.ok()) << phrase;
    const std::string message = result.error().message();
    EXPECT_NE(message.find(phrase), std::string::npos) << message;
    EXPECT_EQ(checkRunnable(state).error().message(), message);
    EXPECT_TRUE(Snapshot(state) == before) << phrase;
    EXPECT_FALSE(reported);
}

TEST(Run, RefusesBeforeChangingAnything) {
    AppState loaded = threeStudentClass();
    ASSERT_TRUE(Level1TriangleRun(loaded).ok());
    EXPECT_TRUE(checkRunnable(loaded));

    AppState noData = loaded;
    noData.dataLoaded = false;
    expectRefused(noData, "學生資料檔");
    AppState nothing;
    expectRefused(nothing, "學生資料檔、概念註解檔、題目所包含概念檔");

    AppState moreItems = loaded;  // a student file of 7 items loaded after the 6-item table
    moreItems.answerKey += U'A';
    moreItems.itemCount = 7;
    expectRefused(moreItems, "學生資料檔有 7 題，題目所包含概念檔有 6 題");

    AppState otherConcepts = loaded;  // concept file of 5 loaded after the item-concept file
    otherConcepts.conceptCount = 5;
    otherConcepts.conceptNames.push_back(" E");
    expectRefused(otherConcepts, "依 4 個概念載入");

    AppState one = makeClass({{1}, {1}}, 1, "AB", {{"1", "AB"}});
    expectRefused(one, "只有 1 個概念");
}

}  // namespace
}  // namespace qv
