#pragma once

#include <unicode/ucnv.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "core/state.h"
#include "core/utf8.h"

namespace qv::test {

// Code page 950 bytes of a UTF-8 text, made by ICU independently of the codec
// under test.
inline std::string toBig5(std::string_view utf8) {
    std::string out(utf8.size() * 2 + 16, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t n =
        ucnv_convert("windows-950", "UTF-8", out.data(), static_cast<int32_t>(out.size()),
                     utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(n) : 0);
    return out;
}

// A folder of its own under the temporary folder, removed at the end.
class TempDir {
  public:
    TempDir() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("qv-data-test-" + std::to_string(std::random_device{}()) + "-" +
                 std::to_string(++counter));
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

// Everything the loaders may change, as one comparable text.
inline std::string snapshot(const AppState& s) {
    std::ostringstream out;
    out << s.studentCount << '|' << s.itemCount << '|' << s.conceptCount << '|' << s.dataLoaded
        << s.conceptsLoaded << s.itemConceptLoaded << s.hasResults << '|' << toUtf8(s.answerKey)
        << '|' << s.itemConcept.rows() << 'x' << s.itemConcept.cols();
    for (int r = 0; r < s.itemConcept.rows(); ++r)
        for (int c = 0; c < s.itemConcept.cols(); ++c)
            out << (s.itemConcept(r, c) == Currency{});
    for (const auto& name : s.conceptNames)
        out << '|' << name;
    for (const auto& st : s.students) {
        out << '|' << st.id << ':' << st.score << ':';
        for (char32_t a : st.answers)
            out << static_cast<std::uint32_t>(a) << ' ';
        for (auto w : st.wrongItems)
            out << ',' << w;
        for (auto word : st.correct)
            out << '/' << word;
    }
    return out.str();
}

}  // namespace qv::test
