#pragma once

#ifdef QV_HAVE_RENDER

#include <memory>

#include <QGuiApplication>

namespace qv::cli {

// Fonts and painting need a GUI application; without a display it runs
// offscreen, and only Qt's critical messages reach stderr. Nothing when one
// already exists.
std::unique_ptr<QGuiApplication> startGui();

}  // namespace qv::cli

#endif
