#include "report/compare_drawing.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <string_view>

#include "analysis/referent.h"
#include "core/number_text.h"
#include "report/class_charts.h"
#include "report/draw_report.h"
#include "report/text_fit.h"

namespace qv {

namespace {

constexpr Rgb kGained{0, 150, 60};
constexpr Rgb kLost{215, 25, 30};

constexpr int kMargin = kSurfaceMargin;
constexpr int kLine = 18;
constexpr int kTitleY = 8, kCaptionY = 30, kBodyY = 56;
// Page 1: two panels side by side, the concept list to their right.
constexpr int kPanelWidth = 290, kPanelGap = 8, kPanelHeight = 400;
constexpr int kPanelTitle = 22;  // the panel's title row, inside its frame
constexpr int kListX = kMargin + 2 * kPanelWidth + kPanelGap + 12;
constexpr int kThick = 3;
constexpr int kDot = 5;

using Pair = std::array<int, 2>;

TextStyle style(Rgb colour, TextAlign align = TextAlign::Left, bool bold = false) {
    TextStyle s;
    s.colour = colour;
    s.align = align;
    s.bold = bold;
    return s;
}

void fitText(Canvas& canvas, LayoutPoint at, std::string_view text, int width, const TextStyle& s) {
    canvas.drawText(at, elidedText(text, width, canvas, s), s);
}

bool paired(const CompareResults& r) {
    return r.design == CompareDesign::Paired;
}

std::string sideText(const CompareSide& side) {
    return side.name + "（" + numberText(side.students) + " 人）";
}

std::string methodText(const CompareResults& r) {
    std::string text = "方法：" + (r.methodName.empty() ? methodWord(r.method) : r.methodName);
    // The method's name carries a referent other than the design's.
    if (r.method.referent.isDesign()) text += "　" + referentName(r.method.referent);
    text += "　置換：" + numberText(static_cast<double>(r.tests.permutations)) + " 次";
    text += r.tests.exact ? "（全部列舉）"
                          : "（隨機抽取，種子 " + numberText(static_cast<double>(r.seed)) + "）";
    return text;
}

void drawTitle(Canvas& canvas, std::string_view title, std::string_view caption) {
    canvas.setCaption(title);
    fitText(canvas, {kMargin, kTitleY}, title, kSurfaceWidth - 2 * kMargin,
            style(kInk, TextAlign::Left, true));
    fitText(canvas, {kMargin, kCaptionY}, caption, kSurfaceWidth - 2 * kMargin, style(kGrey));
}

std::string pageTitle(const CompareResults& r) {
    const std::string_view kind = paired(r) ? "前後比較：" : "兩組比較：";
    return std::string(kind) + r.sides[0].name + " 與 " + r.sides[1].name;
}

// The circle layout's places, concept 0 at the top: used when the referent's
// layout could not be made.
std::vector<PlanePoint> circlePositions(int n) {
    constexpr double kTurn = 6.283185307179586;
    std::vector<PlanePoint> out;
    for (int i = 0; i < n; ++i) {
        const double a = kTurn * i / n - kTurn / 4;
        out.push_back({std::cos(a), std::sin(a)});
    }
    return out;
}

std::set<Pair> significantPairs(const CompareResults& r) {
    std::set<Pair> out;
    for (const PairTest& t : r.tests.pairs)
        if (t.q < kCompareAlpha) out.insert({t.i, t.j});
    return out;
}

void drawLegendLine(Canvas& canvas, LayoutPoint at, int width, Rgb colour, std::string_view text) {
    canvas.setLineWidth(width);
    canvas.drawLine({at.x, at.y + 8}, {at.x + 36, at.y + 8}, colour);
    canvas.setLineWidth(1);
    canvas.drawText({at.x + 44, at.y}, text, style(kInk));
}

void drawNetworksPage(Canvas& canvas, const CompareResults& r,
                      const std::vector<PlanePoint>& given) {
    const int n = r.conceptCount;
    drawTitle(canvas, pageTitle(r), methodText(r));
    const std::vector<PlanePoint> positions =
        given.size() == static_cast<std::size_t>(n) ? given : circlePositions(n);
    const std::set<Pair> significant = significantPairs(r);
    const std::string_view network = r.hasMeanNetwork ? "平均網路" : "多數網路";
    std::array<std::set<Pair>, 2> links;
    for (int s = 0; s < 2; ++s) {
        const auto& shown = shownNetwork(r, s);
        links[static_cast<std::size_t>(s)] = {shown.begin(), shown.end()};
    }
    for (int s = 0; s < 2; ++s) {
        const auto side = static_cast<std::size_t>(s);
        const int left = kMargin + s * (kPanelWidth + kPanelGap);
        const int right = left + kPanelWidth, top = kBodyY, bottom = top + kPanelHeight;
        canvas.setLineWidth(kThick);
        const std::array<LayoutPoint, 5> frame{LayoutPoint{left, top}, LayoutPoint{right, top},
                                               LayoutPoint{right, bottom},
                                               LayoutPoint{left, bottom}, LayoutPoint{left, top}};
        for (std::size_t c = 0; c < 4; ++c)
            canvas.drawLine(frame[c], frame[c + 1], kInk);
        fitText(canvas, {left + 6, top + 5},
                std::string(s == 0 ? "A：" : "B：") + sideText(r.sides[side]) + " " +
                    std::string(network),
                kPanelWidth - 12, style(kInk, TextAlign::Left, true));
        const PanelPoints points =
            PlaceInPanel(positions, left + 3, top + kPanelTitle + 3, right - 3, bottom - 3);
        if (points.nodes.size() != static_cast<std::size_t>(n)) continue;
        // A's own links are the lost ones, B's own the gained ones.
        const Rgb own = s == 0 ? kLost : kGained;
        for (const Pair& p : links[side]) {
            if (p[0] < 0 || p[1] >= n || p[0] >= p[1]) continue;
            canvas.setLineWidth(significant.contains(p) ? kThick : 1);
            canvas.drawLine(points.nodes[static_cast<std::size_t>(p[0])],
                            points.nodes[static_cast<std::size_t>(p[1])],
                            links[1 - side].contains(p) ? kInk : own);
        }
        canvas.setLineWidth(1);
        for (const LayoutPoint& node : points.nodes)
            canvas.drawDot(node, kDot);
        for (int i = 0; i < n; ++i)
            canvas.drawLabel(points.labels[static_cast<std::size_t>(i)], conceptNumberText(i + 1));
    }
    int y = kBodyY + kPanelHeight + 12;
    const bool p = paired(r);
    drawLegendLine(canvas, {kMargin, y}, 1, kInk, "黑：兩邊的網路都有的連結");
    drawLegendLine(canvas, {kMargin, y += kLine}, 1, kGained,
                   p ? "綠：第二次才有的連結（增加）" : "綠：只有 B 的網路有的連結");
    drawLegendLine(canvas, {kMargin, y += kLine}, 1, kLost,
                   p ? "紅：第一次才有的連結（減少）" : "紅：只有 A 的網路有的連結");
    drawLegendLine(canvas, {kMargin, y += kLine}, kThick, kInk,
                   "粗線：兩邊連結人數差異顯著（q < " + numberText(kCompareAlpha) + "）");
    if (r.meanCorrelation)
        canvas.drawText({kMargin, y += kLine + 4},
                        "兩邊平均距離矩陣的相關 r = " + numberText(roundIndex(*r.meanCorrelation)),
                        style(kInk));
    canvas.drawText({kListX, kBodyY}, "概念", style(kInk, TextAlign::Left, true));
    for (int i = 0; i < n; ++i)
        fitText(canvas, {kListX, kBodyY + kLine * (i + 1) + 4},
                numberText(i + 1) + " :  " + conceptLabel(i, r.labels),
                kSurfaceWidth - kMargin - kListX, style(kInk));
}

// Page 2's columns: the pair, its two labels, A, B, p and q (right edges for
// the numbers).
constexpr int kPairX = kMargin, kLabelX = 64, kLabelWidth = 220, kLabel2X = 292;
constexpr int kAX = 570, kBX = 630, kPX = 705, kQX = 790;
constexpr int kRowsTop = kBodyY + 26;
constexpr int kRowsFit = (kSurfaceHeight - kMargin - kLine - kRowsTop) / kLine;

void drawTablePage(Canvas& canvas, const CompareResults& r) {
    drawTitle(canvas, "各概念對的連結人數（依 p 由小到大）",
              "A：" + sideText(r.sides[0]) + "　B：" + sideText(r.sides[1]) +
                  "　A、B 為網路中有這條連結的人數；q < " + numberText(kCompareAlpha) +
                  " 的列以粗體標示");
    const TextStyle head = style(kInk, TextAlign::Left, true);
    TextStyle headRight = head;
    headRight.align = TextAlign::Right;
    canvas.drawText({kPairX, kBodyY}, "概念對", head);
    canvas.drawText({kLabelX, kBodyY}, "概念", head);
    canvas.drawText({kLabel2X, kBodyY}, "概念", head);
    canvas.drawText({kAX, kBodyY}, "A", headRight);
    canvas.drawText({kBX, kBodyY}, "B", headRight);
    canvas.drawText({kPX, kBodyY}, "p", headRight);
    canvas.drawText({kQX, kBodyY}, "q", headRight);
    canvas.setLineWidth(1);
    canvas.drawLine({kMargin, kBodyY + 20}, {kSurfaceWidth - kMargin, kBodyY + 20}, kRule);
    const std::vector<const PairTest*> rows = pairsByP(r);
    const std::size_t shown = std::min(rows.size(), static_cast<std::size_t>(kRowsFit));
    for (std::size_t k = 0; k < shown; ++k) {
        const PairTest& t = *rows[k];
        const int y = kRowsTop + static_cast<int>(k) * kLine;
        const bool bold = t.q < kCompareAlpha;
        const TextStyle left = style(kInk, TextAlign::Left, bold);
        const TextStyle right = style(kInk, TextAlign::Right, bold);
        canvas.drawText({kPairX, y}, numberText(t.i + 1) + "–" + numberText(t.j + 1), left);
        fitText(canvas, {kLabelX, y}, conceptLabel(t.i, r.labels), kLabelWidth, left);
        fitText(canvas, {kLabel2X, y}, conceptLabel(t.j, r.labels), kLabelWidth, left);
        canvas.drawText({kAX, y}, numberText(t.a), right);
        canvas.drawText({kBX, y}, numberText(t.b), right);
        canvas.drawText({kPX, y}, pValueText(t.p), right);
        canvas.drawText({kQX, y}, pValueText(t.q), right);
    }
    if (rows.size() > shown)
        canvas.drawText(
            {kMargin, kRowsTop + static_cast<int>(shown) * kLine + 4},
            "另有 " + numberText(static_cast<double>(rows.size() - shown)) + " 對未列出（p 較大）",
            style(kGrey));
    if (rows.empty()) canvas.drawText({kMargin, kRowsTop}, "沒有概念對", style(kGrey));
}

// Page 3: a line per matched student from the first PFC to the second.
void drawSlopePage(Canvas& canvas, const CompareResults& r) {
    const SignFlipTest& test = r.indexTests[0];
    std::string caption = "PFC 變化的符號翻轉檢定：" + numberText(test.students) + " 人";
    if (test.students > 0)
        caption += "，平均變化 " +
                   numberText(roundIndex(static_cast<double>(test.sum) / 1000 / test.students)) +
                   "，p = " + pValueText(test.p);
    drawTitle(canvas, "每位學生的 PFC：" + r.sides[0].name + " 與 " + r.sides[1].name, caption);
    double low = 0;
    int up = 0, down = 0, same = 0;
    for (const StudentChange& c : r.changes)
        for (const auto& v : {c.first[0], c.second[0]})
            if (v) low = std::min(low, std::floor(*v * 4) / 4);
    constexpr int kLeft = 90, kRight = 520, kTop = kBodyY + 10, kBottom = kSurfaceHeight - 60;
    constexpr int kX1 = kLeft + 70, kX2 = kRight - 70;
    const auto yOf = [&](double v) {
        return kBottom - static_cast<int>(std::lround((v - low) / (1 - low) * (kBottom - kTop)));
    };
    canvas.setLineWidth(1);
    const int steps = static_cast<int>(std::lround((1 - low) * 4));
    for (int k = 0; k <= steps; ++k) {
        const double v = low + k * 0.25;
        canvas.drawLine({kLeft, yOf(v)}, {kRight, yOf(v)}, kRule);
        TextStyle s = style(kGrey, TextAlign::Right);
        s.middle = true;
        canvas.drawText({kLeft - 6, yOf(v)}, numberText(v), s);
    }
    canvas.drawLine({kLeft, kTop}, {kLeft, kBottom}, kInk);
    for (const auto& [x, name] : {std::pair{kX1, r.sides[0].name}, {kX2, r.sides[1].name}}) {
        canvas.drawLine({x, kBottom}, {x, kBottom + 4}, kInk);
        fitText(canvas, {x, kBottom + 8}, name, kX2 - kX1 - 20, style(kInk, TextAlign::Centre));
    }
    for (const StudentChange& c : r.changes) {
        if (!c.first[0] || !c.second[0]) continue;
        const double a = roundIndex(*c.first[0]), b = roundIndex(*c.second[0]);
        const Rgb colour = b > a ? kGained : b < a ? kLost : kGrey;
        (b > a ? up : b < a ? down : same) += 1;
        canvas.drawLine({kX1, yOf(a)}, {kX2, yOf(b)}, colour);
        canvas.drawDot({kX1, yOf(a)}, kDot);
        canvas.drawDot({kX2, yOf(b)}, kDot);
    }
    constexpr int kLegendX = kRight + 30;
    drawLegendLine(canvas, {kLegendX, kTop}, 1, kGained, "上升：" + numberText(up) + " 人");
    drawLegendLine(canvas, {kLegendX, kTop + kLine}, 1, kLost, "下降：" + numberText(down) + " 人");
    drawLegendLine(canvas, {kLegendX, kTop + 2 * kLine}, 1, kGrey,
                   "不變：" + numberText(same) + " 人");
}

}  // namespace

int comparePageCount(const CompareResults& results) {
    return paired(results) ? 3 : 2;
}

const std::vector<Pair>& shownNetwork(const CompareResults& results, int side) {
    const CompareSide& s = results.sides[static_cast<std::size_t>(side)];
    return results.hasMeanNetwork ? s.meanNetwork : s.majority;
}

std::vector<const PairTest*> pairsByP(const CompareResults& results) {
    std::vector<const PairTest*> out;
    for (const PairTest& t : results.tests.pairs)
        out.push_back(&t);
    std::stable_sort(out.begin(), out.end(), [](const PairTest* x, const PairTest* y) {
        if (x->p != y->p) return x->p < y->p;
        return std::pair{x->i, x->j} < std::pair{y->i, y->j};
    });
    return out;
}

std::string pValueText(double p) {
    const double rounded = RoundToDecimals(p, 4);
    return rounded == 0 && p > 0 ? "< 0.0001" : numberText(rounded);
}

void DrawComparePage(Canvas& canvas, const CompareResults& results,
                     const std::vector<PlanePoint>& positions, int page) {
    if (page < 1 || page > comparePageCount(results)) return;
    if (page == 1) drawNetworksPage(canvas, results, positions);
    if (page == 2) drawTablePage(canvas, results);
    if (page == 3) drawSlopePage(canvas, results);
}

}  // namespace qv
