#include "report/draw_report.h"
#include "link_networks.h"
#include "verify/p272.h"

#include <algorithm>
#include <utility>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qv {

void PrintTo(const LayoutPoint& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace {

using Kind = CanvasOp::Kind;
using ::testing::ElementsAre;
using ::testing::Pair;

std::vector<const CanvasOp*> opsOf(const RecordingCanvas& c, Kind kind) {
    std::vector<const CanvasOp*> out;
    for (const CanvasOp& op : c.ops())
        if (op.kind == kind) out.push_back(&op);
    return out;
}

// Thin lines whose both ends lie inside the frame of `panel`.
int thinLinesIn(const RecordingCanvas& c, int panel) {
    const ComparisonLayout l = LayoutComparisonPanels(800, 600, 7);
    const auto& f = l.framePoints[static_cast<std::size_t>(panel)];
    const auto inside = [&](LayoutPoint p) {
        return p.x > f[0].x && p.x < f[2].x && p.y > f[0].y && p.y < f[2].y;
    };
    const auto lines = opsOf(c, Kind::Line);
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const CanvasOp* op) {
        return inside(op->from) && inside(op->to);
    }));
}

std::vector<std::pair<LayoutPoint, std::string>> texts(const RecordingCanvas& c) {
    std::vector<std::pair<LayoutPoint, std::string>> out;
    for (const CanvasOp* op : opsOf(c, Kind::Text))
        out.emplace_back(op->from, op->text);
    return out;
}

bool hasText(const RecordingCanvas& c, LayoutPoint at, const std::string& text) {
    const auto all = texts(c);
    return std::find(all.begin(), all.end(), std::pair{at, text}) != all.end();
}

AppState sevenConceptState(LinkMatrix studentLinks) {
    AppState s;
    s.conceptCount = 7;
    s.conceptsLoaded = s.dataLoaded = s.itemConceptLoaded = s.hasResults = true;
    s.conceptNames = {" 加法", " 減法", " 乘法", " 除法", " 分數", " 小數", " 比例\n"};
    s.stdLinks = ExampleNet1();
    StudentRecord r;
    r.id = "90702001";
    r.links = std::move(studentLinks);
    r.pfc = "     1";
    r.gtd = "     1";
    r.prx = "  0.75";
    r.matchOnStd = r.matchOnTarget = "    100";
    r.missOnStd = r.overOnStd = r.missOnTarget = r.overOnTarget = "      0";
    s.students = {r};
    s.studentCount = 1;
    return s;
}

TEST(DrawStudentReport, NetworkEqualToTheStandard) {
    const AppState s = sevenConceptState(ExampleNet1());
    RecordingCanvas c;
    DrawStudentReport(c, s, 0);
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(c.ops().front().kind, Kind::Caption);
    EXPECT_EQ(c.ops().front().text, "90702001");
    EXPECT_EQ(thinLinesIn(c, 0), 6);
    EXPECT_EQ(thinLinesIn(c, 1), 6);
    EXPECT_EQ(thinLinesIn(c, 2), 0);
    EXPECT_EQ(thinLinesIn(c, 3), 0);
    // Every panel still has its frame, title and the seven numbers.
    EXPECT_EQ(opsOf(c, Kind::Line).size(), 16u + 12u);
    EXPECT_TRUE(hasText(c, {40, 320}, "Miss Links"));
    EXPECT_TRUE(hasText(c, {340, 320}, "Over Links"));
    const ComparisonLayout l = LayoutComparisonPanels(800, 600, 7);
    for (int p = 0; p < kPanelCount; ++p)
        for (int i = 0; i < 7; ++i)
            EXPECT_TRUE(
                hasText(c, l.labelPoints[static_cast<std::size_t>(p)][static_cast<std::size_t>(i)],
                        " " + std::to_string(i + 1)));
}

