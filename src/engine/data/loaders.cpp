#include "data/loaders.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "data/concept_file.h"
#include "data/item_concept_file.h"
#include "data/student_file.h"

namespace qv {

namespace {

using Bytes = Expected<std::string, LoadError>;

Bytes readFailure(const std::filesystem::path& file) {
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    std::string what = "無法讀取檔案";
    if (status.type() == std::filesystem::file_type::not_found) {
        what = "找不到檔案";
    } else if (status.type() == std::filesystem::file_type::directory) {
        what = "無法讀取檔案：這是一個資料夾";
    }
    return Bytes::failure(LoadError{displayName(file), 0, what});
}

}  // namespace

std::string displayName(const std::filesystem::path& file) {
    const std::u8string name = file.filename().u8string();
    return std::string(name.begin(), name.end());
}

Bytes readFileBytes(const std::filesystem::path& file) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec)) return readFailure(file);
    std::ifstream in(file, std::ios::binary);
    if (!in) return readFailure(file);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return readFailure(file);
    return bytes;
}

std::optional<LoadError> loadStudentFile(AppState& state, const std::filesystem::path& file) {
    auto bytes = readFileBytes(file);
    if (!bytes) return bytes.error();
    auto data = parseStudentFile(*bytes, displayName(file));
    if (!data) return data.error();
    applyStudentData(state, std::move(data).value());
    return std::nullopt;
}

std::optional<LoadError> loadConceptFile(AppState& state, const std::filesystem::path& file) {
    auto bytes = readFileBytes(file);
    if (!bytes) return bytes.error();
    auto notes = parseConceptFile(*bytes, displayName(file));
    if (!notes) return notes.error();
    applyConceptNotes(state, std::move(notes).value());
    return std::nullopt;
}

std::optional<LoadError> loadItemConceptFile(AppState& state, const std::filesystem::path& file) {
    auto bytes = readFileBytes(file);
    if (!bytes) return bytes.error();
    auto table =
        parseItemConceptFile(*bytes, displayName(file), state.conceptCount, state.conceptsLoaded);
    if (!table) return table.error();
    applyItemConcept(state, std::move(table).value());
    return std::nullopt;
}

std::vector<std::string> loadWarnings(const AppState& state) {
    std::vector<std::string> warnings;
    const auto keyItems = static_cast<std::int64_t>(state.answerKey.size());
    if (state.dataLoaded && state.itemConceptLoaded && keyItems != state.itemConcept.rows()) {
        warnings.push_back("資料檔的標準答案有 " + std::to_string(keyItems) +
                           " 題，題目所包含概念檔卻有 " + std::to_string(state.itemConcept.rows()) +
                           " 題：兩個檔案的題數必須相同（目前以最後載入的檔案為準，共 " +
                           std::to_string(state.itemCount) + " 題）");
    }
    if (state.conceptsLoaded && state.itemConceptLoaded &&
        state.itemConcept.cols() != state.conceptCount) {
        warnings.push_back("題目所包含概念檔是依 " + std::to_string(state.itemConcept.cols()) +
                           " 個概念載入的，概念註解檔現在卻有 " +
                           std::to_string(state.conceptCount) +
                           " 個概念：請重新載入題目所包含概念檔");
    }
    return warnings;
}

}  // namespace qv
