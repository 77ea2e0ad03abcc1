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
using test::shared;
using test::threeStudentClass;

std::string row(const std::string& id, const char* indices, const char* rates) {
    return id + " " + indices + " " + rates + std::string(kLineBreak);
}

TEST(Run, ThreeStudentClassTextAndProgress) {
    std::vector<int> progress;
    auto result = Level1TriangleRun(shared(threeStudentClass()),
                                    [&](int v) { progress.push_back(v); });
    ASSERT_TRUE(result.ok());
    const std::string expected = std::string(kResultsHeader) + std::string(kLineBreak) +
                                 row("90702001", "     1      1      1",
                                     "    100%       0%       0%     100%       0%       0% ") +
                                 row("90702002", " 0.167 -0.333 -0.333",
                                     " 33.333%  66.667%  66.667%  33.333%  66.667%  66.667% ") +
                                 row("90702003", "   0.5      1    N/A",
                                     "    100%       0%     100%      50%       0%      50% ");
    EXPECT_EQ(result->text, expected);
    EXPECT_EQ(progress,
              (std::vector<int>{0, 83, 166, 249, 332, 415, 498, 581, 664, 747, 830, 913, 1000}));
}

// Concept distances by their definition, for a 0/1 item-concept table: over
// the counted items, the number on which exactly one of the two concepts is
// marked; itemCount + 1 for two concepts that no counted item marks.
template <typename Counted>
DistanceMatrix definedDistances(const ClassData& s, Counted counted) {
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
std::vector<ClassPtr> variedClasses() {
    std::mt19937 rng(1234);
    std::vector<ClassPtr> classes;
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
        classes.push_back(shared(makeClass(table, concepts, std::string(items, 'A'), students)));
    }
    std::vector<std::vector<int>> wide(8191);
    for (std::size_t m = 0; m < wide.size(); ++m)
        wide[m] = {1 + static_cast<int>(m % 3)};
    std::string answers(8191, 'A');
    for (std::size_t m = 0; m < answers.size(); m += 7)
        answers[m] = 'B';
    classes.push_back(
        shared(makeClass(wide, 4, std::string(8191, 'A'), {{"1", answers}, {"2", ""}})));
    return classes;
}

TEST(Run, DistancesFollowTheirDefinitionAndLeanRunsAgree) {
    for (const ClassPtr& loaded : variedClasses()) {
        const ClassData& c = *loaded;
        for (RunMethod method : {RunMethod::Triangle, RunMethod::PathSearch, RunMethod::pfnet({}),
                                 RunMethod::pfnet({PfnetR::One, 0})}) {
            RunOptions options;
            options.method = method;
            const auto run = runAnalysis(loaded, options);
            ASSERT_TRUE(run.ok());
            const RunResults& full = *run;
            ASSERT_EQ(full.stdDistance, definedDistances(c, [](int) { return true; }));
            for (const StudentRecord& r : full.students)
                ASSERT_EQ(r.distance, definedDistances(c, [&](int m) { return r.isCorrect(m); }))
                    << c.itemCount << " items, " << c.conceptCount << " concepts";
            // PFNET in place of the first-order test, for the standard and everyone.
            const int n = c.conceptCount;
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
            const auto leanRun = runAnalysis(loaded, options);
            ASSERT_EQ(leanRun->text, full.text);
            const RunResults& lean = *leanRun;
            const StudentNetworkBuilder builder(c, method);
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
    ClassPtr loaded;
    ASSERT_TRUE(
        loadClass(loaded, ClassText{files.conceptFile, files.itemConceptFile, files.studentFile}));
    std::vector<RunResults> runs;
    std::vector<std::string> texts;
    std::vector<std::vector<int>> progress(4);
    for (int threads : {1, 3, 1, 3}) {
        RunOptions options;
        options.method =
            runs.size() < 2 ? RunMethod::PathSearch : RunMethod::pfnet({PfnetR::Infinity, 3});
        options.threads = threads;
        auto& values = progress[runs.size()];
        const auto caller = std::this_thread::get_id();
        options.progress = [&values, caller](int v) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            values.push_back(v);
        };
        runs.push_back(*runAnalysis(loaded, options));
        texts.push_back(runs.back().text);
    }
    for (std::size_t pair : {0u, 2u}) {
        EXPECT_EQ(texts[pair], texts[pair + 1]);
        EXPECT_EQ(progress[pair], progress[pair + 1]);
        for (std::size_t k = 0; k < loaded->students.size(); ++k)
            ASSERT_EQ(runs[pair].students[k].graphDistance,
                      runs[pair + 1].students[k].graphDistance)
                << k;
    }
    EXPECT_NE(texts[0], texts[2]);
}

// A cancel is seen between blocks: the run stops without results and the
// progress goes no further than the block it was in.
TEST(Run, ACancelStopsTheRunBetweenBlocks) {
    const SyntheticClassFiles files = makeSyntheticClass({2500, 12, 30, 3});
    ClassPtr loaded;
    ASSERT_TRUE(
        loadClass(loaded, ClassText{files.conceptFile, files.itemConceptFile, files.studentFile}));
    for (int threads : {1, 3}) {
        std::atomic<bool> cancel{false};
        std::vector<int> progress;
        RunOptions options;
        options.threads = threads;
        options.cancel = &cancel;
        // Set within the first block's steps, after the standard's three.
        options.progress = [&](int v) {
            progress.push_back(v);
            if (progress.size() == 4) cancel = true;
        };
        const auto run = runAnalysis(loaded, options);
        ASSERT_FALSE(run.ok());
        EXPECT_EQ(run.error().message(), kRunCancelled);
        const std::size_t firstBlock = studentBlockSize(2500, threads, 12);
        EXPECT_EQ(progress.size(), 3 + 3 * firstBlock) << threads;
    }
}

TEST(Run, RepeatedRunsStartTheCountersAtZero) {
    const ClassPtr loaded = shared(threeStudentClass());
    const RunResults first = *Level1TriangleRun(loaded);
    // A path-search run in between does not leak its counts.
    const RunResults other = *Level1PathSearchRun(loaded);
    EXPECT_EQ(other.text.find(kResultsHeader, 1), std::string::npos);
    const RunResults again = *Level1TriangleRun(loaded);
    EXPECT_EQ(again.text, first.text);
    EXPECT_EQ(again.students[1].linkCounts, first.students[1].linkCounts);
}

TEST(Run, EmptyClassShowsTheHeaderAlone) {
    std::vector<int> progress;
    auto result = Level1PathSearchRun(shared(makeClass({{1, 2}, {2}}, 2, "AB", {})),
                                      [&](int v) { progress.push_back(v); });
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result->text, std::string(kResultsHeader) + std::string(kLineBreak));
    EXPECT_EQ(progress, (std::vector<int>{0, 333, 666, 1000}));
}

