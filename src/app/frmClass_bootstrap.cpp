// The class window's bootstrap intervals: computed on request for the run
// shown, off the UI thread, then shown as columns of the table and as faint
// links in the report viewer.
#include <QMenuBar>
#include <QProgressDialog>
#include <QStatusBar>

#include "app_context.h"
#include "bootstrap_runner.h"
#include "class_results_model.h"
#include "core/limits.h"
#include "frmClass.h"
#include "frmStudentViewer.h"

namespace qv::app {

namespace {

// The draw the window makes: that of `quorvane-cli analyze --bootstrap 1000`
// with the default seed and confidence, so both give the same intervals.
constexpr int kReplicates = 1000;

}  // namespace

void frmClass::buildBootstrapMenu() {
    bootstrap_ = new BootstrapRunner(this);
    QMenu* menu = menuBar()->addMenu(QStringLiteral("分析(&A)"));
    menu->setObjectName(QStringLiteral("mnuClassAnalysis"));
    QAction* action =
        menu->addAction(QStringLiteral("計算信賴區間(&B)"), this, &frmClass::computeIntervals);
    action->setObjectName(QStringLiteral("mnuBootstrap"));
    action->setToolTip(QStringLiteral("從題目中重抽 1000 次，求每位學生指標的 95 % 信賴區間"));
    outputs_ << action;

    connect(bootstrap_, &BootstrapRunner::progress, this, [this](int value) {
        if (bootstrapProgress_) bootstrapProgress_->setValue(value);
    });
    connect(bootstrap_, &BootstrapRunner::finished, this,
            [this](std::shared_ptr<const RunResults> run,
                   std::shared_ptr<const BootstrapResults> intervals) {
                if (bootstrapProgress_) bootstrapProgress_->close();
                context_.bootstrap = std::move(intervals);
                context_.bootstrapOf = std::move(run);
                showIntervals();
                if (viewer_) viewer_->redraw();
                report(QStringLiteral("已計算信賴區間（重抽 %1 次，種子 1，信賴水準 95 %）。")
                           .arg(kReplicates));
            });
    connect(bootstrap_, &BootstrapRunner::failed, this, [this](const QString& message) {
        if (bootstrapProgress_) bootstrapProgress_->close();
        report(message);
    });
    connect(bootstrap_, &BootstrapRunner::cancelled, this, [this] {
        if (bootstrapProgress_) bootstrapProgress_->close();
        report(QStringLiteral("已取消計算信賴區間。"));
    });
}

void frmClass::computeIntervals() {
    if (!results_ || bootstrap_->running()) return;
    BootstrapOptions options;
    options.method = context_.runMethod;
    options.replicates = kReplicates;
    if (!bootstrap_->start(results_, options)) return;
    auto* dialog = new QProgressDialog(QStringLiteral("正在從題目重抽，計算信賴區間…"),
                                       QStringLiteral("取消"), 0, kProgressMax, this);
    dialog->setObjectName(QStringLiteral("dlgBootstrapProgress"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setMinimumDuration(0);
    connect(dialog, &QProgressDialog::canceled, bootstrap_, &BootstrapRunner::cancel);
    bootstrapProgress_ = dialog;
    dialog->show();
}

void frmClass::showIntervals() {
    model_->setIntervals(results_ ? context_.currentBootstrap() : nullptr);
}

}  // namespace qv::app
