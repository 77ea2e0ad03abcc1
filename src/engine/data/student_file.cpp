#include "data/student_file.h"

#include <algorithm>
#include <limits>
#include <span>

#include "data/lines.h"
#include "data/parse_common.h"
#include "data/text_codec.h"

namespace qv {

namespace {

using detail::nextCodePoint;

// Answers start after the ID's space, one character each, with one separator
// character skipped after every fifth; a short line leaves kNoAnswer. Each
// answer is scored as it is read: its bit in `correct`, the score, or the
// wrong-item list.
void readAnswers(std::string_view line, std::size_t start, const std::u32string& key,
                 Student& record) {
    const std::size_t items = key.size();
    record.answers.clear();
    record.correct.assign((items + 63) / 64, 0);
    record.score = 0;
    std::size_t i = start;
    // Items the line does not reach are wrong: their bits stay clear.
    for (std::size_t m = 0; m < items && i < line.size(); ++m) {
        const std::size_t from = i;
        const char32_t answer = nextCodePoint(line, i);
        record.answers.append(line.substr(from, i - from));
        if (answer == key[m]) {
            record.correct[m / 64] |= std::uint64_t{1} << (m % 64);
            ++record.score;
        }
        if ((m + 1) % 5 == 0 && i < line.size()) nextCodePoint(line, i);
    }
}

// Where the ID ends in a student line, after the checks every line must pass.
Expected<std::size_t> studentSpace(std::string_view line) {
    if (auto problem = detail::loneLfProblem(line)) return errorText(*problem);
    line = withoutTrailingLf(line);
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos)
        return errorText("這一行的學生資料沒有空白，無法分出學號與答案");
    if (space == 0) return errorText("這一行以空白開頭，沒有學號：學號必須寫在行首");
    return space;
}

void readStudent(std::string_view line, std::size_t space, const std::u32string& key,
                 Student& record) {
    line = withoutTrailingLf(line);
    record.id.assign(line.substr(0, space));
    readAnswers(line, space + 1, key, record);
}

class StudentReader {
  public:
    explicit StudentReader(std::string_view fileName) : fileName_(fileName) {}

    // Checks every line; `index.text` holds the decoded file.
    Expected<void> check(StudentFileIndex& index) {
        const std::string_view text = index.text;
        std::size_t pos = 0;
        std::string_view head[3];
        std::size_t count = 0;
        while (count < 3 && nextLineView(text, pos, head[count]))
            ++count;
        if (count < 3) return fail(0, tooShort(count, text));
        for (int n = 0; n < 3; ++n) {
            if (auto problem = detail::loneLfProblem(head[n])) return fail(n + 1, *problem);
        }
        index.missingCode = withoutTrailingLf(head[0]);
        index.errorCode = withoutTrailingLf(head[1]);
        if (auto error = readKey(head[2], index.answerKey)) return fail(3, *error);
        std::size_t lineNo = 3;
        std::string_view line;
        for (std::size_t start = pos; nextLineView(text, pos, line); start = pos) {
            ++lineNo;
            if (lineNo - 3 > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
                return fail(0, "學生行數超過系統能處理的數量");
            if (isBlankLine(line)) continue;
            if (auto space = studentSpace(line); !space)
                return fail(static_cast<int>(lineNo), space.error().what);
            if (index.studentCount % index.blockSize == 0) index.blockStarts.push_back(start);
            ++index.studentCount;
        }
        return {};
    }

  private:
    static std::string tooShort(std::size_t count, std::string_view text) {
        std::string what =
            count == 0 ? std::string("檔案是空的") : "檔案只有 " + std::to_string(count) + " 行";
        what += "，資料檔至少要有三行：遺失資料代碼、錯誤資料代碼與標準答案";
        if (detail::hasLfWithoutCr(text)) what += std::string("。") + detail::kCrLfNote;
        return what;
    }

    static std::optional<std::string> readKey(std::string_view line, std::u32string& key) {
        line = withoutTrailingLf(line);
        if (isBlankLine(line)) return "標準答案是空的：第 3 行必須是每題一個字元的標準答案";
        key.reserve(line.size());
        for (std::size_t i = 0; i < line.size();)
            key.push_back(nextCodePoint(line, i));
        if (key.size() > static_cast<std::size_t>(kMaxItems)) {
            return "標準答案有 " + std::to_string(key.size()) + " 題，超過系統的上限 " +
                   std::to_string(kMaxItems) + " 題";
        }
        return std::nullopt;
    }

    Expected<void> fail(int line, std::string what) const {
        return Error{std::string(fileName_), line, std::move(what)};
    }

    std::string_view fileName_;
};

}  // namespace

Expected<StudentFileIndex> indexStudentFile(std::string bytes, std::string_view fileName,
                                            std::size_t blockSize) {
    StudentFileIndex index;
    index.text = decodeOwnedText(std::move(bytes));
    index.blockSize = std::max<std::size_t>(blockSize, 1);
    if (auto checked = StudentReader(fileName).check(index); !checked) return checked.error();
    return index;
}

namespace {

template <typename Record>
void readBlockInto(const StudentFileIndex& index, std::size_t block, std::span<Record> records) {
    const std::string_view text = index.text;
    std::size_t pos = index.blockStarts[block];
    std::string_view line;
    for (Student& record : records) {
        do {
            nextLineView(text, pos, line);
        } while (isBlankLine(line));
        // The index checked the line, so it has its space.
        readStudent(line, line.find(' '), index.answerKey, record);
    }
}

std::size_t blockLength(const StudentFileIndex& index, std::size_t block) {
    return std::min(index.blockSize, index.studentCount - block * index.blockSize);
}

}  // namespace

void readStudentBlock(const StudentFileIndex& index, std::size_t block,
                      std::vector<StudentRecord>& records) {
    records.resize(blockLength(index, block));
    readBlockInto(index, block, std::span(records));
}

void joinStudentBlocks(StudentFileIndex& index, std::size_t factor) {
    if (factor <= 1) return;
    std::size_t kept = 0;
    for (std::size_t b = 0; b < index.blockStarts.size(); b += factor)
        index.blockStarts[kept++] = index.blockStarts[b];
    index.blockStarts.resize(kept);
    index.blockSize *= factor;
}

void applyStudentIndex(ClassData& data, const StudentFileIndex& index) {
    data.studentCount = static_cast<std::int32_t>(index.studentCount);
    data.itemCount = static_cast<std::int32_t>(index.answerKey.size());
    data.answerKey = index.answerKey;
    data.students.clear();
    data.dataLoaded = true;
}

Expected<StudentData> parseStudentFile(std::string_view bytes, std::string_view fileName) {
    auto index = indexStudentFile(std::string(bytes), fileName, 1024);
    if (!index) return index.error();
    StudentData data;
    data.missingCode = std::move(index->missingCode);
    data.errorCode = std::move(index->errorCode);
    data.students.resize(index->studentCount);
    const std::span<Student> all(data.students);
    for (std::size_t b = 0; b < index->blockCount(); ++b)
        readBlockInto(*index, b, all.subspan(b * index->blockSize, blockLength(*index, b)));
    data.answerKey = std::move(index->answerKey);
    return data;
}

void applyStudentData(ClassData& data, StudentData&& students) {
    data.studentCount = static_cast<std::int32_t>(students.students.size());
    data.itemCount = static_cast<std::int32_t>(students.answerKey.size());
    data.answerKey = std::move(students.answerKey);
    data.students = std::move(students.students);
    data.dataLoaded = true;
}

}  // namespace qv
