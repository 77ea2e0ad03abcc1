#include "frmMain.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "analysis_runner.h"
#include "app_context.h"
#include "data_folders.h"
#include "dialogs.h"
#include "frmAbout.h"
#include "frmClass.h"
#include "frmConceptNote.h"
#include "frmData.h"
#include "frmDebug.h"
#include "frmHelp.h"
#include "frmImport.h"
#include "frmItemConcept.h"
#include "frmStudent.h"
#include "identity.h"
#include "indicator_light.h"
#include "logo.h"
#include "print_pages.h"
#include "report/draw_report.h"
#include "screen_fit.h"
#include "settings.h"
#include "text_box.h"

namespace qv::app {

frmMain::frmMain(AppContext& context, QWidget* parent) : QMainWindow(parent), context_(context) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quorvane"));
    setWindowIcon(applicationIcon());
    buildControls();
    buildMenus();
    setAcceptDrops(true);
    runner_ = new AnalysisRunner(this);
    connectRunner();
    connect(this, &frmMain::sheetDropped, this, &frmMain::showImport);
    fitToScreen(*this, QSize(1000, 640));
}

frmMain::~frmMain() = default;

void frmMain::load() {
    createDataFolders(context_);
    seedDataFolders(sampleClassFiles(context_));
}

void frmMain::setLit(int light) {
    lights_.at(static_cast<std::size_t>(light))->setLit();
}

bool frmMain::isLit(int light) const {
    return lights_.at(static_cast<std::size_t>(light))->isLit();
}

QString frmMain::resultText() const {
    return QString::fromStdString(resultModel_);
}

void frmMain::setResultText(std::string text) {
    resultModel_ = std::move(text);
    // One assignment: a large class appears at once.
    showResult_->setPlainText(toDisplayText(resultModel_));
    showLoadState();
}

void frmMain::closeEvent(QCloseEvent* event) {
    runner_->cancelAndWait();
    windows_.closeAll();
    event->accept();
}

// The line edit would take Ctrl+D and friends for itself on some platforms;
// the menu's shortcuts win.
bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inquareId_ && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (const QAction* action : findChildren<QAction*>()) {
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::showMessage(QMessageBox::Icon icon, const QString& text) {
    context_.dialogs.message(this, icon, windowTitle(), text);
}

// A build without the guide says so, as the program always did.
void frmMain::onHelpContents() {
    if (!frmHelp::available()) {
        showMessage(QMessageBox::Information,
                    QStringLiteral("無法顯示說明內容，無與此專案相關的說明。"));
        return;
    }
    windows().show<frmHelp>();
}

void frmMain::onHelpSearch() {
    if (!frmHelp::available()) {
        showMessage(QMessageBox::Information,
                    QStringLiteral("無法顯示說明內容，沒有和此專案相關的說明。"));
        return;
    }
    windows().show<frmHelp>()->startSearch();
}

void frmMain::onHelpAbout() {
    frmAbout about(context_.dialogs, this);
    about.exec();
}

// Wired by the windows that carry these commands.
void frmMain::onShowId() {
    showStudentQuery(context_, this, inquareId_->text(), studentWindow());
}

void frmMain::onLayoutTest() {
    showLayoutTest(studentWindow());
}

// A new print window starts with the remembered layout and remembers the next.
StudentWindowSource frmMain::studentWindow() {
    return [this] {
        const bool open = windows_.find<frmStudent>() != nullptr;
        auto* window = windows_.get<frmStudent>(context_.dialogs);
        if (!open) {
            window->setNodeLayout(savedNodeLayout(context_));
            window->setLayoutChosen(
                [this](NodeLayout layout) { saveNodeLayout(context_, layout); });
            window->setOutputCheck(
                [this](const QString& file) { return outputIsLoadedInput(context_, file); });
        }
        return window;
    };
}

void frmMain::onClassOverview() {
    if (!context_.currentResults()) {
        showMessage(
            QMessageBox::Information,
            QStringLiteral("尚未有分析結果。\n請先開啟資料檔、概念註解檔與題目所包含概念檔，"
                           "再從「執行」選單執行分析，然後開啟全班概覽。"));
        return;
    }
    windows_.show<frmClass>(context_);
}

void frmMain::classChanged(const QString& note) {
    context_.classSummary.reset();
    if (auto* window = windows_.find<frmClass>()) window->reload();
    // A note already there says more: its reports are of a class before this one.
    if (auto* window = windows_.find<frmStudent>();
        window && window->showsReports() && window->note().isEmpty())
        window->setNote(note);
}

void frmMain::onDebug() {
    windows_.show<frmDebug>(context_, studentWindow());
}

void frmMain::onImportSheet() {
    showImport({});
}

void frmMain::showImport(const QString& sheet) {
    auto* window = windows_.show<frmImport>(context_, *this);
    if (!sheet.isEmpty()) window->setAnswerFile(sheet);
}

// The editors open modeless, one of each; a second New brings the open one up.
void frmMain::onNewData() {
    windows_.show<frmData>(context_);
}
void frmMain::onNewConceptNote() {
    windows_.show<frmConceptNote>(context_);
}
void frmMain::onNewItemConcept() {
    windows_.show<frmItemConcept>(context_);
}

}  // namespace qv::app
