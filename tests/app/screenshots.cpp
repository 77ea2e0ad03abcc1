// Renders the windows to PNG files for a visual check (not a test):
//   app_screenshots <output folder>
// Start-up is given a program folder that does not exist, so the data
// folders and the sample class go into the output folder.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>

#include "application.h"
#include "frmDebug.h"
#include "frmMain.h"
#include "frmStudent.h"
#include "recording_dialogs.h"
#include "samples/sample_class.h"

using namespace qv::app;

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    const auto save = [&](QWidget& w, const char* name) {
        QApplication::processEvents();
        w.grab().save(out.filePath(QString::fromLatin1(name)));
    };
    test::RecordingDialogs dialogs;
    Application app(dialogs);
    frmMain& main = app.start(out.filePath(QStringLiteral("app")), out.path());
    const auto inFolder = [](const QString& folder, std::string_view name) {
        return QDir(folder).filePath(QString::fromUtf8(name.data(), qsizetype(name.size())));
    };
    const AppContext& c = app.context();
    dialogs.answers = {inFolder(c.dataFolder, qv::samples::studentFileName()),
                       inFolder(c.conceptNoteFolder, qv::samples::conceptFileName()),
                       inFolder(c.itemConceptFolder, qv::samples::itemConceptFileName())};
    for (const char* name :
         {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept", "mnuTriangleRun", "mnuDebug"})
        main.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    save(main, "main.png");

    auto* debug = main.windows().find<frmDebug>();
    for (const char* command : {"Command2", "Command3", "Command5"})
        debug->findChild<QPushButton*>(QString::fromLatin1(command))->click();
    save(*debug, "debug.png");
    save(*main.windows().find<frmStudent>(), "student.png");
    for (const auto& m : dialogs.messages)
        qWarning("message: %s", qPrintable(m.text));
    return 0;
}