void expectRefused(ClassData data, const std::string& phrase) {
    bool reported = false;
    RunOptions options;
    options.progress = [&](int) { reported = true; };
    auto result = runAnalysis(shared(data), options);
    ASSERT_FALSE(result.ok()) << phrase;
    const std::string message = result.error().message();
    EXPECT_NE(message.find(phrase), std::string::npos) << message;
    EXPECT_EQ(checkRunnable(data).error().message(), message);
    EXPECT_FALSE(reported);
}

TEST(Run, RefusesBeforeChangingAnything) {
    const ClassData loaded = threeStudentClass();
    EXPECT_TRUE(checkRunnable(loaded));
    ClassData noData = loaded;
    noData.dataLoaded = false;
    expectRefused(noData, "學生資料檔");
    expectRefused(ClassData{}, "學生資料檔、概念註解檔、題目所包含概念檔");
    ClassData moreItems = loaded;  // a student file of 7 items loaded after the 6-item table
    moreItems.answerKey += U'A';
    moreItems.itemCount = 7;
    expectRefused(moreItems, "學生資料檔有 7 題，題目所包含概念檔有 6 題");
    ClassData otherConcepts = loaded;  // concept file of 5 loaded after the item-concept file
    otherConcepts.conceptCount = 5;
    otherConcepts.conceptNames.push_back(" E");
    expectRefused(otherConcepts, "依 4 個概念載入");
    expectRefused(makeClass({{1}, {1}}, 1, "AB", {{"1", "AB"}}), "只有 1 個概念");
    ClassData weighted = loaded;  // distances are counted over a 0/1 table only
    weighted.itemConcept(2, 1) = Currency::fromDouble(0.5);
    expectRefused(weighted, "只能是 0 或 1");
    // A q the class's concept count does not allow.
    RunOptions options;
    options.method = RunMethod::pfnet({PfnetR::Infinity, 4});
    const auto refused = runAnalysis(shared(loaded), options);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().message(),
              "無法執行分析：q 須為 2 到 3（概念數 − 1）的整數（讀到 4）");
    options.method.pfnetParams.q = 3;
    EXPECT_TRUE(runAnalysis(shared(loaded), options).ok());
}

}  // namespace
}  // namespace qv
