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
    CLI::App* cmd = app.add_subcommand("generate", "Write the three files of a generated class");
    cmd->add_option("--students", args->options.students, "Number of students")
        ->required()
        ->check(CLI::Range(0, 10'000'000));
    cmd->add_option("--concepts", args->options.concepts, "Number of concepts (default 20)")
        ->check(CLI::Range(1, 181));
    cmd->add_option("--items", args->options.items, "Number of items (default 40)")
        ->check(CLI::Range(1, 10'000));
    cmd->add_option("--seed", args->options.seed, "Random seed (default 1)");
    cmd->add_option("--output-dir", args->outputDir,
                    "Folder for students.txt, concepts.txt and item-concepts.txt")
        ->required();
    cmd->callback([args, &status] { status = runGenerate(*args); });
}

}  // namespace qv::cli
