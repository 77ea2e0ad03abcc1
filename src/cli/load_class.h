#pragma once

#include <optional>
#include <string>

#include "core/state.h"

namespace qv::cli {

// Loads the three files of a class in the order the program needs them
// (concepts, item concepts, student data). On failure returns a message that
// names the file and the line.
std::optional<std::string> loadClassFiles(AppState& state, const std::string& concepts,
                                          const std::string& items, const std::string& data);

// Loads the built-in sample class.
std::optional<std::string> loadSampleClass(AppState& state);

}  // namespace qv::cli
