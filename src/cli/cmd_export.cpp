#include <ctime>
#include <iostream>
#include <memory>
#include <string>

#include "analysis/network_files.h"
#include "analysis/results_workbook.h"
#include "analyze_output.h"
#include "cli_text.h"
#include "commands.h"
#include "data/loaders.h"
#include "load_class.h"
#include "quorvane_version.h"

namespace qv::cli {

namespace {

struct ExportArgs {
    ClassSource source;
    std::string to, output;
    int threads = 0;
};

std::string today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

WorkbookNotes notesOf(const ClassSource& source) {
    WorkbookNotes notes{{}, today(), QV_VERSION_TEXT};
    if (source.sample) {
        notes.files.emplace_back("班級", "內建範例班級");
    } else {
        const ClassFiles files = source.files();
        notes.files = {{"學生資料檔", pathText(files.data)},
                       {"概念註解檔", pathText(files.concepts)},
                       {"題目所包含概念檔", pathText(files.items)}};
    }
    return notes;
}

GraphFormat graphFormatOf(const std::string& to) {
    return to == "gml" ? GraphFormat::Gml : to == "pajek" ? GraphFormat::Pajek : GraphFormat::GraphMl;
}

int fail(const std::string& message) {
    std::cerr << message << "\n";
    return kExitBadInput;
}

int runExport(const ExportArgs& a) {
    if (auto problem = classSourceProblem(a.source)) return fail(*problem);
    if (isStandardOutput(a.output))
        return fail(a.to == "xlsx" ? "錯誤：活頁簿（xlsx）無法寫到標準輸出，請以 --output 指定檔名。"
                                   : "錯誤：網路檔寫入一個資料夾，無法寫到標準輸出，請以 --output "
                                     "指定資料夾。");
    if (auto problem = outputIsInput(a.source, a.output)) return fail(*problem);
    auto run = loadAndAnalyse(a.source, std::nullopt, a.threads);
    if (!run) return fail(run.error().message());
    const RunMethod method = a.source.runMethod();
    if (a.to == "xlsx") {
        if (auto written = writeResultsWorkbook(pathOf(a.output), *run, method, notesOf(a.source));
            !written)
            return fail("錯誤：" + written.error().message());
        return printText("已寫入活頁簿「" + a.output + "」\n");
    }
    auto written = writeNetworkFolder(pathOf(a.output), *run, method, graphFormatOf(a.to));
    if (!written) {
        std::cerr << "錯誤：" << written.error().message() << "\n";
        return fail("錯誤：資料夾「" + a.output + "」中的檔案都沒有更動。");
    }
    return printText("已寫入 " + std::to_string(*written) + " 個檔案到「" + a.output + "」\n");
}

}  // namespace

void addExportCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<ExportArgs>();
    CLI::App* cmd = app.add_subcommand(
        "export", "把網路輸出成網路工具讀得懂的檔案（GraphML、GML、Pajek），或把結果輸出成活頁簿（XLSX）");
    addClassSourceOptions(*cmd, args->source);
    cmd->add_option("--to", args->to,
                    "graphml、gml 或 pajek：每位學生與標準各一個檔案，寫入資料夾；xlsx：一個活頁簿")
        ->check(oneOf({"graphml", "gml", "pajek", "xlsx"}))
        ->required();
    cmd->add_option("--output", args->output, "xlsx 為活頁簿檔名，其他為資料夾")->required();
    addThreadsOption(*cmd, args->threads);
    cmd->callback([args, &status] { status = runExport(*args); });
}

}  // namespace qv::cli
