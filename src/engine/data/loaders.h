#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/expected.h"
#include "core/state.h"
#include "data/load_error.h"

namespace qv {

// Load a data file into the state: read it whole, decode, parse, and only then
// replace the state's part. On any error nothing in the state changes.
std::optional<LoadError> loadStudentFile(AppState& state, const std::filesystem::path& file);
std::optional<LoadError> loadConceptFile(AppState& state, const std::filesystem::path& file);
std::optional<LoadError> loadItemConceptFile(AppState& state, const std::filesystem::path& file);

// The raw bytes of a file; the error tells a missing file from an unreadable one.
Expected<std::string, LoadError> readFileBytes(const std::filesystem::path& file);

// A file's name as messages show it (the base name, UTF-8).
std::string displayName(const std::filesystem::path& file);

// What the loaded files disagree on (item counts of the student data file and
// the item-concept file; a concept count changed after the item-concept file
// was read), one message each; empty when they agree.
std::vector<std::string> loadWarnings(const AppState& state);

}  // namespace qv
