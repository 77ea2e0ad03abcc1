#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"
#include "core/matrix.h"
#include "core/state.h"
#include "layout/force_layout.h"
#include "report/canvas.h"

namespace qv {

// The surface every drawing is laid out for.
inline constexpr int kSurfaceWidth = 800;
inline constexpr int kSurfaceHeight = 600;
// The blank kept between a drawing's farthest text and the surface's edge.
inline constexpr int kSurfaceMargin = 8;

// One text of the report column, printed at report line `line` of the layout.
struct ReportLine {
    int line = 0;
    std::string text;
};

// Everything a four-panel comparison drawing shows. The student report and the
// verification examples differ only in what they put here.
struct ReportData {
    std::string caption;     // set on the window
    LinkMatrix stdLinks;     // STD
    LinkMatrix targetLinks;  // Target
    int conceptCount = 0;
    std::vector<ReportLine> lines;    // printed in this order
    std::vector<std::string> labels;  // concept labels, listed below the rates
    // Where the concepts go: the circle when empty, else one point each.
    std::vector<PlanePoint> positions;
    // The networks' method on a line of its own under line 0 (the ID), the
    // lines below moving down one; nothing when empty.
    std::string method;
    // Links of Target drawn faint (kFaintLinkColour) in the panels that show
    // them: those the bootstrap's replicates seldom keep. Empty for none.
    LinkMatrix faintLinks;
};

inline constexpr Rgb kFaintLinkColour{190, 190, 190};

// Frames, titles, the red STD links, the concept numbers, the links of the
// four panels, the report lines and the numbered concept list. Concepts at
// given positions get a dot each, and their numbers are drawn over the links.
void DrawReport(Canvas& canvas, const ReportData& data);

// Where DrawReport puts everything of `data`: the one source of the positions
// that a drawing and a click on it share.
ComparisonLayout reportLayout(const ReportData& data);

// The report of record k of a run, its concepts at
// `positions` (the circle when empty; see reportPositions).
ReportData studentReportData(const RunResults& results, int k,
                             const std::vector<PlanePoint>& positions = {});
void DrawStudentReport(Canvas& canvas, const RunResults& results, int k,
                       const std::vector<PlanePoint>& positions = {});

// Where the concepts of every student's report go for a layout: nothing (the
// circle) for Circle, the force layout of the run's standard network for
// Force, the same for every student so that their drawings compare.
Expected<std::vector<PlanePoint>> reportPositions(const RunResults& results, NodeLayout layout);

// A verification example: `values` are PFC, GTD and the six link rates (Match,
// Miss, Over on STD, then on Target); there is no PRX line.
ReportData exampleReportData(std::string caption, const LinkMatrix& stdLinks,
                             const LinkMatrix& targetLinks, std::vector<std::string> labels,
                             const std::array<double, 8>& values);

// The complete graph of 40 concepts on one circle.
inline constexpr int kLayoutTestConcepts = 40;
void DrawLayoutTest(Canvas& canvas);

// Whether a report can be drawn from the results.
bool reportsAvailable(const RunResults& results);

// Indices of every record whose ID equals `id` exactly, in file order.
std::vector<int> findStudents(const RunResults& results, std::string_view id);

// A concept number as printed beside a node: one leading space, then the digits.
std::string conceptNumberText(int number);

}  // namespace qv
