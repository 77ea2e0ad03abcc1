// Renders every window of the program, with the sample class run, to PNG
// files for a visual check (not a test):
//   app_screenshots <output folder>
// Run it on the screen to check, for instance a small one, and again scaled:
//   xvfb-run -s '-screen 0 1366x768x24' app_screenshots shots
//   QT_SCALE_FACTOR=2 xvfb-run -s '-screen 0 1366x768x24' app_screenshots shots-x2
// Each window is saved alone (NAME.png) and as the screen shows it
// (NAME-screen.png); a line for each says whether it fits the screen's
// available area and is no smaller than its layout needs. The exit status is
// the number of windows that do not fit.
// The program folder given to start-up does not exist, so the data folders
// and the sample class go into the output folder.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <cstdio>

#include "application.h"
#include "bootstrap_runner.h"
#include "chart_view.h"
#include "class_results_model.h"
#include "frmAbout.h"
#include "frmClass.h"
#include "frmCompare.h"
#include "frmConceptNote.h"
#include "frmData.h"
#include "frmDebug.h"
#include "frmHelp.h"
#include "frmImport.h"
#include "frmItemConcept.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "frmStudent.h"
#include "frmStudentViewer.h"
#include "recording_dialogs.h"
#include "report/draw_report.h"
#include "samples/sample_class.h"
#include "task_runner.h"

using namespace qv::app;

namespace {

class Camera {
  public:
    explicit Camera(QDir out) : out_(std::move(out)) {}

    void shoot(QWidget& window, const QString& name) {
        QApplication::processEvents();
        window.grab().save(out_.filePath(name + QStringLiteral(".png")));
        // The screen with this window alone on it.
        QWidgetList others;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &window && w->isVisible() && !w->isAncestorOf(&window)) others << w;
        for (QWidget* w : others)
            w->hide();
        window.raise();
        QApplication::processEvents();
        QScreen* screen = window.screen();
        screen->grabWindow(0).save(out_.filePath(name + QStringLiteral("-screen.png")));
        for (QWidget* w : others)
            w->show();
        QApplication::processEvents();
        const QRect room = screen->availableGeometry();
        const QRect frame = window.frameGeometry();
        const QSize least = window.minimumSizeHint();
        const bool fits = room.contains(frame) && window.width() >= least.width() &&
                          window.height() >= least.height();
        // Controls that fit only by scrolling inside the window.
        bool scrolls = false;
        if (auto* main = qobject_cast<QMainWindow*>(&window))
            if (auto* scroll = qobject_cast<QScrollArea*>(main->centralWidget())) {
                const QSize need = scroll->widget()->minimumSizeHint();
                const QSize has = scroll->maximumViewportSize();
                scrolls = need.width() > has.width() || need.height() > has.height();
            }
        std::printf("%-22s %4d x %-4d at (%d, %d), screen %d x %d: %s%s\n", qPrintable(name),
                    frame.width(), frame.height(), frame.x(), frame.y(), room.width(),
                    room.height(), fits ? "fits" : "DOES NOT FIT",
                    scrolls ? ", its controls scroll" : "");
        if (!fits) ++misfits_;
    }
    int misfits() const { return misfits_; }

  private:
    QDir out_;
    int misfits_ = 0;
};

