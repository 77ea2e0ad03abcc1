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

}  // namespace qv::cli
