#pragma once

#include <QFrame>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>

namespace qv::app {

// Sizes a window to `wanted`, or to the part of its screen it can have.
inline void resizeWithinScreen(QWidget& window, QSize wanted) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen) wanted = wanted.boundedTo(screen->availableGeometry().size() - QSize(40, 60));
    window.resize(wanted);
}

// A widget in a frameless scroll area that stretches it to the area's size,
// and scrolls only where the area is smaller than the widget needs.
inline QScrollArea* scrollWhenSmall(QWidget* content, QWidget* parent) {
    auto* scroll = new QScrollArea(parent);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    return scroll;
}

// resizeWithinScreen for a main window whose controls may need more room than
// a small or scaled screen has: then they scroll inside the window instead of
// running past the screen's edge. (Only then: a scroll area would stretch
// controls with wrapped texts to their preferred height.)
inline void fitToScreen(QMainWindow& window, QSize wanted) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    const QSize least = window.minimumSizeHint();
    const QSize room = screen ? screen->availableGeometry().size() - QSize(40, 60) : least;
    if (least.width() > room.width() || least.height() > room.height())
        window.setCentralWidget(scrollWhenSmall(window.takeCentralWidget(), &window));
    resizeWithinScreen(window, wanted);
}

}  // namespace qv::app
