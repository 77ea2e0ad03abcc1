#pragma once

#include <memory>
#include <optional>

#include <QImage>
#include <QString>

#include "report/canvas.h"

class QPdfWriter;

namespace qv::render {

enum class ExportFormat { Png, Svg, Pdf };

// By the file's extension, case-insensitive; nothing for anything else.
std::optional<ExportFormat> exportFormatOf(const QString& path);

// Black on white, as on paper. `scale` 1 gives 800 x 600 pixels.
QImage renderImage(const RecordingCanvas& picture, double scale = 1.0);

bool writePng(const RecordingCanvas& picture, const QString& path, double scale = 1.0);
bool writeSvg(const RecordingCanvas& picture, const QString& path, const QString& title);

// A PDF of landscape A4 pages, one drawing per page, fitted inside the margins.
class PdfBook {
  public:
    PdfBook(const QString& path, const QString& title);
    ~PdfBook();
    PdfBook(const PdfBook&) = delete;
    PdfBook& operator=(const PdfBook&) = delete;

    bool addPage(const RecordingCanvas& picture);
    // Ends the document; false when the file could not be written.
    bool finish();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

bool writePdf(const RecordingCanvas& picture, const QString& path, const QString& title);

}  // namespace qv::render
