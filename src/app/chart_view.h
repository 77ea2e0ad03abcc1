#pragma once

#include <QScrollArea>
#include <functional>

#include "report/canvas.h"

namespace qv::app {

class ChartSurface;

// A recorded drawing shown at its own size, as on paper (black on white), with
// a second drawing over it for what is selected. Scrolls when the window is
// smaller than the drawing; a click reports the drawing's pixel.
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

    // The widget the drawing is shown on, in its own pixels, for tests and
    // screenshots that click it.
    QWidget* surface() const;

  signals:
    void clicked(qv::LayoutPoint point);

  private:
    friend class ChartSurface;
    RecordingCanvas picture_, overlay_;
    std::function<QString(LayoutPoint)> tips_;
    ChartSurface* surface_ = nullptr;
};

}  // namespace qv::app
