#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>

#include "analysis/synthetic_class.h"
#include "commands.h"

namespace qv::cli {

namespace {

struct GenerateArgs {
    SyntheticClassOptions options;
    std::string outputDir;
};

bool writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out) return true;
    std::cerr << "錯誤：無法寫入 " << path.string() << "\n";
    return false;
}

int runGenerate(const GenerateArgs& a) {
    const std::filesystem::path dir(a.outputDir);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "錯誤：無法建立資料夾 " << a.outputDir << "\n";
        return kExitBadInput;
    }
    const SyntheticClassFiles files = makeSyntheticClass(a.options);
    const std::pair<const char*, const std::string*> outputs[] = {
        {"students.txt", &files.studentFile},
        {"concepts.txt", &files.conceptFile},
        {"item-concepts.txt", &files.itemConceptFile}};
    for (const auto& [name, bytes] : outputs) {
        if (!writeFile(dir / name, *bytes)) return kExitBadInput;
        std::cout << (dir / name).string() << "\n";
    }
    return kExitOk;
}

}  // namespace

void addGenerateCommand(CLI::App& app, int& status) {
    auto args = std::make_shared<GenerateArgs>();
    CLI::App* cmd = app.add_subcommand("generate", "產生一個模擬班級的三個資料檔");
    cmd->add_option("--students", args->options.students, "學生數")
        ->required()
        ->check(CLI::Range(0, 10'000'000));
    cmd->add_option("--concepts", args->options.concepts, "概念數（預設 20）")
        ->check(CLI::Range(1, 181));
    cmd->add_option("--items", args->options.items, "題數（預設 40）")
        ->check(CLI::Range(1, 10'000));
    cmd->add_option("--seed", args->options.seed, "亂數種子（預設 1）");
    cmd->add_option("--output-dir", args->outputDir,
                    "寫入 students.txt、concepts.txt 與 item-concepts.txt 的資料夾")
        ->required();
    cmd->callback([args, &status] { status = runGenerate(*args); });
}

}  // namespace qv::cli
