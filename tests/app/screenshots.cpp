// Renders the main window with the sample class run, the verification window,
// the print window (circle, then PFNET with the force layout) and the PFNET
// dialog to PNG files for a visual check (not a test):
//   app_screenshots <output folder>
// The program folder given to start-up does not exist, so the data folders
// and the sample class go into the output folder.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include "application.h"
#include "chart_view.h"
#include "frmClass.h"
#include "frmDebug.h"
#include "frmMain.h"
#include "frmStudent.h"
#include "frmStudentViewer.h"
#include "layout/get_points.h"
#include "recording_dialogs.h"
#include "samples/sample_class.h"

using namespace qv::app;

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    test::RecordingDialogs dialogs;
    Application app(dialogs);
    app.context().settingsFile = out.filePath(QStringLiteral("settings.ini"));
    frmMain& main = app.start(out.filePath(QStringLiteral("app")), out.path());
    const auto file = [](const QString& folder, std::string_view name) {
        return folder + u'/' + QString::fromUtf8(name.data(), qsizetype(name.size()));
    };
    const AppContext& c = app.context();
    dialogs.answers = {file(c.dataFolder, qv::samples::studentFileName()),
                       file(c.conceptNoteFolder, qv::samples::conceptFileName()),
                       file(c.itemConceptFolder, qv::samples::itemConceptFileName())};
    for (const char* name :
         {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept", "mnuTriangleRun", "mnuDebug"}) {
        main.findChild<QAction*>(QString::fromLatin1(name))->trigger();
        while (main.running())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    auto* debug = main.windows().find<frmDebug>();
    for (const char* command : {"Command2", "Command3", "Command5"})
        debug->findChild<QPushButton*>(QString::fromLatin1(command))->click();
    QApplication::processEvents();
    main.grab().save(out.filePath(QStringLiteral("main.png")));
    debug->grab().save(out.filePath(QStringLiteral("debug.png")));
    auto* student = main.windows().find<frmStudent>();
    student->grab().save(out.filePath(QStringLiteral("student.png")));
    student->close();
    // The class window: the table sorted by PFC with a student selected, the
    // distributions, and a link of the heat map traced to the items.
    main.findChild<QAction*>(QStringLiteral("mnuClassOverview"))->trigger();
    auto* overview = main.windows().find<frmClass>();
    overview->resultsTable()->sortByColumn(2, Qt::AscendingOrder);
    overview->resultsTable()->selectRow(2);
    QApplication::processEvents();
    overview->grab().save(out.filePath(QStringLiteral("class.png")));
    overview->tabs()->setCurrentIndex(1);
    QApplication::processEvents();
    overview->grab().save(out.filePath(QStringLiteral("class-histograms.png")));
    overview->tabs()->setCurrentIndex(2);
    overview->selectPair(3, 9);
    QApplication::processEvents();
    overview->grab().save(out.filePath(QStringLiteral("class-links.png")));
    overview->openStudent(2);
    // A link the student misses, clicked in the Miss panel.
    const int k = overview->viewer()->current();
    const qv::RunResults& run = *c.results;
    const auto& links = run.students[std::size_t(k)].links;
    const auto nodes =
        qv::LayoutComparisonPanels(800, 600, run.data->conceptCount).nodePoints[qv::kPanelMiss];
    for (int i = 0, done = 0; i < run.data->conceptCount && !done; ++i)
        for (int j = i + 1; j < run.data->conceptCount && !done; ++j)
            if ((done = run.stdLinks(i, j) && !qv::hasLink(links, i, j)))
                emit overview->viewer()->findChild<ChartView*>()->clicked(
                    {(nodes[std::size_t(i)].x + nodes[std::size_t(j)].x) / 2,
                     (nodes[std::size_t(i)].y + nodes[std::size_t(j)].y) / 2});
    QApplication::processEvents();
    overview->viewer()->grab().save(out.filePath(QStringLiteral("viewer.png")));
    dialogs.answerDialog = [&out](QDialog& d) {
        d.show();
        QApplication::processEvents();
        d.grab().save(out.filePath(QStringLiteral("pfnet_dialog.png")));
        return true;
    };
    main.findChild<QAction*>(QStringLiteral("mnuPfnetRun"))->trigger();
    while (main.running())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    main.findChild<QPushButton*>(QStringLiteral("ShowID"))->click();
    student = main.windows().find<frmStudent>();
    student->findChild<QComboBox*>(QStringLiteral("cboLayout"))->setCurrentIndex(1);
    QApplication::processEvents();
    student->grab().save(out.filePath(QStringLiteral("student_pfnet_force.png")));
    main.grab().save(out.filePath(QStringLiteral("main_pfnet.png")));
    for (const auto& m : dialogs.messages)
        qWarning("message: %s", qPrintable(m.text));
    return 0;
}
