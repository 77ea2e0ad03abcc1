#include "report/draw_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "core/utf8.h"
#include "link_networks.h"
#include "report/text_fit.h"
#include "verify/p272.h"

namespace qv {
namespace {

using Kind = CanvasOp::Kind;
using ::testing::ElementsAre;

std::vector<const CanvasOp*> opsOf(const RecordingCanvas& c, Kind kind) {
    std::vector<const CanvasOp*> out;
    for (const CanvasOp& op : c.ops())
        if (op.kind == kind) out.push_back(&op);
    return out;
}

std::vector<std::string> texts(const RecordingCanvas& c) {
    std::vector<std::string> out;
    for (const CanvasOp* op : opsOf(c, Kind::Text))
        out.push_back(op->text);
    return out;
}

// Where a text of the report column stands, or (0, 0).
LayoutPoint placeOf(const RecordingCanvas& c, const std::string& text) {
    for (const CanvasOp* op : opsOf(c, Kind::Text))
        if (op->text == text) return op->from;
    return {};
}

// Thin lines with both ends inside the frame of `panel`.
int thinLinesIn(const RecordingCanvas& c, int panel) {
    const auto f = LayoutComparisonPanels(800, 600, 7).framePoints[static_cast<std::size_t>(panel)];
    const auto inside = [&](LayoutPoint p) {
        return p.x > f[0].x && p.x < f[2].x && p.y > f[0].y && p.y < f[2].y;
    };
    const auto lines = opsOf(c, Kind::Line);
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const CanvasOp* op) {
        return inside(op->from) && inside(op->to);
    }));
}

ClassPtr sevenConcepts(int count = 7) {
    ClassData d;
    d.conceptCount = count;
    d.conceptsLoaded = d.dataLoaded = d.itemConceptLoaded = true;
    d.conceptNames = {" 加法", " 減法", " 乘法", " 除法", " 分數", " 小數", " 比例\n"};
    d.studentCount = 3;
    return std::make_shared<const ClassData>(std::move(d));
}

RunResults sevenConceptState(LinkMatrix studentLinks) {
    RunResults s;
    s.data = sevenConcepts();
    s.stdLinks = ExampleNet1();
    StudentRecord r;
    r.id = "90702001";
    r.links = linkRows(studentLinks, studentLinks.rows());
    r.pfcValue = r.gtdValue = 1.0;
    r.prxValue = 0.75;
    r.rateValues = {100.0, 0.0, 0.0, 100.0, 0.0, 0.0};
    s.students = {r, r, r};
    s.students[1].id = "90702002";
    return s;
}

TEST(DrawStudentReport, PanelsRedStandardLinksAndTheReportColumn) {
    RecordingCanvas c;
    DrawStudentReport(c, sevenConceptState(ExampleNet2()), 0);
    EXPECT_EQ(c.ops().front().kind, Kind::Caption);
    EXPECT_EQ(c.ops().front().text, "90702001");
    // Networks 1 and 2 share three links: six in panel 0, three in each other.
    EXPECT_EQ(thinLinesIn(c, 0), 6);
    EXPECT_EQ(thinLinesIn(c, 1), 3);
    EXPECT_EQ(thinLinesIn(c, 2), 3);
    EXPECT_EQ(thinLinesIn(c, 3), 3);
    // Frames and red STD links at width 3, in row order, then width 1.
    const auto widths = opsOf(c, Kind::LineWidth);
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_EQ(widths[0]->width, 3);
    EXPECT_EQ(widths[1]->width, 1);
    const auto n0 = LayoutComparisonPanels(800, 600, 7).nodePoints[0];
    std::vector<std::pair<LayoutPoint, LayoutPoint>> red;
    for (const CanvasOp* op : opsOf(c, Kind::ColourLine)) {
        EXPECT_EQ(op->colour, (Rgb{255, 0, 0}));
        EXPECT_LT(op, widths[1]);
        red.emplace_back(op->from, op->to);
    }
    EXPECT_EQ(red, (std::vector<std::pair<LayoutPoint, LayoutPoint>>{{n0[0], n0[1]},
                                                                     {n0[0], n0[2]},
                                                                     {n0[1], n0[3]},
                                                                     {n0[1], n0[4]},
                                                                     {n0[2], n0[5]},
                                                                     {n0[2], n0[6]}}));
    const auto all = texts(c);
    EXPECT_EQ(std::count(all.begin(), all.end(), " 7"), 4);  // the numbers of each panel
    EXPECT_THAT(std::vector<std::string>(all.end() - 17, all.end()),
                ElementsAre("90702001", "PFC =      1", "GTD =      1", "PRX =   0.75",
                            "Match Links on STD =     100 %", "Miss Links on STD =       0 %",
                            "Over Links on STD =       0 %", "Match Links on Target =     100 %",
                            "Miss Links on Target =       0 %", "Over Links on Target =       0 %",
                            "1 :   加法", "2 :   減法", "3 :   乘法", "4 :   除法", "5 :   分數",
                            "6 :   小數", "7 :   比例"));
    // The tenth report line stands between the rates and the concept list.
    EXPECT_EQ(placeOf(c, "Miss Links on Target =       0 %"), (LayoutPoint{620, 180}));
    EXPECT_EQ(placeOf(c, "Over Links on Target =       0 %"), (LayoutPoint{620, 200}));
    EXPECT_EQ(placeOf(c, "1 :   加法"), (LayoutPoint{620, 230}));
}