// The windows delete themselves on close; gone before the next is opened.
void closeNow(QWidget& window) {
    window.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A command, and the run it may start carried to its end.
void trigger(frmMain& window, const char* name) {
    window.findChild<QAction*>(QString::fromLatin1(name))->trigger();
    while (window.running())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Clicks the first standard link the viewer's student lacks, in the Miss
// panel, where the viewer draws it.
void clickMissedLink(frmStudentViewer& viewer, const qv::RunResults& run) {
    const qv::ClassData& state = *run.data;
    const int k = viewer.current();
    const auto positions = qv::reportPositions(run, viewer.nodeLayout());
    const auto nodes =
        qv::reportLayout(qv::studentReportData(run, k, *positions)).nodePoints[qv::kPanelMiss];
    const auto& links = run.students[std::size_t(k)].links;
    auto* view = viewer.findChild<ChartView*>();
    for (int i = 0; i < state.conceptCount; ++i)
        for (int j = i + 1; j < state.conceptCount; ++j)
            if (run.stdLinks(i, j) && !qv::hasLink(links, i, j)) {
                emit view->clicked({(nodes[std::size_t(i)].x + nodes[std::size_t(j)].x) / 2,
                                    (nodes[std::size_t(i)].y + nodes[std::size_t(j)].y) / 2});
                return;
            }
}

// The sample class as a class folder, its student file with the slips the
// program warns of: no separators, lower case, a tab in an ID, extra answers.
QString slipsFolder(const QDir& out) {
    const QString dir = out.filePath(QStringLiteral("slips"));
    QDir().mkpath(dir);
    std::string students(qv::samples::studentFile());
    std::vector<std::string> lines;
    for (std::size_t at = 0, next; at < students.size(); at = next + 2) {
        next = std::min(students.find("\r\n", at), students.size());
        lines.push_back(students.substr(at, next - at));
    }
    std::erase(lines[3], ' ');
    lines[3].insert(8, " ");
    for (char& c : lines[5])
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    lines[7][8] = '\t';
    lines[9].insert(lines[9].size() - 1, " ABCDA");
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    const std::pair<const char*, std::string_view> files[] = {
        {"students.txt", text},
        {"concepts.txt", qv::samples::conceptFile()},
        {"item-concepts.txt", qv::samples::itemConceptFile()}};
    for (const auto& [name, bytes] : files) {
        QFile f(dir + u'/' + QString::fromLatin1(name));
        if (f.open(QIODevice::WriteOnly)) f.write(bytes.data(), qint64(bytes.size()));
    }
    return dir;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    Camera camera(out);
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
         {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept", "mnuTriangleRun", "mnuDebug"})
        trigger(main, name);
    auto* debug = main.windows().find<frmDebug>();
    for (const char* command : {"Command2", "Command3", "Command5"})
        debug->findChild<QPushButton*>(QString::fromLatin1(command))->click();
    camera.shoot(main, QStringLiteral("main"));
    camera.shoot(*debug, QStringLiteral("debug"));
    closeNow(*debug);
    auto* student = main.windows().find<frmStudent>();
    camera.shoot(*student, QStringLiteral("student"));
    closeNow(*student);
    main.findChild<QPushButton*>(QStringLiteral("計算特定概念型態"))->click();
    student = main.windows().find<frmStudent>();
    camera.shoot(*student, QStringLiteral("student-layout-test"));
    closeNow(*student);

    // The class window: the table sorted by PFC with a student selected, the
    // distributions, and a link of the heat map traced to the items.
    trigger(main, "mnuClassOverview");
    auto* overview = main.windows().find<frmClass>();
    overview->resultsTable()->sortByColumn(2, Qt::AscendingOrder);
    overview->resultsTable()->selectRow(2);
    camera.shoot(*overview, QStringLiteral("class"));
    overview->tabs()->setCurrentIndex(1);
    camera.shoot(*overview, QStringLiteral("class-histograms"));
    overview->tabs()->setCurrentIndex(2);
    overview->selectPair(3, 9);
    camera.shoot(*overview, QStringLiteral("class-links"));
    // The picked link keeps the students who miss it; then the scatter and the quiz.
    overview->tabs()->setCurrentIndex(0);
    camera.shoot(*overview, QStringLiteral("class-filter"));
    overview->clearLinkFilter();
    overview->tabs()->setCurrentIndex(3);
    camera.shoot(*overview, QStringLiteral("class-scatter"));
    overview->tabs()->setCurrentIndex(4);
    camera.shoot(*overview, QStringLiteral("class-items"));
    overview->tabs()->setCurrentIndex(2);
    overview->openStudent(2);
    frmStudentViewer* viewer = overview->viewer();
    clickMissedLink(*viewer, *c.results);
    camera.shoot(*viewer, QStringLiteral("viewer"));
    viewer->setNodeLayout(qv::NodeLayout::Force);
    clickMissedLink(*viewer, *c.results);
    camera.shoot(*viewer, QStringLiteral("viewer-force"));
    viewer->setNodeLayout(qv::NodeLayout::Circle);
    // The intervals: their columns beside the indices, unstable links faint.
    overview->tabs()->setCurrentIndex(0);
    overview->computeIntervals();
    while (overview->bootstrapRunner()->running())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QApplication::processEvents();
    for (int column = 5; column < ClassResultsModel::kFirstInterval; ++column)
        overview->resultsTable()->hideColumn(column);
    camera.shoot(*overview, QStringLiteral("class-intervals"));
    // The first student in the table with an unstable link.
    for (int row = 0; row < overview->results()->rowCount(); ++row) {
        overview->openStudent(row);
        if (!overview->viewer()->findChild<QLabel*>(QStringLiteral("lblUnstableLinks"))->isHidden())
            break;
    }
    camera.shoot(*overview->viewer(), QStringLiteral("viewer-intervals"));
    closeNow(*overview);

    dialogs.answerDialog = [&camera](QDialog& d) {
        d.show();
        camera.shoot(d, QStringLiteral("pfnet-dialog"));
        return true;
    };
    trigger(main, "mnuPfnetRun");
    main.findChild<QPushButton*>(QStringLiteral("ShowID"))->click();
    student = main.windows().find<frmStudent>();
    student->findChild<QComboBox*>(QStringLiteral("cboLayout"))->setCurrentIndex(1);
    camera.shoot(*student, QStringLiteral("student-pfnet-force"));
    student->findChild<QComboBox*>(QStringLiteral("cboLayout"))->setCurrentIndex(0);
    closeNow(*student);
    camera.shoot(main, QStringLiteral("main-pfnet"));

    // The comparison of the sample's top and bottom 27 % by PFNET: the mean
    // networks side by side, then the pairs.
    trigger(main, "mnuCompare");
    if (auto* compare = main.windows().find<frmCompare>()) {
        compare->findChild<QComboBox*>(QStringLiteral("cboDesign"))->setCurrentIndex(2);
        compare->run();
        while (compare->runner()->running())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
        camera.shoot(*compare, QStringLiteral("compare"));
        compare->findChild<QTabWidget*>(QStringLiteral("tabsCompare"))->setCurrentIndex(3);
        camera.shoot(*compare, QStringLiteral("compare-table"));
        closeNow(*compare);
    }

    trigger(main, "mnuData");
    camera.shoot(*main.windows().find<frmData>(), QStringLiteral("data-editor"));
    trigger(main, "mnuConceptNote");
    camera.shoot(*main.windows().find<frmConceptNote>(), QStringLiteral("concept-editor"));
    trigger(main, "mnuItemConcept");
    camera.shoot(*main.windows().find<frmItemConcept>(), QStringLiteral("item-editor"));
    trigger(main, "mnuHelpContents");
    if (auto* help = main.windows().find<frmHelp>()) {
        help->showPage(QStringLiteral("indices.html"));
        camera.shoot(*help, QStringLiteral("help"));
    }
    main.windows().closeAll();

    main.openClassFolder(slipsFolder(out));
    if (auto* notice = main.findChild<QMessageBox*>(QStringLiteral("msgLineWarnings"))) {
        camera.shoot(*notice, QStringLiteral("line-warnings"));
        notice->close();
    }
    auto* fileMenu = main.findChild<QMenu*>(QStringLiteral("mnuFile"));
    fileMenu->popup(main.mapToGlobal(QPoint(0, main.menuBar()->height())));
    camera.shoot(*fileMenu, QStringLiteral("file-menu"));
    fileMenu->close();

    // The import window on the sample sheets, copied beside the pictures so
    // that the window shows their bare names.
    QDir::setCurrent(out.path());
    for (const char* sheet : {"answers.csv", "qmatrix.csv"}) {
        QFile::remove(QString::fromLatin1(sheet));
        QFile::copy(QStringLiteral(QV_SAMPLES_DIR "/sheets/") + QString::fromLatin1(sheet),
                    QString::fromLatin1(sheet));
    }
    dialogs.answers = {QStringLiteral("answers.csv"), QStringLiteral("qmatrix.csv")};
    trigger(main, "mnuImportSheet");
    if (auto* importer = main.windows().find<frmImport>()) {
        for (const char* button : {"cmdAnswerFile", "cmdQMatrixFile"})
            importer->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        importer->setClassFolder(QStringLiteral("七年一班"));
        camera.shoot(*importer, QStringLiteral("import"));
        closeNow(*importer);
    }

    frmAbout about(dialogs, &main);
    about.show();
    camera.shoot(about, QStringLiteral("about"));
    about.close();
    frmSplash splash;
    splash.showNow();
    camera.shoot(splash, QStringLiteral("splash"));
    splash.close();

    for (const auto& m : dialogs.messages)
        qWarning("message: %s", qPrintable(m.text));
    return camera.misfits();
}
