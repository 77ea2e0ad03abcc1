#include <gtest/gtest.h>

#include "analysis/results_text.h"
#include "analysis/run.h"
#include "report/draw_report.h"
#include "sample_files.h"

namespace qv {
namespace {

// The report of a real run: what is drawn is what the run stored.
TEST(SampleReport, DrawsTheStoredResults) {
    ClassPtr loaded;
    ASSERT_TRUE(test::loadShippedSample(loaded));
    const auto run = runAnalysis(loaded, RunOptions{});
    ASSERT_TRUE(run.ok());
    const RunResults& s = *run;
    ASSERT_TRUE(reportsAvailable(s));
    const int n = loaded->conceptCount;
    const StudentRecord& r = s.students.front();
    RecordingCanvas c;
    DrawStudentReport(c, s, findStudents(s, r.id).at(0));
    int red = 0;
    std::vector<std::string> texts;
    for (const CanvasOp& op : c.ops()) {
        red += op.kind == CanvasOp::Kind::ColourLine ? 1 : 0;
        if (op.kind == CanvasOp::Kind::Text) texts.push_back(op.text);
    }
    EXPECT_EQ(red, r.linkCounts[kStdLinks]);
    // Titles, numbers, report lines, concept list.
    ASSERT_EQ(texts.size(), static_cast<std::size_t>(4 + 4 * n + 10 + n));
    const std::size_t report = texts.size() - static_cast<std::size_t>(n) - 10;
    EXPECT_EQ(texts[report + 3], "PRX = " + indexText(r.prxValue));
    EXPECT_EQ(texts[report + 9], "Over Links on Target = " + rateText(r.rateValues[5]) + " %");
    EXPECT_EQ(texts[report + 10], "1 :  " + loaded->conceptNames[0]);
}

}  // namespace
}  // namespace qv
