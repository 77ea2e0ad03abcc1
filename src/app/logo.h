#pragma once

#include <QIcon>
#include <QPixmap>

namespace qv::app {

// The splash logo: a small concept network, 141 x 166 pixels.
QPixmap logoPixmap();

// The application icon: the same network on a square.
QIcon applicationIcon();

}  // namespace qv::app
