#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "layout/get_points.h"

namespace qv {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kStdLinkColour{255, 0, 0};
// The charts' common inks: texts and axes, secondary texts, grid rules.
inline constexpr Rgb kInk{0, 0, 0};
inline constexpr Rgb kGrey{110, 110, 110};
inline constexpr Rgb kRule{210, 210, 210};

enum class TextAlign { Left, Centre, Right };

// How a chart text is set. A horizontal text's anchor is its top left, top
// centre or top right corner (`align`), or the middle of that side when
// `middle`. A vertical text stands its characters one below another, centred
// on the anchor's x, the last one ending at the anchor's y: axis labels that
// stand on a grid. The engine cannot measure texts; the canvas places them.
struct TextStyle {
    Rgb colour{};
    TextAlign align = TextAlign::Left;
    bool middle = false;
    bool vertical = false;
    int pixelSize = 0;  // 0: the drawing font's own size
    bool bold = false;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// The drawing surface of the print window, reduced to what the drawings use.
// Pixels, origin top left, y downwards. Texts are UTF-8.
class Canvas {
  public:
    virtual ~Canvas() = default;
    virtual void setCaption(std::string_view caption) = 0;
    // Width of the lines drawn from now on.
    virtual void setLineWidth(int pixels) = 0;
    // In the foreground colour.
    virtual void drawLine(LayoutPoint from, LayoutPoint to) = 0;
    virtual void drawLine(LayoutPoint from, LayoutPoint to, Rgb colour) = 0;
    // In the foreground colour, the text's top left corner at `topLeft`.
    virtual void drawText(LayoutPoint topLeft, std::string_view text) = 0;
    // The charts' additions: a filled rectangle without outline, and a text
    // in its own colour, size and placement.
    virtual void fillRect(LayoutPoint topLeft, int width, int height, Rgb colour) = 0;
    virtual void drawText(LayoutPoint anchor, std::string_view text, const TextStyle& style) = 0;
    // A filled round dot in the foreground colour.
    virtual void drawDot(LayoutPoint centre, int diameter) = 0;
    // A text like drawText(topLeft, text) on a box of the paper's colour, so
    // that nothing drawn before shows through it.
    virtual void drawLabel(LayoutPoint topLeft, std::string_view text) = 0;
    // How wide a text would be drawn in `style`, in pixels; nothing when this
    // canvas cannot measure texts (the engine then estimates).
    virtual std::optional<double> textWidth(std::string_view /*text*/,
                                            const TextStyle& /*style*/) const {
        return std::nullopt;
    }
};

// Measures texts for a canvas that only records them: the drawing font's
// widths, known where the drawing will be painted.
using TextMeasure = std::function<double(std::string_view text, const TextStyle& style)>;

// One recorded drawing operation.
struct CanvasOp {
    enum class Kind { Caption, LineWidth, Line, ColourLine, Text, Rect, StyledText, Dot, Label };
    Kind kind = Kind::Line;
    LayoutPoint from{}, to{};  // a text's anchor; a Rect's top left and bottom right corners
    Rgb colour{};              // ColourLine and Rect
    int width = 0;             // LineWidth, and a Dot's diameter
    std::string text;          // Caption, Text, StyledText and Label
    TextStyle style{};         // StyledText only
    friend bool operator==(const CanvasOp&, const CanvasOp&) = default;
};

// Keeps every operation, in order, so that a drawing can be repainted,
// printed or exported later by replaying it on another canvas.
class RecordingCanvas final : public Canvas {
  public:
    RecordingCanvas() = default;
    explicit RecordingCanvas(TextMeasure measure) : measure_(std::move(measure)) {}

    void setCaption(std::string_view caption) override;
    void setLineWidth(int pixels) override;
    void drawLine(LayoutPoint from, LayoutPoint to) override;
    void drawLine(LayoutPoint from, LayoutPoint to, Rgb colour) override;
    void drawText(LayoutPoint topLeft, std::string_view text) override;
    void fillRect(LayoutPoint topLeft, int width, int height, Rgb colour) override;
    void drawText(LayoutPoint anchor, std::string_view text, const TextStyle& style) override;
    void drawDot(LayoutPoint centre, int diameter) override;
    void drawLabel(LayoutPoint topLeft, std::string_view text) override;
    std::optional<double> textWidth(std::string_view text, const TextStyle& style) const override;

    const std::vector<CanvasOp>& ops() const { return ops_; }
    bool empty() const { return ops_.empty(); }
    void clear() { ops_.clear(); }
    void replay(Canvas& target) const;

  private:
    std::vector<CanvasOp> ops_;
    TextMeasure measure_;
};

}  // namespace qv
