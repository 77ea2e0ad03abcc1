#include "analysis/run.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "analysis/results_text.h"
#include "analysis/synthetic_class.h"
#include "class_builder.h"
#include "data/loaders.h"

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

// Concept distances by their definition, for a 0/1 item-concept table: over
// the counted items, the number on which exactly one of the two concepts is
// marked; itemCount + 1 for two concepts that no counted item marks.
template <typename Counted>
DistanceMatrix definedDistances(const AppState& s, Counted counted) {
    DistanceMatrix d(s.conceptCount, s.conceptCount);
    for (int a = 0; a < s.conceptCount; ++a)
        for (int b = a + 1; b < s.conceptCount; ++b) {
            int differ = 0;
            bool marked = false;
            for (int m = 0; m < s.itemCount; ++m) {
                if (!counted(m)) continue;
                const bool x = !s.itemConcept(m, a).isZero(), y = !s.itemConcept(m, b).isZero();
                differ += x != y ? 1 : 0;
                marked = marked || x || y;
            }
            d(a, b) = d(b, a) = Currency::fromInt(marked ? differ : s.itemCount + 1);
        }
    return d;
}

// Random classes, and one with too many items for whole-unit distances.
std::vector<AppState> variedClasses() {
    std::mt19937 rng(1234);
    std::vector<AppState> classes;
    for (int trial = 0; trial < 30; ++trial) {
        const int items = 1 + static_cast<int>(rng() % 150);
        const int concepts = 2 + static_cast<int>(rng() % 23);
        const unsigned density = 3 + rng() % 30;
        std::vector<std::vector<int>> table(static_cast<std::size_t>(items));
        for (auto& item : table)
            for (int c = 1; c <= concepts; ++c)
                if (rng() % 100 < density) item.push_back(c);
        std::vector<std::pair<std::string, std::string>> students;
        for (int s = 0; s < 4; ++s) {
            std::string answers;
            const unsigned right = rng() % 101;
            for (int m = 0; m < items; ++m)
                answers += rng() % 100 < right ? 'A' : 'B';
            students.emplace_back(std::to_string(s), answers);
        }
        classes.push_back(makeClass(table, concepts, std::string(items, 'A'), students));
    }
    std::vector<std::vector<int>> wide(8191);
    for (std::size_t m = 0; m < wide.size(); ++m)
        wide[m] = {1 + static_cast<int>(m % 3)};
    std::string answers(8191, 'A');
    for (std::size_t m = 0; m < answers.size(); m += 7)
        answers[m] = 'B';
    classes.push_back(makeClass(wide, 4, std::string(8191, 'A'), {{"1", answers}, {"2", ""}}));
    return classes;
}

TEST(Run, DistancesFollowTheirDefinitionAndLeanRunsAgree) {
    for (const AppState& loaded : variedClasses()) {
        for (RunMethod method : {RunMethod::Triangle, RunMethod::PathSearch, RunMethod::pfnet({}),
                                 RunMethod::pfnet({PfnetR::One, 0})}) {
            AppState full = loaded, lean = loaded;
            RunOptions options;
            options.method = method;
            const auto text = runAnalysis(full, options);
            ASSERT_TRUE(text.ok());
            ASSERT_EQ(full.stdDistance, definedDistances(full, [](int) { return true; }));
            for (const StudentRecord& r : full.students)
                ASSERT_EQ(r.distance, definedDistances(full, [&](int m) { return r.isCorrect(m); }))
                    << full.itemCount << " items, " << full.conceptCount << " concepts";
            // PFNET in place of the first-order test, for the standard and everyone.
            const int n = full.conceptCount;
            if (method.kind == NetworkKind::Pfnet) {
                ASSERT_EQ(full.stdLinks, *PfnetNetwork(full.stdDistance, n, method.pfnetParams));
                for (const StudentRecord& r : full.students)
                    ASSERT_EQ(linkMatrix(r.links),
                              *PfnetNetwork(r.distance, n, method.pfnetParams));
            }
            EXPECT_EQ(full.methodName, reportedMethodName(method, n));
            // Without the matrices kept the table is the same, and the
            // builder gives back what the full run kept.
            options.keepStudentMatrices = false;
            ASSERT_EQ(*runAnalysis(lean, options), *text);
            const StudentNetworkBuilder builder(lean, method);
            for (std::size_t k = 0; k < lean.students.size(); ++k) {
                EXPECT_TRUE(lean.students[k].distance.empty());
                EXPECT_EQ(lean.students[k].links, full.students[k].links);
                const StudentNetwork again = builder.network(lean.students[k]);
                EXPECT_EQ(again.distance, full.students[k].distance);
                EXPECT_EQ(again.links, linkMatrix(full.students[k].links));
                EXPECT_EQ(again.graphDistance, full.students[k].graphDistance);
            }
        }
    }
}

