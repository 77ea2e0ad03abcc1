#include "export.h"

#include <QFileInfo>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <optional>
#include <string>

#include "data/loaders.h"
#include "data/safe_file.h"
#include "painter_canvas.h"
#include "report/draw_report.h"

namespace qv::render {

namespace {

const QColor kInk = Qt::black;
const QColor kPaper = Qt::white;

}  // namespace

std::optional<ExportFormat> exportFormatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png")) return ExportFormat::Png;
    if (suffix == QLatin1String("svg")) return ExportFormat::Svg;
    if (suffix == QLatin1String("pdf")) return ExportFormat::Pdf;
    return std::nullopt;
}

QImage renderImage(const RecordingCanvas& picture, double scale) {
    const QSize size = pictureSize(picture);
    QImage image(qRound(size.width() * scale), qRound(size.height() * scale), QImage::Format_RGB32);
    image.fill(kPaper);
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintPicture(painter, picture, kInk);
    painter.end();
    return image;
}

namespace {

// Hands what a Qt writer produces to a SafeFile and keeps the first failure,
// so that the caller gets the system's reason and the old file stays whole.
class SafeFileDevice : public QIODevice {
  public:
    explicit SafeFileDevice(const std::filesystem::path& target)
        : target_(target), file_(SafeFile::create(target)) {
        if (file_) open(QIODevice::WriteOnly);
    }

    // The file's own failure first, then the writer's (`problem`), naming the file.
    Expected<void> commit(const std::optional<std::string>& problem) {
        if (!file_) return file_.error();
        if (error_) return *error_;
        if (problem) return Error{pathText(target_), 0, *problem};
        close();
        return file_->commit();
    }
    Expected<void> commit(bool writerOk) {
        return commit(writerOk ? std::nullopt : std::optional<std::string>("無法產生檔案內容"));
    }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (error_ || !file_) return -1;
        auto written = file_->write(std::string_view(data, static_cast<std::size_t>(size)));
        if (!written) {
            error_ = written.error();
            return -1;
        }
        return size;
    }

  private:
    std::filesystem::path target_;
    Expected<SafeFile> file_;
    std::optional<Error> error_;
};

}  // namespace

Expected<void> writePng(const RecordingCanvas& picture, const std::filesystem::path& path,
                        double scale) {
    SafeFileDevice file(path);
    const bool ok = file.isOpen() && renderImage(picture, scale).save(&file, "PNG");
    return file.commit(ok);
}

Expected<void> writeSvg(const RecordingCanvas& picture, const std::filesystem::path& path,
                        const QString& title) {
    SafeFileDevice file(path);
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    const QSize size = pictureSize(picture);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    QPainter painter;
    bool ok = file.isOpen() && painter.begin(&svg);
    if (ok) {
        painter.fillRect(QRect(QPoint(0, 0), size), kPaper);
        paintPicture(painter, picture, kInk);
        ok = painter.end();
    }
    return file.commit(ok);
}

struct PdfBook::Impl {
    SafeFileDevice file;
    QPdfWriter writer;
    QPainter painter;
    int pages = 0;
    std::optional<std::string> problem;
    explicit Impl(const std::filesystem::path& p) : file(p), writer(&file) {}
};

PdfBook::PdfBook(const std::filesystem::path& path, const QString& title)
    : impl_(std::make_unique<Impl>(path)) {
    impl_->writer.setTitle(title);
    impl_->writer.setCreator(QStringLiteral("Quorvane"));
    impl_->writer.setResolution(300);
    impl_->writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                            QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

PdfBook::~PdfBook() {
    if (impl_->painter.isActive()) impl_->painter.end();
}

bool PdfBook::addPage(const RecordingCanvas& picture) {
    return addPage([&picture](QPainter& painter, const QRectF& page) {
        paintPictureFitted(painter, page, picture, kInk);
        return painter.isActive();
    });
}

bool PdfBook::addPage(const PageDrawing& draw) {
    Impl& d = *impl_;
    if (d.problem || !d.file.isOpen()) return false;
    const int page = ++d.pages;
    const bool started = page == 1 ? d.painter.begin(&d.writer) : d.writer.newPage();
    if (!started || !d.painter.isActive())
        d.problem = "無法開始第 " + std::to_string(page) + " 頁";
    else if (!draw(d.painter, QRectF(0, 0, d.writer.width(), d.writer.height())))
        d.problem = "無法繪製第 " + std::to_string(page) + " 頁";
    return !d.problem;
}

Expected<void> PdfBook::finish() {
    Impl& d = *impl_;
    if (d.pages == 0 && !d.problem) d.problem = "沒有任何一頁";
    if (d.painter.isActive() && !d.painter.end() && !d.problem) d.problem = "無法完成 PDF";
    return d.file.commit(d.problem);
}

Expected<void> writePdf(const RecordingCanvas& picture, const std::filesystem::path& path,
                        const QString& title) {
    PdfBook book(path, title);
    book.addPage(picture);
    return book.finish();
}

}  // namespace qv::render
