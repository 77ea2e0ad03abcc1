#include "export.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

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

bool writePng(const RecordingCanvas& picture, const QString& path, double scale) {
    return renderImage(picture, scale).save(path, "PNG");
}

bool writeSvg(const RecordingCanvas& picture, const QString& path, const QString& title) {
    QSvgGenerator svg;
    svg.setFileName(path);
    const QSize size = pictureSize(picture);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    painter.fillRect(QRect(QPoint(0, 0), size), kPaper);
    paintPicture(painter, picture, kInk);
    return painter.end() && QFileInfo(path).size() > 0;
}

struct PdfBook::Impl {
    QString path;
    QPdfWriter writer;
    QPainter painter;
    bool started = false;
    bool failed = false;
    explicit Impl(const QString& p) : path(p), writer(p) {}
};

PdfBook::PdfBook(const QString& path, const QString& title) : impl_(std::make_unique<Impl>(path)) {
    impl_->writer.setTitle(title);
    impl_->writer.setCreator(QStringLiteral("Quorvane"));
    impl_->writer.setResolution(300);
    impl_->writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                            QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
}

PdfBook::~PdfBook() {
    finish();
}

bool PdfBook::addPage(const RecordingCanvas& picture) {
    Impl& d = *impl_;
    if (d.failed) return false;
    if (!d.started) {
        d.started = true;
        if (!d.painter.begin(&d.writer)) {
            d.failed = true;
            return false;
        }
    } else if (!d.writer.newPage()) {
        d.failed = true;
        return false;
    }
    const QRectF page(0, 0, d.writer.width(), d.writer.height());
    paintPictureFitted(d.painter, page, picture, kInk);
    return true;
}

bool PdfBook::finish() {
    Impl& d = *impl_;
    if (d.painter.isActive()) d.failed = !d.painter.end() || d.failed;
    return d.started && !d.failed && QFileInfo(d.path).size() > 0;
}

bool writePdf(const RecordingCanvas& picture, const QString& path, const QString& title) {
    PdfBook book(path, title);
    return book.addPage(picture) && book.finish();
}

}  // namespace qv::render
