#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QRectF>
#include <QSize>

#include "report/canvas.h"
#include "report/draw_report.h"

class QPainter;

namespace qv::render {

// The font of every drawing: a CJK-capable sans serif, so that Chinese
// concept labels render, sized in surface pixels.
QFont drawingFont();
// The same in a chart text's size and weight.
QFont drawingFont(const TextStyle& style);

// How wide a text is drawn in `style`, in surface pixels: what a canvas that
// records a drawing for later painting measures with.
TextMeasure fontMeasure();

// The box a chart text covers, in surface pixels.
QRectF styledTextBox(LayoutPoint anchor, const QString& text, const TextStyle& style);

// Draws canvas operations on a QPainter in surface pixels (whatever transform
// the painter has maps them to the device). The caption is not drawn; labels
// stand on boxes of the paper's colour.
class PainterCanvas final : public Canvas {
  public:
    PainterCanvas(QPainter& painter, QColor foreground, QColor paper = Qt::white);

    void setCaption(std::string_view) override {}
    void setLineWidth(int pixels) override;
    void drawLine(LayoutPoint from, LayoutPoint to) override;
    void drawLine(LayoutPoint from, LayoutPoint to, Rgb colour) override;
    void drawText(LayoutPoint topLeft, std::string_view text) override;
    void fillRect(LayoutPoint topLeft, int width, int height, Rgb colour) override;
    void drawText(LayoutPoint anchor, std::string_view text, const TextStyle& style) override;
    void drawDot(LayoutPoint centre, int diameter) override;
    void drawLabel(LayoutPoint topLeft, std::string_view text) override;
    std::optional<double> textWidth(std::string_view text, const TextStyle& style) const override;

  private:
    void line(LayoutPoint from, LayoutPoint to, const QColor& colour);

    QPainter& painter_;
    QColor foreground_;
    QColor paper_;
    int width_ = 1;
};

// Replays a recorded drawing at 1:1 in the painter's current coordinates.
void paintPicture(QPainter& painter, const RecordingCanvas& picture, QColor foreground,
                  QColor paper = Qt::white);

// Grows, operation by operation, to the surface a drawing needs, starting
// from `least`.
class PictureExtent {
  public:
    explicit PictureExtent(QSizeF least = QSizeF(kSurfaceWidth, kSurfaceHeight));
    void add(const CanvasOp& op);
    QSize size() const;

  private:
    void reach(double x, double y);

    QFontMetricsF metrics_;
    double right_, bottom_;
};

// The surface a drawing needs: 800 x 600, or more when long labels or a long
// concept list reach beyond it, so that nothing is cut off.
QSize pictureSize(const RecordingCanvas& picture);
// The same without the least size: a chart as large as it is drawn.
QSize chartSize(const RecordingCanvas& picture);

// Replays it scaled into `target` (device coordinates of the painter), the
// surface of pictureSize kept in proportion and centred.
void paintPictureFitted(QPainter& painter, const QRectF& target, const RecordingCanvas& picture,
                        QColor foreground);

}  // namespace qv::render