TEST(DrawStudentReport, WidthsColoursAndOrder) {
    const AppState s = sevenConceptState(ExampleNet2());
    RecordingCanvas c;
    DrawStudentReport(c, s, 0);
    // Width 3 for frames and red links, then 1 for every thin link.
    const auto widths = opsOf(c, Kind::LineWidth);
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_EQ(widths[0]->width, 3);
    EXPECT_EQ(widths[1]->width, 1);
    // The red links are the STD links, in row order, within the width-3 part.
    const ComparisonLayout l = LayoutComparisonPanels(800, 600, 7);
    const auto& n0 = l.nodePoints[0];
    std::vector<std::pair<LayoutPoint, LayoutPoint>> red;
    for (const CanvasOp* op : opsOf(c, Kind::ColourLine)) {
        EXPECT_EQ(op->colour, (Rgb{255, 0, 0}));
        EXPECT_LT(op, widths[1]);
        red.emplace_back(op->from, op->to);
    }
    EXPECT_THAT(red, ElementsAre(Pair(n0[0], n0[1]), Pair(n0[0], n0[2]), Pair(n0[1], n0[3]),
                                 Pair(n0[1], n0[4]), Pair(n0[2], n0[5]), Pair(n0[2], n0[6])));
    // 1-2: three Match (A-B, C-F, C-G), three Miss, three Over.
    EXPECT_EQ(thinLinesIn(c, 0), 6);
    EXPECT_EQ(thinLinesIn(c, 1), 3);
    EXPECT_EQ(thinLinesIn(c, 2), 3);
    EXPECT_EQ(thinLinesIn(c, 3), 3);
}

TEST(DrawStudentReport, ReportColumnForSevenConcepts) {
    const AppState s = sevenConceptState(ExampleNet1());
    RecordingCanvas c;
    DrawStudentReport(c, s, 0);
    const auto all = texts(c);
    const std::vector<std::pair<LayoutPoint, std::string>> column(all.end() - 17, all.end());
    EXPECT_THAT(
        column,
        ElementsAre(
            Pair(LayoutPoint{620, 20}, "90702001"), Pair(LayoutPoint{620, 40}, "PFC =      1"),
            Pair(LayoutPoint{620, 60}, "GTD =      1"), Pair(LayoutPoint{620, 80}, "PRX =   0.75"),
            Pair(LayoutPoint{620, 100}, "Match Links on STD =     100 %"),
            Pair(LayoutPoint{620, 120}, "Miss Links on STD =       0 %"),
            Pair(LayoutPoint{620, 140}, "Over Links on STD =       0 %"),
            Pair(LayoutPoint{620, 160}, "Match Links on Target =     100 %"),
            Pair(LayoutPoint{620, 180}, "Miss Links on Target =       0 %"),
            Pair(LayoutPoint{620, 200}, "Over Links on Target =       0 %"),
            Pair(LayoutPoint{620, 230}, "1 :   加法"), Pair(LayoutPoint{620, 245}, "2 :   減法"),
            Pair(LayoutPoint{620, 260}, "3 :   乘法"), Pair(LayoutPoint{620, 275}, "4 :   除法"),
            Pair(LayoutPoint{620, 290}, "5 :   分數"), Pair(LayoutPoint{620, 305}, "6 :   小數"),
            Pair(LayoutPoint{620, 320}, "7 :   比例")));
}

