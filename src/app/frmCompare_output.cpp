// The comparison window's menu: the results as JSON or CSV, and the pictures.
#include <QFileInfo>
#include <QMenuBar>
#include <QStatusBar>

#include "app_context.h"
#include "busy_cursor.h"
#include "compare_export.h"
#include "data/safe_file.h"
#include "data_folders.h"
#include "dialogs.h"
#include "export.h"
#include "frmCompare.h"
#include "print_pages.h"

namespace qv::app {

void frmCompare::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("檔案(&F)"));
    file->setObjectName(QStringLiteral("mnuCompareFile"));
    const auto add = [&](const char* name, const QString& caption, void (frmCompare::*slot)()) {
        QAction* action = file->addAction(caption, this, slot);
        action->setObjectName(QString::fromLatin1(name));
        outputs_ << action;
    };
    add("mnuCompareJson", QStringLiteral("匯出 JSON(&J)…"), &frmCompare::onExportJson);
    add("mnuCompareCsv", QStringLiteral("匯出 CSV(&C)…"), &frmCompare::onExportCsv);
    add("mnuComparePictures", QStringLiteral("匯出圖片(&G)…"), &frmCompare::onExportPictures);
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("關閉(&X)"), this, &QWidget::close);
    close->setObjectName(QStringLiteral("mnuCompareClose"));
}

void frmCompare::exportText(const QString& title, const QString& ext, const QString& filter,
                            const std::string& text) {
    const QString file = chooseExportFile(this, context_, title,
                                          suggestedExportFile(context_.inputFiles[0], ext), filter);
    if (file.isEmpty()) return;
    if (const Expected<void> written = writeFileSafely(toPath(file), text); !written) {
        context_.dialogs.message(this, QMessageBox::Warning, title,
                                 QString::fromStdString(written.error().message()));
        return;
    }
    statusBar()->showMessage(QStringLiteral("已匯出到 %1").arg(QFileInfo(file).fileName()));
}

void frmCompare::onExportJson() {
    if (!outcome_) return;
    exportText(QStringLiteral("匯出比較 JSON"), QStringLiteral("-compare.json"),
               QStringLiteral("JSON 檔案 (*.json)"), compareJson(outcome_->results));
}

void frmCompare::onExportCsv() {
    if (!outcome_) return;
    exportText(QStringLiteral("匯出比較 CSV"), QStringLiteral("-compare.csv"),
               QStringLiteral("CSV 檔案 (*.csv)"), compareCsv(outcome_->results));
}

// A PDF holds every page; PNG and SVG write a file a page, the second and
// third named "-2" and "-3".
void frmCompare::onExportPictures() {
    if (!outcome_) return;
    const QString title = QStringLiteral("匯出比較圖片");
    QString file = chooseExportFile(
        this, context_, title, suggestedExportFile(context_.inputFiles[0], "-compare.pdf"),
        QStringLiteral("PDF 檔案 (*.pdf);;PNG 圖檔 (*.png);;SVG 圖檔 (*.svg)"));
    if (file.isEmpty()) return;
    if (!render::exportFormatOf(file)) file += QStringLiteral(".pdf");
    const auto written = [&] {
        BusyCursor busy;
        return render::writeComparePictures(outcome_->results, outcome_->positions, toPath(file));
    }();
    if (!written) {
        context_.dialogs.message(this, QMessageBox::Warning, title,
                                 QString::fromStdString(written.error().message()));
        return;
    }
    statusBar()->showMessage(QStringLiteral("已匯出 %1 個檔案，第一個是 %2")
                                 .arg(written->size())
                                 .arg(QFileInfo(file).fileName()));
}

}  // namespace qv::app
