#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"

#ifdef QV_HAVE_RENDER

#include <QString>

#include "analyze_output.h"
#include "cli_render.h"
#include "cli_text.h"
#include "core/number_text.h"
#include "core/ordered_blocks.h"
#include "data/file_stems.h"
#include "data/loaders.h"
#include "data/safe_file.h"
#include "export.h"
#include "load_class.h"
#include "painter_canvas.h"
#include "report/draw_report.h"

namespace qv::cli {

namespace {

namespace fs = std::filesystem;
using render::ExportFormat;

struct ReportOptions {
    ClassSource source;
    std::string id;
    bool all = false;
    std::string output;
    std::string format = "png";  // of the files written into a folder
    bool formatGiven = false;
    double scale = 1.0;
    int threads = 0;
    std::string layout = "circle";
    // The concepts' places for every student: empty for the circle.
    std::vector<PlanePoint> positions;
};

Expected<void> writePicture(const RecordingCanvas& picture, const fs::path& file,
                            ExportFormat format, const ReportOptions& opt,
                            const std::string& title) {
    const QString caption = QString::fromStdString(title);
    switch (format) {
        case ExportFormat::Png:
            return render::writePng(picture, file, opt.scale);
        case ExportFormat::Svg:
            return render::writeSvg(picture, file, caption);
        case ExportFormat::Pdf:
            return render::writePdf(picture, file, caption);
    }
    return errorText("不支援的格式");
}

void reportFailure(const Error& error) {
    std::cerr << "錯誤：" << error.message() << "\n";
}

// Every record of `id`, drawn one over the other as the print window shows them.
int reportOne(const RunResults& results, const ReportOptions& opt, ExportFormat format) {
    const std::vector<int> found = findStudents(results, opt.id);
    if (found.empty()) {
        std::cerr << "錯誤：找不到學號為「" << opt.id << "」的學生。\n";
        return kExitBadInput;
    }
    RecordingCanvas picture(render::fontMeasure());
    for (int k : found)
        DrawStudentReport(picture, results, k, opt.positions);
    if (auto written = writePicture(picture, pathOf(opt.output), format, opt, opt.id); !written) {
        reportFailure(written.error());
        return kExitBadInput;
    }
    return kExitOk;
}

// One PDF, a page for each record in file order.
int reportBook(const RunResults& results, const ReportOptions& opt) {
    render::PdfBook book(pathOf(opt.output), QStringLiteral("Quorvane"));
    for (int k = 0; k < results.data->studentCount; ++k) {
        RecordingCanvas picture(render::fontMeasure());
        DrawStudentReport(picture, results, k, opt.positions);
        if (!book.addPage(picture)) break;
    }
    if (auto written = book.finish(); !written) {
        reportFailure(written.error());
        return kExitBadInput;
    }
    return printText("已寫入 " + std::to_string(results.data->studentCount) + " 頁到「" + opt.output +
                     "」\n");
}

// One file per record in a folder; a repeated ID gets "_2", "_3", ... behind
// it. The pictures are drawn on every worker and staged in record order; the
// folder's files are replaced all together, or, when one cannot be written,
// none of them.
int reportFolder(const RunResults& results, const ReportOptions& opt, ExportFormat format) {
    const fs::path dir = pathOf(opt.output);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir)) {
        std::cerr << "錯誤：無法建立資料夾「" << opt.output << "」"
                  << (ec ? "：" + systemReason(ec.value()) : std::string()) << "。\n";
        return kExitBadInput;
    }
    const auto students = static_cast<std::size_t>(results.data->studentCount);
    std::vector<std::string> ids;
    ids.reserve(students);
    for (const StudentRecord& r : results.students)
        ids.push_back(r.id);
    std::vector<fs::path> files;
    files.reserve(students);
    for (const std::string& stem : studentFileStems(ids))
        files.push_back(dir / pathOf(stem + "." + opt.format));
    const int threads = workerCount(opt.threads);
    const std::size_t window = 2 * static_cast<std::size_t>(threads);
    std::vector<std::optional<QByteArray>> drawn(window);
    SafeFileSet set;
    struct Failed {
        Error error;
    };
    try {
        forEachBlockInOrder(
            students, threads, window,
            [&](std::size_t k, int) {
                RecordingCanvas picture(render::fontMeasure());
                DrawStudentReport(picture, results, static_cast<int>(k), opt.positions);
                drawn[k % window] = render::pictureBytes(
                    picture, format, opt.scale, QString::fromStdString(results.students[k].id));
            },
            [&](std::size_t k) {
                const std::optional<QByteArray> bytes = std::exchange(drawn[k % window], {});
                if (!bytes) throw Failed{Error{pathText(files[k]), 0, "無法產生檔案內容"}};
                auto staged = set.add(
                    files[k],
                    std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
                if (!staged) throw Failed{staged.error()};
            });
    } catch (const Failed& failed) {
        reportFailure(failed.error);
        std::cerr << "錯誤：資料夾「" << opt.output << "」中的檔案都沒有更動。\n";
        return kExitBadInput;
    }
    if (auto committed = set.commit(); !committed) {
        reportFailure(committed.error());
        return kExitBadInput;
    }
    return printText("已寫入 " + std::to_string(students) + " 個檔案到「" + opt.output + "」\n");
}

// A page's size depends on the concept count alone, so the first record's
// tells whether the scale keeps every page within the pixel bound.
std::optional<std::string> scaleProblem(const RunResults& results, const ReportOptions& opt) {
    RecordingCanvas page(render::fontMeasure());
    DrawStudentReport(page, results, 0, opt.positions);
    const double largest = render::largestScale(page);
    if (opt.scale <= largest) return std::nullopt;
    const QSize size = render::pictureSize(page);
    return "錯誤：--scale " + numberText(opt.scale) + " 會使每張圖超過 " +
           numberText(render::kMaxImagePixels / 1e6) + " 百萬像素（報表為 " +
           numberText(size.width()) + " x " + numberText(size.height()) +
           " 像素）；這個班級的 --scale 最多為 " + numberText(largest) + "。";
}

std::optional<std::string> usageProblem(const ReportOptions& o) {
    if (auto problem = classSourceProblem(o.source)) return problem;
    if (isStandardOutput(o.output))
        return "錯誤：報表是圖檔（PNG、SVG、PDF），無法寫到標準輸出，請以 --output 指定檔名或資料夾。";
    if (auto problem = outputIsInput(o.source, o.output)) return problem;
    if (o.id.empty() && !o.all) return "錯誤：請以 --id 指定學號，或使用 --all。";
    return std::nullopt;
}

std::optional<ExportFormat> formatOf(const std::string& nameOrPath) {
    return render::exportFormatOf(QString::fromStdString(nameOrPath));
}

int runReport(ReportOptions opt) {
    const bool book = opt.all && formatOf(opt.output) == ExportFormat::Pdf;
    // --format is the files' extension: a path in it (a/b.png) is no format.
    const bool plainFormat = opt.format.find_first_of("/\\.") == std::string::npos;
    const auto format = opt.all && !book
                            ? (plainFormat ? formatOf("x." + opt.format) : std::nullopt)
                            : formatOf(opt.output);
    if (!format) {
        std::cerr << (opt.all && !book ? "錯誤：--format 須為 png、svg 或 pdf"
                                       : "錯誤：--output 的副檔名須為 .png、.svg 或 .pdf")
                  << "，讀到「" << (opt.all && !book ? opt.format : opt.output) << "」。\n";
        return kExitBadInput;
    }
    // One file's kind is its extension's; a --format that names another is
    // refused, not ignored.
    if (!(opt.all && !book) && opt.formatGiven && formatOf("x." + opt.format) != format) {
        std::cerr << "錯誤：--output「" << opt.output << "」的副檔名與 --format " << opt.format
                  << " 不符；--format 只用於 --all 寫入資料夾時，寫入單一檔案請省略。\n";
        return kExitBadInput;
    }
    // One student's report needs the standard and that student, not the class.
    const std::optional<std::string> only = opt.all ? std::nullopt : std::optional(opt.id);
    auto run = loadAndAnalyse(opt.source, only, opt.threads);
    if (!run) {
        std::cerr << run.error().message() << '\n';
        return kExitBadInput;
    }
    const RunResults& results = *run;
    if (opt.all && results.data->studentCount == 0) {
        std::cerr << "錯誤：資料檔中沒有學生，沒有輸出任何檔案。\n";
        return kExitBadInput;
    }
    // Once for the class: every student's concepts in the same places.
    auto positions =
        reportPositions(results, opt.layout == "force" ? NodeLayout::Force : NodeLayout::Circle);
    if (!positions) {
        reportFailure(positions.error());
        return kExitBadInput;
    }
    opt.positions = std::move(positions).value();
    const auto gui = startGui();
    if (*format == ExportFormat::Png && !book && !results.students.empty()) {
        if (auto problem = scaleProblem(results, opt)) {
            std::cerr << *problem << '\n';
            return kExitBadInput;
        }
    }
    if (!opt.all) return reportOne(results, opt, *format);
    return book ? reportBook(results, opt) : reportFolder(results, opt, *format);
}

}  // namespace

