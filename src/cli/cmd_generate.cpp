#include <filesystem>
#include <iostream>
#include <memory>

#include "analysis/synthetic_class.h"
#include "analyze_output.h"
#include "cli_text.h"
#include "commands.h"
#include "core/limits.h"
#include "core/number_text.h"
#include "data/class_folder.h"
#include "data/safe_file.h"

namespace qv::cli {

namespace {

struct GenerateArgs {
    SyntheticClassOptions options;
    std::string outputDir;
};

int runGenerate(const GenerateArgs& a) {
    // A class its own reader would refuse is not worth the time and the disk.
    if (const std::int64_t bytes = syntheticStudentFileBytes(a.options); bytes > kMaxInputBytes) {
        std::cerr << "錯誤：這個班級的學生資料檔會有 "
                  << numberText(static_cast<double>((bytes >> 20) + 1)) << " MB，超過讀取上限 "
                  << numberText(static_cast<double>(kMaxInputBytes >> 20))
                  << " MB；請減少學生數或題數。\n";
        return kExitBadInput;
    }
    const std::filesystem::path dir(a.outputDir);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "錯誤：無法建立資料夾 " << a.outputDir << "：" << systemReason(ec.value())
                  << "\n";
        return kExitBadInput;
    }
    const SyntheticClassFiles files = makeSyntheticClass(a.options);
    const std::pair<const char*, const std::string*> outputs[] = {
        {kClassStudentsName, &files.studentFile},
        {kClassConceptsName, &files.conceptFile},
        {kClassItemsName, &files.itemConceptFile}};
    // The three files replace an older class together or not at all: a cut
    // student file beside the old item table would still load.
    SafeFileSet set;
    for (const auto& [name, bytes] : outputs) {
        if (auto staged = set.add(dir / name, *bytes); !staged) {
            std::cerr << "錯誤：" << staged.error().message() << "\n";
            return kExitBadInput;
        }
    }
    if (auto committed = set.commit(); !committed) {
        std::cerr << "錯誤：" << committed.error().message() << "\n";
        return kExitBadInput;
    }
    std::string written;
    for (const auto& [name, bytes] : outputs)
        written += (dir / name).string() + "\n";
    return printText(written);
}

}  // namespace

void addGenerateCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<GenerateArgs>();
    CLI::App* cmd = app.add_subcommand("generate", "產生一個模擬班級的三個資料檔");
    cmd->add_option("--students", args->options.students, "學生數")
        ->required()
        ->check(numberBetween(0, 10'000'000));
    cmd->add_option("--concepts", args->options.concepts, "概念數（預設 20）")
        ->check(numberBetween(1, kMaxConcepts));
    cmd->add_option("--items", args->options.items, "題數（預設 40）")
        ->check(numberBetween(1, kMaxItems));
    cmd->add_option("--seed", args->options.seed, "亂數種子（預設 1）");
    cmd->add_option("--output-dir", args->outputDir,
                    "寫入 students.txt、concepts.txt 與 item-concepts.txt 的資料夾")
        ->required();
    cmd->callback([args, &status] { status = runGenerate(*args); });
}

}  // namespace qv::cli
