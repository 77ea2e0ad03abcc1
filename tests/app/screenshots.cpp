// Renders the windows to PNG files for a visual check (not a test):
//   app_screenshots <output folder>
// Start-up runs with <output folder>/app as the program's folder; the main
// window is taken with the sample class loaded and the triangle run done.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "application.h"
#include "frmAbout.h"
#include "frmDebug.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "frmStudent.h"
#include "recording_dialogs.h"
#include "samples/sample_class.h"

using namespace qv::app;

namespace {

void save(QWidget& w, const QDir& out, const QString& name) {
    w.grab().save(out.filePath(name));
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    test::RecordingDialogs dialogs;
    Application app(&dialogs);

    frmSplash splash;
    splash.showNow();
    save(splash, out, QStringLiteral("splash.png"));
    splash.close();

    frmMain& main = app.start(out.filePath(QStringLiteral("app")), out.path());
    // The sample class, as start-up placed it into the fresh data folders.
    const auto inFolder = [](const QString& folder, std::string_view name) {
        return QDir(folder).filePath(QString::fromUtf8(name.data(), qsizetype(name.size())));
    };
    dialogs.answers = {
        inFolder(app.context().dataFolder, qv::samples::studentFileName()),
        inFolder(app.context().conceptNoteFolder, qv::samples::conceptFileName()),
        inFolder(app.context().itemConceptFolder, qv::samples::itemConceptFileName())};
    for (const char* name : {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept"}) {
        main.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    main.findChild<QAction*>(QStringLiteral("mnuTriangleRun"))->trigger();
    QApplication::processEvents();
    save(main, out, QStringLiteral("main.png"));

    auto* fileMenu = main.findChild<QMenu*>(QStringLiteral("mnuFile"));
    fileMenu->popup(main.mapToGlobal(QPoint(10, 30)));
    QApplication::processEvents();
    save(*fileMenu, out, QStringLiteral("menu_file.png"));
    fileMenu->close();
    auto* runMenu = main.findChild<QMenu*>(QStringLiteral("mnuRun"));
    runMenu->popup(main.mapToGlobal(QPoint(60, 30)));
    QApplication::processEvents();
    save(*runMenu, out, QStringLiteral("menu_run.png"));
    runMenu->close();

    frmAbout about(dialogs, &main);
    about.show();
    QApplication::processEvents();
    save(about, out, QStringLiteral("about.png"));
    about.close();

    // The verification window: the example texts, both drawings, a speed test
    // while it runs (busy, with its cancel button) and after it.
    main.findChild<QAction*>(QStringLiteral("mnuDebug"))->trigger();
    auto* debug = main.windows().find<frmDebug>();
    const auto press = [&](const char* name) {
        debug->findChild<QPushButton*>(QString::fromUtf8(name))->click();
        QApplication::processEvents();
    };
    press("Command2");
    press("Command3");
    save(*debug, out, QStringLiteral("debug_rates.png"));
    for (const auto& [command, file] : {std::pair{"Command4", "debug_sample272_2.png"},
                                        std::pair{"Command5", "debug_sample272_3.png"}}) {
        press(command);
        auto* student = main.windows().find<frmStudent>();
        save(*student, out, QString::fromLatin1(file));
        student->close();
        QApplication::processEvents();
    }
    press("Command1");
    save(*debug, out, QStringLiteral("debug_distances.png"));
    press("算則四速度測試");
    while (!debug->resultText().contains(QStringLiteral("秒")))
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    save(*debug, out, QStringLiteral("debug_speed_running.png"));
    press("cmdCancel");
    while (debug->speedTestRunning())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    press("算則三速度測試");
    while (debug->speedTestRunning())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    save(*debug, out, QStringLiteral("debug_speed_done.png"));
    for (const auto& m : dialogs.messages)
        qWarning("message: %s", qPrintable(m.text));
    return 0;
}
