#include "chart_view.h"

#include <QHelpEvent>
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
            const QString tip = view_.tips_(LayoutPoint{help->pos().x(), help->pos().y()});
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
        render::paintPicture(painter, view_.picture_, Qt::black);
        render::paintPicture(painter, view_.overlay_, Qt::black);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const QPoint p = event->position().toPoint();
        emit view_.clicked(LayoutPoint{p.x(), p.y()});
    }

  private:
    ChartView& view_;
};

ChartView::ChartView(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    surface_ = new ChartSurface(*this);
    setWidget(surface_);
}

void ChartView::setPicture(RecordingCanvas picture) {
    picture_ = std::move(picture);
    overlay_.clear();
    surface_->resize(render::chartSize(picture_));
    surface_->update();
}

void ChartView::setOverlay(RecordingCanvas overlay) {
    overlay_ = std::move(overlay);
    surface_->update();
}

QWidget* ChartView::surface() const {
    return surface_;
}

}  // namespace qv::app