// A PFNET run's report names the method under the ID, the rest of the column
// one line lower; the force layout moves the concepts, not the frames.
TEST(DrawStudentReport, MethodLineAndForcePositions) {
    RunResults s = sevenConceptState(ExampleNet2());
    s.methodName = "PFNET(r=∞, q=6)";
    const auto places = reportPositions(s, NodeLayout::Force);
    ASSERT_TRUE(places.ok());
    ASSERT_EQ(places->size(), 7u);
    EXPECT_TRUE(reportPositions(s, NodeLayout::Circle)->empty());
    RecordingCanvas c;
    DrawStudentReport(c, s, 0, *places);
    EXPECT_EQ(placeOf(c, "90702001"), (LayoutPoint{620, 20}));
    EXPECT_EQ(placeOf(c, "PFNET(r=∞, q=6)"), (LayoutPoint{620, 40}));
    EXPECT_EQ(placeOf(c, "PFC =      1"), (LayoutPoint{620, 60}));
    EXPECT_EQ(placeOf(c, "1 :   加法"), (LayoutPoint{620, 250}));
    EXPECT_EQ(thinLinesIn(c, 0), 6);
    EXPECT_EQ(thinLinesIn(c, 3), 3);
    const auto force = LayoutComparisonPanelsAt(800, 600, *places).nodePoints[0];
    EXPECT_EQ(opsOf(c, Kind::ColourLine).front()->from, force[0]);
    EXPECT_NE(force, LayoutComparisonPanels(800, 600, 7).nodePoints[0]);
    // Among the links, every concept gets a dot and its number comes after
    // the last link, so that no link covers it; the circle has neither.
    EXPECT_EQ(opsOf(c, Kind::Dot).size(), 4u * 7);
    const auto labels = opsOf(c, Kind::Label);
    ASSERT_EQ(labels.size(), 4u * 7);
    EXPECT_EQ(labels[0]->text + labels[6]->text, " 1 7");
    const auto lastLine = std::find_if(c.ops().rbegin(), c.ops().rend(), [](const CanvasOp& op) {
        return op.kind == Kind::Line || op.kind == Kind::ColourLine || op.kind == Kind::Dot;
    });
    EXPECT_LT(&*lastLine, labels.front());
    RecordingCanvas round;
    DrawStudentReport(round, s, 0);
    EXPECT_TRUE(opsOf(round, Kind::Dot).empty() && opsOf(round, Kind::Label).empty());
}

