#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "analysis/results_csv.h"
#include "analyze_output.h"
#include "bootstrap_args.h"
#include "cli_text.h"
#include "commands.h"
#include "load_class.h"

namespace qv::cli {

namespace {

struct AnalyzeArgs {
    ClassSource source;
    std::string format = "table", output;
    bool formatGiven = false;
    int threads = 0;
    BootstrapArgs bootstrap;
};

AnalyzeFormat formatOf(const AnalyzeArgs& a, const ClassData& data, const RunResults& standard) {
    if (a.format == "csv") return csvFormat(a.source.runMethod(), data.conceptCount);
    if (a.format == "json") return jsonFormat(data, standard, a.source.runMethod());
    if (a.format == "links") return linksFormat(standard, a.source.runMethod());
    return tableFormat();
}

// The students with their intervals: the class is read whole, since every
// replicate is a class of all its students.
int runAnalyzeBootstrap(const AnalyzeArgs& a, std::optional<SafeFile>& file) {
    const auto run = loadAndAnalyse(a.source, std::nullopt, a.threads);
    if (!run) {
        std::cerr << run.error().message() << "\n";
        return kExitBadInput;
    }
    const RunMethod method = a.source.runMethod();
    const auto intervals = runBootstrap(*run, a.bootstrap, method, a.threads);
    if (!intervals) {
        std::cerr << intervals.error().message() << "\n";
        return kExitBadInput;
    }
    const ClassData& data = *run->data;
    const AnalyzeFormat format = formatOf(a, data, *run);
    const bool json = a.format == "json";
    // The six CSV cells go before the last one, the method.
    const std::size_t methodTail = csvField(methodKey(method, data.conceptCount)).size() + 3;
    Sink out = file ? Sink(*file) : Sink(stdout);
    std::string text = format.head();
    if (!json) {
        constexpr std::string_view kCells = ",PFC low,PFC high,GTD low,GTD high,PRX low,PRX high";
        text.insert(text.rfind(",Method"), kCells);
    }
    std::string part, cells;
    for (std::size_t k = 0; k < run->students.size(); ++k) {
        const StudentRecord& record = run->students[k];
        const StudentIntervals& si = intervals->students[k];
        part.clear();
        format.student(part, record);
        if (json) {
            part.pop_back();
            appendIntervalsJson(part, si, record.links, intervals->replicates);
            part += '}';
        } else {
            cells.clear();
            appendIntervalsCsv(cells, si);
            part.insert(part.size() - methodTail, cells);
        }
        text.append(part, k == 0 ? format.firstSkip : 0);
        if (text.size() >= (1u << 16)) {
            out.write(text);
            text.clear();
        }
    }
    text += format.tail;
    out.write(text);
    if (auto written = out.finish(); !written) {
        std::cerr << (file ? "錯誤：" : "") << written.error().message() << "\n";
        return kExitBadInput;
    }
    return kExitOk;
}

// Reads, analyses and writes the class a block at a time, so a large class
// never sits in memory whole. The student file is checked whole first, so a
// refused file prints no rows.
int runAnalyze(AnalyzeArgs a) {
    if (auto problem = formatForOutput(a.format, a.formatGiven, a.output, {"csv", "json"})) {
        std::cerr << *problem << "\n";
        return kExitBadInput;
    }
    if (auto problem = classSourceProblem(a.source)) {
        std::cerr << *problem << "\n";
        return kExitBadInput;
    }
    if (auto problem = outputIsInput(a.source, a.output)) {
        std::cerr << *problem << "\n";
        return kExitBadInput;
    }
    if (auto problem = bootstrapArgsProblem(a.bootstrap)) {
        std::cerr << *problem << "\n";
        return kExitBadInput;
    }
    if (a.bootstrap.replicates && a.format == "table") {
        std::cerr << "錯誤：--bootstrap 不能用於 --format table；請改用 --format json 或 "
                     "--format csv。\n";
        return kExitBadInput;
    }
    if (a.bootstrap.replicates) {
        std::optional<SafeFile> file;
        if (!a.output.empty()) {
            auto created = SafeFile::create(pathOf(a.output));
            if (!created) {
                std::cerr << "錯誤：" << created.error().message() << "\n";
                return kExitBadInput;
            }
            file.emplace(std::move(created).value());
        }
        return runAnalyzeBootstrap(a, file);
    }
    ClassPtr data;
    auto index = loadIndexedClass(data, a.source);
    if (!index) {
        std::cerr << index.error().message() << "\n";
        return kExitBadInput;
    }
    if (auto runnable = checkClassRunnable(*data); !runnable) {
        std::cerr << "錯誤：" << runnable.error().message() << "\n";
        return kExitBadInput;
    }
    // A JSON block is some kilobytes a student: fewer students keep its text
    // in the cache between the worker that writes it and the output.
    constexpr std::size_t kJsonBlockGrains = 4;
    std::size_t grains =
        studentBlockSize(index->studentCount, a.threads, data->conceptCount) / kStudentBlockGrain;
    if (a.format == "json") grains = std::min(grains, kJsonBlockGrains);
    joinStudentBlocks(*index, grains);
    auto opened = outputFile(a.output);
    if (!opened) {
        std::cerr << opened.error().message() << "\n";
        return kExitBadInput;
    }
    std::optional<SafeFile>& file = *opened;
    Sink out = file ? Sink(*file) : Sink(stdout);
    // The head is written once the standard network is known.
    RunResults standard;
    const AnalyzeFormat format = formatOf(a, *data, standard);
    RunOptions options;
    if (auto applied = applyMethod(a.source, options); !applied) {
        std::cerr << applied.error().message() << "\n";
        return kExitBadInput;
    }
    options.threads = a.threads;
    options.standardReady = [&standard](const RunResults& s) { standard = s; };
    // The JSON derives each student's matrices as it writes the student.
    options.keepStudentMatrices = false;
    bool started = false;
    const StudentBlocks blocks{index->blockCount(),
                               [&index](std::size_t block, std::vector<StudentRecord>& records) {
                                   readStudentBlock(*index, block, records);
                               }};
    const auto run = runInBlocks(data, options, blocks, format.student, [&](std::string_view text) {
        if (!started) {
            out.write(format.head());
            text.remove_prefix(std::min(format.firstSkip, text.size()));
            started = true;
        }
        out.write(text);
    });
    if (!run) {
        std::cerr << "錯誤：" << run.error().message() << "\n";
        return kExitBadInput;
    }
    if (!started) out.write(format.head());
    out.write(format.tail);
    if (auto written = out.finish(); !written) {
        std::cerr << (file ? "錯誤：" : "") << written.error().message() << "\n";
        return kExitBadInput;
    }
    return kExitOk;
}

}  // namespace

void addAnalyzeCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<AnalyzeArgs>();
    CLI::App* cmd = app.add_subcommand("analyze", "分析全班：每位學生一列結果");
    addClassSourceOptions(*cmd, args->source);
    auto* format = cmd->add_option("--format", args->format,
                                   "輸出格式：table、csv、json 或 links（每位學生每個概念對一列；"
                                   "預設依 --output 的副檔名 .csv、.json，否則 table）")
                       ->check(oneOf({"table", "csv", "json", "links"}));
    cmd->add_option("--output", args->output, "寫入此檔，而非標準輸出（- 為標準輸出）");
    addThreadsOption(*cmd, args->threads);
    addBootstrapOptions(*cmd, args->bootstrap);
    cmd->callback([args, format, &status] {
        args->formatGiven = format->count() > 0;
        status = runAnalyze(*args);
    });
}

}  // namespace qv::cli
