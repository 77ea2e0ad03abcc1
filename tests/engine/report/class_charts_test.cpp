#include "report/class_charts.h"

#include <gtest/gtest.h>

#include <cmath>

#include "layout/force_layout.h"
#include "report/report_links.h"
#include "verify/p272.h"

namespace qv {
namespace {

using Kind = CanvasOp::Kind;

// n concepts; the standard links 0-1 and 1-2, linked by k of 4 students each.
ClassSummary summaryOf(int n) {
    ClassSummary s;
    s.studentCount = 4;
    s.conceptCount = n;
    const std::size_t pairs = static_cast<std::size_t>(n * (n - 1) / 2);
    s.standard.assign(pairs, 0);
    s.pairStudents.assign(pairs, 0);
    s.standard[s.pairIndex(0, 1)] = s.standard[s.pairIndex(1, 2)] = 1;
    s.pairStudents[s.pairIndex(0, 1)] = 1;  // missed by 3 of 4
    s.pairStudents[s.pairIndex(1, 2)] = 4;  // missed by none
    s.pairStudents[s.pairIndex(0, 2)] = 2;  // added by 2 of 4
    return s;
}

std::vector<std::string> labels(int n) {
    std::vector<std::string> out;
    for (int c = 0; c < n; ++c)
        out.push_back(" 概念" + std::to_string(c + 1));
    return out;
}

TEST(HeatMap, CellsPointBackToTheirPairs) {
    for (int n : {3, 20, 181}) {
        const HeatMapLayout l = heatMapLayout(summaryOf(n), labels(n), {10, 10});
        EXPECT_EQ(l.fullLabels, n <= 20);
        for (auto [row, col] : {std::pair{0, 1}, {2, 1}, {n - 1, 0}}) {
            const LayoutPoint centre{l.grid.x + col * l.cell + l.cell / 2,
                                     l.grid.y + row * l.cell + l.cell / 2};
            EXPECT_EQ(heatMapPairAt(l, centre), std::pair(std::min(row, col), std::max(row, col)));
        }
        EXPECT_FALSE(heatMapPairAt(l, {l.grid.x + 1, l.grid.y + 1}));  // diagonal
        EXPECT_FALSE(heatMapPairAt(l, {l.grid.x - 1, l.grid.y + l.cell}));
        EXPECT_FALSE(heatMapPairAt(l, {l.grid.x + n * l.cell, l.grid.y}));
        EXPECT_GE(l.size.width, l.grid.x - 10 + n * l.cell);
    }
}

TEST(HeatMap, TwoScalesAndLabelsOnBothAxes) {
    const ClassSummary s = summaryOf(3);
    const HeatMapLayout l = heatMapLayout(s, labels(3), {0, 0});
    RecordingCanvas c;
    DrawHeatMap(c, s, labels(3), l);
    const auto cellColour = [&](int row, int col) {
        for (const CanvasOp& op : c.ops())
            if (op.kind == Kind::Rect &&
                op.from == LayoutPoint{l.grid.x + col * l.cell, l.grid.y + row * l.cell})
                return op.colour;
        return Rgb{1, 2, 3};
    };
    EXPECT_EQ(cellColour(0, 1), missColour(0.75));
    EXPECT_EQ(cellColour(2, 1), missColour(0));
    EXPECT_EQ(cellColour(2, 0), extraColour(0.5));
    EXPECT_EQ(cellColour(1, 0), cellColour(0, 1));
    EXPECT_EQ(missColour(0), (Rgb{255, 255, 255}));
    EXPECT_NE(missColour(1), extraColour(1));
    int rowLabels = 0, columnLabels = 0;
    for (const CanvasOp& op : c.ops()) {
        if (op.kind != Kind::StyledText) continue;
        rowLabels += op.text == "2 概念2" && op.style.align == TextAlign::Right ? 1 : 0;
        columnLabels += op.text == "概念2" && op.style.vertical ? 1 : 0;
    }
    EXPECT_EQ(rowLabels, 1);
    EXPECT_EQ(columnLabels, 1);
}

TEST(ReportLinks, MissAndOverLinksUnderThePointer) {
    ReportData data = exampleReportData("x", ExampleNet1(), ExampleNet2(), {}, {});
    // A-C is linked in STD only, A-D in the student's network only (nodes of
    // panel 0: A (150, 40), C (257, 174), D (198, 249)).
    auto miss = reportLinkAt(data, {203 + 1, 107 + 300 + 1});
    ASSERT_TRUE(miss);
    EXPECT_EQ(std::tuple(miss->i, miss->j, miss->panel), std::tuple(0, 2, kPanelMiss));
    auto over = reportLinkAt(data, {174 + 300, 144 + 300});
    ASSERT_TRUE(over);
    EXPECT_EQ(std::tuple(over->i, over->j, over->panel), std::tuple(0, 3, kPanelOver));
    EXPECT_FALSE(reportLinkAt(data, {203 + 300, 107}));  // A-C is no Match link
    EXPECT_FALSE(reportLinkAt(data, {20, 320}));
    EXPECT_FALSE(reportLinkAt(data, {700, 100}));  // the report column
}

// A report drawn with the force layout is clicked where its links are drawn,
// not where the circle would put them.
TEST(ReportLinks, ForceLayoutLinksAreFoundWhereTheyAreDrawn) {
    ReportData data = exampleReportData("x", ExampleNet1(), ExampleNet2(), {}, {});
    data.positions = *ForceLayout(ExampleNet1(), data.conceptCount);
    const auto force = LayoutComparisonPanelsAt(800, 600, data.positions).nodePoints;
    const auto circle = LayoutComparisonPanels(800, 600, data.conceptCount).nodePoints;
    // A third of the way along: B-C crosses A-E at its middle.
    const auto onLink = [](const std::vector<LayoutPoint>& nodes, int i, int j) {
        const LayoutPoint a = nodes[static_cast<std::size_t>(i)];
        const LayoutPoint b = nodes[static_cast<std::size_t>(j)];
        return LayoutPoint{(2 * a.x + b.x) / 3, (2 * a.y + b.y) / 3};
    };
    const auto apart = [](LayoutPoint p, LayoutPoint q) {
        return std::hypot(p.x - q.x, p.y - q.y) > 20;
    };
    // A-C, B-D and B-E are missed, A-D, A-E and B-C added.
    int elsewhere = 0;
    for (const auto& [i, j, panel] : {std::tuple{0, 2, kPanelMiss}, std::tuple{1, 3, kPanelMiss},
                                      std::tuple{1, 4, kPanelMiss}, std::tuple{0, 3, kPanelOver},
                                      std::tuple{0, 4, kPanelOver}, std::tuple{1, 2, kPanelOver}}) {
        const auto& drawn = force[static_cast<std::size_t>(panel)];
        const auto found = reportLinkAt(data, onLink(drawn, i, j));
        ASSERT_TRUE(found) << i << "-" << j;
        EXPECT_EQ(std::tuple(found->i, found->j, found->panel), std::tuple(i, j, panel));
        const LayoutPoint onCircle = onLink(circle[static_cast<std::size_t>(panel)], i, j);
        if (!apart(onCircle, onLink(drawn, i, j))) continue;
        ++elsewhere;
        const auto there = reportLinkAt(data, onCircle);
        EXPECT_FALSE(there && there->i == i && there->j == j) << i << "-" << j;
    }
    EXPECT_GE(elsewhere, 3);
}

}  // namespace
}  // namespace qv
