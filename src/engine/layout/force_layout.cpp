#include "layout/force_layout.h"

#include <igraph.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>


namespace qv {

namespace {

constexpr double kTurn = 6.283185307179586;

// igraph aborts on an error unless told otherwise; its codes are checked here.
void quietIgraph() {
    static std::once_flag once;
    std::call_once(once, [] {
        igraph_set_error_handler(igraph_error_handler_ignore);
        igraph_set_warning_handler(igraph_warning_handler_ignore);
    });
}

// An igraph object destroyed with its scope; `ok` when its init succeeded.
template <typename T, auto kDestroy>
struct Owned {
    T value;
    bool ok;
    template <typename Init>
    explicit Owned(Init init) : ok(init(&value) == IGRAPH_SUCCESS) {}
    ~Owned() {
        if (ok) kDestroy(&value);
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
};

Error layoutError(igraph_error_t code) {
    return errorText(std::string("無法計算力導向版面（igraph：") + igraph_strerror(code) + "）");
}

}  // namespace

Expected<std::vector<PlanePoint>> ForceLayout(const LinkMatrix& links, int n) {
    n = std::clamp(n, 0, std::min(links.rows(), links.cols()));
    if (n <= 1) return std::vector<PlanePoint>(static_cast<std::size_t>(n));
    quietIgraph();
    std::vector<igraph_integer_t> ends;
    ends.reserve(2);  // a view needs storage even without links
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (links(i, j) != 0) ends.insert(ends.end(), {i, j});
    igraph_vector_int_t edges;
    igraph_vector_int_view(&edges, ends.data(), static_cast<igraph_integer_t>(ends.size()));
    Owned<igraph_t, igraph_destroy> graph(
        [&](igraph_t* g) { return igraph_create(g, &edges, n, IGRAPH_UNDIRECTED); });
    Owned<igraph_matrix_t, igraph_matrix_destroy> place(
        [&](igraph_matrix_t* m) { return igraph_matrix_init(m, n, 2); });
    if (!graph.ok || !place.ok) return layoutError(IGRAPH_ENOMEM);
    // The circle layout's order and direction, about one link apart.
    const double radius = n / kTurn;
    for (int i = 0; i < n; ++i) {
        const double a = kTurn * i / n - kTurn / 4;
        igraph_matrix_set(&place.value, i, 0, radius * std::cos(a));
        igraph_matrix_set(&place.value, i, 1, radius * std::sin(a));
    }
    if (const igraph_error_t code =
            igraph_layout_kamada_kawai(&graph.value, &place.value, true, 50 * n, 0.0, n, nullptr,
                                       nullptr, nullptr, nullptr, nullptr);
        code != IGRAPH_SUCCESS)
        return layoutError(code);
    std::vector<PlanePoint> out(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        out[static_cast<std::size_t>(i)] = {igraph_matrix_get(&place.value, i, 0),
                                            igraph_matrix_get(&place.value, i, 1)};
    return out;
}

ComparisonLayout LayoutComparisonPanelsAt(std::int32_t width, std::int32_t height,
                                          const std::vector<PlanePoint>& positions) {
    const auto n = static_cast<std::int32_t>(positions.size());
    ComparisonLayout out = LayoutComparisonPanels(width, height, n);
    if (n < 1) return out;
    // The circle's square in panel 0, lowered a little to clear the title.
    const double q = std::round(height / 4.0), r = q - 40;
    const double left = q - r, right = q + r, top = q - r + 8, bottom = q + r + 4;
    double minX = positions[0].x, maxX = minX, minY = positions[0].y, maxY = minY;
    for (const PlanePoint& p : positions) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    const double spanX = maxX - minX, spanY = maxY - minY;
    double scale = 0;
    if (spanX > 0) scale = (right - left) / spanX;
    if (spanY > 0) scale = std::min(scale > 0 ? scale : 1e300, (bottom - top) / spanY);
    const double cx = (left + right) / 2, cy = (top + bottom) / 2;
    const double midX = (minX + maxX) / 2, midY = (minY + maxY) / 2;
    const std::array<LayoutPoint, 5>& frame = out.framePoints[kPanelStdTarget];
    // A number is its digits and a leading space, about 7 pixels each.
    const auto labelWidth = static_cast<std::int32_t>(7 * (std::to_string(n).size() + 1));
    for (std::int32_t i = 0; i < n; ++i) {
        const PlanePoint& p = positions[static_cast<std::size_t>(i)];
        const double x = cx + (p.x - midX) * scale, y = cy + (p.y - midY) * scale;
        double dx = x - cx, dy = y - cy;
        const double length = std::hypot(dx, dy);
        if (length > 0) {
            dx /= length, dy /= length;
        } else {
            dx = 0, dy = -1;
        }
        const LayoutPoint node{roundPixel(x), roundPixel(y)};
        const LayoutPoint label{
            std::clamp(roundPixel(x + 10 * dx - 7), frame[0].x + 2, frame[1].x - labelWidth),
            std::clamp(roundPixel(y + 10 * dy - 5), frame[0].y + 2, frame[2].y - 16)};
        for (int panel = 0; panel < kPanelCount; ++panel) {
            const auto pi = static_cast<std::size_t>(panel);
            const LayoutPoint shift{out.framePoints[pi][0].x - frame[0].x,
                                    out.framePoints[pi][0].y - frame[0].y};
            out.nodePoints[pi][static_cast<std::size_t>(i)] = {node.x + shift.x, node.y + shift.y};
            out.labelPoints[pi][static_cast<std::size_t>(i)] = {label.x + shift.x,
                                                                label.y + shift.y};
        }
    }
    return out;
}

}  // namespace qv
