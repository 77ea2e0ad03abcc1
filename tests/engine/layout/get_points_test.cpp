#include "layout/get_points.h"

#include <cmath>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace qv {

// Readable points in failure messages.
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
    // 180 degrees is the constant itself, cut to four decimals: 3.1416.
    EXPECT_EQ(DegreesToRadians(Currency::fromInt(180)), Currency::fromRaw(31416));
    EXPECT_EQ(DegreesToRadians(Currency{}), Currency{});
}

TEST(LayoutComparisonPanels, FourConcepts) {
    const ComparisonLayout l = LayoutComparisonPanels(800, 600, 4);
    EXPECT_THAT(l.nodePoints[0], ElementsAre(P(150, 40), P(260, 150), P(150, 260), P(40, 150)));
    EXPECT_THAT(l.labelPoints[0], ElementsAre(P(143, 25), P(263, 145), P(143, 265), P(23, 145)));
    EXPECT_EQ(l.nodePoints[3][0], P(450, 340));
    EXPECT_EQ(l.nodePoints[1][0], P(450, 40));
    EXPECT_EQ(l.nodePoints[2][0], P(150, 340));
    EXPECT_EQ(l.labelPoints[3][1], P(263 + 300, 145 + 300));
}

TEST(LayoutComparisonPanels, SevenConcepts) {
    const ComparisonLayout l = LayoutComparisonPanels(800, 600, 7);
    EXPECT_THAT(l.nodePoints[0], ElementsAre(P(150, 40), P(236, 81), P(257, 174), P(198, 249),
                                             P(102, 249), P(43, 174), P(64, 81)));
    ASSERT_EQ(l.reportPoints.size(), 17u);
    for (int line = 0; line <= 8; ++line)
        EXPECT_EQ(l.reportPoints[static_cast<std::size_t>(line)], P(620, 20 + 20 * line));
    EXPECT_EQ(l.reportPoints[16], P(620, 200));
    for (int line = 9; line <= 15; ++line)
        EXPECT_EQ(l.reportPoints[static_cast<std::size_t>(line)], P(620, 230 + 15 * (line - 9)));
}

TEST(LayoutComparisonPanels, FramesAndTitles) {
    const ComparisonLayout l = LayoutComparisonPanels(800, 600, 7);
    EXPECT_THAT(l.framePoints[0],
                ElementsAre(P(10, 10), P(290, 10), P(290, 280), P(10, 280), P(10, 10)));
    EXPECT_THAT(l.framePoints[3],
                ElementsAre(P(310, 310), P(590, 310), P(590, 580), P(310, 580), P(310, 310)));
    EXPECT_THAT(l.titlePoints, ElementsAre(P(40, 20), P(340, 20), P(40, 320), P(340, 320)));
    // The width does not enter.
    const ComparisonLayout wide = LayoutComparisonPanels(2000, 600, 7);
    EXPECT_EQ(wide.nodePoints, l.nodePoints);
    EXPECT_EQ(wide.reportPoints, l.reportPoints);
}

TEST(LayoutComparisonPanels, DegenerateCounts) {
    const ComparisonLayout one = LayoutComparisonPanels(800, 600, 1);
    EXPECT_THAT(one.nodePoints[0], ElementsAre(P(150, 40)));
    EXPECT_EQ(one.reportPoints.size(), 11u);
    EXPECT_EQ(one.reportPoints[10], P(620, 200));
    EXPECT_EQ(one.reportPoints[9], P(620, 230));
    const ComparisonLayout none = LayoutComparisonPanels(800, 600, 0);
    EXPECT_TRUE(none.nodePoints[0].empty());
    EXPECT_EQ(none.reportPoints.size(), 10u);
}

TEST(LayoutCircle, FortyConcepts) {
    const CircleLayout l = LayoutCircle(800, 600, 40);
    ASSERT_EQ(l.nodePoints.size(), 40u);
    EXPECT_EQ(l.nodePoints[0], P(300, 20));
    EXPECT_EQ(l.labelPoints[0], P(293, 5));
    EXPECT_EQ(l.nodePoints[10], P(580, 300));  // a quarter turn clockwise
    EXPECT_EQ(l.nodePoints[20], P(300, 580));
    EXPECT_EQ(l.labelPoints[10], P(583, 295));
    for (const LayoutPoint& p : l.nodePoints)
        EXPECT_NEAR(std::hypot(p.x - 300, p.y - 300), 280, 1.0);
    // A portrait surface takes its width.
    EXPECT_EQ(LayoutCircle(400, 900, 4).nodePoints[0], P(200, 20));
}

}  // namespace
}  // namespace qv
