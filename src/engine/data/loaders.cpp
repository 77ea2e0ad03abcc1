#include "data/loaders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/limits.h"

#include "data/concept_file.h"
#include "data/item_concept_file.h"
#include "data/parse_common.h"
#include "data/safe_file.h"
#include "data/student_file.h"

namespace qv {

namespace {

using Bytes = Expected<std::string>;

Error readError(const std::filesystem::path& file, std::string what) {
    return Error{displayName(file), 0, std::move(what)};
}

}  // namespace

std::string pathText(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return std::string(text.begin(), text.end());
}

std::string displayName(const std::filesystem::path& file) {
    return pathText(file.filename());
}

Bytes readFileBytes(const std::filesystem::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return readError(file, errno == ENOENT ? "檔案不存在" : "無法讀取：" + systemReason(errno));
    if (S_ISDIR(st.st_mode)) return readError(file, "這是一個資料夾，不是檔案");
    // Devices and pipes could feed bytes without end.
    if (!S_ISREG(st.st_mode)) return readError(file, "這不是一般的檔案");
    const std::string limit = std::to_string(kMaxInputBytes >> 20) + " MB";
    if (st.st_size > kMaxInputBytes) return readError(file, "檔案超過 " + limit + " 的上限");
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return readError(file,
                         errno == EACCES ? "沒有讀取權限" : "無法開啟：" + systemReason(errno));
    std::string bytes;
    // One byte more than the file's size shows at once whether it grew.
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t got = 0;
    for (;;) {
        // One byte beyond the limit tells a file that grows while it is read.
        if (got == bytes.size()) {
            if (bytes.size() > static_cast<std::size_t>(kMaxInputBytes)) break;
            bytes.resize(
                std::min(bytes.size() * 2 + 4096, static_cast<std::size_t>(kMaxInputBytes) + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int errnum = errno;
            ::close(fd);
            return readError(file, "無法讀取：" + systemReason(errnum));
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (got > static_cast<std::size_t>(kMaxInputBytes))
        return readError(file, "檔案在讀取時變大，超過 " + limit + " 的上限");
    bytes.resize(got);
    return bytes;
}

namespace {

// Each file kind: how its text is parsed and how the result replaces the
// state's part. Parsing sees the state only to size the item-concept table.
struct StudentKind {
    static constexpr const char* kName = "學生資料檔";
    static auto parse(const AppState&, std::string_view bytes, std::string_view name) {
        return parseStudentFile(bytes, name);
    }
    static void apply(AppState& state, StudentData&& data) {
        applyStudentData(state, std::move(data));
    }
};
struct ConceptKind {
    static constexpr const char* kName = "概念註解檔";
    static auto parse(const AppState&, std::string_view bytes, std::string_view name) {
        return parseConceptFile(bytes, name);
    }
    static void apply(AppState& state, ConceptNotes&& notes) {
        applyConceptNotes(state, std::move(notes));
    }
};
struct ItemConceptKind {
    static constexpr const char* kName = "題目所包含概念檔";
    static auto parse(const AppState& state, std::string_view bytes, std::string_view name) {
        return parseItemConceptFile(bytes, name, state.conceptCount, state.conceptsLoaded);
    }
    static void apply(AppState& state, ItemConceptTable&& table) {
        applyItemConcept(state, std::move(table));
    }
};

// Messages say which of the three files is at fault, by its role and its
// path: one class often uses one file name in all three folders.
template <typename Kind>
Error asKind(Error e, std::string_view path) {
    e.kind = Kind::kName;
    e.file = std::string(path);
    return e;
}

template <typename Kind>
Expected<void> loadText(AppState& state, std::string_view bytes, std::string_view name) {
    if (auto problem = detail::encodingProblem(bytes))
        return asKind<Kind>(Error{{}, 0, *problem}, name);
    auto parsed = Kind::parse(state, bytes, name);
    if (!parsed) return asKind<Kind>(parsed.error(), name);
    Kind::apply(state, std::move(parsed).value());
    return {};
}

template <typename Kind>
Expected<void> loadFile(AppState& state, const std::filesystem::path& file) {
    const std::string shown = pathText(file);
    const auto bytes = readFileBytes(file);
    if (!bytes) return asKind<Kind>(bytes.error(), shown);
    return loadText<Kind>(state, *bytes, shown);
}

Expected<StudentFileIndex> indexStudentText(AppState& state, std::string bytes,
                                            std::string_view name, std::size_t blockSize) {
    if (auto problem = detail::encodingProblem(bytes))
        return asKind<StudentKind>(Error{{}, 0, *problem}, name);
    auto index = indexStudentFile(std::move(bytes), name, blockSize);
    if (!index) return asKind<StudentKind>(index.error(), name);
    applyStudentIndex(state, *index);
    return index;
}

}  // namespace

Expected<StudentFileIndex> loadStudentFileIndexed(AppState& state,
                                                  const std::filesystem::path& file,
                                                  std::size_t blockSize) {
    const std::string shown = pathText(file);
    auto bytes = readFileBytes(file);
    if (!bytes) return asKind<StudentKind>(bytes.error(), shown);
    return indexStudentText(state, std::move(bytes).value(), shown, blockSize);
}

Expected<StudentFileIndex> loadClassIndexed(AppState& state, const ClassFiles& files,
                                            std::size_t blockSize) {
    if (auto r = loadFile<ConceptKind>(state, files.concepts); !r) return r.error();
    if (auto r = loadFile<ItemConceptKind>(state, files.items); !r) return r.error();
    return loadStudentFileIndexed(state, files.data, blockSize);
}

Expected<StudentFileIndex> loadClassIndexed(AppState& state, const ClassText& text,
                                            std::size_t blockSize) {
    if (auto r = loadText<ConceptKind>(state, text.concepts, text.conceptsName); !r)
        return r.error();
    if (auto r = loadText<ItemConceptKind>(state, text.items, text.itemsName); !r) return r.error();
    return indexStudentText(state, std::string(text.data), text.dataName, blockSize);
}

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
