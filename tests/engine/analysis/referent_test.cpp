#include "analysis/referent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/results_text.h"
#include "analysis/run.h"
#include "analysis/synthetic_class.h"
#include "compare/graph_distance.h"
#include "compare/indices.h"
#include "compare/link_flags.h"
#include "core/number_text.h"
#include "data/loaders.h"

namespace qv {
namespace {

ClassPtr generatedClass() {
    const SyntheticClassFiles f = makeSyntheticClass({60, 9, 18, 11});
    auto read = readClass(ClassText{f.conceptFile, f.itemConceptFile, f.studentFile});
    EXPECT_TRUE(read.ok());
    return std::make_shared<const ClassData>(std::move(read).value());
}

RunMethod pfnetWith(ReferentChoice referent) {
    RunMethod m = RunMethod::pfnet({PfnetR::Infinity, 0});
    m.referent = referent;
    return m;
}

// Pearson's r over the cells i < j, in plain doubles.
std::optional<double> plainPrx(const DistanceMatrix& x, const DistanceMatrix& y, int n) {
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0, p = 0;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) {
            const double a = x(i, j).toDouble(), b = y(i, j).toDouble();
            sx += a, sy += b, sxx += a * a, syy += b * b, sxy += a * b, p += 1;
        }
    const double vx = sxx - sx * sx / p, vy = syy - sy * sy / p;
    if (vx <= 0 || vy <= 0) return std::nullopt;
    return roundIndex((sxy - sx * sy / p) / std::sqrt(vx * vy));
}

TEST(Referent, ParsesWhatTheOptionTakes) {
    EXPECT_EQ(parsePercent("27").value(), 27'000);
    EXPECT_EQ(parsePercent("27.5").value(), 27'500);
    EXPECT_EQ(parsePercent(".125").value(), 125);
    EXPECT_EQ(parsePercent("100").value(), 100'000);
    for (const char* bad : {"0", "100.001", "", ".", "1.2345", "-5", "5%", "1e2"})
        EXPECT_FALSE(parsePercent(bad).ok()) << bad;
    const auto matrices = parseReferent("matrix:a.txt,b c.txt");
    ASSERT_TRUE(matrices.ok());
    EXPECT_EQ(matrices->files, (std::vector<std::string>{"a.txt", "b c.txt"}));
    for (const char* bad : {"matrix:", "matrix:a,", "best:", "best:0", "Class", "top:5"})
        EXPECT_FALSE(parseReferent(bad).ok()) << bad;
    EXPECT_EQ(referentKey(parseReferent("best:27.50")->choice()), "best:27.5");
    EXPECT_EQ(methodKey(pfnetWith(parseReferent("best:27")->choice()), 9),
              "pfnet(r=inf,q=8,referent=best:27)");
}

TEST(Referent, TopAndBottomKeepTheirTies) {
    std::vector<Student> students;
    for (int score : {5, 1, 4, 3, 5, 3, 3}) {
        students.emplace_back();
        students.back().score = score;
    }
    // 30 % of 7 is 2.1: the cut is the score at rank 3 from either end.
    EXPECT_EQ(topScorers(students, 30'000),
              (std::vector<bool>{true, false, true, false, true, false, false}));
    EXPECT_EQ(bottomScorers(students, 30'000),
              (std::vector<bool>{false, true, false, true, false, true, true}));
    // Exactly 2 of 7 at 28.572 %, 2.00004 of them: rank 3 again.
    EXPECT_EQ(topScorers(students, 28'571),
              (std::vector<bool>{true, false, false, false, true, false, false}));
}

// Each student against the sum of the group's other members, computed apart
// from the run: the group by sorting the scores, the network and indices by
// their plain definitions.
TEST(Referent, GroupReferentsLeaveTheStudentOut) {
    const ClassPtr data = generatedClass();
    const int n = data->conceptCount;
    const StudentNetworkBuilder builder(*data, RunMethod::pfnet({}));
    std::vector<DistanceMatrix> own;
    for (const Student& s : data->students) own.push_back(builder.distance(s));
    std::vector<std::int32_t> scores;
    for (const Student& s : data->students) scores.push_back(s.score);
    std::sort(scores.rbegin(), scores.rend());
    for (const ReferentChoice referent :
         {ReferentChoice{ReferentKind::Class, 0}, ReferentChoice{ReferentKind::Best, 25'000}}) {
        const std::int32_t cut = referent.kind == ReferentKind::Class ? -1 : scores[14];  // 15 of 60
        RunOptions options;
        options.method = pfnetWith(referent);
        options.threads = 3;
        auto run = runAnalysis(data, options);
        ASSERT_TRUE(run.ok()) << run.error().message();
        DistanceMatrix sum(n, n);
        for (std::size_t k = 0; k < own.size(); ++k)
            if (data->students[k].score >= cut)
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < n; ++j) sum(i, j) += own[k](i, j);
        EXPECT_EQ(run->stdDistance, sum);
        int members = 0;
        for (std::size_t k = 0; k < own.size(); ++k) {
            const StudentRecord& r = run->students[k];
            const bool member = data->students[k].score >= cut;
            members += member;
            DistanceMatrix referentDistance = sum;
            if (member)
                for (int i = 0; i < n; ++i)
                    for (int j = 0; j < n; ++j) referentDistance(i, j) -= own[k](i, j);
            const LinkMatrix refLinks = methodNetwork(options.method, referentDistance, n);
            const LinkMatrix links = linkMatrix(r.links);
            EXPECT_EQ(r.referentLinks.n > 0, member);
            EXPECT_EQ(member ? linkMatrix(r.referentLinks) : run->stdLinks, refLinks);
            LinkFlagCounts counts{};
            CountLinkFlags(refLinks, links, n, counts);
            EXPECT_EQ(r.linkCounts, counts) << r.id;
            EXPECT_EQ(r.pfcValue, PfcIndex(refLinks, links, n)) << r.id;
            EXPECT_EQ(r.gtdValue, GtdIndex(PointDistanceNO(refLinks, n), PointDistanceNO(links, n), n));
            EXPECT_EQ(r.prxValue, plainPrx(referentDistance, own[k], n)) << r.id;
        }
        // Ties at the cut belong: at least the 15 of rank.
        if (referent.kind == ReferentKind::Class)
            EXPECT_EQ(members, 60);
        else
            EXPECT_GE(members, 15);

        // The same students read a block at a time, on one thread.
        std::string blockText;
        options.threads = 1;
        const StudentBlocks blocks{4, [&](std::size_t block, std::vector<StudentRecord>& out) {
                                       out.assign(15, {});
                                       for (std::size_t k = 0; k < 15; ++k)
                                           static_cast<Student&>(out[k]) =
                                               data->students[block * 15 + k];
                                   }};
        ASSERT_TRUE(runInBlocks(
                        data, options, blocks,
                        [](std::string& out, const StudentRecord& r) {
                            appendResultRow(out, r, kLineBreak);
                        },
                        [&](std::string_view text) { blockText += text; })
                        .ok());
        EXPECT_EQ(std::string(kResultsHeader) + std::string(kLineBreak) + blockText, run->text);
    }
}

TEST(Referent, MatrixOfTheDesignGivesTheDesignsResults) {
    const ClassPtr data = generatedClass();
    RunOptions design;
    design.method = RunMethod::pfnet({});
    auto expected = runAnalysis(data, design);
    RunOptions matrix;
    matrix.method = pfnetWith({ReferentKind::Matrix, 0});
    matrix.referentMatrix = standardDistance(*data);
    // Doubled, as two copies of the same expert's ratings would be.
    for (int i = 0; i < data->conceptCount; ++i)
        for (int j = 0; j < data->conceptCount; ++j)
            matrix.referentMatrix(i, j) += matrix.referentMatrix(i, j);
    auto run = runAnalysis(data, matrix);
    ASSERT_TRUE(expected.ok() && run.ok());
    EXPECT_EQ(run->stdLinks, expected->stdLinks);
    for (std::size_t k = 0; k < run->students.size(); ++k) {
        EXPECT_EQ(run->students[k].linkCounts, expected->students[k].linkCounts);
        EXPECT_EQ(run->students[k].pfcValue, expected->students[k].pfcValue);
        EXPECT_EQ(run->students[k].gtdValue, expected->students[k].gtdValue);
    }
    EXPECT_NE(run->methodName.find("參照：距離矩陣檔"), std::string::npos);
}

TEST(Referent, Refusals) {
    const ClassPtr data = generatedClass();
    RunOptions options;
    options.method = RunMethod::Triangle;
    options.method.referent = {ReferentKind::Class, 0};
    EXPECT_FALSE(runAnalysis(data, options).ok());
    options.method = pfnetWith({ReferentKind::Matrix, 0});
    options.referentMatrix = DistanceMatrix(3, 3);
    EXPECT_FALSE(runAnalysis(data, options).ok());
    // The top scorer alone: nobody left to compare with.
    ClassData one = *data;
    one.students.resize(1);
    one.studentCount = 1;
    options.method = pfnetWith({ReferentKind::Class, 0});
    const auto refused = runAnalysis(std::make_shared<const ClassData>(one), options);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().what.find("至少要有 2 位學生"), std::string::npos);
}

}  // namespace
}  // namespace qv