void addReportCommand(CLI::App& app, int& status) {
    auto opt = std::make_shared<ReportOptions>();
    CLI::App* cmd = app.add_subcommand(
        "report", "把學生的四格概念網路圖（與列印視窗相同）輸出成 PNG、SVG 或 PDF");
    addClassSourceOptions(*cmd, opt->source);
    auto* id = cmd->add_option("--id", opt->id, "學生學號（須完全相同）");
    auto* all = cmd->add_flag("--all", opt->all, "每位學生一個檔案；--output 為 .pdf 時則每人一頁");
    id->excludes(all);
    cmd->add_option("--output", opt->output, "輸出檔（.png/.svg/.pdf），--all 時為資料夾或 .pdf")
        ->required();
    auto* format =
        cmd->add_option("--format", opt->format, "--all 寫入資料夾時的檔案格式：png、svg 或 pdf")
            ->capture_default_str();
    cmd->add_option("--scale", opt->scale, "PNG 的放大倍數（1 為 800 x 600）")
        ->check(numberBetween(0.25, 8.0))
        ->capture_default_str();
    cmd->add_option("--layout", opt->layout,
                    "概念的位置：circle（圓形，預設）或 force（依標準網路的力導向版面）")
        ->check(oneOf({"circle", "force"}))
        ->capture_default_str();
    addThreadsOption(*cmd, opt->threads);
    cmd->callback([opt, format, &status] {
        opt->formatGiven = format->count() > 0;
        if (auto problem = usageProblem(*opt)) {
            std::cerr << *problem << '\n';
            status = kExitBadInput;
            return;
        }
        status = runReport(*opt);
    });
}

}  // namespace qv::cli

#else

namespace qv::cli {

void addReportCommand(CLI::App& app, int& status) {
    CLI::App* cmd = app.add_subcommand("report", "（此版本未包含繪圖功能）");
    cmd->allow_extras();
    cmd->callback([&status] {
        std::cerr << "錯誤：此版本建置時沒有 Qt 繪圖元件，無法輸出報表。\n";
        status = kExitBadInput;
    });
}

}  // namespace qv::cli

#endif
