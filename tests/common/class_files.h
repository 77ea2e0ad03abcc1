#pragma once

// Data files written to a folder of their own and loaded as the open
// commands load them.

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

#include "core/state.h"
#include "data/loaders.h"

namespace qv::test {

enum class DataFile { Concepts, Items, Students };

// Loads one file into the class: the refusal as the user reads it, or ""
// when the file was taken.
inline std::string load(ClassPtr& data, DataFile kind, const std::filesystem::path& file) {
    const auto loaded = kind == DataFile::Concepts ? loadConceptFile(data, file)
                        : kind == DataFile::Items  ? loadItemConceptFile(data, file)
                                                   : loadStudentFile(data, file);
    return loaded ? std::string() : loaded.error().message();
}

// A folder under the temporary folder, removed at the end.
class TempDir {
  public:
    TempDir() {
        static std::atomic<int> counter{0};
        path_ =
            std::filesystem::temp_directory_path() /
            ("qv-test-" + std::to_string(std::random_device{}()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::filesystem::path write(const std::string& name, std::string_view bytes) const {
        const auto file = path_ / name;
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A class and a folder for the files loaded into it.
struct ClassFiles {
    TempDir dir;
    ClassPtr data = std::make_shared<const ClassData>();

    std::string load(DataFile kind, std::string_view bytes, const std::string& name = "a.txt") {
        return test::load(data, kind, dir.write(name, bytes));
    }
    const ClassData& state() const { return *data; }
    // Loads the files of a class in the usual order; true when all three were taken.
    bool loadClass(std::string_view concepts, std::string_view items, std::string_view students) {
        return load(DataFile::Concepts, concepts, "c.txt").empty() &&
               load(DataFile::Items, items, "i.txt").empty() &&
               load(DataFile::Students, students, "d.txt").empty();
    }
};

}  // namespace qv::test
