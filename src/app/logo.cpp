#include "logo.h"

#include <QPainter>
#include <QPainterPath>
#include <array>
#include <utility>

namespace qv::app {

namespace {

// Node positions on a unit square and the links between them: a Pathfinder
// network of six concepts.
constexpr std::array<QPointF, 6> kNodes = {QPointF(0.50, 0.14), QPointF(0.18, 0.38),
                                           QPointF(0.80, 0.36), QPointF(0.30, 0.72),
                                           QPointF(0.72, 0.70), QPointF(0.50, 0.90)};
constexpr std::array<std::pair<int, int>, 7> kLinks = {
    {{0, 1}, {0, 2}, {1, 3}, {2, 4}, {3, 4}, {3, 5}, {1, 2}}};

void drawNetwork(QPainter& p, const QRectF& area, qreal nodeRadius, qreal lineWidth) {
    auto at = [&](int i) {
        return QPointF(area.left() + kNodes[i].x() * area.width(),
                       area.top() + kNodes[i].y() * area.height());
    };
    p.setPen(QPen(QColor(40, 70, 140), lineWidth));
    for (const auto& [a, b] : kLinks)
        p.drawLine(at(a), at(b));
    p.setPen(QPen(QColor(120, 20, 20), lineWidth * 0.6));
    for (int i = 0; i < static_cast<int>(kNodes.size()); ++i) {
        p.setBrush(i == 0 ? QColor(255, 0, 0) : QColor(250, 210, 90));
        p.drawEllipse(at(i), nodeRadius, nodeRadius);
    }
}

}  // namespace

QPixmap logoPixmap() {
    QPixmap pixmap(141, 166);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 166);
    sky.setColorAt(0, QColor(225, 236, 250));
    sky.setColorAt(1, QColor(250, 252, 255));
    p.fillRect(pixmap.rect(), sky);
    p.setPen(QPen(QColor(40, 70, 140), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 139, 164));
    drawNetwork(p, QRectF(12, 10, 117, 146), 8, 2.5);
    return pixmap;
}

void drawIcon(QPainter& p, int size) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 236, 250));
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    const qreal m = size / 10.0;
    drawNetwork(p, QRectF(m, m, size - 2 * m, size - 2 * m), size / 11.0, size / 24.0 + 0.5);
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        drawIcon(p, size);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace qv::app
