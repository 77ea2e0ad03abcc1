#include "layout/force_layout.h"

#include <igraph.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>

#include "data/graph_files.h"

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
    const std::lock_guard lock(igraphMutex());
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

namespace {

// The engine cannot measure texts: a label " 12" of the 11-pixel drawing font
// is taken as 7 pixels a character (the blank included) and 14 high.
constexpr int kCharWidth = 7, kLabelHeight = 14;
// Between a node's centre and its label's box, and between a label and the
// inside of the 3-pixel frame.
constexpr double kLabelGap = 4, kInset = 3;
// Below the panel's title.
constexpr double kTitleHeight = 16;
// How much more one direction may be stretched than the other: a long thin
// layout fills the panel without a straight chain turning into a zigzag.
constexpr double kMaxStretch = 2;

int labelWidth(int number) {
    return kCharWidth * static_cast<int>(std::to_string(number).size() + 1);
}

struct Box {
    double left, top, right, bottom;
};

// The bounding box of the positions mapped onto `area`, each direction
// scaled to fill it as far as kMaxStretch allows, centred.
std::vector<PlanePoint> fitted(const std::vector<PlanePoint>& positions, const Box& area) {
    double minX = positions[0].x, maxX = minX, minY = positions[0].y, maxY = minY;
    for (const PlanePoint& p : positions) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    const double spanX = maxX - minX, spanY = maxY - minY;
    const double width = area.right - area.left, height = area.bottom - area.top;
    double sx = spanX > 0 ? width / spanX : 0, sy = spanY > 0 ? height / spanY : 0;
    if (sx == 0) sx = sy;
    if (sy == 0) sy = sx;
    sx = std::min(sx, kMaxStretch * sy);
    sy = std::min(sy, kMaxStretch * sx);
    const double cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    const double midX = (minX + maxX) / 2, midY = (minY + maxY) / 2;
    std::vector<PlanePoint> out;
    out.reserve(positions.size());
    for (const PlanePoint& p : positions)
        out.push_back({cx + (p.x - midX) * sx, cy + (p.y - midY) * sy});
    return out;
}

// The label's box just clear of its node on the side away from `centre`:
// kLabelGap from the node along the direction where the box is met first.
LayoutPoint labelBeside(PlanePoint node, PlanePoint centre, int width) {
    double dx = node.x - centre.x, dy = node.y - centre.y;
    const double length = std::hypot(dx, dy);
    if (length > 1e-9) {
        dx /= length, dy /= length;
    } else {
        dx = 0, dy = -1;
    }
    const double halfW = width / 2.0, halfH = kLabelHeight / 2.0;
    double t = 1e300;
    if (std::abs(dx) > 1e-9) t = std::min(t, (halfW + kLabelGap) / std::abs(dx));
    if (std::abs(dy) > 1e-9) t = std::min(t, (halfH + kLabelGap) / std::abs(dy));
    return {roundPixel(node.x + t * dx - halfW), roundPixel(node.y + t * dy - halfH)};
}

}  // namespace

PanelPoints PlaceInPanel(const std::vector<PlanePoint>& positions, double left, double top,
                         double right, double bottom) {
    PanelPoints out;
    const auto n = static_cast<std::int32_t>(positions.size());
    if (n < 1) return out;
    const double widest = labelWidth(n);
    const Box inside{left, top, right, bottom};
    const Box area{inside.left + kLabelGap + widest, inside.top + kLabelGap + kLabelHeight,
                   inside.right - kLabelGap - widest, inside.bottom - kLabelGap - kLabelHeight};
    const std::vector<PlanePoint> placed = fitted(positions, area);
    const PlanePoint centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    for (std::int32_t i = 0; i < n; ++i) {
        const PlanePoint p = placed[static_cast<std::size_t>(i)];
        const int w = labelWidth(i + 1);
        LayoutPoint label = labelBeside(p, centre, w);
        label.x = std::clamp(label.x, roundPixel(inside.left), roundPixel(inside.right) - w);
        label.y =
            std::clamp(label.y, roundPixel(inside.top), roundPixel(inside.bottom) - kLabelHeight);
        out.nodes.push_back({roundPixel(p.x), roundPixel(p.y)});
        out.labels.push_back(label);
    }
    return out;
}

ComparisonLayout LayoutComparisonPanelsAt(std::int32_t width, std::int32_t height,
                                          const std::vector<PlanePoint>& positions) {
    const auto n = static_cast<std::int32_t>(positions.size());
    ComparisonLayout out = LayoutComparisonPanels(width, height, n);
    if (n < 1) return out;
    const std::array<LayoutPoint, 5>& frame = out.framePoints[kPanelStdTarget];
    const double titleTop = out.titlePoints[kPanelStdTarget].y;
    const PanelPoints first = PlaceInPanel(positions, frame[0].x + kInset, titleTop + kTitleHeight,
                                           frame[2].x - kInset, frame[2].y - kInset);
    for (std::size_t panel = 0; panel < kPanelCount; ++panel) {
        const LayoutPoint shift{out.framePoints[panel][0].x - frame[0].x,
                                out.framePoints[panel][0].y - frame[0].y};
        for (std::size_t i = 0; i < first.nodes.size(); ++i) {
            out.nodePoints[panel][i] = {first.nodes[i].x + shift.x, first.nodes[i].y + shift.y};
            out.labelPoints[panel][i] = {first.labels[i].x + shift.x, first.labels[i].y + shift.y};
        }
    }
    return out;
}

}  // namespace qv
