#pragma once

#include <filesystem>

#include "class_files.h"
#include "samples/sample_class.h"

namespace qv::test {

// A file of the sample class as shipped, in its data folder.
inline std::filesystem::path shippedSample(const char* folder) {
    return std::filesystem::path(QV_SAMPLES_DIR) / folder / samples::studentFileName();
}

// The sample class loaded from the shipped files; true when all three were taken.
inline bool loadShippedSample(ClassPtr& data) {
    return load(data, DataFile::Concepts, shippedSample("ConceptNote")).empty() &&
           load(data, DataFile::Items, shippedSample("ItemConcept")).empty() &&
           load(data, DataFile::Students, shippedSample("Data")).empty();
}

}  // namespace qv::test
