#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qv::app {

// Sizes a window to `wanted`, or to the part of its screen it can have.
inline void resizeWithinScreen(QWidget& window, QSize wanted) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen) wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    window.resize(wanted);
}

}  // namespace qv::app
