#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/class_summary.h"
#include "report/canvas.h"

namespace qv {

// The charts of a class, drawn on the canvas of every other drawing so that
// the class window, its printout and the command line's files show one
// picture. `labels` are the concept labels as loaded.

struct ChartSize {
    int width = 0, height = 0;
};

// PFC, GTD, PRX and the score two by two, each with the class mean and median.
ChartSize histogramsSize();
void DrawHistograms(Canvas& canvas, const ClassSummary& summary, LayoutPoint origin);

// Where the heat map's cells, labels and legend go.
struct HeatMapLayout {
    int n = 0;
    int cell = 0;  // side of a cell
    LayoutPoint origin{};
    LayoutPoint grid{};  // top left corner of cell (0, 0)
    // Labels beside every row and column; with small cells only every
    // labelStep-th concept number.
    bool fullLabels = true;
    int labelStep = 1;
    ChartSize size;  // the whole block, legend included
};
HeatMapLayout heatMapLayout(const ClassSummary& summary, const std::vector<std::string>& labels,
                            LayoutPoint origin);
// Row i, column j: for a standard link (framed) the share of students who miss
// it, in red; for another pair the share who add it, in blue.
void DrawHeatMap(Canvas& canvas, const ClassSummary& summary,
                 const std::vector<std::string>& labels, const HeatMapLayout& layout);
// A frame around the two cells of pair (i, j).
void DrawHeatMapSelection(Canvas& canvas, const HeatMapLayout& layout, int i, int j);
// The pair (smaller concept first) whose cell holds the point; nothing on the
// diagonal or outside the grid.
std::optional<std::pair<int, int>> heatMapPairAt(const HeatMapLayout& layout, LayoutPoint p);

// White for a share of 0 to full red or blue for the whole class.
Rgb missColour(double share);
Rgb extraColour(double share);

// "Most missed standard links" and "most common extra links" side by side,
// at most `count` lines each.
ChartSize rankedListsSize(std::size_t count);
void DrawRankedLists(Canvas& canvas, const ClassSummary& summary,
                     const std::vector<std::string>& labels, LayoutPoint origin, std::size_t count);

// The charts page: a title, the histograms, the heat map and the ranked lists.
inline constexpr std::size_t kRankedLinesOnPage = 10;
void DrawClassCharts(Canvas& canvas, const ClassSummary& summary,
                     const std::vector<std::string>& labels, std::string_view title);

// A share in percent with at most one decimal: "48.6%".
std::string shareText(double share);
// A concept's label without the blanks around it.
std::string conceptLabel(int c, const std::vector<std::string>& labels);
// A concept as the lists name it: its 1-based number and its label, "3 分數".
std::string conceptText(int c, const std::vector<std::string>& labels);

}  // namespace qv
