// The main window's run commands.
#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "analysis/run.h"
#include "analysis_runner.h"
#include "app_context.h"
#include "core/limits.h"
#include "dialogs.h"
#include "frmMain.h"
#include "frmPfnetOptions.h"
#include "method_note.h"
#include "settings.h"

namespace qv::app {

namespace {

// A run keeps every student's distance and graph-distance matrices (as the
// records are meant to) unless they would take more memory than this; the
// student query needs only the links and results, which are always kept.
constexpr double kMatrixBudgetBytes = 256.0 * 1024 * 1024;

bool keepMatrices(const ClassData& state) {
    const double n = state.conceptCount;
    const double perStudent = n * n * (sizeof(Currency) + sizeof(std::int16_t));
    return state.studentCount * perStudent <= kMatrixBudgetBytes;
}

// The run command's caption, for the class window's title.
QString runName(const RunMethod& method, int n) {
    switch (method.kind) {
        case NetworkKind::Triangle:
            return QStringLiteral("Tamsel一階三角算則");
        case NetworkKind::PathSearch:
            return QStringLiteral("Tamsel一階路徑找尋");
        case NetworkKind::Pfnet:
            return QStringLiteral("標準 Pathfinder 網路 ") +
                   QString::fromStdString(reportedMethodName(method, n));
    }
    return {};
}

}  // namespace

void frmMain::onTriangleRun() {
    runCommand(RunMethod::Triangle);
}

void frmMain::onPathSearchRun() {
    runCommand(RunMethod::PathSearch);
}

// The parameters first, then the same run with PFNET(r, q).
void frmMain::onPfnetRun() {
    if (const auto runnable = checkRunnable(*context_.classData); !runnable) {
        showMessage(QMessageBox::Warning, QString::fromStdString(runnable.error().message()));
        return;
    }
    frmPfnetOptions options(context_.classData->conceptCount, savedPfnetParams(context_),
                            savedReferent(context_), this);
    if (!context_.dialogs.exec(options)) return;
    savePfnetParams(context_, options.params());
    saveReferent(context_, options.referent());
    RunMethod method = RunMethod::pfnet(options.params());
    method.referent = options.referent();
    runCommand(method);
}

void frmMain::runCommand(RunMethod method) {
    if (running()) return;
    if (const auto runnable = checkRunnable(*context_.classData); !runnable) {
        showMessage(QMessageBox::Warning, QString::fromStdString(runnable.error().message()));
        return;
    }
    RunOptions options;
    options.method = method;
    options.keepStudentMatrices = keepMatrices(*context_.classData);
    progressBefore_ = progress_->value();
    pendingRunName_ = runName(method, context_.classData->conceptCount);
    pendingRunMethod_ = method;
    if (runner_->start(context_.classData, std::move(options))) setRunning(true);
}

bool frmMain::running() const {
    return runner_->running();
}

void frmMain::onRunFinished(std::shared_ptr<const RunResults> results) {
    setRunning(false);
    context_.results = std::move(results);
    setResultText(context_.results->text);
    progress_->setValue(kProgressMax);
    context_.runName = pendingRunName_;
    context_.runMethod = pendingRunMethod_;
    const QString note = denseStandardNote(*context_.results, context_.runMethod);
    methodStatus_->setText(note.isEmpty() ? context_.runName
                                          : context_.runName + QStringLiteral("：") + note);
    classChanged(QStringLiteral("此報表來自先前的分析，請重新查詢。"));
    emit runEnded();
}

// A failed or cancelled run leaves the results and the box as they were.
void frmMain::onRunStopped(const QString& message) {
    setRunning(false);
    progress_->setValue(progressBefore_);
    if (!message.isEmpty()) showMessage(QMessageBox::Warning, message);
    emit runEnded();
}

void frmMain::setRunning(bool running) {
    for (const char* name : {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept",
                             "mnuOpenClassFolder", "mnuRecentClasses", "mnuImportSheet",
                             "mnuTriangleRun", "mnuPathSearchRun", "mnuPfnetRun"}) {
        if (auto* action = findChild<QAction*>(QString::fromLatin1(name)))
            action->setEnabled(!running);
    }
    cancelRun_->setEnabled(running);
}

void frmMain::connectRunner() {
    connect(runner_, &AnalysisRunner::progress, progress_, &QProgressBar::setValue);
    connect(runner_, &AnalysisRunner::finished, this, &frmMain::onRunFinished);
    connect(runner_, &AnalysisRunner::failed, this, &frmMain::onRunStopped);
    connect(runner_, &AnalysisRunner::cancelled, this, [this] { onRunStopped({}); });
    connect(cancelRun_, &QPushButton::clicked, runner_, &AnalysisRunner::cancel);
}

}  // namespace qv::app
