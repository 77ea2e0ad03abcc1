#include "cli_render.h"

#ifdef QV_HAVE_RENDER

#include <iostream>

#include <QString>

namespace qv::cli {

namespace {

// Qt's remarks about the platform (runtime folders, fonts) are not the
// command's output.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << text.toStdString() << '\n';
}

}  // namespace

std::unique_ptr<QGuiApplication> startGui() {
    static int argc = 1;
    static char name[] = "quorvane-cli";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtMessages);
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace qv::cli

#endif
