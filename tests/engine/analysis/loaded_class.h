#pragma once

#include <string_view>

#include "core/state.h"
#include "data/concept_file.h"
#include "data/item_concept_file.h"
#include "data/student_file.h"

namespace qv::test {

// A class read from the three files' bytes by the program's own readers.
inline AppState loadClass(std::string_view concepts, std::string_view items,
                          std::string_view data) {
    AppState s;
    auto notes = parseConceptFile(concepts, "concepts.txt");
    if (notes) applyConceptNotes(s, std::move(notes).value());
    auto table = parseItemConceptFile(items, "items.txt", s.conceptCount, s.conceptsLoaded);
    if (table) applyItemConcept(s, std::move(table).value());
    auto students = parseStudentFile(data, "data.txt");
    if (students) applyStudentData(s, std::move(students).value());
    return s;
}

}  // namespace qv::test
