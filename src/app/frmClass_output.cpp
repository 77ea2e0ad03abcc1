// The class window's menu: exporting the results and the charts, printing
// the charts and the whole class.
#include <QFile>
#include <QFileInfo>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStatusBar>
#include <filesystem>

#include "analysis/class_summary.h"
#include "analysis/results_csv.h"
#include "app_context.h"
#include "busy_cursor.h"
#include "class_print_job.h"
#include "data/safe_file.h"
#include "data_folders.h"
#include "dialogs.h"
#include "export.h"
#include "frmClass.h"
#include "frmStudentViewer.h"
#include "print_pages.h"
#include "report/draw_report.h"
#include "settings.h"

namespace qv::app {

namespace {

QString suggested(const QString& name) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

}  // namespace

void frmClass::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("檔案(&F)"));
    file->setObjectName(QStringLiteral("mnuClassFile"));
    const auto add = [&](const char* name, const QString& caption, const QKeySequence& key,
                         void (frmClass::*slot)()) {
        QAction* action = file->addAction(caption, this, slot);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        outputs_ << action;
    };
    add("mnuExportResults", QStringLiteral("匯出結果(&E)…"), QKeySequence(Qt::CTRL | Qt::Key_E),
        &frmClass::onExportResults);
    add("mnuExportCharts", QStringLiteral("匯出圖表(&G)…"), {}, &frmClass::onExportCharts);
    file->addSeparator();
    add("mnuPrintCharts", QStringLiteral("列印圖表(&C)…"), QKeySequence(Qt::CTRL | Qt::Key_P),
        &frmClass::onPrintCharts);
    add("mnuPrintClass", QStringLiteral("列印全班報告(&A)…"),
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &frmClass::onPrintClass);
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("關閉(&X)"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("mnuClassClose"));
}

void frmClass::report(const QString& text) {
    statusBar()->showMessage(text);
}

RecordingCanvas frmClass::chartsPage() const {
    RecordingCanvas page;
    if (!summary_) return page;
    const QString title =
        QStringLiteral("全班概覽：%1 位學生，%2").arg(summary_->studentCount).arg(context_.runName);
    DrawClassCharts(page, *summary_, results_->data->conceptNames, title.toStdString());
    return page;
}

// The same columns as the command line's CSV, in file order.
void frmClass::onExportResults() {
    if (!summary_) return;
    std::vector<int> records(results_->students.size());
    for (std::size_t k = 0; k < records.size(); ++k)
        records[k] = static_cast<int>(k);
    exportStudents(QStringLiteral("匯出結果"), QStringLiteral("結果.csv"), records);
}

void frmClass::exportStudents(const QString& title, const QString& name,
                              const std::vector<int>& records) {
    if (!summary_) return;
    const QString file = chooseExportFile(this, context_, title, suggested(name),
                                          QStringLiteral("CSV 檔案 (*.csv)"));
    if (file.isEmpty()) return;
    const Expected<void> written = [&] {
        BusyCursor busy;
        std::string csv = resultsCsvHead();
        const std::string method = methodKey(context_.runMethod, results_->data->conceptCount);
        for (int k : records)
            appendResultsCsvRow(csv, results_->students[static_cast<std::size_t>(k)], method);
        return writeFileSafely(toPath(file), csv);
    }();
    if (!written) {
        context_.dialogs.message(this, QMessageBox::Warning, title,
                                 QString::fromStdString(written.error().message()));
        return;
    }
    report(QStringLiteral("已匯出 %1 位學生的結果到 %2")
               .arg(records.size())
               .arg(QFileInfo(file).fileName()));
}

void frmClass::onExportCharts() {
    if (!summary_) return;
    QString file = context_.dialogs.saveFile(
        this, QStringLiteral("匯出圖表"), suggested(QStringLiteral("全班概覽.png")),
        QStringLiteral("PNG 圖檔 (*.png);;SVG 圖檔 (*.svg);;PDF 檔案 (*.pdf)"));
    if (file.isEmpty()) return;
    if (!render::exportFormatOf(file)) file += QStringLiteral(".png");
    if (const auto refused = outputIsLoadedInput(context_, file)) {
        context_.dialogs.message(this, QMessageBox::Warning, QStringLiteral("匯出圖表"), *refused);
        return;
    }
    const RecordingCanvas page = chartsPage();
    const QString title = windowTitle();
    Expected<void> written;
    switch (*render::exportFormatOf(file)) {
        case render::ExportFormat::Png:
            written = render::writePng(page, toPath(file), 2.0);
            break;
        case render::ExportFormat::Svg:
            written = render::writeSvg(page, toPath(file), title);
            break;
        case render::ExportFormat::Pdf:
            written = render::writePdf(page, toPath(file), title);
            break;
    }
    if (!written) {
        context_.dialogs.message(this, QMessageBox::Warning, QStringLiteral("匯出圖表"),
                                 QString::fromStdString(written.error().message()));
        return;
    }
    report(QStringLiteral("已匯出圖表到 %1").arg(QFileInfo(file).fileName()));
}

void frmClass::onPrintCharts() {
    if (summary_ && printPicture(this, context_, printer_, chartsPage(), windowTitle()))
        report(QStringLiteral("已列印圖表"));
}

void frmClass::onPrintClass() {
    if (!summary_ || job_) return;
    const auto pages = results_->students.size();
    if (!confirmClassPrint(context_.dialogs, this, pages)) return;
    if (!context_.dialogs.choosePrinter(this, QStringLiteral("列印全班報告"), printer_)) return;
    const auto refused = pdfTargetRefused(
        printer_, [this](const QString& file) { return outputIsLoadedInput(context_, file); });
    if (refused) {
        context_.dialogs.message(this, QMessageBox::Warning, QStringLiteral("列印全班報告"),
                                 *refused);
        return;
    }
    // The pages place the concepts as the report window does.
    auto positions = reportPositions(*results_, savedNodeLayout(context_));
    job_ = new ClassPrintJob(results_, printer_, this,
                             positions ? std::move(positions).value() : std::vector<PlanePoint>{});
    connect(job_, &ClassPrintJob::finished, this,
            [this, pages](bool cancelled, const QString& error) {
                job_->deleteLater();
                if (!error.isEmpty()) {
                    context_.dialogs.message(this, QMessageBox::Warning,
                                             QStringLiteral("列印全班報告"), error);
                    return;
                }
                report(cancelled ? QStringLiteral("已取消列印全班報告")
                                 : QStringLiteral("已列印全班報告，共 %1 頁").arg(pages));
            });
    job_->start();
}

}  // namespace qv::app
