#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/expected.h"
#include "core/state.h"
#include "data/student_file.h"

namespace qv {

// Load a data file: read it whole, decode, parse, and only then replace
// `current` with a new class, `current` with that file's part replaced. On
// any error `current` stays as it was. A null `current` stands for a class
// with nothing loaded.
Expected<void> loadStudentFile(ClassPtr& current, const std::filesystem::path& file);
Expected<void> loadConceptFile(ClassPtr& current, const std::filesystem::path& file);
Expected<void> loadItemConceptFile(ClassPtr& current, const std::filesystem::path& file);

// A class's three files, on disk or as bytes with the names messages show.
struct ClassFiles {
    std::filesystem::path concepts, items, data;
};
struct ClassText {
    std::string_view concepts, items, data;
    std::string_view conceptsName = "concepts.txt", itemsName = "items.txt", dataName = "data.txt";
};

// Loads a class in the only order that works: the item-concept table is sized
// by the concept count in force, so the concept-note file comes first. Stops
// at the first refused file; `current` is replaced only once all three have
// loaded, so a refusal leaves the class before it whole.
Expected<void> loadClass(ClassPtr& current, const ClassFiles& files);
Expected<void> loadClass(ClassPtr& current, const ClassText& text);
// The class loadClass shares, not yet shared.
Expected<ClassData> readClass(const ClassFiles& files);
Expected<ClassData> readClass(const ClassText& text);

// loadClass for reading the students a block at a time: the student data file
// is checked whole and indexed, the class gets its counts and key but no
// students. Refusals and their messages are those of loadClass.
Expected<StudentFileIndex> loadClassIndexed(ClassPtr& current, const ClassFiles& files,
                                            std::size_t blockSize);
Expected<StudentFileIndex> loadClassIndexed(ClassPtr& current, const ClassText& text,
                                            std::size_t blockSize);
// The same for the student data file alone.
Expected<StudentFileIndex> loadStudentFileIndexed(ClassPtr& current,
                                                  const std::filesystem::path& file,
                                                  std::size_t blockSize);

// The path that stands for standard input: its bytes are read to the end,
// within the same size limit as a file's.
inline const std::filesystem::path kStandardInput = "-";

// The raw bytes of a file; the error tells a missing file from an unreadable
// one. kStandardInput reads standard input.
Expected<std::string> readFileBytes(const std::filesystem::path& file);

// A path as UTF-8 text, as messages show it.
std::string pathText(const std::filesystem::path& file);

// A file's name as messages show it (the base name, UTF-8).
std::string displayName(const std::filesystem::path& file);

// What the loaded files disagree on (item counts of the student data file and
// the item-concept file; a concept count changed after the item-concept file
// was read), one message each; empty when they agree.
std::vector<std::string> loadWarnings(const ClassData& data);

}  // namespace qv
