#include "painter_canvas.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>
#include <QStringList>

#include "report/draw_report.h"

namespace qv::render {

namespace {

QPointF toQt(LayoutPoint p) {
    return QPointF(p.x, p.y);
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QFont drawingFont() {
    QFont font(QStringLiteral("Noto Sans CJK TC"));
    font.setFamilies({QStringLiteral("Noto Sans CJK TC"), QStringLiteral("AR PL UKai TW"),
                      QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

QFont drawingFont(const TextStyle& style) {
    QFont font = drawingFont();
    if (style.pixelSize > 0) font.setPixelSize(style.pixelSize);
    font.setBold(style.bold);
    return font;
}

namespace {

// A vertical text's characters stand closer than its lines would: the font's
// line height leaves room for accents that CJK labels do not have.
double verticalStep(const QFont& font) {
    return font.pixelSize() * 1.1;
}

// The characters of a text, surrogate pairs kept whole.
QStringList characters(const QString& text) {
    QStringList out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        out << text.mid(i, length);
        i += length - 1;
    }
    return out;
}

}  // namespace

TextMeasure fontMeasure() {
    return [](std::string_view text, const TextStyle& style) {
        return QFontMetricsF(drawingFont(style)).horizontalAdvance(fromUtf8(text));
    };
}

QRectF styledTextBox(LayoutPoint anchor, const QString& text, const TextStyle& style) {
    const QFont font = drawingFont(style);
    const QFontMetricsF metrics(font);
    if (style.vertical) {
        double width = 0;
        const QStringList chars = characters(text);
        for (const QString& c : chars)
            width = std::max(width, metrics.horizontalAdvance(c));
        const double height = verticalStep(font) * static_cast<double>(chars.size());
        return QRectF(anchor.x - width / 2, anchor.y - height, width, height);
    }
    const double width = metrics.horizontalAdvance(text);
    const double height = metrics.height();
    double left = anchor.x;
    if (style.align == TextAlign::Centre) left -= width / 2;
    if (style.align == TextAlign::Right) left -= width;
    return QRectF(left, style.middle ? anchor.y - height / 2 : anchor.y, width, height);
}

PainterCanvas::PainterCanvas(QPainter& painter, QColor foreground, QColor paper)
    : painter_(painter), foreground_(foreground), paper_(paper) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
    painter_.setFont(drawingFont());
}

void PainterCanvas::setLineWidth(int pixels) {
    width_ = std::max(pixels, 1);
}

void PainterCanvas::drawLine(LayoutPoint from, LayoutPoint to) {
    line(from, to, foreground_);
}

void PainterCanvas::drawLine(LayoutPoint from, LayoutPoint to, Rgb colour) {
    line(from, to, QColor(colour.r, colour.g, colour.b));
}

void PainterCanvas::line(LayoutPoint from, LayoutPoint to, const QColor& colour) {
    painter_.setPen(QPen(colour, width_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter_.drawLine(toQt(from), toQt(to));
}

void PainterCanvas::drawText(LayoutPoint topLeft, std::string_view text) {
    painter_.setPen(foreground_);
    // A generous box: the text is never wrapped or clipped, only anchored.
    const QRectF box(toQt(topLeft), QSizeF(2000, 200));
    painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, fromUtf8(text));
}

void PainterCanvas::fillRect(LayoutPoint topLeft, int width, int height, Rgb colour) {
    painter_.fillRect(QRectF(toQt(topLeft), QSizeF(width, height)),
                      QColor(colour.r, colour.g, colour.b));
}

void PainterCanvas::drawText(LayoutPoint anchor, std::string_view utf8, const TextStyle& style) {
    const QString text = fromUtf8(utf8);
    const QFont before = painter_.font();
    painter_.setFont(drawingFont(style));
    painter_.setPen(QColor(style.colour.r, style.colour.g, style.colour.b));
    const QRectF box = styledTextBox(anchor, text, style);
    if (style.vertical) {
        const double step = verticalStep(painter_.font());
        double y = box.top();
        for (const QString& c : characters(text)) {
            painter_.drawText(QRectF(box.left(), y, box.width(), step),
                              Qt::AlignCenter | Qt::TextDontClip, c);
            y += step;
        }
    } else {
        painter_.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    }
    painter_.setFont(before);
}

void PainterCanvas::drawDot(LayoutPoint centre, int diameter) {
    const double r = std::max(diameter, 1) / 2.0;
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(foreground_);
    painter_.drawEllipse(toQt(centre), r, r);
    painter_.setBrush(Qt::NoBrush);
}

void PainterCanvas::drawLabel(LayoutPoint topLeft, std::string_view utf8) {
    const QString text = fromUtf8(utf8);
    const QFontMetricsF metrics(painter_.font());
    // A blank before the digits is the label's spacing, not part of its box.
    qsizetype blanks = 0;
    while (blanks < text.size() && text.at(blanks) == u' ')
        ++blanks;
    const double indent = metrics.horizontalAdvance(text.left(blanks));
    const QRectF box(topLeft.x + indent - 1, topLeft.y,
                     metrics.horizontalAdvance(text) - indent + 2, metrics.height());
    painter_.fillRect(box, paper_);
    drawText(topLeft, utf8);
}

std::optional<double> PainterCanvas::textWidth(std::string_view text,
                                              const TextStyle& style) const {
    return fontMeasure()(text, style);
}

void paintPicture(QPainter& painter, const RecordingCanvas& picture, QColor foreground,
                  QColor paper) {
    painter.save();
    PainterCanvas canvas(painter, foreground, paper);
    picture.replay(canvas);
    painter.restore();
}

PictureExtent::PictureExtent(QSizeF least)
    : metrics_(drawingFont()), right_(least.width()), bottom_(least.height()) {}

void PictureExtent::reach(double x, double y) {
    right_ = std::max(right_, x + kSurfaceMargin);
    bottom_ = std::max(bottom_, y + kSurfaceMargin);
}

void PictureExtent::add(const CanvasOp& op) {
    switch (op.kind) {
        case CanvasOp::Kind::Text:
        case CanvasOp::Kind::Label:
            reach(op.from.x + metrics_.horizontalAdvance(fromUtf8(op.text)),
                  op.from.y + metrics_.height());
            break;
        case CanvasOp::Kind::StyledText: {
            const QRectF box = styledTextBox(op.from, fromUtf8(op.text), op.style);
            reach(box.right(), box.bottom());
            break;
        }
        case CanvasOp::Kind::Line:
        case CanvasOp::Kind::ColourLine:
        case CanvasOp::Kind::Rect:
            reach(std::max(op.from.x, op.to.x), std::max(op.from.y, op.to.y));
            break;
        case CanvasOp::Kind::Dot:
            reach(op.from.x + op.width / 2.0, op.from.y + op.width / 2.0);
            break;
        case CanvasOp::Kind::Caption:
        case CanvasOp::Kind::LineWidth:
            break;
    }
}

QSize PictureExtent::size() const {
    return QSize(static_cast<int>(std::ceil(right_)), static_cast<int>(std::ceil(bottom_)));
}

namespace {

QSize extentOf(const RecordingCanvas& picture, PictureExtent extent) {
    for (const CanvasOp& op : picture.ops())
        extent.add(op);
    return extent.size();
}

}  // namespace

QSize pictureSize(const RecordingCanvas& picture) {
    return extentOf(picture, PictureExtent());
}

QSize chartSize(const RecordingCanvas& picture) {
    return extentOf(picture, PictureExtent(QSizeF(0, 0)));
}

void paintPictureFitted(QPainter& painter, const QRectF& target, const RecordingCanvas& picture,
                        QColor foreground) {
    const QSizeF size = pictureSize(picture);
    const double scale = std::min(target.width() / size.width(), target.height() / size.height());
    painter.save();
    painter.translate(target.x() + (target.width() - size.width() * scale) / 2,
                      target.y() + (target.height() - size.height() * scale) / 2);
    painter.scale(scale, scale);
    paintPicture(painter, picture, foreground);
    painter.restore();
}

}  // namespace qv::render
