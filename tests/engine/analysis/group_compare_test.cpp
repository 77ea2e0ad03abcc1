#include "analysis/group_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "analysis/run.h"
#include "class_builder.h"
#include "core/number_text.h"
#include "pathfinder/pfnet.h"

namespace qv {
namespace {

using Pairs = std::vector<std::array<int, 2>>;

// Six concepts, twelve items; answers drawn so that scores tie.
ClassData randomClass(unsigned seed, const std::vector<std::string>& ids) {
    std::mt19937 draw(seed);
    const std::string key = "ABCDABCDABCD";
    std::vector<std::pair<std::string, std::string>> students;
    for (const std::string& id : ids) {
        std::string answers = key;
        for (char& c : answers)
            if (draw() % 3 == 0) c = 'E';
        students.emplace_back(id, answers);
    }
    return test::makeClass({{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {1, 6}, {1, 3}, {2, 5}, {1},
                            {4}, {6}, {3, 6}},
                           6, key, students);
}

RunResults runOf(const ClassData& data) {
    RunOptions options;
    options.method = RunMethod::pfnet({});
    options.threads = 1;
    auto run = runAnalysis(test::shared(data), options);
    EXPECT_TRUE(run.ok());
    return std::move(run).value();
}

std::vector<std::string> ids(int count) {
    std::vector<std::string> out;
    for (int k = 0; k < count; ++k)
        out.push_back("S" + std::to_string(k));
    return out;
}

int linking(const std::vector<const StudentRecord*>& group, int i, int j) {
    int c = 0;
    for (const StudentRecord* r : group)
        c += linkMatrix(r->links)(i, j);
    return c;
}

// The pairs a recount of the records finds, with the network of their sum.
void expectSide(const CompareSide& side, const std::vector<const StudentRecord*>& group, int n) {
    Pairs majority, mean;
    DistanceMatrix sum(n, n);
    for (const StudentRecord* r : group)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                sum(i, j) += r->distance(i, j);
    const LinkMatrix meanLinks = *PfnetNetwork(sum, n, {});
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            if (2 * linking(group, i, j) >= static_cast<int>(group.size()))
                majority.push_back({i, j});
            if (meanLinks(i, j)) mean.push_back({i, j});
        }
    EXPECT_EQ(side.students, static_cast<int>(group.size()));
    EXPECT_EQ(side.majority, majority);
    EXPECT_EQ(side.meanNetwork, mean);
}

TEST(GroupCompare, ScoreSplitCountsMajorityAndMeanNetworks) {
    const RunResults run = runOf(randomClass(3, ids(23)));
    const auto sides = splitByScore(run, 27'000);
    ASSERT_TRUE(sides.ok());
    const RunMethod method = RunMethod::pfnet({});
    const CompareGroup a{"top", &run, (*sides)[0], method}, b{"bottom", &run, (*sides)[1], method};
    PermutationOptions options;
    options.permutations = 50;
    const auto r = compareGroups(CompareDesign::ScoreSplit, a, b, nullptr, options);
    ASSERT_TRUE(r.ok()) << r.error().message();
    std::array<std::vector<const StudentRecord*>, 2> groups;
    for (std::size_t side = 0; side < 2; ++side)
        for (int k : (*sides)[side])
            groups[side].push_back(&run.students[static_cast<std::size_t>(k)]);
    ASSERT_EQ(r->tests.pairs.size(), 15u);
    for (const PairTest& t : r->tests.pairs) {
        EXPECT_EQ(t.a, linking(groups[0], t.i, t.j)) << t.i << "-" << t.j;
        EXPECT_EQ(t.b, linking(groups[1], t.i, t.j)) << t.i << "-" << t.j;
    }
    expectSide(r->sides[0], groups[0], 6);
    expectSide(r->sides[1], groups[1], 6);

    // Pearson's r of the two sums in doubles, the plain way.
    std::vector<double> x, y;
    for (int i = 0; i < 6; ++i)
        for (int j = i + 1; j < 6; ++j) {
            double sx = 0, sy = 0;
            for (const auto* s : groups[0]) sx += s->distance(i, j).toDouble();
            for (const auto* s : groups[1]) sy += s->distance(i, j).toDouble();
            x.push_back(sx);
            y.push_back(sy);
        }
    const double mx = std::accumulate(x.begin(), x.end(), 0.0) / 15;
    const double my = std::accumulate(y.begin(), y.end(), 0.0) / 15;
    double cxy = 0, cxx = 0, cyy = 0;
    for (std::size_t k = 0; k < x.size(); ++k) {
        cxy += (x[k] - mx) * (y[k] - my);
        cxx += (x[k] - mx) * (x[k] - mx);
        cyy += (y[k] - my) * (y[k] - my);
    }
    ASSERT_TRUE(r->meanCorrelation.has_value());
    EXPECT_NEAR(*r->meanCorrelation, cxy / std::sqrt(cxx * cyy), 1e-12);
}

TEST(GroupCompare, PairedGainedLostAndIndexChanges) {
    std::vector<std::string> first = ids(9), second = ids(10);
    first[4] = "gone";     // sat the first test only
    second[9] = "joined";  // only the second
    std::reverse(second.begin(), second.end());
    const RunResults before = runOf(randomClass(5, first)), after = runOf(randomClass(8, second));
    const auto matching = matchById(before, after);
    ASSERT_TRUE(matching.ok());
    EXPECT_EQ(matching->unmatched[0], std::vector<std::string>{"gone"});
    EXPECT_EQ(matching->unmatched[1], (std::vector<std::string>{"joined", "S4"}));
    ASSERT_EQ(matching->pairs.size(), 8u);
    EXPECT_EQ(matching->pairs[4], (std::array<int, 2>{5, 4}));
    const RunMethod method = RunMethod::pfnet({});
    const auto r = compareGroups(CompareDesign::Paired, {"pre", &before, {}, method},
                                 {"post", &after, {}, method}, &*matching, {});
    ASSERT_TRUE(r.ok()) << r.error().message();
    ASSERT_EQ(r->changes.size(), 8u);
    EXPECT_EQ(r->unmatched, matching->unmatched);
    std::array<std::int64_t, 3> sums{};
    std::array<int, 3> counted{};
    for (std::size_t k = 0; k < 8; ++k) {
        const StudentRecord& x = before.students[static_cast<std::size_t>(matching->pairs[k][0])];
        const StudentRecord& y = after.students[static_cast<std::size_t>(matching->pairs[k][1])];
        const LinkMatrix lx = linkMatrix(x.links), ly = linkMatrix(y.links);
        Pairs gained, lost;
        for (int i = 0; i < 6; ++i)
            for (int j = i + 1; j < 6; ++j) {
                if (ly(i, j) && !lx(i, j)) gained.push_back({i, j});
                if (lx(i, j) && !ly(i, j)) lost.push_back({i, j});
            }
        EXPECT_EQ(r->changes[k].id, x.id);
        EXPECT_EQ(r->changes[k].gained, gained) << x.id;
        EXPECT_EQ(r->changes[k].lost, lost) << x.id;
        const std::array<std::optional<double>, 3> vx{x.pfcValue, x.gtdValue, x.prxValue},
            vy{y.pfcValue, y.gtdValue, y.prxValue};
        for (std::size_t i = 0; i < 3; ++i)
            if (vx[i] && vy[i]) {
                // An unchanged index has no sign to flip: left out like a missing one.
                const long change = std::lround(*vy[i] * 1000) - std::lround(*vx[i] * 1000);
                sums[i] += change;
                counted[i] += change != 0;
            }
    }
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(r->indexTests[i].sum, sums[i]) << i;
        EXPECT_EQ(r->indexTests[i].students, counted[i]) << i;
    }
    // An ID twice on either side.
    std::vector<std::string> twice = second;
    twice[0] = "S2";
    const auto refused = matchById(before, runOf(randomClass(8, twice)));
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().message().find("S2"), std::string::npos);
    EXPECT_FALSE(matchById(runOf(randomClass(8, twice)), after).ok());
}

TEST(GroupCompare, ScoreSplitTiesAndOverlap) {
    RunResults run;
    for (const int score : {5, 3, 4, 1, 5, 3, 3, 2}) {
        StudentRecord r;
        r.id = "S" + std::to_string(run.students.size());
        r.score = score;
        run.students.push_back(r);
    }
    // 27 % of 8: rank 3 from each end, scores 4 and 3, ties included.
    const auto sides = splitByScore(run, 27'000);
    ASSERT_TRUE(sides.ok());
    EXPECT_EQ((*sides)[0], (std::vector<int>{0, 2, 4}));
    EXPECT_EQ((*sides)[1], (std::vector<int>{1, 3, 5, 6, 7}));
    // The rank is rounded up exactly: 25 % of 8 is rank 2, 25.001 % rank 3.
    EXPECT_EQ((*splitByScore(run, 25'000))[0], (std::vector<int>{0, 4}));
    EXPECT_EQ((*splitByScore(run, 25'000))[1], (std::vector<int>{3, 7}));
    EXPECT_EQ((*splitByScore(run, 25'001))[1], (std::vector<int>{1, 3, 5, 6, 7}));
    // 50 %: rank 4 from each end meets at the 3s.
    EXPECT_FALSE(splitByScore(run, 50'000).ok());
    EXPECT_FALSE(splitByScore(run, 0).ok());

    const auto byIds = splitByIds(run, {"S6", "S1", "nobody"});
    ASSERT_TRUE(byIds.ok());
    EXPECT_EQ((*byIds)[0], (std::vector<int>{1, 6}));
    EXPECT_EQ((*byIds)[1], (std::vector<int>{0, 2, 3, 4, 5, 7}));
    EXPECT_FALSE(splitByIds(run, {"nobody"}).ok());
}

TEST(GroupCompare, RefusesOtherConcepts) {
    const RunResults a = runOf(randomClass(1, ids(4)));
    ClassData renamed = randomClass(1, ids(4));
    renamed.conceptNames[2] = "其他";
    const RunResults b = runOf(renamed);
    const RunMethod method = RunMethod::pfnet({});
    const auto r = compareGroups(CompareDesign::TwoClasses, {"a", &a, {0, 1}, method},
                                 {"b", &b, {0, 1}, method}, nullptr, {});
    EXPECT_FALSE(r.ok());
}

}  // namespace
}  // namespace qv
