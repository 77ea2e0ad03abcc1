#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "analyze_output.h"
#include "commands.h"
#include "load_class.h"

namespace qv::cli {

namespace {

struct AnalyzeArgs {
    ClassSource source;
    std::string format = "table", output;
};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

int writeResults(const AnalyzeArgs& a, const AppState& state, const std::string& text,
                 RunMethod method) {
    std::unique_ptr<std::FILE, FileCloser> file;
    std::FILE* stream = stdout;
    if (!a.output.empty()) {
        file.reset(std::fopen(a.output.c_str(), "wb"));
        if (!file) {
            std::cerr << "錯誤：無法寫入輸出檔 " << a.output << "\n";
            return kExitBadInput;
        }
        stream = file.get();
    }
    Sink out(stream);
    if (a.format == "csv") {
        writeCsv(out, state);
    } else if (a.format == "json") {
        writeJson(out, state, method);
    } else {
        writeTable(out, text, state.lineBreak);
    }
    if (!out.ok() || std::fflush(stream) != 0) {
        std::cerr << "錯誤：寫入 " << (a.output.empty() ? "標準輸出" : a.output) << " 失敗。\n";
        return kExitBadInput;
    }
    return kExitOk;
}

int runAnalyze(const AnalyzeArgs& a) {
    if (auto problem = classSourceProblem(a.source)) {
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
        ->check(CLI::IsMember({"table", "csv", "json"}));
    cmd->add_option("--output", args->output, "寫入此檔，而非標準輸出");
    cmd->callback([args, &status] { status = runAnalyze(*args); });
}

}  // namespace qv::cli
