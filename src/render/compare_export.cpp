#include "compare_export.h"

#include "data/loaders.h"
#include "data/safe_file.h"
#include "export.h"
#include "painter_canvas.h"
#include "report/compare_drawing.h"

namespace qv::render {

namespace {

// PNG pages at twice the surface, as the class charts are exported.
constexpr double kPngScale = 2.0;

}  // namespace

std::vector<RecordingCanvas> comparePages(const CompareResults& results,
                                          const std::vector<PlanePoint>& positions) {
    std::vector<RecordingCanvas> pages;
    for (int page = 1; page <= comparePageCount(results); ++page) {
        RecordingCanvas canvas(fontMeasure());
        DrawComparePage(canvas, results, positions, page);
        pages.push_back(std::move(canvas));
    }
    return pages;
}

std::filesystem::path comparePageFile(const std::filesystem::path& file, int page) {
    if (page <= 1) return file;
    std::filesystem::path out = file;
    out.replace_filename(file.stem().string() + "-" + std::to_string(page) +
                         file.extension().string());
    return out;
}

Expected<std::vector<std::filesystem::path>> writeComparePictures(
    const CompareResults& results, const std::vector<PlanePoint>& positions,
    const std::filesystem::path& file) {
    const auto format = exportFormatOf(QString::fromStdString(file.string()));
    if (!format) return errorText("圖檔的副檔名須為 .png、.svg 或 .pdf：" + pathText(file));
    const std::vector<RecordingCanvas> pages = comparePages(results, positions);
    const QString title =
        QString::fromStdString(results.sides[0].name + " / " + results.sides[1].name);
    if (*format == ExportFormat::Pdf) {
        PdfBook book(file, title);
        for (const RecordingCanvas& page : pages)
            if (!book.addPage(page)) break;
        if (const Expected<void> done = book.finish(); !done) return done.error();
        return std::vector<std::filesystem::path>{file};
    }
    SafeFileSet set;
    std::vector<std::filesystem::path> written;
    for (std::size_t k = 0; k < pages.size(); ++k) {
        const std::filesystem::path target = comparePageFile(file, static_cast<int>(k) + 1);
        const auto bytes = pictureBytes(pages[k], *format, kPngScale, title);
        if (!bytes) return errorText("無法產生圖檔內容：" + pathText(target));
        if (const Expected<void> added = set.add(
                target,
                std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
            !added)
            return added.error();
        written.push_back(target);
    }
    if (const Expected<void> done = set.commit(); !done) return done.error();
    return written;
}

}  // namespace qv::render
