#include "report/class_charts.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/number_text.h"
#include "report/text_fit.h"
#include "core/utf8.h"

namespace qv {

namespace {

constexpr Rgb kBar{90, 125, 180};
constexpr Rgb kMeanColour{200, 30, 30};
constexpr Rgb kMedianColour{0, 125, 60};
constexpr Rgb kDiagonal{235, 235, 235};
constexpr Rgb kNoShare{248, 248, 248};
constexpr Rgb kStdFrame{90, 0, 0};
constexpr Rgb kSelection{255, 150, 0};
constexpr Rgb kWhite{255, 255, 255};

constexpr int kFontPixels = 11;  // the drawing font
constexpr int kTitlePixels = 13;

// One histogram's block.
constexpr int kHistWidth = 300, kHistHeight = 200, kHistGap = 24;

TextStyle style(Rgb colour = kInk, TextAlign align = TextAlign::Left, int pixels = 0) {
    TextStyle s;
    s.colour = colour;
    s.align = align;
    s.pixelSize = pixels;
    return s;
}

TextStyle titleStyle() {
    TextStyle s = style(kInk, TextAlign::Left, kTitlePixels);
    s.bold = true;
    return s;
}

LayoutPoint at(LayoutPoint p, int dx, int dy) {
    return {p.x + dx, p.y + dy};
}

int estimatedWidth(std::string_view utf8, int pixels = kFontPixels) {
    return estimatedTextWidth(utf8, pixels);
}

// Labels are laid out before any canvas, so they are fitted by the estimate.
std::string fitted(std::string_view utf8, int width) {
    return elidedText(utf8, width, kFontPixels);
}

Rgb blend(Rgb full, double share) {
    const double s = std::clamp(share, 0.0, 1.0);
    const auto mix = [s](std::uint8_t to) {
        return static_cast<std::uint8_t>(std::lround(255 + (to - 255) * s));
    };
    return {mix(full.r), mix(full.g), mix(full.b)};
}

// The smallest 1, 2 or 5 times a power of ten that is at least `count`.
std::int64_t niceCeiling(std::int64_t count) {
    std::int64_t step = 1;
    while (true) {
        for (std::int64_t m : {1, 2, 5})
            if (m * step >= count) return m * step;
        step *= 10;
    }
}

void frame(Canvas& canvas, LayoutPoint topLeft, int width, int height, Rgb colour) {
    const LayoutPoint tr = at(topLeft, width, 0), br = at(topLeft, width, height),
                      bl = at(topLeft, 0, height);
    canvas.drawLine(topLeft, tr, colour);
    canvas.drawLine(tr, br, colour);
    canvas.drawLine(br, bl, colour);
    canvas.drawLine(bl, topLeft, colour);
}

constexpr std::array<std::string_view, kClassValueCount> kHistogramTitles{
    "PFC 分布（人數）", "GTD 分布（人數）", "PRX 分布（人數）", "得分分布（人數）"};

void drawHistogram(Canvas& canvas, const Histogram& h, std::string_view title, LayoutPoint o) {
    canvas.drawText(o, title, titleStyle());
    const int textY = o.y + 19;
    if (h.mean) canvas.drawText({o.x, textY}, "平均 " + numberText(*h.mean), style(kMeanColour));
    if (h.median)
        canvas.drawText({o.x + 110, textY}, "中位數 " + numberText(*h.median),
                        style(kMedianColour));
    if (h.withoutValue > 0)
        canvas.drawText({o.x + kHistWidth, textY}, "N/A " + numberText(h.withoutValue) + " 人",
                        style(kGrey, TextAlign::Right));
    const int left = o.x + 36, right = o.x + kHistWidth - 8;
    const int top = o.y + 44, bottom = o.y + kHistHeight - 22;
    const int bins = static_cast<int>(h.counts.size());
    if (bins == 0 || h.edges.size() < 2) return;
    const std::int64_t most = *std::max_element(h.counts.begin(), h.counts.end());
    const std::int64_t ceiling = niceCeiling(std::max<std::int64_t>(most, 1));
    const int height = bottom - top;
    canvas.setLineWidth(1);
    for (std::int64_t tick : {std::int64_t{0}, ceiling / 2, ceiling}) {
        if (tick == ceiling / 2 && ceiling % 2 != 0) continue;
        const int y = bottom - static_cast<int>(height * tick / ceiling);
        canvas.drawLine({left, y}, {right, y}, kRule);
        TextStyle s = style(kGrey, TextAlign::Right);
        s.middle = true;
        canvas.drawText({left - 4, y}, numberText(static_cast<double>(tick)), s);
    }
    const double span = static_cast<double>(right - left);
    const auto xOf = [&](double value) {
        const double low = h.edges.front(), high = h.edges.back();
        return left + static_cast<int>(std::lround((value - low) / (high - low) * span));
    };
    for (int b = 0; b < bins; ++b) {
        const std::int64_t count = h.counts[static_cast<std::size_t>(b)];
        if (count == 0) continue;
        const int x0 = xOf(h.edges[static_cast<std::size_t>(b)]);
        const int x1 = xOf(h.edges[static_cast<std::size_t>(b) + 1]);
        const int barHeight = std::max(1, static_cast<int>(height * count / ceiling));
        canvas.fillRect({x0 + 1, bottom - barHeight}, std::max(1, x1 - x0 - 1), barHeight, kBar);
    }
    canvas.drawLine({left, bottom}, {right, bottom}, kInk);
    canvas.drawLine({left, top}, {left, bottom}, kInk);
    const int every = bins > 10 ? 2 : 1;
    for (int b = 0; b <= bins; b += every) {
        const double edge = h.edges[static_cast<std::size_t>(b)];
        canvas.drawLine({xOf(edge), bottom}, {xOf(edge), bottom + 3}, kInk);
        canvas.drawText({xOf(edge), bottom + 4}, numberText(edge),
                        style(kInk, TextAlign::Centre, 10));
    }
    canvas.setLineWidth(2);
    if (h.mean) canvas.drawLine({xOf(*h.mean), top}, {xOf(*h.mean), bottom}, kMeanColour);
    if (h.median) canvas.drawLine({xOf(*h.median), top}, {xOf(*h.median), bottom}, kMedianColour);
    canvas.setLineWidth(1);
}

constexpr int kHeatTitleHeight = 40;
constexpr int kLegendHeight = 86;
constexpr int kMaxLabelWidth = 170;
constexpr int kMaxColumnLabelChars = 8;
constexpr double kVerticalStep = kFontPixels * 1.1;  // as the canvases stack characters

std::string columnLabel(const std::vector<std::string>& labels, int c) {
    std::u32string chars = toCodePoints(conceptLabel(c, labels));
    if (chars.size() > kMaxColumnLabelChars) {
        chars.resize(kMaxColumnLabelChars - 1);
        chars += U'…';
    }
    return toUtf8(chars);
}

// Cells this small would be all frame: a standard link gets a dot instead.
constexpr int kFramedCell = 12;

void markStandard(Canvas& canvas, LayoutPoint cell, int side) {
    if (side + 1 >= kFramedCell) {
        frame(canvas, cell, side - 1, side - 1, kStdFrame);
        return;
    }
    const int dot = std::max(2, side / 3);
    canvas.fillRect({cell.x + (side - dot) / 2, cell.y + (side - dot) / 2}, dot, dot, kStdFrame);
}

void drawLegend(Canvas& canvas, LayoutPoint o, int cell) {
    const auto scale = [&](int y, std::string_view name, Rgb (*colour)(double)) {
        TextStyle s = style();
        s.middle = true;
        canvas.drawText({o.x, y + 5}, name, s);
        constexpr int kSteps = 10, kStep = 14;
        for (int k = 0; k < kSteps; ++k)
            canvas.fillRect({o.x + 110 + k * kStep, y}, kStep, 10, colour((k + 0.5) / kSteps));
        frame(canvas, {o.x + 110, y}, kSteps * kStep, 10, kGrey);
        for (int k : {0, 5, 10})
            canvas.drawText({o.x + 110 + k * kStep, y + 12}, numberText(k * 10) + "%",
                            style(kGrey, TextAlign::Centre, 9));
    };
    scale(o.y, "缺少的標準連結", missColour);
    scale(o.y + 30, "多出的連結", extraColour);
    const int side = std::min(cell, 13) - 1;
    canvas.fillRect({o.x, o.y + 68 - side / 2}, side, side, kWhite);
    markStandard(canvas, {o.x, o.y + 68 - side / 2}, side);
    TextStyle s = style();
    s.middle = true;
    canvas.drawText(
        {o.x + 18, o.y + 68},
        cell >= kFramedCell ? "有框：標準網路的連結（格內數字為百分比）" : "有點：標準網路的連結",
        s);
}

}  // namespace

Rgb missColour(double share) {
    return blend({200, 20, 20}, share);
}

Rgb extraColour(double share) {
    return blend({30, 80, 200}, share);
}

std::string shareText(double share) {
    return numberText(RoundToDecimals(std::max(share, 0.0) * 100, 1)) + "%";
}

std::string conceptLabel(int c, const std::vector<std::string>& labels) {
    if (c < 0 || static_cast<std::size_t>(c) >= labels.size()) return {};
    const std::string& label = labels[static_cast<std::size_t>(c)];
    const auto first = label.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = label.find_last_not_of(" \t\r\n");
    return label.substr(first, last - first + 1);
}

std::string conceptText(int c, const std::vector<std::string>& labels) {
    const std::string label = conceptLabel(c, labels);
    return std::to_string(c + 1) + (label.empty() ? "" : " " + label);
}

ChartSize histogramsSize() {
    return {2 * kHistWidth + kHistGap, 2 * kHistHeight + kHistGap};
}

void DrawHistograms(Canvas& canvas, const ClassSummary& summary, LayoutPoint origin) {
    for (int which = 0; which < kClassValueCount; ++which) {
        const LayoutPoint o = at(origin, (which % 2) * (kHistWidth + kHistGap),
                                 (which / 2) * (kHistHeight + kHistGap));
        drawHistogram(canvas, summary.histograms[static_cast<std::size_t>(which)],
                      kHistogramTitles[static_cast<std::size_t>(which)], o);
    }
}

HeatMapLayout heatMapLayout(const ClassSummary& summary, const std::vector<std::string>& labels,
                            LayoutPoint origin) {
    HeatMapLayout l;
    l.n = summary.conceptCount;
    l.origin = origin;
    l.cell = std::clamp(l.n > 0 ? 520 / l.n : 26, 6, 26);
    l.fullLabels = l.cell >= 14;
    int labelWidth = 30, topHeight = 16;
    if (l.fullLabels) {
        std::size_t tallest = 0;
        for (int c = 0; c < l.n; ++c) {
            labelWidth = std::max(labelWidth, estimatedWidth(conceptText(c, labels)));
            tallest = std::max(tallest, toCodePoints(columnLabel(labels, c)).size());
        }
        labelWidth = std::min(labelWidth, kMaxLabelWidth);
        topHeight = 18 + static_cast<int>(std::ceil(kVerticalStep * static_cast<double>(tallest)));
    } else {
        l.labelStep = (14 + l.cell - 1) / l.cell;
    }
    l.grid = at(origin, labelWidth + 8, kHeatTitleHeight + topHeight);
    const int gridSide = l.n * l.cell;
    l.size.width = std::max({l.grid.x - origin.x + gridSide, 360});
    l.size.height = l.grid.y - origin.y + gridSide + 14 + kLegendHeight;
    return l;
}

void DrawHeatMap(Canvas& canvas, const ClassSummary& summary,
                 const std::vector<std::string>& labels, const HeatMapLayout& l) {
    canvas.drawText(l.origin, "連結診斷：全班學生的網路與標準網路相比", titleStyle());
    canvas.drawText(at(l.origin, 0, 19), "紅：缺少此標準連結的學生比例　藍：多出此連結的學生比例",
                    style(kGrey));
    canvas.setLineWidth(1);
    const int n = std::min(l.n, summary.conceptCount);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const LayoutPoint cell = at(l.grid, j * l.cell, i * l.cell);
            const int side = l.cell - 1;
            if (i == j) {
                canvas.fillRect(cell, side, side, kDiagonal);
                continue;
            }
            const std::optional<double> share = summary.diagnosisShare(i, j);
            const bool standard = summary.isStandard(i, j);
            canvas.fillRect(cell, side, side,
                            !share     ? kNoShare
                            : standard ? missColour(*share)
                                       : extraColour(*share));
            if (standard) markStandard(canvas, cell, side);
            if (share && l.cell >= 20 && *share >= 0.005) {
                TextStyle s = style(*share > 0.55 ? kWhite : kInk, TextAlign::Centre, 9);
                s.middle = true;
                canvas.drawText(at(cell, side / 2, side / 2 + 1),
                                numberText(std::round(*share * 100)), s);
            }
        }
    }
    for (int c = 0; c < n; ++c) {
        if (!l.fullLabels && c % l.labelStep != 0) continue;
        const int middle = c * l.cell + l.cell / 2;
        TextStyle row = style(kInk, TextAlign::Right, l.fullLabels ? 0 : 9);
        row.middle = true;
        const std::string rowText =
            l.fullLabels ? fitted(conceptText(c, labels), kMaxLabelWidth) : std::to_string(c + 1);
        canvas.drawText({l.grid.x - 5, l.grid.y + middle}, rowText, row);
        canvas.drawText({l.grid.x + middle, l.grid.y - 15}, std::to_string(c + 1),
                        style(kInk, TextAlign::Centre, l.fullLabels ? 10 : 9));
        if (l.fullLabels) {
            TextStyle column = style();
            column.vertical = true;
            canvas.drawText({l.grid.x + middle, l.grid.y - 17}, columnLabel(labels, c), column);
        }
    }
    drawLegend(canvas, {l.origin.x, l.grid.y + n * l.cell + 14}, l.cell);
}

