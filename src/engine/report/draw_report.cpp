#include "report/draw_report.h"

#include <utility>

#include "analysis/results_text.h"
#include "core/number_text.h"
#include "layout/get_points.h"
#include "report/text_fit.h"

namespace qv {

namespace {

constexpr std::array<std::string_view, kPanelCount> kTitles{"STD & Target", "Match Links",
                                                            "Miss Links", "Over Links"};

// Out-of-range reads count as "no link", so a matrix of another size (a run on
// other data) never reads outside its storage.
bool linked(const LinkMatrix& m, int i, int j) {
    return i < m.rows() && j < m.cols() && m(i, j) != 0;
}

LayoutPoint at(const std::vector<LayoutPoint>& points, int i) {
    return points[static_cast<std::size_t>(i)];
}

// Labels keep their leading blank; a line end or trailing blanks that came in
// with the file are not drawn.
std::string_view trimmedLabel(std::string_view label) {
    const auto end = label.find_last_not_of(" \t\r\n");
    return end == std::string_view::npos ? std::string_view{} : label.substr(0, end + 1);
}

bool placed(const ReportData& data) {
    return !data.positions.empty() &&
           data.positions.size() == static_cast<std::size_t>(data.conceptCount);
}

void drawFramesAndTitles(Canvas& canvas, const ComparisonLayout& layout) {
    for (std::size_t c = 0; c < 4; ++c)
        for (std::size_t p = 0; p < kPanelCount; ++p)
            canvas.drawLine(layout.framePoints[p][c], layout.framePoints[p][c + 1]);
    for (std::size_t p = 0; p < kPanelCount; ++p)
        canvas.drawText(layout.titlePoints[p], kTitles[p]);
}

// The circle's numbers stand outside the circle, so they are drawn with the
// links; placed concepts get theirs after every link (drawNodesOverLinks).
void drawStdLinks(Canvas& canvas, const ReportData& data, const ComparisonLayout& layout,
                  bool withNumbers) {
    const int n = data.conceptCount;
    const auto& nodes = layout.nodePoints[kPanelStdTarget];
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j)
            if (linked(data.stdLinks, i, j))
                canvas.drawLine(at(nodes, i), at(nodes, j), kStdLinkColour);
        if (!withNumbers) continue;
        const std::string number = conceptNumberText(i + 1);
        for (std::size_t p = 0; p < kPanelCount; ++p)
            canvas.drawText(at(layout.labelPoints[p], i), number);
    }
}

// Placed concepts sit among the links: a dot marks each, and the numbers,
// drawn last on the paper's colour, are never covered.
void drawNodesOverLinks(Canvas& canvas, const ReportData& data, const ComparisonLayout& layout) {
    constexpr int kDot = 5;
    for (std::size_t p = 0; p < kPanelCount; ++p)
        for (int i = 0; i < data.conceptCount; ++i)
            canvas.drawDot(at(layout.nodePoints[p], i), kDot);
    for (std::size_t p = 0; p < kPanelCount; ++p)
        for (int i = 0; i < data.conceptCount; ++i)
            canvas.drawLabel(at(layout.labelPoints[p], i), conceptNumberText(i + 1));
}

void drawPanelLinks(Canvas& canvas, const ReportData& data, const ComparisonLayout& layout) {
    const int n = data.conceptCount;
    const bool anyFaint = data.faintLinks.rows() >= n && data.faintLinks.cols() >= n;
    bool faint = false;
    const auto line = [&](Panel p, int i, int j) {
        const auto& nodes = layout.nodePoints[p];
        if (faint)
            canvas.drawLine(at(nodes, i), at(nodes, j), kFaintLinkColour);
        else
            canvas.drawLine(at(nodes, i), at(nodes, j));
    };
    for (int i = 0; i < n; ++i) {
        for (int j = i + 1; j < n; ++j) {
            faint = anyFaint && linked(data.faintLinks, i, j);
            const bool t = linked(data.targetLinks, i, j);
            const bool s = linked(data.stdLinks, i, j);
            if (t) line(kPanelStdTarget, i, j);
            if (t && s) line(kPanelMatch, i, j);
            if (s && !t) line(kPanelMiss, i, j);
            if (t && !s) line(kPanelOver, i, j);
        }
    }
}

// The column's texts end inside the surface, however long a label or an ID:
// the picture's size depends on the concept count alone.
void drawColumnText(Canvas& canvas, LayoutPoint topLeft, std::string_view text) {
    canvas.drawText(topLeft,
                    elidedText(text, kSurfaceWidth - kSurfaceMargin - topLeft.x, canvas));
}

void drawReportColumn(Canvas& canvas, const ReportData& data, const ComparisonLayout& layout) {
    const auto& rows = layout.reportPoints;
    // The ID (line 0) and the labels come from files; the rates and the
    // method are this program's own texts and fit.
    for (const ReportLine& line : data.lines) {
        if (line.line < 0 || static_cast<std::size_t>(line.line) >= rows.size()) continue;
        if (line.line == 0)
            drawColumnText(canvas, at(rows, line.line), line.text);
        else
            canvas.drawText(at(rows, line.line), line.text);
    }
    for (int m = 1; m <= data.conceptCount; ++m) {
        std::string text = std::to_string(m) + " :  ";
        if (static_cast<std::size_t>(m - 1) < data.labels.size())
            text += trimmedLabel(data.labels[static_cast<std::size_t>(m - 1)]);
        drawColumnText(canvas, at(rows, m + 8), text);
    }
}