// More blocks than workers: the text, the records and the progress (on the
// calling thread, value for value) must not depend on the thread count.
TEST(Run, ThreadCountChangesNothing) {
    const SyntheticClassFiles files = makeSyntheticClass({2500, 12, 30, 3});
    AppState loaded;
    ASSERT_TRUE(
        loadClass(loaded, ClassText{files.conceptFile, files.itemConceptFile, files.studentFile}));
    std::vector<AppState> runs;
    std::vector<std::string> texts;
    std::vector<std::vector<int>> progress(4);
    for (int threads : {1, 3, 1, 3}) {
        AppState& state = runs.emplace_back(loaded);
        RunOptions options;
        options.method =
            runs.size() <= 2 ? RunMethod::PathSearch : RunMethod::pfnet({PfnetR::Infinity, 3});
        options.threads = threads;
        auto& values = progress[runs.size() - 1];
        const auto caller = std::this_thread::get_id();
        options.progress = [&values, caller](int v) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            values.push_back(v);
        };
        texts.push_back(*runAnalysis(state, options));
    }
    for (std::size_t pair : {0u, 2u}) {
        EXPECT_EQ(texts[pair], texts[pair + 1]);
        EXPECT_EQ(progress[pair], progress[pair + 1]);
        for (std::size_t k = 0; k < loaded.students.size(); ++k)
            ASSERT_EQ(runs[pair].students[k].graphDistance,
                      runs[pair + 1].students[k].graphDistance)
                << k;
    }
    EXPECT_NE(texts[0], texts[2]);
}

TEST(Run, RepeatedRunsStartTheCountersAtZero) {
    AppState state = threeStudentClass();
    const std::string first = *Level1TriangleRun(state);
    const LinkFlagCounts counts = state.students[1].linkCounts;
    // A path-search run in between replaces the table and does not leak its counts.
    const std::string other = *Level1PathSearchRun(state);
    EXPECT_EQ(other.find(kResultsHeader, 1), std::string::npos);
    EXPECT_EQ(*Level1TriangleRun(state), first);
    EXPECT_EQ(state.students[1].linkCounts, counts);
}

TEST(Run, EmptyClassShowsTheHeaderAlone) {
    AppState state = makeClass({{1, 2}, {2}}, 2, "AB", {});
    std::vector<int> progress;
    auto result = Level1PathSearchRun(state, [&](int v) { progress.push_back(v); });
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(*result, std::string(kResultsHeader) + std::string(kLineBreak));
    EXPECT_EQ(progress, (std::vector<int>{0, 333, 666, 1000}));
}

void expectRefused(AppState state, const std::string& phrase) {
    const AppState before = state;
    bool reported = false;
    RunOptions options;
    options.progress = [&](int) { reported = true; };
    auto result = runAnalysis(state, options);
    ASSERT_FALSE(result.ok()) << phrase;
    const std::string message = result.error().message();
    EXPECT_NE(message.find(phrase), std::string::npos) << message;
    EXPECT_EQ(checkRunnable(state).error().message(), message);
    EXPECT_EQ(state.hasResults, before.hasResults);
    EXPECT_EQ(state.stdLinks, before.stdLinks);
    for (std::size_t k = 0; k < state.students.size(); ++k)
        EXPECT_EQ(state.students[k].pfcValue, before.students[k].pfcValue);
    EXPECT_FALSE(reported);
}

TEST(Run, RefusesBeforeChangingAnything) {
    AppState loaded = threeStudentClass();
    ASSERT_TRUE(Level1TriangleRun(loaded).ok());
    EXPECT_TRUE(checkRunnable(loaded));
    AppState noData = loaded;
    noData.dataLoaded = false;
    expectRefused(noData, "學生資料檔");
    expectRefused(AppState{}, "學生資料檔、概念註解檔、題目所包含概念檔");
    AppState moreItems = loaded;  // a student file of 7 items loaded after the 6-item table
    moreItems.answerKey += U'A';
    moreItems.itemCount = 7;
    expectRefused(moreItems, "學生資料檔有 7 題，題目所包含概念檔有 6 題");
    AppState otherConcepts = loaded;  // concept file of 5 loaded after the item-concept file
    otherConcepts.conceptCount = 5;
    otherConcepts.conceptNames.push_back(" E");
    expectRefused(otherConcepts, "依 4 個概念載入");
    expectRefused(makeClass({{1}, {1}}, 1, "AB", {{"1", "AB"}}), "只有 1 個概念");
    AppState weighted = loaded;  // distances are counted over a 0/1 table only
    weighted.itemConcept(2, 1) = Currency::fromDouble(0.5);
    expectRefused(weighted, "只能是 0 或 1");
    // A q the class's concept count does not allow.
    AppState pfnet = loaded;
    RunOptions options;
    options.method = RunMethod::pfnet({PfnetR::Infinity, 4});
    const auto refused = runAnalysis(pfnet, options);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message(),
              "無法執行分析：q 須為 2 到 3（概念數 − 1）的整數（讀到 4）");
    EXPECT_EQ(pfnet.stdLinks, loaded.stdLinks);
    options.method.pfnetParams.q = 3;
    EXPECT_TRUE(runAnalysis(pfnet, options).ok());
}

}  // namespace
}  // namespace qv
