#include "report/score_scatter.h"

#include <cmath>
#include <string>

#include "core/number_text.h"

namespace qv {

namespace {

constexpr int kWidth = 620, kHeight = 440;
constexpr int kDot = 7;
constexpr int kReach = 6;  // how far from a dot a click still picks it

TextStyle textStyle(Rgb colour, TextAlign align = TextAlign::Left) {
    TextStyle s;
    s.colour = colour;
    s.align = align;
    return s;
}

}  // namespace

ScatterLayout scatterLayout(const std::vector<int>& scores,
                            const std::vector<std::optional<double>>& values, int maxScore,
                            double low, LayoutPoint origin) {
    ScatterLayout l;
    l.origin = origin;
    l.width = kWidth;
    l.height = kHeight;
    l.left = origin.x + 48;
    l.right = origin.x + kWidth - 12;
    l.top = origin.y + 30;
    l.bottom = origin.y + kHeight - 40;
    l.maxScore = std::max(maxScore, 1);
    l.low = low;
    l.high = 1;
    for (std::size_t k = 0; k < scores.size(); ++k) {
        if (k >= values.size() || !values[k]) {
            l.dots.emplace_back();
            continue;
        }
        const double x = static_cast<double>(scores[k]) / l.maxScore;
        const double y = (*values[k] - l.low) / (l.high - l.low);
        l.dots.push_back(
            LayoutPoint{l.left + static_cast<int>(std::lround(x * (l.right - l.left))),
                        l.bottom - static_cast<int>(std::lround(y * (l.bottom - l.top)))});
    }
    return l;
}

void DrawScoreScatter(Canvas& canvas, const ScatterLayout& l, std::string_view indexName) {
    TextStyle title = textStyle(kInk);
    title.bold = true;
    canvas.drawText(l.origin, "得分與 " + std::string(indexName), title);
    canvas.setLineWidth(1);
    const double span = l.high - l.low;
    for (int step = 0; step <= 4; ++step) {
        const double value = l.low + span * step / 4;
        const int y = l.bottom - (l.bottom - l.top) * step / 4;
        canvas.drawLine({l.left, y}, {l.right, y}, kRule);
        TextStyle s = textStyle(kGrey, TextAlign::Right);
        s.middle = true;
        canvas.drawText({l.left - 4, y}, numberText(RoundToDecimals(value, 2)), s);
    }
    for (int step = 0; step <= 4; ++step) {
        const int score = static_cast<int>(std::lround(l.maxScore * step / 4.0));
        const int x = l.left + (l.right - l.left) * score / l.maxScore;
        canvas.drawLine({x, l.bottom}, {x, l.bottom + 3}, kInk);
        canvas.drawText({x, l.bottom + 4}, numberText(score), textStyle(kGrey, TextAlign::Centre));
    }
    canvas.drawLine({l.left, l.bottom}, {l.right, l.bottom}, kInk);
    canvas.drawLine({l.left, l.top}, {l.left, l.bottom}, kInk);
    canvas.drawText({(l.left + l.right) / 2, l.bottom + 20}, "得分",
                    textStyle(kInk, TextAlign::Centre));
    for (const auto& dot : l.dots)
        if (dot) canvas.drawDot(*dot, kDot);
}

std::optional<std::size_t> scatterStudentAt(const ScatterLayout& l, LayoutPoint p) {
    std::optional<std::size_t> best;
    long bestDistance = static_cast<long>(kReach) * kReach + 1;
    for (std::size_t k = 0; k < l.dots.size(); ++k) {
        if (!l.dots[k]) continue;
        const long dx = l.dots[k]->x - p.x, dy = l.dots[k]->y - p.y;
        if (dx * dx + dy * dy < bestDistance) {
            bestDistance = dx * dx + dy * dy;
            best = k;
        }
    }
    return best;
}

}  // namespace qv
