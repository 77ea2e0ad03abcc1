#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "analyze_output.h"
#include "cli_text.h"
#include "commands.h"
#include "load_class.h"

namespace qv::cli {

namespace {

struct AnalyzeArgs {
    ClassSource source;
    std::string format = "table", output;
};

int writeResults(const AnalyzeArgs& a, const AppState& state, const std::string& text,
                 RunMethod method) {
    std::optional<SafeFile> file;
    if (!a.output.empty()) {
        auto created = SafeFile::create(pathOf(a.output));
        if (!created) {
            std::cerr << "錯誤：" << created.error().message() << "\n";
            return kExitBadInput;
        }
        file.emplace(std::move(created).value());
    }
    Sink out = file ? Sink(*file) : Sink(stdout);
    if (a.format == "csv") {
        writeCsv(out, state);
    } else if (a.format == "json") {
        writeJson(out, state, method);
    } else {
        writeTable(out, text, state.lineBreak);
    }
    if (auto written = out.finish(); !written) {
        std::cerr << (file ? "錯誤：" : "") << written.error().message() << "\n";
        return kExitBadInput;
    }
    return kExitOk;
}

int runAnalyze(const AnalyzeArgs& a) {
    if (auto problem = classSourceProblem(a.source)) {
        std::cerr << *problem << "\n";
        return kExitBadInput;
    }
    if (auto problem = outputIsInput(a.source, a.output)) {
        std::cerr << *problem << "\n";
        return kExitBadInput;
    }
    AppState state;
    const auto result = loadAndAnalyse(state, a.source);
    if (!result) {
        std::cerr << result.error().message() << "\n";
        return kExitBadInput;
    }
    return writeResults(a, state, *result, a.source.runMethod());
}

}  // namespace

void addAnalyzeCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<AnalyzeArgs>();
    CLI::App* cmd = app.add_subcommand("analyze", "分析全班：每位學生一列結果");
    addClassSourceOptions(*cmd, args->source);
    cmd->add_option("--format", args->format, "輸出格式：table、csv 或 json")
        ->check(oneOf({"table", "csv", "json"}));
    cmd->add_option("--output", args->output, "寫入此檔，而非標準輸出");
    cmd->callback([args, &status] { status = runAnalyze(*args); });
}

}  // namespace qv::cli
