#include "chart_view.h"

#include <QHelpEvent>
#include <algorithm>
#include <cmath>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "painter_canvas.h"

namespace qv::app {

class ChartSurface final : public QWidget {
  public:
    explicit ChartSurface(ChartView& view) : QWidget(&view), view_(view) {
        setAutoFillBackground(true);
        QPalette paper = palette();
        paper.setColor(QPalette::Window, Qt::white);
        setPalette(paper);
        setCursor(Qt::PointingHandCursor);
    }

  protected:
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip && view_.tips_) {
            const auto* help = static_cast<QHelpEvent*>(event);
            const QString tip = view_.tips_(view_.drawingPoint(help->pos()));
            if (tip.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), tip, this);
            return true;
        }
        return QWidget::event(event);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.scale(view_.scale_, view_.scale_);
        render::paintPicture(painter, view_.picture_, Qt::black);
        render::paintPicture(painter, view_.overlay_, Qt::black);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        emit view_.clicked(view_.drawingPoint(event->position().toPoint()));
    }

  private:
    ChartView& view_;
};

namespace {

// Below half a device pixel for a pixel of the drawing its texts could not
// be read at all; above twice its size it would only grow coarse.
constexpr double kMinDeviceScale = 0.5, kMaxScale = 2;

}  // namespace

ChartView::ChartView(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    surface_ = new ChartSurface(*this);
    setWidget(surface_);
}

void ChartView::setPicture(RecordingCanvas picture) {
    picture_ = std::move(picture);
    overlay_.clear();
    pictureSize_ = render::chartSize(picture_);
    fit();
    surface_->update();
}

void ChartView::setOverlay(RecordingCanvas overlay) {
    overlay_ = std::move(overlay);
    surface_->update();
}

void ChartView::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fit();
}

// The viewport's size without scroll bars, so that showing them cannot
// change the scale that made them necessary.
void ChartView::fit() {
    const QSize room = maximumViewportSize();
    double scale = 1;
    if (!pictureSize_.isEmpty() && !room.isEmpty())
        scale = std::min(double(room.width()) / pictureSize_.width(),
                         double(room.height()) / pictureSize_.height());
    scale_ = std::clamp(scale, kMinDeviceScale / devicePixelRatioF(), kMaxScale);
    surface_->resize(static_cast<int>(std::floor(pictureSize_.width() * scale_)),
                     static_cast<int>(std::floor(pictureSize_.height() * scale_)));
}

LayoutPoint ChartView::drawingPoint(QPoint p) const {
    return {static_cast<std::int32_t>(std::floor(p.x() / scale_)),
            static_cast<std::int32_t>(std::floor(p.y() / scale_))};
}

QPoint ChartView::surfacePoint(LayoutPoint p) const {
    return {static_cast<int>(std::floor((p.x + 0.5) * scale_)),
            static_cast<int>(std::floor((p.y + 0.5) * scale_))};
}

QWidget* ChartView::surface() const {
    return surface_;
}

}  // namespace qv::app
