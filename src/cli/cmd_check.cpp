#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "analyze_output.h"
#include "commands.h"
#include "core/state.h"
#include "data/class_folder.h"
#include "data/loaders.h"
#include "data/student_warnings.h"
#include "load_class.h"
#include "stats/quiz_design.h"

namespace qv::cli {

namespace {

struct CheckOptions {
    std::string data, concepts, items, classDir;
    bool strict = false;
};

// Loads the given files in the order concepts, items, data (the item-concept
// file needs the concept count) and reports what was found.
// The item-concept table's design warnings, once both its files are loaded.
std::vector<std::string> designWarnings(const ClassData& state) {
    std::vector<std::string> out;
    if (!state.conceptsLoaded || !state.itemConceptLoaded ||
        state.itemConcept.cols() != state.conceptCount)
        return out;
    std::vector<std::vector<int>> itemConcepts(static_cast<std::size_t>(state.itemConcept.rows()));
    for (int m = 0; m < state.itemConcept.rows(); ++m)
        for (int c = 0; c < state.conceptCount; ++c)
            if (state.itemConcept(m, c) != Currency{})
                itemConcepts[static_cast<std::size_t>(m)].push_back(c);
    for (const DesignWarning& w :
         quizDesignWarnings(itemConcepts, state.conceptCount, state.conceptNames))
        out.push_back(w.message);
    return out;
}

int runCheck(const CheckOptions& opt) {
    ClassPtr data = std::make_shared<const ClassData>();
    using Loader = Expected<void> (*)(ClassPtr&, const std::filesystem::path&);
    const std::pair<const std::string*, Loader> steps[] = {
        {&opt.concepts, loadConceptFile},
        {&opt.items, loadItemConceptFile},
    };
    for (const auto& [file, load] : steps) {
        if (file->empty()) continue;
        if (auto loaded = load(data, pathOf(*file)); !loaded) {
            std::cerr << loaded.error().message() << '\n';
            return kExitBadInput;
        }
    }
    std::vector<LineWarning> lineWarnings;
    if (!opt.data.empty()) {
        // The counts need no records: a class of any size is only checked.
        auto index = loadStudentFileIndexed(data, pathOf(opt.data), 1 << 30);
        if (!index) {
            std::cerr << index.error().message() << '\n';
            return kExitBadInput;
        }
        lineWarnings = studentLineWarnings(index->text);
    }
    const ClassData& state = *data;
    std::string out;
    if (state.dataLoaded) out += "學生數：" + std::to_string(state.studentCount) + "\n";
    if (state.dataLoaded || state.itemConceptLoaded)
        out += "題數：" + std::to_string(state.itemCount) + "\n";
    if (state.conceptsLoaded) out += "概念數：" + std::to_string(state.conceptCount) + "\n";
    // Advice on the quiz, part of the report: the files are read as meant.
    for (const std::string& warning : designWarnings(state))
        out += "題目設計警告：" + warning + "\n";
    const std::vector<std::string> warnings = loadWarnings(state);
    for (const std::string& warning : warnings)
        std::cerr << "警告：" << warning << '\n';
    for (const LineWarning& w : lineWarnings)
        std::cerr << "警告：學生資料檔「" << opt.data << "」第 " << w.line << " 行：" << w.text
                  << '\n';
    const int printed = printText(out);
    if (printed == kExitOk && opt.strict && !(warnings.empty() && lineWarnings.empty()))
        return kExitWarnings;
    return printed;
}

// --class in place of the three files; the message when the two are mixed or
// the folder lacks a file.
std::optional<std::string> takeClassFolder(CheckOptions& opt) {
    if (opt.classDir.empty()) {
        if (opt.data.empty() && opt.concepts.empty() && opt.items.empty())
            return "請至少指定一個檔案：--data、--concepts 或 --items，或以 --class 指定班級資料夾";
        return std::nullopt;
    }
    if (!opt.data.empty() || !opt.concepts.empty() || !opt.items.empty())
        return "錯誤：--class 不能與 --data、--concepts 或 --items 同時使用。";
    const std::filesystem::path dir = pathOf(opt.classDir);
    if (auto problem = classFolderProblem(dir)) return "錯誤：" + *problem + "。";
    const ClassFiles files = classFolderFiles(dir);
    opt.data = pathText(files.data);
    opt.concepts = pathText(files.concepts);
    opt.items = pathText(files.items);
    return std::nullopt;
}

}  // namespace

void addCheckCommand(CLI::App& app, int& status) {
    auto opt = std::make_shared<CheckOptions>();
    CLI::App* cmd = app.add_subcommand("check", "載入三個資料檔並報告學生數、題數與概念數");
    cmd->add_option("--class", opt->classDir,
                    "班級資料夾：其中的 students.txt、concepts.txt 與 item-concepts.txt");
    cmd->add_option("--data", opt->data, "學生資料檔");
    cmd->add_option("--concepts", opt->concepts, "概念註解檔");
    cmd->add_option("--items", opt->items, "題目所包含概念檔");
    cmd->add_flag("--strict", opt->strict, "有任何警告時以結束碼 1 結束");
    cmd->callback([opt, &status] {
        if (auto problem = takeClassFolder(*opt)) {
            std::cerr << *problem << '\n';
            status = kExitBadInput;
            return;
        }
        status = runCheck(*opt);
    });
}

}  // namespace qv::cli
