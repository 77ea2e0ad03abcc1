#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "analysis/class_summary.h"
#include "analysis/summary_files.h"
#include "analyze_output.h"
#include "bootstrap_args.h"
#include "cli_text.h"
#include "commands.h"
#include "core/number_text.h"
#include "load_class.h"

#ifdef QV_HAVE_RENDER
#include <QString>

#include "cli_render.h"
#include "export.h"
#include "report/class_charts.h"
#endif

namespace qv::cli {

namespace {

struct SummaryArgs {
    ClassSource source;
    std::string format = "json", output;
    bool formatGiven = false;
    int threads = 0;
    BootstrapArgs bootstrap;
};

// The charts page's title: the class size and the run.
std::string chartsTitle(const ClassSummary& s, const std::string& method) {
    const std::string name = method == "triangle"      ? "Tamsel一階三角算則"
                             : method == "path-search" ? "Tamsel一階路徑找尋"
                                                       : method;
    return "全班概覽：" + std::to_string(s.studentCount) + " 位學生，" + name;
}

void fail(const std::string& message) {
    std::cerr << message << "\n";
}

// A name whose extension says some other kind of file (x.gif) is refused
// rather than filled with JSON; no extension (/dev/stdout, a pipe) is fine.
std::optional<std::string> outputKindProblem(const std::string& output) {
    const std::string ext = pathOf(output).extension().string();
    std::string lower;
    for (const char c : ext)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (const char* known : {"", ".json", ".csv", ".txt", ".png", ".svg", ".pdf"})
        if (lower == known) return std::nullopt;
    return "錯誤：--output 的副檔名須為 .json、.csv 或 .txt（全班概覽），或 .png、.svg、.pdf"
           "（圖表頁），讀到「" +
           output + "」。";
}

// The class read, run and tallied a block at a time: only the counts stay.
Expected<ClassSummary> summarise(ClassPtr& data, const SummaryArgs& a) {
    auto index = loadIndexedClass(data, a.source);
    if (!index) return index.error();
    const ClassData& state = *data;
    if (auto runnable = checkClassRunnable(state); !runnable)
        return errorText("錯誤：" + runnable.error().message());
    joinStudentBlocks(*index, studentBlockSize(index->studentCount, a.threads, state.conceptCount) /
                                  kStudentBlockGrain);
    ClassTally tally(state);
    RunOptions options;
    if (auto applied = applyMethod(a.source, options); !applied) return applied.error();
    options.threads = a.threads;
    options.keepStudentMatrices = false;
    const StudentBlocks blocks{index->blockCount(),
                               [&index](std::size_t block, std::vector<StudentRecord>& records) {
                                   readStudentBlock(*index, block, records);
                               }};
    const auto run = runInBlocks(
        data, options, blocks,
        [&tally](std::string& out, const StudentRecord& r) { tally.appendBytes(out, r); },
        [&tally](std::string_view bytes) { tally.addBytes(bytes); });
    if (!run) return errorText("錯誤：" + run.error().message());
    return tally.summary(*run);
}

// The summary's "bootstrap" member: the draw and the class's median interval
// width per index.
Expected<std::string> bootstrapJson(const SummaryArgs& a) {
    const auto run = loadAndAnalyse(a.source, std::nullopt, a.threads);
    if (!run) return run.error();
    const auto intervals = runBootstrap(*run, a.bootstrap, a.source.runMethod(), a.threads);
    if (!intervals) return intervals.error();
    const auto widths = medianWidths(*intervals);
    std::string text =
        ",\n  \"bootstrap\": {\"replicates\": " + std::to_string(intervals->replicates) +
        ", \"seed\": " + std::to_string(intervals->seed) +
        ", \"confidence\": " + numberText(intervals->confidence.value()) + ", \"medianWidth\": {";
    static constexpr const char* kKeys[] = {"pfc", "gtd", "prx"};
    for (std::size_t x = 0; x < widths.size(); ++x)
        text += std::string(x > 0 ? ", " : "") + "\"" + kKeys[x] +
                "\": " + (widths[x] ? numberText(*widths[x]) : "null");
    return text + "}}";
}

#ifdef QV_HAVE_RENDER
std::optional<render::ExportFormat> pictureFormat(const std::string& output) {
    return render::exportFormatOf(QString::fromStdString(output));
}

int writeCharts(const ClassData& state, const ClassSummary& s, const SummaryArgs& a,
                render::ExportFormat format) {
    const auto gui = startGui();
    RecordingCanvas picture;
    const std::string title = chartsTitle(s, a.source.method);
    DrawClassCharts(picture, s, state.conceptNames, title);
    const std::filesystem::path file = pathOf(a.output);
    const QString caption = QString::fromStdString(title);
    const Expected<void> written =
        format == render::ExportFormat::Png   ? render::writePng(picture, file)
        : format == render::ExportFormat::Svg ? render::writeSvg(picture, file, caption)
                                              : render::writePdf(picture, file, caption);
    if (!written) {
        fail("錯誤：" + written.error().message());
        return kExitBadInput;
    }
    return kExitOk;
}
#endif

int runSummary(const SummaryArgs& a) {
    if (auto problem = classSourceProblem(a.source)) {
        fail(*problem);
        return kExitBadInput;
    }
    if (auto problem = outputIsInput(a.source, a.output)) {
        fail(*problem);
        return kExitBadInput;
    }
    if (auto problem = outputKindProblem(a.output)) {
        fail(*problem);
        return kExitBadInput;
    }
    SummaryArgs settled = a;
    if (auto problem = formatForOutput(settled.format, a.formatGiven, a.output, {"json", "csv"})) {
        fail(*problem);
        return kExitBadInput;
    }
    if (auto problem = bootstrapArgsProblem(a.bootstrap)) {
        fail(*problem);
        return kExitBadInput;
    }
    const bool bootstrap = a.bootstrap.replicates.has_value();
    if (bootstrap && settled.format != "json") {
        fail("錯誤：--bootstrap 只能用於 JSON 的全班概覽。");
        return kExitBadInput;
    }
#ifdef QV_HAVE_RENDER
    const auto picture = pictureFormat(a.output);
    if (picture && bootstrap) {
        fail("錯誤：--bootstrap 只能用於 JSON 的全班概覽，不能輸出圖表頁。");
        return kExitBadInput;
    }
    if (picture && a.formatGiven) {
        fail("錯誤：--output 為圖檔（.png、.svg、.pdf）時寫入的是圖表頁，不能再指定 --format。");
        return kExitBadInput;
    }
#endif
    ClassPtr data;
    auto summary = summarise(data, a);
    if (!summary) {
        fail(summary.error().message());
        return kExitBadInput;
    }
#ifdef QV_HAVE_RENDER
    if (picture) return writeCharts(*data, *summary, a, *picture);
#endif
    std::string bootstrapMember;
    if (bootstrap) {
        auto member = bootstrapJson(a);
        if (!member) {
            fail(member.error().message());
            return kExitBadInput;
        }
        bootstrapMember = std::move(member).value();
    }
    auto opened = outputFile(a.output);
    if (!opened) {
        fail(opened.error().message());
        return kExitBadInput;
    }
    std::optional<SafeFile>& file = *opened;
    Sink out = file ? Sink(*file) : Sink(stdout);
    // The last piece is held back so that the bootstrap member can go before
    // the document's closing brace.
    std::string held;
    const auto toOutput = [&out, &held](std::string_view bytes) {
        out.write(held);
        held = bytes;
    };
    if (settled.format == "csv")
        writeSummaryCsv(*summary, data->conceptNames, a.source.runMethod(), toOutput);
    else
        writeSummaryJson(*summary, data->conceptNames, a.source.runMethod(), toOutput);
    if (bootstrap) held.insert(held.rfind("\n}"), bootstrapMember);
    out.write(held);
    if (auto written = out.finish(); !written) {
        fail((file ? "錯誤：" : "") + written.error().message());
        return kExitBadInput;
    }
    return kExitOk;
}

}  // namespace

void addSummaryCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<SummaryArgs>();
    CLI::App* cmd = app.add_subcommand(
        "summary",
        "全班概覽：各概念對的連結人數、題目答對率與指標分布；--output 為圖檔時輸出圖表頁");
    addClassSourceOptions(*cmd, args->source);
    auto* format = cmd->add_option("--format", args->format,
                                   "輸出格式：json 或 csv（預設依 --output 的副檔名 .csv、.json）")
                       ->check(oneOf({"json", "csv"}))
                       ->capture_default_str();
    cmd->add_option("--output", args->output, "寫入此檔，而非標準輸出（- 為標準輸出）；.png、.svg、.pdf 為圖表頁");
    addThreadsOption(*cmd, args->threads);
    addBootstrapOptions(*cmd, args->bootstrap);
    cmd->callback([args, format, &status] {
        args->formatGiven = format->count() > 0;
        status = runSummary(*args);
    });
}

}  // namespace qv::cli
