#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/expected.h"
#include "core/limits.h"
#include "core/state.h"

namespace qv {

// A concept-note file as read: the count of line 1 and one label per concept
// (empty for concepts the file does not reach).
struct ConceptNotes {
    std::int32_t count = 0;
    std::vector<std::string> names;
};

// Reads a concept-note file (either encoding, see parseStudentFile). Line 1
// holds the count; each further non-blank line is "number space label", in
// concept order. A label keeps the space that separates it from the number
// and loses the spaces, tabs and LFs at its end.
Expected<ConceptNotes> parseConceptFile(std::string_view bytes, std::string_view fileName);

// Replaces the concept count and labels; the item-concept matrix keeps its size.
void applyConceptNotes(ClassData& data, ConceptNotes&& notes);

}  // namespace qv
