#include "load_class.h"

#include "data/concept_file.h"
#include "data/item_concept_file.h"
#include "data/loaders.h"
#include "data/student_file.h"
#include "samples/sample_class.h"

namespace qv::cli {

std::optional<std::string> loadClassFiles(AppState& state, const std::string& concepts,
                                          const std::string& items, const std::string& data) {
    // The item-concept matrix is sized by the concept count in force, so the
    // concept-note file comes first.
    if (auto e = loadConceptFile(state, concepts)) return e->message();
    if (auto e = loadItemConceptFile(state, items)) return e->message();
    if (auto e = loadStudentFile(state, data)) return e->message();
    return std::nullopt;
}

std::optional<std::string> loadSampleClass(AppState& state) {
    auto notes = parseConceptFile(samples::conceptFile(), samples::conceptFileName());
    if (!notes) return notes.error().message();
    applyConceptNotes(state, std::move(notes).value());
    auto table = parseItemConceptFile(samples::itemConceptFile(), samples::itemConceptFileName(),
                                      state.conceptCount, state.conceptsLoaded);
    if (!table) return table.error().message();
    applyItemConcept(state, std::move(table).value());
    auto data = parseStudentFile(samples::studentFile(), samples::studentFileName());
    if (!data) return data.error().message();
    applyStudentData(state, std::move(data).value());
    return std::nullopt;
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

Expected<std::string, std::string> loadAndAnalyse(AppState& state, const ClassSource& s) {
    using R = Expected<std::string, std::string>;
    const auto loadError =
        s.sample ? loadSampleClass(state) : loadClassFiles(state, s.concepts, s.items, s.data);
    if (loadError) return R::failure(*loadError);
    RunOptions options;
    options.method = s.runMethod();
    // Large classes stay small in memory; the writers derive a student's
    // matrices when they need them.
    options.keepStudentMatrices = false;
    auto result = runAnalysis(state, options);
    if (!result) return R::failure("錯誤：" + result.error());
    return std::move(result).value();
}

}  // namespace qv::cli