std::string rateLine(std::string_view label, std::string_view value) {
    return std::string(label) + std::string(value) + " %";
}

}  // namespace

std::string conceptNumberText(int number) {
    return " " + std::to_string(number);
}

ComparisonLayout reportLayout(const ReportData& data) {
    return placed(data)
               ? LayoutComparisonPanelsAt(kSurfaceWidth, kSurfaceHeight, data.positions)
               : LayoutComparisonPanels(kSurfaceWidth, kSurfaceHeight, data.conceptCount);
}

void DrawReport(Canvas& canvas, const ReportData& data) {
    canvas.setCaption(data.caption);
    ComparisonLayout layout = reportLayout(data);
    canvas.setLineWidth(3);
    drawFramesAndTitles(canvas, layout);
    drawStdLinks(canvas, data, layout, !placed(data));
    canvas.setLineWidth(1);
    drawPanelLinks(canvas, data, layout);
    if (placed(data)) drawNodesOverLinks(canvas, data, layout);
    if (!data.method.empty() && !layout.reportPoints.empty()) {
        constexpr std::int32_t kLine = 20;
        const LayoutPoint first = layout.reportPoints[0];
        for (std::size_t line = 1; line < layout.reportPoints.size(); ++line)
            layout.reportPoints[line].y += kLine;
        canvas.drawText({first.x, first.y + kLine}, data.method);
    }
    drawReportColumn(canvas, data, layout);
}

ReportData studentReportData(const RunResults& results, int k,
                             const std::vector<PlanePoint>& positions) {
    const StudentRecord& r = results.students.at(static_cast<std::size_t>(k));
    const int n = results.data->conceptCount;
    ReportData data{.caption = r.id,
                    .stdLinks = r.referentLinks.n > 0 ? linkMatrix(r.referentLinks)
                                                      : results.stdLinks,
                    .targetLinks = linkMatrix(r.links),
                    .conceptCount = n,
                    .lines = {},
                    .labels = results.data->conceptNames,
                    .positions = positions,
                    .method = results.methodName,
                    .faintLinks = {}};
    data.lines = {{0, r.id},
                  {1, "PFC = " + indexText(r.pfcValue)},
                  {2, "GTD = " + indexText(r.gtdValue)},
                  {3, "PRX = " + indexText(r.prxValue)},
                  {4, rateLine("Match Links on STD = ", rateText(r.rateValues[0]))},
                  {5, rateLine("Miss Links on STD = ", rateText(r.rateValues[1]))},
                  {6, rateLine("Over Links on STD = ", rateText(r.rateValues[2]))},
                  {7, rateLine("Match Links on Target = ", rateText(r.rateValues[3]))},
                  {8, rateLine("Miss Links on Target = ", rateText(r.rateValues[4]))},
                  {n + 9, rateLine("Over Links on Target = ", rateText(r.rateValues[5]))}};
    return data;
}

void DrawStudentReport(Canvas& canvas, const RunResults& results, int k,
                       const std::vector<PlanePoint>& positions) {
    DrawReport(canvas, studentReportData(results, k, positions));
}

Expected<std::vector<PlanePoint>> reportPositions(const RunResults& results, NodeLayout layout) {
    if (layout == NodeLayout::Circle) return std::vector<PlanePoint>{};
    return ForceLayout(results.stdLinks, results.data->conceptCount);
}

ReportData exampleReportData(std::string caption, const LinkMatrix& stdLinks,
                             const LinkMatrix& targetLinks, std::vector<std::string> labels,
                             const std::array<double, 8>& values) {
    static constexpr std::array<std::string_view, 6> kRates{
        "Match Links on STD = ",    "Miss Links on STD = ",    "Over Links on STD = ",
        "Match Links on Target = ", "Miss Links on Target = ", "Over Links on Target = "};
    ReportData data{.caption = caption,
                    .stdLinks = stdLinks,
                    .targetLinks = targetLinks,
                    .conceptCount = stdLinks.rows(),
                    .lines = {},
                    .labels = std::move(labels),
                    .positions = {},
                    .method = {},
                    .faintLinks = {}};
    data.lines = {{0, std::move(caption)},
                  {1, "PFC = " + numberText(values[0])},
                  {2, "GTD = " + numberText(values[1])}};
    for (std::size_t i = 0; i < kRates.size(); ++i)
        data.lines.push_back(
            {static_cast<int>(i) + 3, rateLine(kRates[i], numberText(values[i + 2]))});
    return data;
}

void DrawLayoutTest(Canvas& canvas) {
    const CircleLayout layout = LayoutCircle(kSurfaceWidth, kSurfaceHeight, kLayoutTestConcepts);
    canvas.setLineWidth(1);
    for (int i = 0; i < kLayoutTestConcepts; ++i) {
        for (int j = i + 1; j < kLayoutTestConcepts; ++j)
            canvas.drawLine(at(layout.nodePoints, i), at(layout.nodePoints, j));
        canvas.drawText(at(layout.labelPoints, i), conceptNumberText(i + 1));
    }
}

bool reportsAvailable(const RunResults& results) {
    if (!results.data) return false;
    const int n = results.data->conceptCount;
    return results.data->conceptsLoaded && n >= 1 && results.stdLinks.rows() == n;
}

std::vector<int> findStudents(const RunResults& results, std::string_view id) {
    std::vector<int> found;
    for (std::size_t k = 0; k < results.students.size(); ++k)
        if (results.students[k].id == id) found.push_back(static_cast<int>(k));
    return found;
}

}  // namespace qv
