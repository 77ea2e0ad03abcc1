#include "painter_canvas.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QString>

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

PainterCanvas::PainterCanvas(QPainter& painter, QColor foreground)
    : painter_(painter), foreground_(foreground) {
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

void paintPicture(QPainter& painter, const RecordingCanvas& picture, QColor foreground) {
    painter.save();
    PainterCanvas canvas(painter, foreground);
    picture.replay(canvas);
    painter.restore();
}

PictureExtent::PictureExtent()
    : metrics_(drawingFont()), right_(kSurfaceWidth), bottom_(kSurfaceHeight) {}

void PictureExtent::add(const CanvasOp& op) {
    constexpr double kMargin = 8;
    const auto reach = [&](double x, double y) {
        right_ = std::max(right_, x + kMargin);
        bottom_ = std::max(bottom_, y + kMargin);
    };
    if (op.kind == CanvasOp::Kind::Text) {
        reach(op.from.x + metrics_.horizontalAdvance(fromUtf8(op.text)),
              op.from.y + metrics_.height());
    } else if (op.kind == CanvasOp::Kind::Line || op.kind == CanvasOp::Kind::ColourLine) {
        reach(std::max(op.from.x, op.to.x), std::max(op.from.y, op.to.y));
    }
}

QSize PictureExtent::size() const {
    return QSize(static_cast<int>(std::ceil(right_)), static_cast<int>(std::ceil(bottom_)));
}

QSize pictureSize(const RecordingCanvas& picture) {
    PictureExtent extent;
    for (const CanvasOp& op : picture.ops())
        extent.add(op);
    return extent.size();
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
