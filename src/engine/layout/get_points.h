#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/currency.h"

namespace qv {

// A pixel of the drawing surface: x to the right, y downwards, (0, 0) top left.
struct LayoutPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(LayoutPoint, LayoutPoint) = default;
};

// A coordinate rounded to its pixel, halves to even.
std::int32_t roundPixel(double value);

// Panels of the comparison drawing, in the order of their titles.
inline constexpr int kPanelCount = 4;
enum Panel : int { kPanelStdTarget = 0, kPanelMatch = 1, kPanelMiss = 2, kPanelOver = 3 };

// Where everything of the four-panel drawing goes. Vectors hold one entry per
// concept (n) or per report line (n + 10: lines 0 to n + 9).
struct ComparisonLayout {
    std::array<std::vector<LayoutPoint>, kPanelCount> nodePoints;
    std::array<std::vector<LayoutPoint>, kPanelCount> labelPoints;  // top left of the number
    std::array<LayoutPoint, kPanelCount> titlePoints{};
    std::array<std::array<LayoutPoint, 5>, kPanelCount> framePoints{};  // corner 4 == corner 0
    std::vector<LayoutPoint> reportPoints;
};

// One circle filling the surface.
struct CircleLayout {
    std::vector<LayoutPoint> nodePoints;
    std::vector<LayoutPoint> labelPoints;
};

// a x 3.1415926 / 180, rounded to four decimals (ties to even). The short
// constant is deliberate: printed reports keep their node positions.
Currency DegreesToRadians(Currency degrees);

// Four square panels in a height x height square and a report column to its
// right; the width does not enter. n < 1 places no concepts.
ComparisonLayout LayoutComparisonPanels(std::int32_t width, std::int32_t height, std::int32_t n);

// n concepts on the largest circle that fits, concept 0 at the top.
CircleLayout LayoutCircle(std::int32_t width, std::int32_t height, std::int32_t n);

}  // namespace qv
