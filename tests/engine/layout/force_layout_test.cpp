#include "layout/force_layout.h"

#include <gtest/gtest.h>

#include <cmath>

#include "link_networks.h"

namespace qv {
namespace {

double gap(const PlanePoint& a, const PlanePoint& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool inside(LayoutPoint p, const std::array<LayoutPoint, 5>& frame) {
    return p.x > frame[0].x && p.x < frame[2].x && p.y > frame[0].y && p.y < frame[2].y;
}

TEST(ForceLayout, SameNetworkSamePlacesAndLinkedConceptsClose) {
    // A path of eight concepts, a triangle apart, one concept alone.
    const LinkMatrix links = test::linkNetwork(
        12, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {8, 9}, {9, 10}, {8, 10}});
    const auto first = ForceLayout(links, 12);
    ASSERT_TRUE(first.ok());
    const auto again = ForceLayout(links, 12);
    ASSERT_EQ(first->size(), 12u);
    for (std::size_t i = 0; i < first->size(); ++i) {
        EXPECT_EQ((*first)[i].x, (*again)[i].x);
        EXPECT_EQ((*first)[i].y, (*again)[i].y);
    }
    const auto& p = *first;
    EXPECT_GT(gap(p[0], p[7]), 3 * gap(p[0], p[1]));  // the path is drawn out
    EXPECT_LT(gap(p[8], p[9]), gap(p[0], p[7]));
    for (int n : {0, 1, 2})
        EXPECT_EQ(ForceLayout(LinkMatrix(n, n), n)->size(), static_cast<std::size_t>(n));
}

// The box a number label covers, about 7 pixels a character (its leading
// blank included) and 14 high in the drawing font.
struct LabelBox {
    LayoutPoint topLeft;
    int width;
};

LabelBox labelBox(const ComparisonLayout& layout, std::size_t panel, std::size_t i) {
    return {layout.labelPoints[panel][i], 7 * static_cast<int>(std::to_string(i + 1).size() + 1)};
}

bool covers(const LabelBox& b, LayoutPoint p) {
    return p.x >= b.topLeft.x && p.x <= b.topLeft.x + b.width && p.y >= b.topLeft.y &&
           p.y <= b.topLeft.y + 14;
}

// Every node and every whole label inside its panel's frame and below the
// title, no label over its own node, the panels alike but for their place.
void expectInsidePanels(const ComparisonLayout& layout, std::size_t n) {
    for (std::size_t panel = 0; panel < kPanelCount; ++panel) {
        const auto& frame = layout.framePoints[panel];
        const int belowTitle = layout.titlePoints[panel].y + 14;
        for (std::size_t i = 0; i < n; ++i) {
            const LayoutPoint node = layout.nodePoints[panel][i];
            const LabelBox label = labelBox(layout, panel, i);
            EXPECT_TRUE(inside(node, frame) && node.y > belowTitle) << panel << " " << i;
            EXPECT_TRUE(inside(label.topLeft, frame) && label.topLeft.y >= belowTitle &&
                        inside({label.topLeft.x + label.width, label.topLeft.y + 14}, frame))
                << "label " << i + 1 << " of panel " << panel;
            EXPECT_FALSE(covers(label, node)) << "label " << i + 1 << " of panel " << panel;
            EXPECT_EQ(node.x - layout.nodePoints[0][i].x, frame[0].x - layout.framePoints[0][0].x);
        }
    }
}

TEST(ForceLayout, AChainStaysInsideItsPanelsAndUsesThem) {
    constexpr int n = 12;
    LinkMatrix chain(n, n);
    for (int i = 0; i + 1 < n; ++i)
        chain(i, i + 1) = chain(i + 1, i) = 1;
    const std::vector<PlanePoint> places = *ForceLayout(chain, n);
    const ComparisonLayout layout = LayoutComparisonPanelsAt(800, 600, places);
    const ComparisonLayout circle = LayoutComparisonPanels(800, 600, n);
    EXPECT_EQ(layout.framePoints, circle.framePoints);
    EXPECT_EQ(layout.reportPoints, circle.reportPoints);
    expectInsidePanels(layout, n);
    // The chain's ends reach across most of the panel.
    const auto& nodes = layout.nodePoints[0];
    const auto& frame = layout.framePoints[0];
    const double reach = std::hypot(nodes[0].x - nodes[n - 1].x, nodes[0].y - nodes[n - 1].y);
    EXPECT_GT(reach, 0.75 * (frame[2].x - frame[0].x));
    // Straight chains, across, down and slanted: no direction of the panel
    // may be left unscaled.
    for (const auto& [dx, dy] : {std::pair{1.0, 0.0}, std::pair{0.0, 1.0}, std::pair{3.0, -1.0}}) {
        std::vector<PlanePoint> line;
        for (int i = 0; i < n; ++i)
            line.push_back({i * dx, i * dy});
        expectInsidePanels(LayoutComparisonPanelsAt(800, 600, line), n);
    }
    // Everything in one place (a single concept) sits in the middle.
    const ComparisonLayout one = LayoutComparisonPanelsAt(800, 600, {{3, 4}});
    EXPECT_EQ(one.nodePoints[0][0].x, 150);
    expectInsidePanels(one, 1);
}

// From 100 concepts on the numbers have three digits: the room kept for the
// labels at the panel's edges must grow with them.
TEST(ForceLayout, ThreeDigitLabelsStayInsideBesideTheirNodes) {
    for (const int n : {99, 100, 120}) {
        // The highest numbers at both ends of a line across the panel, the
        // others between, alternately left and right.
        std::vector<PlanePoint> line(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            line[static_cast<std::size_t>(i)] = {i % 2 == 0 ? -1.0 * i : 1.0 * i, 0.5 * (i % 3)};
        SCOPED_TRACE(n);
        expectInsidePanels(LayoutComparisonPanelsAt(800, 600, line), static_cast<std::size_t>(n));
    }
}

}  // namespace
}  // namespace qv
