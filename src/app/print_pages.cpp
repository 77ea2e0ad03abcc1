#include "print_pages.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QStandardPaths>
#include <optional>
#include <string>

#include "app_context.h"
#include "data/safe_file.h"
#include "data_folders.h"
#include "dialogs.h"
#include "export.h"
#include "painter_canvas.h"

namespace qv::app {

std::optional<QString> outputIsLoadedInput(const AppContext& context, const QString& output) {
    for (const QString& input : context.inputFiles)
        if (!input.isEmpty() && sameFile(toPath(output), toPath(input)))
            return QStringLiteral("「%1」是已載入的輸入檔，寫入會毀掉班級資料；請改用另一個檔名。")
                .arg(output);
    return std::nullopt;
}

QString suggestedExportFile(const QString& dataFile, const QString& ext) {
    const QString base =
        dataFile.isEmpty() ? QStringLiteral("結果") : QFileInfo(dataFile).completeBaseName();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString name = base + ext;
    return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

QString chooseExportFile(QWidget* parent, AppContext& context, const QString& title,
                         const QString& suggested, const QString& filter) {
    const QString file = context.dialogs.saveFile(parent, title, suggested, filter);
    if (file.isEmpty()) return {};
    if (const auto refused = outputIsLoadedInput(context, file)) {
        context.dialogs.message(parent, QMessageBox::Warning, title, *refused);
        return {};
    }
    return file;
}

std::optional<QString> pdfTargetRefused(const QPrinter& printer, const OutputCheck& check) {
    if (!check || printer.outputFormat() != QPrinter::PdfFormat ||
        printer.outputFileName().isEmpty())
        return std::nullopt;
    return check(printer.outputFileName());
}

struct PageOutput::Impl {
    QPrinter& printer;
    std::optional<render::PdfBook> book;
    QPainter painter;
    int pages = 0;
    bool failed = false;
    explicit Impl(QPrinter& p) : printer(p) {}
};

PageOutput::PageOutput(QPrinter& printer, const QString& title)
    : impl_(std::make_unique<Impl>(printer)) {
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        impl_->book.emplace(toPath(printer.outputFileName()), title);
}

PageOutput::~PageOutput() {
    if (impl_->painter.isActive()) impl_->painter.end();
}

bool PageOutput::add(const RecordingCanvas& page) {
    Impl& d = *impl_;
    if (d.failed) return false;
    if (d.book) return d.book->addPage(page);
    d.failed = !(++d.pages == 1 ? d.painter.begin(&d.printer) : d.printer.newPage()) ||
               !d.painter.isActive();
    if (d.failed) return false;
    const QRectF area(QPointF(0, 0), d.printer.pageRect(QPrinter::DevicePixel).size());
    render::paintPictureFitted(d.painter, area, page, Qt::black);
    return true;
}

Expected<void> PageOutput::finish() {
    Impl& d = *impl_;
    if (d.book) return d.book->finish();
    if (d.painter.isActive() && !d.painter.end()) d.failed = true;
    if (d.pages > 1 && d.failed)
        return errorText("無法列印第 " + std::to_string(d.pages) + " 頁，列印已中止。");
    if (d.failed || d.pages == 0)
        return errorText("無法開始列印，請在印表機對話框中選擇印表機或輸出檔案。");
    return {};
}

void PageOutput::abandon() {
    Impl& d = *impl_;
    d.book.reset();  // its unfinished file goes with it
    if (d.painter.isActive()) {
        d.printer.abort();
        d.painter.end();
    }
    d.failed = true;
}

bool printPicture(QWidget* parent, AppContext& context, QPrinter& printer,
                  const RecordingCanvas& picture, const QString& title) {
    Dialogs& dialogs = context.dialogs;
    if (!dialogs.choosePrinter(parent, QStringLiteral("列印"), printer)) return false;
    const auto refused = pdfTargetRefused(
        printer, [&context](const QString& file) { return outputIsLoadedInput(context, file); });
    if (refused) {
        dialogs.message(parent, QMessageBox::Warning, QStringLiteral("列印"), *refused);
        return false;
    }
    PageOutput out(printer, title);
    out.add(picture);
    if (auto done = out.finish(); !done) {
        dialogs.message(parent, QMessageBox::Warning, QStringLiteral("列印"),
                        QString::fromStdString(done.error().message()));
        return false;
    }
    return true;
}

}  // namespace qv::app
