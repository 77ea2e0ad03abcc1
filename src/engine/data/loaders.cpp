#include "data/loaders.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "data/concept_file.h"
#include "data/item_concept_file.h"
#include "data/student_file.h"

namespace qv {

namespace {

using Bytes = Expected<std::string>;

Bytes readFailure(const std::filesystem::path& file) {
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    std::string what = "無法讀取檔案";
    if (status.type() == std::filesystem::file_type::not_found) {
        what = "找不到檔案";
    } else if (status.type() == std::filesystem::file_type::directory) {
        what = "無法讀取檔案：這是一個資料夾";
    }
    return Bytes::failure(Error{displayName(file), 0, what});
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

namespace {

// Each file kind: how its text is parsed and how the result replaces the
// state's part. Parsing sees the state only to size the item-concept table.
struct StudentKind {
    static auto parse(const AppState&, std::string_view bytes, std::string_view name) {
        return parseStudentFile(bytes, name);
    }
    static void apply(AppState& state, StudentData&& data) {
        applyStudentData(state, std::move(data));
    }
};
struct ConceptKind {
    static auto parse(const AppState&, std::string_view bytes, std::string_view name) {
        return parseConceptFile(bytes, name);
    }
    static void apply(AppState& state, ConceptNotes&& notes) {
        applyConceptNotes(state, std::move(notes));
    }
};
struct ItemConceptKind {
    static auto parse(const AppState& state, std::string_view bytes, std::string_view name) {
        return parseItemConceptFile(bytes, name, state.conceptCount, state.conceptsLoaded);
    }
    static void apply(AppState& state, ItemConceptTable&& table) {
        applyItemConcept(state, std::move(table));
    }
};

template <typename Kind>
Expected<void> loadText(AppState& state, std::string_view bytes, std::string_view name) {
    auto parsed = Kind::parse(state, bytes, name);
    if (!parsed) return parsed.error();
    Kind::apply(state, std::move(parsed).value());
    return {};
}

template <typename Kind>
Expected<void> loadFile(AppState& state, const std::filesystem::path& file) {
    const auto bytes = readFileBytes(file);
    if (!bytes) return bytes.error();
    return loadText<Kind>(state, *bytes, displayName(file));
}

}  // namespace

Expected<void> loadStudentFile(AppState& state, const std::filesystem::path& file) {
    return loadFile<StudentKind>(state, file);
}

Expected<void> loadConceptFile(AppState& state, const std::filesystem::path& file) {
    return loadFile<ConceptKind>(state, file);
}

Expected<void> loadItemConceptFile(AppState& state, const std::filesystem::path& file) {
    return loadFile<ItemConceptKind>(state, file);
}

Expected<void> loadClass(AppState& state, const ClassFiles& files) {
    if (auto r = loadFile<ConceptKind>(state, files.concepts); !r) return r;
    if (auto r = loadFile<ItemConceptKind>(state, files.items); !r) return r;
    return loadFile<StudentKind>(state, files.data);
}

Expected<void> loadClass(AppState& state, const ClassText& text) {
    if (auto r = loadText<ConceptKind>(state, text.concepts, text.conceptsName); !r) return r;
    if (auto r = loadText<ItemConceptKind>(state, text.items, text.itemsName); !r) return r;
    return loadText<StudentKind>(state, text.data, text.dataName);
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
