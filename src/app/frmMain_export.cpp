// The main window's 匯出 JSON: the last run's results, the same bytes as the
// command line's `analyze --format json` writes for the class and method.
#include <QFileInfo>
#include <QStandardPaths>
#include <QStatusBar>

#include "analysis/results_json.h"
#include "app_context.h"
#include "busy_cursor.h"
#include "data/safe_file.h"
#include "data_folders.h"
#include "dialogs.h"
#include "frmMain.h"
#include "print_pages.h"
#include "report/draw_report.h"

namespace qv::app {

namespace {

Expected<void> writeJson(const RunResults& results, const RunMethod& method,
                         const std::filesystem::path& target) {
    auto created = SafeFile::create(target);
    if (!created) return created.error();
    SafeFile& file = *created;
    const ClassData& data = *results.data;
    const StudentNetworkBuilder builder(data, method);
    Expected<void> written;
    writeResultsJson(resultsJsonClass(data, results, method), results.students, builder,
                     [&](std::string_view bytes) {
                         if (written) written = file.write(bytes);
                     });
    if (!written) return written;
    return file.commit();
}

}  // namespace

void frmMain::onExportJson() {
    const QString title = QStringLiteral("匯出 JSON");
    const auto results = context_.currentResults();
    if (!results) {
        context_.dialogs.message(
            this, QMessageBox::Information, title,
            QStringLiteral("尚未有分析結果。\n請先從「執行」選單執行分析，再匯出 JSON。"));
        return;
    }
    const QString file = chooseExportFile(
        this, context_, title, suggestedExportFile(context_.inputFiles[0], QStringLiteral(".json")),
        QStringLiteral("JSON 檔案 (*.json)"));
    if (file.isEmpty()) return;
    const Expected<void> written = [&] {
        BusyCursor busy;
        return writeJson(*results, context_.runMethod, toPath(file));
    }();
    if (!written) {
        context_.dialogs.message(this, QMessageBox::Warning, title,
                                 QString::fromStdString(written.error().message()));
        return;
    }
    statusBar()->showMessage(QStringLiteral("已匯出 %1 位學生的結果到 %2")
                                 .arg(results->students.size())
                                 .arg(QFileInfo(file).fileName()),
                             5000);
}

}  // namespace qv::app
