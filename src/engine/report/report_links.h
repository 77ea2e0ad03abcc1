#pragma once

#include <optional>

#include "layout/get_points.h"
#include "report/draw_report.h"

namespace qv {

// A link of a four-panel report, as the drawing shows it in one panel.
struct ReportLink {
    int i = 0, j = 0;  // concepts, i < j
    Panel panel = kPanelStdTarget;
};

// The link drawn nearest to `p` in the panel that holds it, when it passes
// within `tolerance` pixels: in the Miss panel a standard link the student
// lacks, in the Over panel one the student adds. The links are where
// DrawReport draws them for `data` (see reportLayout).
std::optional<ReportLink> reportLinkAt(const ReportData& data, LayoutPoint p, int tolerance = 5);

}  // namespace qv
