#pragma once

#include <cstdint>
#include <string_view>

#include "core/error.h"
#include "core/expected.h"
#include "core/limits.h"
#include "core/state.h"

namespace qv {

// An item-concept file as read: the item count of line 1 and the
// item x concept matrix (1 where the item involves the concept).
struct ItemConceptTable {
    std::int32_t itemCount = 0;
    ItemMatrix matrix;
};

// Reads an item-concept file (either encoding, see parseStudentFile). Line 1
// holds the item count; line r + 1 is item r: "number space c1,c2,...," where
// each concept number is followed by a comma and lies in 1..conceptCount.
// Text after the last comma is ignored; a blank line is an item without
// concepts. The file is refused while no concept-note file is loaded.
Expected<ItemConceptTable> parseItemConceptFile(std::string_view bytes, std::string_view fileName,
                                                std::int32_t conceptCount, bool conceptsLoaded);

// Replaces the item count and the item-concept matrix.
void applyItemConcept(ClassData& data, ItemConceptTable&& table);

}  // namespace qv
