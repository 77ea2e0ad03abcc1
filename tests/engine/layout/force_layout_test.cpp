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

TEST(ForceLayout, PanelsKeepNodesAndLabelsInsideTheirFrames) {
    const LinkMatrix star = test::linkNetwork(20, {{0, 1},
                                                   {0, 2},
                                                   {0, 3},
                                                   {0, 4},
                                                   {0, 5},
                                                   {0, 6},
                                                   {0, 7},
                                                   {0, 8},
                                                   {0, 9},
                                                   {9, 10},
                                                   {10, 11},
                                                   {11, 12},
                                                   {12, 13},
                                                   {13, 14},
                                                   {14, 15},
                                                   {15, 16},
                                                   {16, 17},
                                                   {17, 18}});
    const std::vector<PlanePoint> places = *ForceLayout(star, 20);
    const ComparisonLayout layout = LayoutComparisonPanelsAt(800, 600, places);
    const ComparisonLayout circle = LayoutComparisonPanels(800, 600, 20);
    EXPECT_EQ(layout.framePoints, circle.framePoints);
    EXPECT_EQ(layout.reportPoints, circle.reportPoints);
    for (std::size_t panel = 0; panel < kPanelCount; ++panel) {
        const auto& frame = layout.framePoints[panel];
        for (std::size_t i = 0; i < places.size(); ++i) {
            EXPECT_TRUE(inside(layout.nodePoints[panel][i], frame)) << panel << " " << i;
            // The label's top left, with room for " 20" to its right and below.
            const LayoutPoint label = layout.labelPoints[panel][i];
            EXPECT_TRUE(inside(label, frame) && inside({label.x + 20, label.y + 14}, frame))
                << panel << " " << i;
            EXPECT_EQ(layout.nodePoints[panel][i].x - layout.nodePoints[0][i].x,
                      frame[0].x - layout.framePoints[0][0].x);
        }
    }
    // Everything in one place (a single concept) sits in the middle.
    const ComparisonLayout one = LayoutComparisonPanelsAt(800, 600, {{3, 4}});
    EXPECT_EQ(one.nodePoints[0][0].x, 150);
}

}  // namespace
}  // namespace qv