void DrawHeatMapSelection(Canvas& canvas, const HeatMapLayout& l, int i, int j) {
    canvas.setLineWidth(3);
    for (const auto& [row, col] : {std::pair{i, j}, std::pair{j, i}})
        frame(canvas, at(l.grid, col * l.cell - 1, row * l.cell - 1), l.cell, l.cell, kSelection);
    canvas.setLineWidth(1);
}

std::optional<std::pair<int, int>> heatMapPairAt(const HeatMapLayout& l, LayoutPoint p) {
    if (l.cell <= 0 || p.x < l.grid.x || p.y < l.grid.y) return std::nullopt;
    const int col = (p.x - l.grid.x) / l.cell, row = (p.y - l.grid.y) / l.cell;
    if (col >= l.n || row >= l.n || col == row) return std::nullopt;
    return std::pair{std::min(row, col), std::max(row, col)};
}

namespace {

constexpr int kListWidth = 300, kListGap = 24, kListHead = 24, kListLine = 17;

void drawList(Canvas& canvas, const std::vector<RankedPair>& pairs, std::string_view heading,
              const std::vector<std::string>& labels, LayoutPoint o) {
    canvas.drawText(o, heading, titleStyle());
    if (pairs.empty()) canvas.drawText(at(o, 0, kListHead), "（沒有）", style(kGrey));
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const RankedPair& p = pairs[k];
        const int y = o.y + kListHead + static_cast<int>(k) * kListLine;
        const std::string text = std::to_string(k + 1) + ". " +
                                 fitted(conceptText(p.i, labels), 100) + " — " +
                                 fitted(conceptText(p.j, labels), 100);
        canvas.drawText({o.x, y}, text, style());
        canvas.drawText({o.x + kListWidth, y}, shareText(p.share), style(kInk, TextAlign::Right));
    }
}

}  // namespace

