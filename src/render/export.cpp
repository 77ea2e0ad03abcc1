#include "export.h"

#include <QBuffer>
#include <QFileInfo>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>
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

double largestScale(const RecordingCanvas& picture) {
    const QSize size = pictureSize(picture);
    const double pixels = static_cast<double>(size.width()) * size.height();
    return std::floor(std::sqrt(kMaxImagePixels / pixels) * 100) / 100;
}

QImage renderImage(const RecordingCanvas& picture, double scale) {
    if (scale > largestScale(picture)) return {};
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
// The temporary file is made when the first bytes come, so that a drawing
// that fails or is stopped first leaves nothing behind.
class SafeFileDevice : public QIODevice {
  public:
    explicit SafeFileDevice(const std::filesystem::path& target) : target_(target) {
        open(QIODevice::WriteOnly);
    }

    // The file's own failure first, then the writer's (`problem`), naming the file.
    Expected<void> commit(const std::optional<std::string>& problem) {
        if (error_) return *error_;
        if (problem) return Error{pathText(target_), 0, *problem};
        if (!startFile()) return *error_;
        close();
        return file_->commit();
    }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (error_ || !startFile()) return -1;
        auto written = file_->write(std::string_view(data, static_cast<std::size_t>(size)));
        if (!written) {
            error_ = written.error();
            return -1;
        }
        return size;
    }

  private:
    bool startFile() {
        if (file_) return true;
        if (error_) return false;
        auto made = SafeFile::create(target_);
        if (!made) {
            error_ = made.error();
            return false;
        }
        file_.emplace(std::move(made).value());
        return true;
    }

    std::filesystem::path target_;
    std::optional<SafeFile> file_;
    std::optional<Error> error_;
};

void setUpPdf(QPdfWriter& writer, const QString& title) {
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Quorvane"));
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

std::optional<QByteArray> pngBytes(const RecordingCanvas& picture, double scale) {
    const QImage image = renderImage(picture, scale);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> svgBytes(const RecordingCanvas& picture, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    const QSize size = pictureSize(picture);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    QPainter painter;
    if (!painter.begin(&svg)) return std::nullopt;
    painter.fillRect(QRect(QPoint(0, 0), size), kPaper);
    paintPicture(painter, picture, kInk);
    if (!painter.end()) return std::nullopt;
    return bytes;
}

std::optional<QByteArray> pdfBytes(const RecordingCanvas& picture, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return std::nullopt;
    {
        QPdfWriter writer(&buffer);
        setUpPdf(writer, title);
        QPainter painter;
        if (!painter.begin(&writer)) return std::nullopt;
        paintPictureFitted(painter, QRectF(0, 0, writer.width(), writer.height()), picture, kInk);
        if (!painter.end()) return std::nullopt;
    }
    return bytes;
}

Expected<void> writeBytes(const std::optional<QByteArray>& bytes,
                          const std::filesystem::path& path) {
    if (!bytes) return Error{pathText(path), 0, "無法產生檔案內容"};
    return writeFileSafely(
        path, std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
}

}  // namespace

std::optional<QByteArray> pictureBytes(const RecordingCanvas& picture, ExportFormat format,
                                       double scale, const QString& title) {
    switch (format) {
        case ExportFormat::Png:
            return pngBytes(picture, scale);
        case ExportFormat::Svg:
            return svgBytes(picture, title);
        case ExportFormat::Pdf:
            return pdfBytes(picture, title);
    }
    return std::nullopt;
}

Expected<void> writePng(const RecordingCanvas& picture, const std::filesystem::path& path,
                        double scale) {
    return writeBytes(pngBytes(picture, scale), path);
}

Expected<void> writeSvg(const RecordingCanvas& picture, const std::filesystem::path& path,
                        const QString& title) {
    return writeBytes(svgBytes(picture, title), path);
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
    setUpPdf(impl_->writer, title);
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
    if (d.problem) return false;
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
    return writeBytes(pdfBytes(picture, title), path);
}

}  // namespace qv::render
