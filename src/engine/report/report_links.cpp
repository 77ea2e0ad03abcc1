#include "report/report_links.h"

#include <algorithm>
#include <cmath>

namespace qv {

namespace {

bool linked(const LinkMatrix& m, int i, int j) {
    return i < m.rows() && j < m.cols() && m(i, j) != 0;
}

// Whether the panel draws the pair, by the rules of the drawing.
bool drawnIn(Panel panel, bool s, bool t) {
    switch (panel) {
        case kPanelStdTarget:
            return s || t;
        case kPanelMatch:
            return s && t;
        case kPanelMiss:
            return s && !t;
        case kPanelOver:
            return t && !s;
    }
    return false;
}

double distanceToSegment(LayoutPoint p, LayoutPoint a, LayoutPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 == 0 ? 0 : ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

std::optional<ReportLink> reportLinkAt(const ReportData& data, LayoutPoint p, int tolerance) {
    const int n = data.conceptCount;
    if (n < 2) return std::nullopt;
    const ComparisonLayout layout = reportLayout(data);
    for (int panel = 0; panel < kPanelCount; ++panel) {
        const auto& f = layout.framePoints[static_cast<std::size_t>(panel)];
        if (p.x < f[0].x || p.x > f[2].x || p.y < f[0].y || p.y > f[2].y) continue;
        const auto& nodes = layout.nodePoints[static_cast<std::size_t>(panel)];
        std::optional<ReportLink> best;
        double nearest = tolerance;
        for (int i = 0; i < n; ++i) {
            for (int j = i + 1; j < n; ++j) {
                const auto kind = static_cast<Panel>(panel);
                if (!drawnIn(kind, linked(data.stdLinks, i, j), linked(data.targetLinks, i, j)))
                    continue;
                const double d = distanceToSegment(p, nodes[static_cast<std::size_t>(i)],
                                                   nodes[static_cast<std::size_t>(j)]);
                if (d <= nearest) {
                    nearest = d;
                    best = ReportLink{i, j, kind};
                }
            }
        }
        return best;
    }
    return std::nullopt;
}

}  // namespace qv
