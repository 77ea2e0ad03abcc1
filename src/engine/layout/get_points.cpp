#include "layout/get_points.h"

#include <cmath>

#include "core/number_text.h"

namespace qv {

namespace {

constexpr double kPi = 3.1415926;

std::int16_t roundSmall(double value) {
    return static_cast<std::int16_t>(roundHalfEven(value));
}

LayoutPoint moved(LayoutPoint p, std::int32_t dx, std::int32_t dy) {
    return {p.x + dx, p.y + dy};
}

// Concept 0 straight above the centre, the others clockwise; each number label
// 10 pixels outside the circle, shifted so that the text sits centred on that point.
CircleLayout placeOnCircle(std::int16_t cx, std::int16_t cy, std::int16_t r, std::int32_t n) {
    CircleLayout out;
    if (n < 1) return out;
    out.nodePoints.resize(static_cast<std::size_t>(n));
    out.labelPoints.resize(static_cast<std::size_t>(n));
    const double step = 360.0 / n;
    for (std::int32_t i = 0; i < n; ++i) {
        const Currency angle = Currency::fromDouble(step * i - 90);
        const double theta = DegreesToRadians(angle).toDouble();
        const double c = std::cos(theta), s = std::sin(theta);
        const auto k = static_cast<std::size_t>(i);
        out.nodePoints[k] = {roundPixel(r * c + cx), roundPixel(r * s + cy)};
        out.labelPoints[k] = {roundPixel((r + 10) * c + cx - 7), roundPixel((r + 10) * s + cy - 5)};
    }
    return out;
}

std::vector<LayoutPoint> reportLines(std::int32_t x, std::int32_t n) {
    std::vector<LayoutPoint> lines(static_cast<std::size_t>(std::max(n, 0)) + 10);
    std::int32_t y = 20;
    for (int line = 0; line <= 8; ++line, y += 20)
        lines[static_cast<std::size_t>(line)] = {x, y};
    const std::int32_t line8 = lines[8].y;
    lines[lines.size() - 1] = {x, line8 + 20};  // the last rate, above the concept list
    y = line8 + 50;
    for (std::int32_t line = 9; line <= n + 8; ++line, y += 15)
        lines[static_cast<std::size_t>(line)] = {x, y};
    return lines;
}

}  // namespace

std::int32_t roundPixel(double value) {
    return static_cast<std::int32_t>(roundHalfEven(value));
}

Currency DegreesToRadians(Currency degrees) {
    return Currency::fromDouble(degrees.toDouble() * kPi / 180);
}

ComparisonLayout LayoutComparisonPanels(std::int32_t /*width*/, std::int32_t height,
                                        std::int32_t n) {
    const std::int16_t q = roundSmall(height / 4.0);
    const std::int16_t r = static_cast<std::int16_t>(q - 40);
    const std::int16_t h = roundSmall(height / 2.0);
    const std::array<LayoutPoint, kPanelCount> offset{LayoutPoint{0, 0}, LayoutPoint{h, 0},
                                                      LayoutPoint{0, h}, LayoutPoint{h, h}};

    ComparisonLayout out;
    out.reportPoints = reportLines(height + 20, n);
    const CircleLayout circle = placeOnCircle(q, q, r, n);
    const std::int32_t right = 10 + 2 * r + 60, bottom = 10 + 2 * r + 50;
    const std::array<LayoutPoint, 5> frame{LayoutPoint{10, 10}, LayoutPoint{right, 10},
                                           LayoutPoint{right, bottom}, LayoutPoint{10, bottom},
                                           LayoutPoint{10, 10}};
    for (int p = 0; p < kPanelCount; ++p) {
        const LayoutPoint d = offset[static_cast<std::size_t>(p)];
        out.titlePoints[static_cast<std::size_t>(p)] = moved({q - r, 20}, d.x, d.y);
        for (std::size_t c = 0; c < frame.size(); ++c)
            out.framePoints[static_cast<std::size_t>(p)][c] = moved(frame[c], d.x, d.y);
        auto& nodes = out.nodePoints[static_cast<std::size_t>(p)];
        auto& labels = out.labelPoints[static_cast<std::size_t>(p)];
        for (std::size_t i = 0; i < circle.nodePoints.size(); ++i) {
            nodes.push_back(moved(circle.nodePoints[i], d.x, d.y));
            labels.push_back(moved(circle.labelPoints[i], d.x, d.y));
        }
    }
    return out;
}

CircleLayout LayoutCircle(std::int32_t width, std::int32_t height, std::int32_t n) {
    const std::int32_t m = width > height ? height : width;
    const std::int16_t centre = roundSmall(m / 2.0);
    return placeOnCircle(centre, centre, static_cast<std::int16_t>(centre - 20), n);
}

}  // namespace qv
