#include "report/canvas.h"

namespace qv {

namespace {

CanvasOp op(CanvasOp::Kind kind, LayoutPoint from = {}, LayoutPoint to = {}) {
    CanvasOp o;
    o.kind = kind;
    o.from = from;
    o.to = to;
    return o;
}

}  // namespace

void RecordingCanvas::setCaption(std::string_view caption) {
    ops_.push_back(op(CanvasOp::Kind::Caption));
    ops_.back().text = caption;
}

void RecordingCanvas::setLineWidth(int pixels) {
    ops_.push_back(op(CanvasOp::Kind::LineWidth));
    ops_.back().width = pixels;
}

void RecordingCanvas::drawLine(LayoutPoint from, LayoutPoint to) {
    ops_.push_back(op(CanvasOp::Kind::Line, from, to));
}

void RecordingCanvas::drawLine(LayoutPoint from, LayoutPoint to, Rgb colour) {
    ops_.push_back(op(CanvasOp::Kind::ColourLine, from, to));
    ops_.back().colour = colour;
}

void RecordingCanvas::drawText(LayoutPoint topLeft, std::string_view text) {
    ops_.push_back(op(CanvasOp::Kind::Text, topLeft));
    ops_.back().text = text;
}

void RecordingCanvas::fillRect(LayoutPoint topLeft, int width, int height, Rgb colour) {
    ops_.push_back(op(CanvasOp::Kind::Rect, topLeft, {topLeft.x + width, topLeft.y + height}));
    ops_.back().colour = colour;
}

void RecordingCanvas::drawText(LayoutPoint anchor, std::string_view text, const TextStyle& style) {
    ops_.push_back(op(CanvasOp::Kind::StyledText, anchor));
    ops_.back().text = text;
    ops_.back().style = style;
}

void RecordingCanvas::drawDot(LayoutPoint centre, int diameter) {
    ops_.push_back(op(CanvasOp::Kind::Dot, centre));
    ops_.back().width = diameter;
}

void RecordingCanvas::drawLabel(LayoutPoint topLeft, std::string_view text) {
    ops_.push_back(op(CanvasOp::Kind::Label, topLeft));
    ops_.back().text = text;
}

std::optional<double> RecordingCanvas::textWidth(std::string_view text,
                                                const TextStyle& style) const {
    if (!measure_) return std::nullopt;
    return measure_(text, style);
}

void RecordingCanvas::replay(Canvas& target) const {
    for (const CanvasOp& op : ops_) {
        switch (op.kind) {
            case CanvasOp::Kind::Caption:
                target.setCaption(op.text);
                break;
            case CanvasOp::Kind::LineWidth:
                target.setLineWidth(op.width);
                break;
            case CanvasOp::Kind::Line:
                target.drawLine(op.from, op.to);
                break;
            case CanvasOp::Kind::ColourLine:
                target.drawLine(op.from, op.to, op.colour);
                break;
            case CanvasOp::Kind::Text:
                target.drawText(op.from, op.text);
                break;
            case CanvasOp::Kind::Rect:
                target.fillRect(op.from, op.to.x - op.from.x, op.to.y - op.from.y, op.colour);
                break;
            case CanvasOp::Kind::StyledText:
                target.drawText(op.from, op.text, op.style);
                break;
            case CanvasOp::Kind::Dot:
                target.drawDot(op.from, op.width);
                break;
            case CanvasOp::Kind::Label:
                target.drawLabel(op.from, op.text);
                break;
        }
    }
}

}  // namespace qv
