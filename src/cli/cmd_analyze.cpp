#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "analysis/run.h"
#include "analyze_output.h"
#include "commands.h"
#include "load_class.h"

namespace qv::cli {

namespace {

struct AnalyzeArgs {
    std::string data, concepts, items, method = "triangle", format = "table", output;
    bool sample = false;
};

std::optional<std::string> usageProblem(const AnalyzeArgs& a) {
    const bool anyFile = !a.data.empty() || !a.concepts.empty() || !a.items.empty();
    if (a.sample && anyFile) return "錯誤：--sample 不能與 --data、--concepts、--items 同時使用。";
    if (!a.sample && (a.data.empty() || a.concepts.empty() || a.items.empty()))
        return "錯誤：請指定 --data、--concepts 與 --items 三個檔案，或使用 --sample。";
    return std::nullopt;
}

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
    if (auto problem = usageProblem(a)) {
        std::cerr << *problem << "\n";
        return kExitBadInput;
    }
    AppState state;
    const auto loadError =
        a.sample ? loadSampleClass(state) : loadClassFiles(state, a.concepts, a.items, a.data);
    if (loadError) {
        std::cerr << *loadError << "\n";
        return kExitBadInput;
    }
    RunOptions options;
    options.method = a.method == "path-search" ? RunMethod::PathSearch : RunMethod::Triangle;
    options.keepStudentMatrices = false;  // the JSON writer derives them one student at a time
    auto result = runAnalysis(state, options);
    if (!result) {
        std::cerr << "錯誤：" << result.error() << "\n";
        return kExitBadInput;
    }
    return writeResults(a, state, *result, options.method);
}

}  // namespace

void addAnalyzeCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<AnalyzeArgs>();
    CLI::App* cmd = app.add_subcommand("analyze", "Analyse a class: one results row per student");
    cmd->add_option("--data", args->data, "Student data file");
    cmd->add_option("--concepts", args->concepts, "Concept-note file");
    cmd->add_option("--items", args->items, "Item-concept file");
    cmd->add_flag("--sample", args->sample, "Use the built-in sample class");
    cmd->add_option("--method", args->method, "Pathfinder variant")
        ->check(CLI::IsMember({"triangle", "path-search"}));
    cmd->add_option("--format", args->format, "Output format")
        ->check(CLI::IsMember({"table", "csv", "json"}));
    cmd->add_option("--output", args->output, "Write to this file instead of standard output");
    cmd->callback([args, &status] { status = runAnalyze(*args); });
}

}  // namespace qv::cli
