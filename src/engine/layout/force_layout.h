#pragma once

#include <cstdint>
#include <vector>

#include "core/expected.h"
#include "core/matrix.h"
#include "layout/get_points.h"

namespace qv {

// How the concepts of a report are placed.
enum class NodeLayout {
    Circle,  // evenly on a circle, concept 0 at the top (the default)
    Force,   // by the standard network's springs, the same for every student
};

// A position in the plane of a force layout; only the shape counts.
struct PlanePoint {
    double x = 0;
    double y = 0;
};

// Kamada and Kawai's spring layout (1989) of a network: every two concepts pulled
// towards a distance in proportion to the links between them (unlinked parts
// kept apart). It starts from the circle layout, so the same network always
// gives the same positions. Uses igraph; refuses only what igraph reports as
// an error (out of memory).
Expected<std::vector<PlanePoint>> ForceLayout(const LinkMatrix& links, int n);

// Where the concepts at `positions` and their number labels go in a panel
// whose inside (within its frame, below its title) is the given box: the
// positions' bounding box fills it, less room for a label on every side (one
// direction stretched at most twice as much as the other), each number just
// beside its node, away from the middle, and inside the box.
struct PanelPoints {
    std::vector<LayoutPoint> nodes;
    std::vector<LayoutPoint> labels;  // top left of the number
};
PanelPoints PlaceInPanel(const std::vector<PlanePoint>& positions, double left, double top,
                         double right, double bottom);

// The four panels of LayoutComparisonPanels with the concepts at `positions`
// instead of on the circle: their bounding box fills the panel below its
// title, less room for a label on every side (one direction stretched at most
// twice as much as the other). Each number label sits just beside its node,
// away from the middle of the panel, and inside the panel's frame.
ComparisonLayout LayoutComparisonPanelsAt(std::int32_t width, std::int32_t height,
                                          const std::vector<PlanePoint>& positions);

}  // namespace qv
