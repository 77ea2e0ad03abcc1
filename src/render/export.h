#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "core/expected.h"
#include "report/canvas.h"

class QPainter;
class QRectF;

namespace qv::render {

enum class ExportFormat { Png, Svg, Pdf };

// By the file's extension, case-insensitive; nothing for anything else.
std::optional<ExportFormat> exportFormatOf(const QString& path);

// A picture's pixels stay below this at any scale: the memory and time to
// draw and encode it stay bounded however large a class is.
inline constexpr double kMaxImagePixels = 100'000'000;
// The largest scale at which the picture stays within kMaxImagePixels, in
// hundredths.
double largestScale(const RecordingCanvas& picture);

// Black on white, as on paper. `scale` 1 gives 800 x 600 pixels. A null image
// beyond largestScale.
QImage renderImage(const RecordingCanvas& picture, double scale = 1.0);

// The bytes of a file of the picture, drawn in memory: what the writers below
// put in the file. Safe on any thread (QImage, QSvgGenerator and QPdfWriter
// on a buffer need no GUI thread). Nothing when the picture cannot be encoded.
std::optional<QByteArray> pictureBytes(const RecordingCanvas& picture, ExportFormat format,
                                       double scale, const QString& title);

// Each file is drawn first, then written whole or not at all (see SafeFile);
// the error says why, with the system's reason.
Expected<void> writePng(const RecordingCanvas& picture, const std::filesystem::path& path,
                        double scale = 1.0);
Expected<void> writeSvg(const RecordingCanvas& picture, const std::filesystem::path& path,
                        const QString& title);

// Paints one page into `page` (the area inside the margins, in the painter's
// units) and says whether it could.
using PageDrawing = std::function<bool(QPainter& painter, const QRectF& page)>;

// A PDF of landscape A4 pages, one drawing per page, fitted inside the margins.
// Nothing replaces the file at `path` until finish() succeeds: a page that
// cannot be started or drawn fails the whole book, and the old file stays.
class PdfBook {
  public:
    PdfBook(const std::filesystem::path& path, const QString& title);
    ~PdfBook();
    PdfBook(const PdfBook&) = delete;
    PdfBook& operator=(const PdfBook&) = delete;

    // False once the document has failed; finish() then says why.
    bool addPage(const RecordingCanvas& picture);
    bool addPage(const PageDrawing& draw);
    // The written file, or what failed first, naming the file and the page.
    Expected<void> finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

Expected<void> writePdf(const RecordingCanvas& picture, const std::filesystem::path& path,
                        const QString& title);

}  // namespace qv::render
