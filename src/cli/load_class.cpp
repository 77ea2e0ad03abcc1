#include "load_class.h"

#include "data/loaders.h"
#include "samples/sample_class.h"

namespace qv::cli {

Expected<void> loadSampleClass(AppState& state) {
    return loadClass(state, ClassText{samples::conceptFile(), samples::itemConceptFile(),
                                      samples::studentFile(), samples::conceptFileName(),
                                      samples::itemConceptFileName(), samples::studentFileName()});
}

void addClassSourceOptions(CLI::App& cmd, ClassSource& source) {
    cmd.add_option("--data", source.data, "學生資料檔");
    cmd.add_option("--concepts", source.concepts, "概念註解檔");
    cmd.add_option("--items", source.items, "題目所包含概念檔");
    cmd.add_flag("--sample", source.sample, "使用內建的範例班級");
    cmd.add_option("--method", source.method, "Pathfinder 算則：triangle 或 path-search")
        ->check(CLI::IsMember({"triangle", "path-search"}))
        ->capture_default_str();
}

std::optional<std::string> classSourceProblem(const ClassSource& s) {
    const bool anyFile = !s.data.empty() || !s.concepts.empty() || !s.items.empty();
    if (s.sample && anyFile) return "錯誤：--sample 不能與 --data、--concepts、--items 同時使用。";
    if (!s.sample && (s.data.empty() || s.concepts.empty() || s.items.empty()))
        return "錯誤：請指定 --data、--concepts 與 --items 三個檔案，或使用 --sample。";
    return std::nullopt;
}

Expected<std::string> loadAndAnalyse(AppState& state, const ClassSource& s) {
    const auto loaded = s.sample ? loadSampleClass(state)
                                 : loadClass(state, ClassFiles{s.concepts, s.items, s.data});
    if (!loaded) return loaded.error();
    RunOptions options;
    options.method = s.runMethod();
    // Large classes stay small in memory; the writers derive a student's
    // matrices when they need them.
    options.keepStudentMatrices = false;
    auto result = runAnalysis(state, options);
    if (!result) return errorText("錯誤：" + result.error().message());
    return std::move(result).value();
}

}  // namespace qv::cli
