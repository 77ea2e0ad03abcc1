#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "data/loaders.h"

namespace qv {

// A class folder holds the three files under these names (the names that
// `generate` writes).
inline constexpr const char* kClassStudentsName = "students.txt";
inline constexpr const char* kClassConceptsName = "concepts.txt";
inline constexpr const char* kClassItemsName = "item-concepts.txt";

// The three files of a class folder.
ClassFiles classFolderFiles(const std::filesystem::path& dir);

// Why `dir` cannot be opened as a class folder: it is missing, is not a
// folder, or lacks some of the three files (each named); nothing when all
// three are there. Whether they load is the loaders' question.
std::optional<std::string> classFolderProblem(const std::filesystem::path& dir);

// The folder's own name, however the path ends ("七年一班/" is 七年一班): how a
// comparison names a class.
std::string classFolderName(const std::filesystem::path& dir);

}  // namespace qv
