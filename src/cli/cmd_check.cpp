#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "analyze_output.h"
#include "commands.h"
#include "core/state.h"
#include "data/loaders.h"

namespace qv::cli {

namespace {

struct CheckOptions {
    std::string data, concepts, items;
};

// Loads the given files in the order concepts, items, data (the item-concept
// file needs the concept count) and reports what was found.
int runCheck(const CheckOptions& opt) {
    ClassPtr data = std::make_shared<const ClassData>();
    using Loader = Expected<void> (*)(ClassPtr&, const std::filesystem::path&);
    const std::pair<const std::string*, Loader> steps[] = {
        {&opt.concepts, loadConceptFile},
        {&opt.items, loadItemConceptFile},
        // The counts need no records: a class of any size is only checked.
        {&opt.data,
         [](ClassPtr& s, const std::filesystem::path& file) -> Expected<void> {
             if (auto index = loadStudentFileIndexed(s, file, 1 << 30); !index)
                 return index.error();
             return {};
         }},
    };
    for (const auto& [file, load] : steps) {
        if (file->empty()) continue;
        if (auto loaded = load(data, std::filesystem::path(*file)); !loaded) {
            std::cerr << loaded.error().message() << '\n';
            return kExitBadInput;
        }
    }
    const ClassData& state = *data;
    std::string out;
    if (state.dataLoaded) out += "學生數：" + std::to_string(state.studentCount) + "\n";
    if (state.dataLoaded || state.itemConceptLoaded)
        out += "題數：" + std::to_string(state.itemCount) + "\n";
    if (state.conceptsLoaded) out += "概念數：" + std::to_string(state.conceptCount) + "\n";
    for (const std::string& warning : loadWarnings(state))
        std::cerr << "警告：" << warning << '\n';
    return printText(out);
}

}  // namespace

void addCheckCommand(CLI::App& app, int& status) {
    auto opt = std::make_shared<CheckOptions>();
    CLI::App* cmd = app.add_subcommand("check", "載入三個資料檔並報告學生數、題數與概念數");
    cmd->add_option("--data", opt->data, "學生資料檔");
    cmd->add_option("--concepts", opt->concepts, "概念註解檔");
    cmd->add_option("--items", opt->items, "題目所包含概念檔");
    cmd->callback([opt, &status] {
        if (opt->data.empty() && opt->concepts.empty() && opt->items.empty()) {
            std::cerr << "請至少指定一個檔案：--data、--concepts 或 --items\n";
            status = kExitBadInput;
            return;
        }
        status = runCheck(*opt);
    });
}

}  // namespace qv::cli
