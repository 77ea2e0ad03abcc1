#include "class_print_job.h"

#include <QElapsedTimer>
#include <QTimer>

#include "core/number_text.h"
#include "dialogs.h"
#include "painter_canvas.h"
#include "print_pages.h"
#include "report/draw_report.h"

namespace qv::app {

namespace {

// Pages drawn before the event loop runs again.
constexpr qint64 kSliceMilliseconds = 40;

}  // namespace

bool confirmClassPrint(Dialogs& dialogs, QWidget* parent, std::size_t pages) {
    if (pages <= kPagesWithoutAsking) return true;
    const QString count = QString::fromStdString(numberText(static_cast<double>(pages)));
    return dialogs.question(parent, QStringLiteral("列印全班報告"),
                            QStringLiteral("全班報告共 %1 頁，每位學生一頁。確定要全部列印嗎？")
                                .arg(count),
                            QStringLiteral("列印 %1 頁").arg(count));
}

ClassPrintJob::ClassPrintJob(std::shared_ptr<const RunResults> results, QPrinter& printer,
                             QWidget* parent, std::vector<PlanePoint> positions)
    : QObject(parent),
      results_(std::move(results)),
      positions_(std::move(positions)),
      output_(std::make_unique<PageOutput>(printer, QStringLiteral("Quorvane"))) {
    const int pages = static_cast<int>(results_->students.size());
    dialog_ = new QProgressDialog(QStringLiteral("正在準備全班報告…"), QStringLiteral("取消"), 0,
                                  pages, parent);
    dialog_->setObjectName(QStringLiteral("dlgPrintProgress"));
    dialog_->setWindowTitle(QStringLiteral("列印全班報告"));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
}

ClassPrintJob::~ClassPrintJob() {
    if (running_) output_->abandon();
    delete dialog_;
}

void ClassPrintJob::start() {
    running_ = true;
    next_ = 0;
    dialog_->setValue(0);
    dialog_->show();
    QTimer::singleShot(0, this, &ClassPrintJob::printSome);
}

void ClassPrintJob::printSome() {
    if (!running_) return;
    if (dialog_->wasCanceled()) {
        output_->abandon();
        end(true, {});
        return;
    }
    const int pages = static_cast<int>(results_->students.size());
    QElapsedTimer slice;
    slice.start();
    bool ok = true;
    while (ok && next_ < pages && slice.elapsed() < kSliceMilliseconds) {
        RecordingCanvas page(render::fontMeasure());
        DrawStudentReport(page, *results_, next_, positions_);
        ++next_;
        ok = output_->add(page);
    }
    dialog_->setValue(next_);
    dialog_->setLabelText(QStringLiteral("正在列印第 %1／%2 頁…").arg(next_).arg(pages));
    if (ok && next_ < pages) {
        QTimer::singleShot(0, this, &ClassPrintJob::printSome);
        return;
    }
    const auto done = output_->finish();
    end(false, done ? QString() : QString::fromStdString(done.error().message()));
}

void ClassPrintJob::end(bool cancelled, const QString& error) {
    running_ = false;
    dialog_->hide();
    emit finished(cancelled, error);
}

}  // namespace qv::app
