#pragma once

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <array>
#include <memory>
#include <string>

#include "analysis/student_matrices.h"
#include "core/expected.h"
#include "data/graph_files.h"
#include "student_query.h"
#include "window_set.h"

class QAction;
class QKeySequence;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace qv {
struct ClassFiles;
struct RunMethod;
struct RunResults;
}  // namespace qv

namespace qv::app {

struct AppContext;
class IndicatorLight;
class AnalysisRunner;

// The main window: menus, the student query panel, the results box, the three
// indicator lights and the progress bar.
class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmMain(AppContext& context, QWidget* parent = nullptr);
    ~frmMain() override;

    // The load step of start-up: creates the data folders (silently) and, on a
    // fresh installation, places the sample class into them.
    void load();

    AppContext& context() { return context_; }
    // The secondary windows, one of each kind.
    WindowSet& windows() { return windows_; }

    // Indicator lights: 0 student data, 1 concept notes, 2 item concepts.
    void setLit(int light);
    bool isLit(int light) const;

    // The results box's text model, exactly as the run built it (lines end in LineBreak).
    QString resultText() const;
    void setResultText(std::string text);

    QLineEdit* inquireId() const { return inquareId_; }
    QPlainTextEdit* resultBox() const { return showResult_; }
    QProgressBar* progressBar() const { return progress_; }
    // Whether a run is going on its worker thread.
    bool running() const;

    // Loads the three files of a class folder, all or none, and puts the
    // folder first among the recent classes; false, with a message, when the
    // folder is not a class folder or a file is refused.
    bool openClassFolder(const QString& folder);
    // What was dropped on the window or named on the command line: a class
    // folder, its three files, or a sheet (handed to sheetDropped).
    void openPaths(const QStringList& paths);

  signals:
    // After a run has ended, however it ended.
    void runEnded();
    // A sheet was dropped or named on the command line; it opens the import window.
    void sheetDropped(const QString& file);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private slots:
    void onOpenData();
    void onOpenConceptNote();
    void onOpenItemConcept();
    void onOpenClassFolder();
    void onImportSheet();
    void onExportJson();
    void onExportNetworks(GraphFormat format);
    void onExportWorkbook();
    void onExportLinks();
    void onTriangleRun();
    void onPathSearchRun();
    void onPfnetRun();
    void onHelpContents();
    void onHelpSearch();
    void onHelpAbout();
    // Commands of the other windows.
    void onShowId();
    void onLayoutTest();
    void onNewData();
    void onNewConceptNote();
    void onNewItemConcept();
    void onDebug();
    void onClassOverview();

  private:
    void buildControls();
    // The last run's results, or none after telling the user to run first.
    std::shared_ptr<const RunResults> resultsToExport(const QString& title);
    // A failed export's reason in a message box, a done one in the status bar.
    void reportExport(const QString& title, const Expected<void>& written, const QString& done);
    void buildMenus();
    QAction* addCommand(QWidget* menu, const char* name, const QString& text,
                        const QKeySequence& shortcut = {});
    // Runs the whole class with the method's network variant on a worker.
    void runCommand(RunMethod method);
    void onRunFinished(std::shared_ptr<const RunResults> results);
    void onRunStopped(const QString& message);
    // While a run is going, nothing loads a file or starts another run.
    void setRunning(bool running);
    void connectRunner();
    // Loads the file of light's kind that the user picks.
    void openAndLoad(int light);
    // Class folders: the all-or-nothing load, the recent list, and the
    // notice of student lines that would be misread.
    bool loadClassFiles(const ClassFiles& files);
    void fillRecentMenu();
    void openRecentClass(const QString& folder);
    void showLineWarnings(const QString& studentFile);
    void showMessage(QMessageBox::Icon icon, const QString& text);
    // The lights' tooltips and the status bar: which files are loaded, and
    // whether the table still belongs to the data now loaded.
    void showLoadState();
    // After a run or a load: the class window shows the new state, and the
    // reports drawn before it say `note`.
    void classChanged(const QString& note);
    // The import window, brought up with `sheet` chosen when one is given.
    void showImport(const QString& sheet);
    // The print window, opened on first use and again, empty, after it was closed.
    StudentWindowSource studentWindow();

    AppContext& context_;
    WindowSet windows_;
    std::string resultModel_;

    QLineEdit* inquareId_ = nullptr;
    QPushButton* showId_ = nullptr;
    QPlainTextEdit* showResult_ = nullptr;
    std::array<IndicatorLight*, 3> lights_{};
    QProgressBar* progress_ = nullptr;
    QPushButton* cancelRun_ = nullptr;
    AnalysisRunner* runner_ = nullptr;
    int progressBefore_ = 0;  // the bar before the run, shown again if it fails
    QString pendingRunName_;
    RunMethod pendingRunMethod_;
    QLabel* loadedStatus_ = nullptr;
    QLabel* staleStatus_ = nullptr;
    QLabel* methodStatus_ = nullptr;  // the method of the table shown
    QMenu* recentMenu_ = nullptr;
    QPointer<QMessageBox> lineWarnings_;
};

}  // namespace qv::app