ChartSize rankedListsSize(std::size_t count) {
    return {2 * kListWidth + kListGap, kListHead + static_cast<int>(count) * kListLine};
}

void DrawRankedLists(Canvas& canvas, const ClassSummary& summary,
                     const std::vector<std::string>& labels, LayoutPoint origin,
                     std::size_t count) {
    drawList(canvas, mostMissedLinks(summary, count), "最常缺少的標準連結", labels, origin);
    drawList(canvas, mostCommonExtraLinks(summary, count), "最常多出的連結", labels,
             at(origin, kListWidth + kListGap, 0));
}

void DrawClassCharts(Canvas& canvas, const ClassSummary& summary,
                     const std::vector<std::string>& labels, std::string_view title) {
    canvas.setCaption(title);
    TextStyle heading = titleStyle();
    heading.pixelSize = 16;
    canvas.drawText({20, 14}, title, heading);
    const LayoutPoint histograms{20, 52};
    DrawHistograms(canvas, summary, histograms);
    const ChartSize h = histogramsSize();
    DrawRankedLists(canvas, summary, labels, at(histograms, 0, h.height + 28), kRankedLinesOnPage);
    DrawHeatMap(canvas, summary, labels,
                heatMapLayout(summary, labels, at(histograms, h.width + 40, 0)));
}

}  // namespace qv
