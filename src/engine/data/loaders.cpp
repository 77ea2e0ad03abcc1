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

namespace {

// Reads `fd` to its end, `size` bytes expected; one byte beyond the limit
// tells a file that grows while it is read, or a stream that is too long.
Bytes readAll(const std::filesystem::path& file, int fd, std::size_t size, const char* grew) {
    const std::string limit = std::to_string(kMaxInputBytes >> 20) + " MB";
    std::string bytes;
    // One byte more than the file's size shows at once whether it grew.
    bytes.resize(size + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() > static_cast<std::size_t>(kMaxInputBytes)) break;
            bytes.resize(
                std::min(bytes.size() * 2 + 4096, static_cast<std::size_t>(kMaxInputBytes) + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return readError(file, "無法讀取：" + systemReason(errno));
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > static_cast<std::size_t>(kMaxInputBytes))
        return readError(file, grew + limit + " 的上限");
    bytes.resize(got);
    return bytes;
}

}  // namespace

Bytes readFileBytes(const std::filesystem::path& file) {
    if (file == kStandardInput) return readAll(file, STDIN_FILENO, 0, "標準輸入超過 ");
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
    auto bytes = readAll(file, fd, static_cast<std::size_t>(st.st_size), "檔案在讀取時變大，超過 ");
    ::close(fd);
    return bytes;
}

namespace {

// Each file kind: how its text is parsed and how the result replaces the
// class's part. Parsing sees the class only to size the item-concept table.
struct StudentKind {
    static constexpr const char* kName = "學生資料檔";
    static auto parse(const ClassData&, std::string_view bytes, std::string_view name) {
        return parseStudentFile(bytes, name);
    }
    static void apply(ClassData& data, StudentData&& students) {
        applyStudentData(data, std::move(students));
    }
};
struct ConceptKind {
    static constexpr const char* kName = "概念註解檔";
    static auto parse(const ClassData&, std::string_view bytes, std::string_view name) {
        return parseConceptFile(bytes, name);
    }
    static void apply(ClassData& data, ConceptNotes&& notes) {
        applyConceptNotes(data, std::move(notes));
    }
};
struct ItemConceptKind {
    static constexpr const char* kName = "題目所包含概念檔";
    static auto parse(const ClassData& data, std::string_view bytes, std::string_view name) {
        return parseItemConceptFile(bytes, name, data.conceptCount, data.conceptsLoaded);
    }
    static void apply(ClassData& data, ItemConceptTable&& table) {
        applyItemConcept(data, std::move(table));
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

// The loads below work on a class not yet shared, and share it at the end.
template <typename Kind>
Expected<void> loadText(ClassData& next, std::string_view bytes, std::string_view name) {
    if (auto problem = detail::encodingProblem(bytes))
        return asKind<Kind>(Error{{}, 0, *problem}, name);
    auto parsed = Kind::parse(next, bytes, name);
    if (!parsed) return asKind<Kind>(parsed.error(), name);
    Kind::apply(next, std::move(parsed).value());
    return {};
}

template <typename Kind>
Expected<void> loadFile(ClassData& next, const std::filesystem::path& file) {
    const std::string shown = pathText(file);
    const auto bytes = readFileBytes(file);
    if (!bytes) return asKind<Kind>(bytes.error(), shown);
    return loadText<Kind>(next, *bytes, shown);
}

ClassData copyOf(const ClassPtr& current) {
    return current ? *current : ClassData{};
}

void share(ClassPtr& current, ClassData&& next) {
    current = std::make_shared<const ClassData>(std::move(next));
}

template <typename Kind>
Expected<void> replacePart(ClassPtr& current, const std::filesystem::path& file) {
    ClassData next = copyOf(current);
    if (auto r = loadFile<Kind>(next, file); !r) return r;
    share(current, std::move(next));
    return {};
}

Expected<StudentFileIndex> indexStudentText(ClassData& next, std::string bytes,
                                            std::string_view name, std::size_t blockSize) {
    if (auto problem = detail::encodingProblem(bytes))
        return asKind<StudentKind>(Error{{}, 0, *problem}, name);
    auto index = indexStudentFile(std::move(bytes), name, blockSize);
    if (!index) return asKind<StudentKind>(index.error(), name);
    applyStudentIndex(next, *index);
    return index;
}

Expected<StudentFileIndex> indexStudentFileAt(ClassData& next, const std::filesystem::path& file,
                                              std::size_t blockSize) {
    const std::string shown = pathText(file);
    auto bytes = readFileBytes(file);
    if (!bytes) return asKind<StudentKind>(bytes.error(), shown);
    return indexStudentText(next, std::move(bytes).value(), shown, blockSize);
}

// Shares `next` as the current class once the index has been made.
Expected<StudentFileIndex> shareIndexed(ClassPtr& current, ClassData&& next,
                                        Expected<StudentFileIndex>&& index) {
    if (index) share(current, std::move(next));
    return std::move(index);
}

}  // namespace

Expected<StudentFileIndex> loadStudentFileIndexed(ClassPtr& current,
                                                  const std::filesystem::path& file,
                                                  std::size_t blockSize) {
    ClassData next = copyOf(current);
    auto index = indexStudentFileAt(next, file, blockSize);
    return shareIndexed(current, std::move(next), std::move(index));
}

Expected<StudentFileIndex> loadClassIndexed(ClassPtr& current, const ClassFiles& files,
                                            std::size_t blockSize) {
    ClassData next;
    if (auto r = loadFile<ConceptKind>(next, files.concepts); !r) return r.error();
    if (auto r = loadFile<ItemConceptKind>(next, files.items); !r) return r.error();
    auto index = indexStudentFileAt(next, files.data, blockSize);
    return shareIndexed(current, std::move(next), std::move(index));
}

Expected<StudentFileIndex> loadClassIndexed(ClassPtr& current, const ClassText& text,
                                            std::size_t blockSize) {
    ClassData next;
    if (auto r = loadText<ConceptKind>(next, text.concepts, text.conceptsName); !r)
        return r.error();
    if (auto r = loadText<ItemConceptKind>(next, text.items, text.itemsName); !r) return r.error();
    auto index = indexStudentText(next, std::string(text.data), text.dataName, blockSize);
    return shareIndexed(current, std::move(next), std::move(index));
}

Expected<void> loadStudentFile(ClassPtr& current, const std::filesystem::path& file) {
    return replacePart<StudentKind>(current, file);
}

Expected<void> loadConceptFile(ClassPtr& current, const std::filesystem::path& file) {
    return replacePart<ConceptKind>(current, file);
}

Expected<void> loadItemConceptFile(ClassPtr& current, const std::filesystem::path& file) {
    return replacePart<ItemConceptKind>(current, file);
}

Expected<ClassData> readClass(const ClassFiles& files) {
    ClassData next;
    if (auto r = loadFile<ConceptKind>(next, files.concepts); !r) return r.error();
    if (auto r = loadFile<ItemConceptKind>(next, files.items); !r) return r.error();
    if (auto r = loadFile<StudentKind>(next, files.data); !r) return r.error();
    return next;
}

Expected<ClassData> readClass(const ClassText& text) {
    ClassData next;
    if (auto r = loadText<ConceptKind>(next, text.concepts, text.conceptsName); !r)
        return r.error();
    if (auto r = loadText<ItemConceptKind>(next, text.items, text.itemsName); !r) return r.error();
    if (auto r = loadText<StudentKind>(next, text.data, text.dataName); !r) return r.error();
    return next;
}

Expected<void> loadClass(ClassPtr& current, const ClassFiles& files) {
    auto next = readClass(files);
    if (!next) return next.error();
    share(current, std::move(next).value());
    return {};
}

Expected<void> loadClass(ClassPtr& current, const ClassText& text) {
    auto next = readClass(text);
    if (!next) return next.error();
    share(current, std::move(next).value());
    return {};
}

std::vector<std::string> loadWarnings(const ClassData& data) {
    std::vector<std::string> warnings;
    const auto keyItems = static_cast<std::int64_t>(data.answerKey.size());
    if (data.dataLoaded && data.itemConceptLoaded && keyItems != data.itemConcept.rows()) {
        warnings.push_back("資料檔的標準答案有 " + std::to_string(keyItems) +
                           " 題，題目所包含概念檔卻有 " + std::to_string(data.itemConcept.rows()) +
                           " 題：兩個檔案的題數必須相同（目前以最後載入的檔案為準，共 " +
                           std::to_string(data.itemCount) + " 題）");
    }
    if (data.conceptsLoaded && data.itemConceptLoaded &&
        data.itemConcept.cols() != data.conceptCount) {
        warnings.push_back("題目所包含概念檔是依 " + std::to_string(data.itemConcept.cols()) +
                           " 個概念載入的，概念註解檔現在卻有 " +
                           std::to_string(data.conceptCount) +
                           " 個概念：請重新載入題目所包含概念檔");
    }
    return warnings;
}

}  // namespace qv
