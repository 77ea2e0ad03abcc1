#pragma once

#include <QScrollArea>
#include <functional>

#include "report/canvas.h"

namespace qv::app {

class ChartSurface;

// A recorded drawing as on paper (black on white), with a second drawing over
// it for what is selected. The drawing is scaled to fit the visible area,
// keeping its proportions; below half a device pixel for each of its pixels
// it stops shrinking and scrolls instead. A click reports the drawing's pixel.
class ChartView final : public QScrollArea {
    Q_OBJECT
  public:
    explicit ChartView(QWidget* parent = nullptr);

    void setPicture(RecordingCanvas picture);
    void setOverlay(RecordingCanvas overlay);
    const RecordingCanvas& picture() const { return picture_; }
    const RecordingCanvas& overlay() const { return overlay_; }

    // What the tooltip says at a point of the drawing (nothing: no tooltip).
    void setTips(std::function<QString(LayoutPoint)> tips) { tips_ = std::move(tips); }

    // The widget the drawing is shown on, and where a pixel of the drawing
    // lies on it, for tests and screenshots that click it.
    QWidget* surface() const;
    QPoint surfacePoint(LayoutPoint p) const;
    double scale() const { return scale_; }

  signals:
    void clicked(qv::LayoutPoint point);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    friend class ChartSurface;
    void fit();
    LayoutPoint drawingPoint(QPoint p) const;

    RecordingCanvas picture_, overlay_;
    QSize pictureSize_;
    double scale_ = 1;
    std::function<QString(LayoutPoint)> tips_;
    ChartSurface* surface_ = nullptr;
};

}  // namespace qv::app
