// The main window's run commands.
#include <QElapsedTimer>
#include <QProgressBar>

#include "analysis/run.h"
#include "app_context.h"
#include "busy_cursor.h"
#include "core/limits.h"
#include "dialogs.h"
#include "frmMain.h"
#include "frmPfnetOptions.h"
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
    frmPfnetOptions options(context_.classData->conceptCount, savedPfnetParams(context_), this);
    if (!context_.dialogs.exec(options)) return;
    savePfnetParams(context_, options.params());
    runCommand(RunMethod::pfnet(options.params()));
}

void frmMain::runCommand(RunMethod method) {
    if (const auto runnable = checkRunnable(*context_.classData); !runnable) {
        showMessage(QMessageBox::Warning, QString::fromStdString(runnable.error().message()));
        return;
    }
    const int before = progress_->value();
    // The run does not yield to the event loop; repaint the bar now and then
    // so that a long run still shows it moving.
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    RunOptions options;
    options.method = method;
    options.keepStudentMatrices = keepMatrices(*context_.classData);
    options.progress = [this, &sinceRepaint](int value) {
        progress_->setValue(value);
        if (sinceRepaint.elapsed() >= 50) {
            progress_->repaint();
            sinceRepaint.restart();
        }
    };
    auto result = [&] {
        BusyCursor busy;
        return runAnalysis(context_.classData, options);
    }();
    if (!result) {
        progress_->setValue(before);
        showMessage(QMessageBox::Warning, QString::fromStdString(result.error().message()));
        return;
    }
    context_.results = std::make_shared<const RunResults>(std::move(result).value());
    setResultText(context_.results->text);
    progress_->setValue(kProgressMax);
    context_.runName = runName(method, context_.classData->conceptCount);
    classChanged(QStringLiteral("此報表來自先前的分析，請重新查詢。"));
}

}  // namespace qv::app
