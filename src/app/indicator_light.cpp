#include "indicator_light.h"

#include <QPainter>

namespace qv::app {

IndicatorLight::IndicatorLight(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
}

void IndicatorLight::setLit() {
    lit_ = true;
    update();
}

void IndicatorLight::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1.5));
    p.setBrush(color());
    p.drawEllipse(QRectF(rect()).adjusted(2, 2, -2, -2));
}

}  // namespace qv::app
