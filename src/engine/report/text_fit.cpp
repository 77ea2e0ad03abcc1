#include "report/text_fit.h"

#include <cmath>
#include <functional>
#include <vector>

#include "core/utf8.h"

namespace qv {

namespace {

constexpr std::string_view kEllipsis = "…";
constexpr int kDefaultPixels = 11;  // the drawing font

bool continuation(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// Where each character after the first begins, up to `limit` of them: a
// text this long cannot fit however narrow its characters are drawn.
std::vector<std::size_t> cutPoints(std::string_view utf8, std::size_t limit) {
    std::vector<std::size_t> cuts;
    for (std::size_t i = 1; i < utf8.size() && cuts.size() < limit; ++i)
        if (!continuation(utf8[i])) cuts.push_back(i);
    return cuts;
}

std::string elide(std::string_view utf8, double width,
                  const std::function<double(std::string_view)>& measure) {
    // No character is drawn narrower than a quarter pixel: what lies beyond
    // is cut without being measured, however long the text.
    const auto limit = static_cast<std::size_t>(std::max(width, 0.0) * 4) + 2;
    const std::vector<std::size_t> cuts = cutPoints(utf8, limit);
    const bool whole = cuts.size() < limit;
    if (whole && measure(utf8) <= width) return std::string(utf8);
    const auto withEllipsis = [&](std::size_t count) {
        std::string text(utf8.substr(0, count == 0 ? 0 : cuts[count - 1]));
        text += kEllipsis;
        return text;
    };
    // The widest start that fits with its ellipsis; widths grow with the start.
    std::size_t low = 0, high = cuts.size();
    while (low < high) {
        const std::size_t mid = low + (high - low + 1) / 2;
        if (measure(withEllipsis(mid)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return withEllipsis(low);
}

}  // namespace

int estimatedTextWidth(std::string_view utf8, int pixels) {
    double width = 0;
    for (char32_t c : toCodePoints(utf8))
        width += c >= 0x1100 ? pixels : 0.6 * pixels;
    return static_cast<int>(std::ceil(width));
}

std::string elidedText(std::string_view utf8, double width, const Canvas& canvas,
                       const TextStyle& style) {
    const int pixels = style.pixelSize > 0 ? style.pixelSize : kDefaultPixels;
    return elide(utf8, width, [&](std::string_view text) {
        if (const auto measured = canvas.textWidth(text, style)) return *measured;
        return static_cast<double>(estimatedTextWidth(text, pixels));
    });
}

std::string elidedText(std::string_view utf8, double width, int pixels) {
    return elide(utf8, width, [pixels](std::string_view text) {
        return static_cast<double>(estimatedTextWidth(text, pixels));
    });
}

}  // namespace qv
