#include <algorithm>

#include <gtest/gtest.h>

#include "../analysis/loaded_class.h"
#include "analysis/run.h"
#include "report/draw_report.h"
#include "samples/sample_class.h"

namespace qv {
namespace {

// The report of a real run: what is drawn is what the run stored.
TEST(SampleReport, DrawsTheStoredResults) {
    AppState s =
        test::loadClass(samples::conceptFile(), samples::itemConceptFile(), samples::studentFile());
    EXPECT_FALSE(reportsAvailable(s));
    ASSERT_TRUE(runAnalysis(s, RunOptions{}).ok());
    ASSERT_TRUE(reportsAvailable(s));
    const int n = s.conceptCount;
    const StudentRecord& r = s.students.front();
    const auto found = findStudents(s, r.id);
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found.front(), 0);

    RecordingCanvas c;
    DrawStudentReport(c, s, 0);
    int red = 0, texts = 0;
    for (const CanvasOp& op : c.ops()) {
        red += op.kind == CanvasOp::Kind::ColourLine ? 1 : 0;
        texts += op.kind == CanvasOp::Kind::Text ? 1 : 0;
    }
    EXPECT_EQ(red, r.linkCounts[kStdLinks]);
    EXPECT_EQ(texts, 4 + 4 * n + 10 + n);  // titles, numbers, report lines, concept list

    const ComparisonLayout l = LayoutComparisonPanels(800, 600, n);
    const auto at = [&](int line) {
        for (const CanvasOp& op : c.ops())
            if (op.kind == CanvasOp::Kind::Text && op.from == l.reportPoints[line]) return op.text;
        return std::string();
    };
    EXPECT_EQ(at(3), "PRX = " + r.prx);
    EXPECT_EQ(at(n + 9), "Over Links on Target = " + r.overOnTarget + " %");
    EXPECT_EQ(at(9).substr(0, 5), "1 :  ");
    EXPECT_EQ(at(9).substr(5),
              s.conceptNames[0].substr(0, s.conceptNames[0].find_last_not_of(" \r\n") + 1));
}

}  // namespace
}  // namespace qv