TEST(DrawReport, Page272Example) {
    const ReportData d = exampleReportData("Sample272_2", ExampleNet1(), ExampleNet2(),
                                           {"A", "B", "C", "D", "E", "F", "G"},
                                           {0.429, 0.794, 50, 50, 50, 50, 50, 50});
    RecordingCanvas c;
    DrawReport(c, d);
    EXPECT_EQ(c.ops().front().text, "Sample272_2");
    EXPECT_TRUE(hasText(c, {620, 20}, "Sample272_2"));
    EXPECT_TRUE(hasText(c, {620, 40}, "PFC = 0.429"));
    EXPECT_TRUE(hasText(c, {620, 60}, "GTD = 0.794"));
    EXPECT_TRUE(hasText(c, {620, 80}, "Match Links on STD = 50 %"));
    EXPECT_TRUE(hasText(c, {620, 180}, "Over Links on Target = 50 %"));
    EXPECT_TRUE(hasText(c, {620, 230}, "1 :  A"));
    EXPECT_TRUE(hasText(c, {620, 320}, "7 :  G"));
    for (const auto& [at, text] : texts(c)) {
        EXPECT_NE(at, (LayoutPoint{620, 200})) << text;  // the student report's last rate line
        EXPECT_EQ(text.find("PRX"), std::string::npos);
    }
    EXPECT_EQ(opsOf(c, Kind::ColourLine).size(), 6u);

    const ReportData fresh = exampleReportData("Sample272_3", ExampleNet1(), ExampleNet1(), {}, {});
    RecordingCanvas c3;
    DrawReport(c3, fresh);
    EXPECT_TRUE(hasText(c3, {620, 40}, "PFC = 0"));
    EXPECT_TRUE(hasText(c3, {620, 230}, "1 :  "));  // missing labels print as nothing
}

TEST(DrawStudentReport, ToleratesMatricesOfAnotherSize) {
    AppState s = sevenConceptState(LinkMatrix{});
    s.stdLinks = qv::test::linkNetwork(3, {{0, 1}});
    RecordingCanvas c;
    DrawStudentReport(c, s, 0);
    EXPECT_EQ(opsOf(c, Kind::ColourLine).size(), 1u);
    EXPECT_EQ(thinLinesIn(c, 0), 0);
}

TEST(DrawLayoutTest, CompleteGraphOfForty) {
    RecordingCanvas c;
    DrawLayoutTest(c);
    EXPECT_TRUE(opsOf(c, Kind::Caption).empty());  // the caption is left as it is
    ASSERT_EQ(c.ops().front().kind, Kind::LineWidth);
    EXPECT_EQ(c.ops().front().width, 1);
    EXPECT_EQ(opsOf(c, Kind::Line).size(), 40u * 39u / 2u);
    const auto numbers = texts(c);
    ASSERT_EQ(numbers.size(), 40u);
    EXPECT_EQ(numbers.front(), (std::pair<LayoutPoint, std::string>{{293, 5}, " 1"}));
    EXPECT_EQ(numbers.back().second, " 40");
    // Node 0 is joined to every other node before its number is printed.
    EXPECT_EQ(c.ops()[40].kind, Kind::Text);
}

TEST(FindStudents, ExactIdOnly) {
    AppState s = sevenConceptState(ExampleNet1());
    s.students.push_back(s.students.front());
    s.students.push_back(s.students.front());
    s.students[1].id = "90702002";
    s.studentCount = 3;
    EXPECT_THAT(findStudents(s, "90702001"), ElementsAre(0, 2));
    EXPECT_TRUE(findStudents(s, "90702001 ").empty());
    EXPECT_TRUE(findStudents(s, " 90702001").empty());
    EXPECT_TRUE(findStudents(s, "9070200").empty());
    EXPECT_TRUE(findStudents(s, "").empty());
}

TEST(ReportsAvailable, NeedsARunAndConcepts) {
    AppState s = sevenConceptState(ExampleNet1());
    EXPECT_TRUE(reportsAvailable(s));
    s.hasResults = false;
    EXPECT_FALSE(reportsAvailable(s));
    s = sevenConceptState(ExampleNet1());
    s.conceptCount = 0;
    EXPECT_FALSE(reportsAvailable(s));
    s = sevenConceptState(ExampleNet1());
    s.conceptCount = 8;  // a new concept file since the run
    EXPECT_FALSE(reportsAvailable(s));
    EXPECT_FALSE(reportsAvailable(AppState{}));
}

}  // namespace
}  // namespace qv
