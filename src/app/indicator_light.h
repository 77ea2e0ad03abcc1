#pragma once

#include <QColor>
#include <QWidget>

namespace qv::app {

// A small round light. Starts grey; once lit it shows pure red.
class IndicatorLight : public QWidget {
    Q_OBJECT
  public:
    static inline const QColor kUnlit{150, 160, 150};
    static inline const QColor kLit{255, 0, 0};

    explicit IndicatorLight(QWidget* parent = nullptr);

    void setLit();
    bool isLit() const { return lit_; }
    QColor color() const { return lit_ ? kLit : kUnlit; }

    QSize sizeHint() const override { return {22, 22}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool lit_ = false;
};

}  // namespace qv::app
