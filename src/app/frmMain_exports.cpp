// The main window's 檔案 → 匯出: the networks as files of network tools, the
// results as a workbook, the links as a long table; the same files as the
// command line's `export` and `analyze --format links` write.
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QStatusBar>

#include "analysis/network_files.h"
#include "analysis/results_links.h"
#include "analysis/results_workbook.h"
#include "app_context.h"
#include "data/safe_file.h"
#include "data_folders.h"
#include "dialogs.h"
#include "frmMain.h"
#include "print_pages.h"
#include "quorvane_version.h"

namespace qv::app {

namespace {

QString documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

// Shown only when the work takes longer than a moment: a large class.
class ExportProgress {
  public:
    ExportProgress(QWidget* parent, const QString& title)
        : dialog_(QStringLiteral("正在匯出…"), QString(), 0, 100, parent) {
        dialog_.setObjectName(QStringLiteral("dlgExportProgress"));
        dialog_.setWindowTitle(title);
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setCancelButton(nullptr);
        dialog_.setMinimumDuration(500);
    }
    std::function<void(int)> callback() {
        return [this](int value) { dialog_.setValue(value); };
    }

  private:
    QProgressDialog dialog_;
};

Expected<void> writeLinks(const RunResults& results, const RunMethod& method,
                          const std::filesystem::path& target,
                          const std::function<void(int)>& progress) {
    auto created = SafeFile::create(target);
    if (!created) return created.error();
    const LinksCsvWriter writer(results, method);
    std::string text = LinksCsvWriter::head();
    const std::size_t count = results.students.size();
    for (std::size_t k = 0; k < count; ++k) {
        writer.appendRows(text, results.students[k]);
        if (text.size() >= (1u << 20) || k + 1 == count) {
            if (auto written = created->write(text); !written) return written;
            text.clear();
            progress(static_cast<int>(100 * (k + 1) / count));
        }
    }
    if (count == 0)
        if (auto written = created->write(text); !written) return written;
    return created->commit();
}

WorkbookNotes notesOf(const AppContext& context) {
    WorkbookNotes notes{
        {}, QDate::currentDate().toString(Qt::ISODate).toStdString(), QV_VERSION_TEXT};
    const char* roles[] = {"學生資料檔", "概念註解檔", "題目所包含概念檔"};
    for (std::size_t k = 0; k < context.inputFiles.size(); ++k)
        notes.files.emplace_back(roles[k], context.inputFiles[k].toStdString());
    return notes;
}

}  // namespace

std::shared_ptr<const RunResults> frmMain::resultsToExport(const QString& title) {
    auto results = context_.currentResults();
    if (!results)
        context_.dialogs.message(
            this, QMessageBox::Information, title,
            QStringLiteral("尚未有分析結果。\n請先從「執行」選單執行分析，再匯出。"));
    return results;
}

void frmMain::reportExport(const QString& title, const Expected<void>& written,
                           const QString& done) {
    if (!written) {
        context_.dialogs.message(this, QMessageBox::Warning, title,
                                 QString::fromStdString(written.error().message()));
        return;
    }
    statusBar()->showMessage(done, 5000);
}

void frmMain::onExportNetworks(GraphFormat format) {
    const QString ext = QString::fromLatin1(graphFileExtension(format));
    const QString title = QStringLiteral("匯出網路（%1）").arg(ext.toUpper());
    const auto results = resultsToExport(title);
    if (!results) return;
    const QString folder = context_.dialogs.openFolder(this, title, documentsFolder());
    if (folder.isEmpty()) return;
    // The folder's files are standard.<ext> and <ID>.<ext>: a loaded input
    // of that extension in the folder could be one of them.
    for (const QString& input : context_.inputFiles) {
        const QFileInfo info(input);
        if (!input.isEmpty() && info.suffix() == ext && QDir(folder) == info.dir()) {
            context_.dialogs.message(this, QMessageBox::Warning, title,
                                     *outputIsLoadedInput(context_, input));
            return;
        }
    }
    ExportProgress progress(this, title);
    auto written = writeNetworkFolder(toPath(folder), *results, context_.runMethod, format,
                                      progress.callback());
    reportExport(title, written ? Expected<void>() : Expected<void>(written.error()),
                 QStringLiteral("已匯出 %1 個網路檔到 %2").arg(written ? *written : 0).arg(folder));
}

void frmMain::onExportWorkbook() {
    const QString title = QStringLiteral("匯出活頁簿");
    const auto results = resultsToExport(title);
    if (!results) return;
    const QString file = chooseExportFile(this, context_, title,
                                          suggestedExportFile(context_.inputFiles[0], ".xlsx"),
                                          QStringLiteral("Excel 活頁簿 (*.xlsx)"));
    if (file.isEmpty()) return;
    ExportProgress progress(this, title);
    reportExport(title,
                 writeResultsWorkbook(toPath(file), *results, context_.runMethod, notesOf(context_),
                                      progress.callback()),
                 QStringLiteral("已匯出活頁簿 %1").arg(QFileInfo(file).fileName()));
}

void frmMain::onExportLinks() {
    const QString title = QStringLiteral("匯出長表格");
    const auto results = resultsToExport(title);
    if (!results) return;
    const QString file = chooseExportFile(this, context_, title,
                                          suggestedExportFile(context_.inputFiles[0], "-links.csv"),
                                          QStringLiteral("CSV 檔案 (*.csv)"));
    if (file.isEmpty()) return;
    ExportProgress progress(this, title);
    reportExport(title, writeLinks(*results, context_.runMethod, toPath(file), progress.callback()),
                 QStringLiteral("已匯出長表格 %1").arg(QFileInfo(file).fileName()));
}

}  // namespace qv::app
