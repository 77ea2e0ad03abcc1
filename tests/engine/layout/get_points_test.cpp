#include "layout/get_points.h"

#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qv {

void PrintTo(const LayoutPoint& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace {

using ::testing::ElementsAre;

LayoutPoint P(std::int32_t x, std::int32_t y) {
    return {x, y};
}

TEST(DegreesToRadians, UsesTheShortPiAndFourDecimals) {
    EXPECT_EQ(DegreesToRadians(Currency::fromRaw(-385714)), Currency::fromRaw(-6732));
    EXPECT_EQ(DegreesToRadians(Currency::fromInt(-90)), Currency::fromRaw(-15708));
    EXPECT_EQ(DegreesToRadians(Currency::fromInt(180)), Currency::fromRaw(31416));
}

TEST(LayoutComparisonPanels, NodesLabelsFramesAndTheReportColumn) {
    const ComparisonLayout four = LayoutComparisonPanels(800, 600, 4);
    EXPECT_THAT(four.nodePoints[0], ElementsAre(P(150, 40), P(260, 150), P(150, 260), P(40, 150)));
    EXPECT_THAT(four.labelPoints[0], ElementsAre(P(143, 25), P(263, 145), P(143, 265), P(23, 145)));
    EXPECT_EQ(four.nodePoints[3][0], P(450, 340));
    EXPECT_EQ(four.labelPoints[3][1], P(563, 445));
    const ComparisonLayout l = LayoutComparisonPanels(800, 600, 7);
    EXPECT_THAT(l.nodePoints[0], ElementsAre(P(150, 40), P(236, 81), P(257, 174), P(198, 249),
                                             P(102, 249), P(43, 174), P(64, 81)));
    EXPECT_THAT(l.framePoints[3],
                ElementsAre(P(310, 310), P(590, 310), P(590, 580), P(310, 580), P(310, 310)));
    EXPECT_THAT(l.titlePoints, ElementsAre(P(40, 20), P(340, 20), P(40, 320), P(340, 320)));
    // Ten lines 20 apart (the last one for students only, at 200), then the
    // concepts 15 apart from 230.
    ASSERT_EQ(l.reportPoints.size(), 17u);
    for (std::size_t line = 0; line < 17; ++line)
        EXPECT_EQ(l.reportPoints[line], line < 9    ? P(620, 20 + 20 * static_cast<int>(line))
                                        : line < 16 ? P(620, 230 + 15 * static_cast<int>(line - 9))
                                                    : P(620, 200));
    EXPECT_EQ(LayoutComparisonPanels(2000, 600, 7).nodePoints, l.nodePoints);
    EXPECT_TRUE(LayoutComparisonPanels(800, 600, 0).nodePoints[0].empty());
}

TEST(LayoutCircle, FortyConcepts) {
    const CircleLayout l = LayoutCircle(800, 600, 40);
    ASSERT_EQ(l.nodePoints.size(), 40u);
    EXPECT_EQ(l.nodePoints[0], P(300, 20));
    EXPECT_EQ(l.labelPoints[0], P(293, 5));
    EXPECT_EQ(l.nodePoints[10], P(580, 300));  // a quarter turn clockwise
    EXPECT_EQ(l.labelPoints[10], P(583, 295));
    for (const LayoutPoint& p : l.nodePoints)
        EXPECT_NEAR(std::hypot(p.x - 300, p.y - 300), 280, 1.0);
    EXPECT_EQ(LayoutCircle(400, 900, 4).nodePoints[0], P(200, 20));  // a portrait surface
}

}  // namespace
}  // namespace qv