TEST(DrawReport, VerificationExampleHasNoPrxLine) {
    RecordingCanvas c;
    DrawReport(c, exampleReportData("Sample272_2", ExampleNet1(), ExampleNet2(), ExampleLabels(),
                                    {0.429, 0.794, 50, 50, 50, 50, 50, 50}));
    EXPECT_EQ(c.ops().front().text, "Sample272_2");
    const auto all = texts(c);
    EXPECT_THAT(std::vector<std::string>(all.end() - 16, all.end() - 7),
                ElementsAre("Sample272_2", "PFC = 0.429", "GTD = 0.794",
                            "Match Links on STD = 50 %", "Miss Links on STD = 50 %",
                            "Over Links on STD = 50 %", "Match Links on Target = 50 %",
                            "Miss Links on Target = 50 %", "Over Links on Target = 50 %"));
    EXPECT_EQ(all.back(), "7 :  G");
    EXPECT_EQ(placeOf(c, "Over Links on Target = 50 %"), (LayoutPoint{620, 180}));
    EXPECT_EQ(placeOf(c, "1 :  A"), (LayoutPoint{620, 230}));
    RecordingCanvas fresh;
    DrawReport(fresh, exampleReportData("S", ExampleNet1(), ExampleNet1(), {}, {}));
    EXPECT_THAT(texts(fresh), ::testing::Contains("PFC = 0"));
    EXPECT_EQ(texts(fresh).back(), "7 :  ");  // missing labels print as nothing
}

TEST(DrawReport, MatricesOfAnotherSizeAndTheLayoutTest) {
    RunResults s = sevenConceptState(LinkMatrix{});
    s.stdLinks = test::linkNetwork(3, {{0, 1}});
    RecordingCanvas c;
    DrawStudentReport(c, s, 0);
    EXPECT_EQ(opsOf(c, Kind::ColourLine).size(), 1u);
    EXPECT_EQ(thinLinesIn(c, 0), 0);
    RecordingCanvas circle;
    DrawLayoutTest(circle);
    EXPECT_TRUE(opsOf(circle, Kind::Caption).empty());  // the caption is left as it is
    EXPECT_EQ(opsOf(circle, Kind::Line).size(), 40u * 39u / 2u);
    ASSERT_EQ(texts(circle).size(), 40u);
    EXPECT_EQ(texts(circle).back(), " 40");
    EXPECT_EQ(circle.ops()[40].kind, Kind::Text);  // node 0's links come before its number
}

// A canvas that cannot measure gets the estimate, which errs wide: every cut
// of a mixed label is a start of it of whole characters, then "…".
TEST(ElidedText, CutsBetweenWholeCharactersByTheEstimate) {
    const std::string label = "ab概念😀é👩‍🎓x";
    const RecordingCanvas canvas;
    EXPECT_EQ(elidedText(label, 1000, canvas), label);
    std::string previous;
    for (int width = 0; width < estimatedTextWidth(label, 11); ++width) {
        const std::string cut = elidedText(label, width, canvas);
        ASSERT_TRUE(isValidUtf8(cut)) << width;
        ASSERT_TRUE(cut.ends_with("…")) << width;
        const std::string_view start(cut.data(), cut.size() - std::string_view("…").size());
        EXPECT_TRUE(label.starts_with(start)) << width;
        EXPECT_TRUE(start.empty() || estimatedTextWidth(cut, 11) <= width) << width;
        EXPECT_GE(cut.size(), previous.size()) << width;  // wider room keeps more
        previous = cut;
    }
    EXPECT_EQ(elidedText(label, 3 * 11, canvas), "ab…");  // 6.6 + 6.6 + 11, "概" would not fit
    // A 10,000-character label in the report column ends where the surface does.
    RecordingCanvas report;
    DrawReport(report, exampleReportData("S", ExampleNet1(), ExampleNet2(),
                                         std::vector<std::string>(7, std::string(10'000, 'w')),
                                         {}));
    for (const std::string& text : texts(report))
        if (text.starts_with("1 :")) {
            EXPECT_TRUE(text.ends_with("…"));
            EXPECT_LE(620 + estimatedTextWidth(text, 11), kSurfaceWidth - kSurfaceMargin);
        }
}

TEST(FindStudents, ExactIdsAndReportsOnlyAfterARun) {
    RunResults s = sevenConceptState(ExampleNet1());
    EXPECT_THAT(findStudents(s, "90702001"), ElementsAre(0, 2));
    for (const char* near : {"90702001 ", " 90702001", "9070200", ""})
        EXPECT_TRUE(findStudents(s, near).empty()) << near;
    EXPECT_TRUE(reportsAvailable(s));
    s.data = sevenConcepts(8);  // a standard of another size
    EXPECT_FALSE(reportsAvailable(s));
    EXPECT_FALSE(reportsAvailable(RunResults{}));
}

}  // namespace
}  // namespace qv
