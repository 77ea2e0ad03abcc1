#pragma once

#include <QIcon>
#include <QPixmap>

class QPainter;

namespace qv::app {

// The splash logo: a small concept network, 141 x 166 pixels.
QPixmap logoPixmap();

// The application icon: the same network on a rounded square, drawn into
// size x size on any painter (a pixmap, an image, an SVG generator).
void drawIcon(QPainter& painter, int size);
QIcon applicationIcon();

}  // namespace qv::app
