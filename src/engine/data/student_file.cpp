#include "data/student_file.h"

#include <limits>

#include "data/lines.h"
#include "data/parse_common.h"
#include "data/text_codec.h"

namespace qv {

namespace {

using detail::nextCodePoint;

// Answers start after the ID's space, one character each, with one separator
// character skipped after every fifth; a short line leaves kNoAnswer.
void readAnswers(std::string_view line, std::size_t start, std::u32string& answers) {
    std::size_t i = start;
    for (std::size_t m = 0; m < answers.size() && i < line.size(); ++m) {
        answers[m] = nextCodePoint(line, i);
        if ((m + 1) % 5 == 0 && i < line.size()) nextCodePoint(line, i);
    }
}

void scoreRecord(StudentRecord& record, const std::u32string& key) {
    record.correct.assign((key.size() + 63) / 64, 0);
    record.score = 0;
    record.wrongItems.clear();
    for (std::size_t m = 0; m < key.size(); ++m) {
        if (record.answers[m] == key[m]) {
            record.correct[m / 64] |= std::uint64_t{1} << (m % 64);
            ++record.score;
        } else {
            record.wrongItems.push_back(static_cast<std::int32_t>(m + 1));
        }
    }
}

class StudentReader {
  public:
    explicit StudentReader(std::string_view fileName) : fileName_(fileName) {}

    using Result = Expected<StudentData>;

    Result read(std::string_view text) {
        const auto lines = splitLineViews(text);
        if (lines.size() < 3) return fail(0, tooShort(lines.size(), text));
        for (int n = 0; n < 3; ++n) {
            if (auto problem = detail::loneLfProblem(lines[n])) return fail(n + 1, *problem);
        }
        StudentData data;
        data.missingCode = withoutTrailingLf(lines[0]);
        data.errorCode = withoutTrailingLf(lines[1]);
        if (auto error = readKey(lines[2], data.answerKey)) return fail(3, *error);
        if (lines.size() - 3 > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
            return fail(0, "學生行數超過系統能處理的數量");
        data.students.reserve(lines.size() - 3);
        for (std::size_t n = 3; n < lines.size(); ++n) {
            if (isBlankLine(lines[n])) continue;
            const int lineNo = static_cast<int>(n + 1);
            if (auto error = readStudent(lines[n], data.answerKey, data.students))
                return fail(lineNo, *error);
        }
        return data;
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

    static std::optional<std::string> readStudent(std::string_view line, const std::u32string& key,
                                                  std::vector<StudentRecord>& students) {
        if (auto problem = detail::loneLfProblem(line)) return problem;
        line = withoutTrailingLf(line);
        const std::size_t space = line.find(' ');
        if (space == std::string_view::npos)
            return std::string("這一行的學生資料沒有空白，無法分出學號與答案");
        if (space == 0) return std::string("這一行以空白開頭，沒有學號：學號必須寫在行首");
        StudentRecord& record = students.emplace_back();
        record.id = line.substr(0, space);
        record.answers.assign(key.size(), kNoAnswer);
        readAnswers(line, space + 1, record.answers);
        scoreRecord(record, key);
        return std::nullopt;
    }

    Result fail(int line, std::string what) const {
        return Result::failure(Error{std::string(fileName_), line, std::move(what)});
    }

    std::string_view fileName_;
};

}  // namespace

Expected<StudentData> parseStudentFile(std::string_view bytes,
                                                  std::string_view fileName) {
    return StudentReader(fileName).read(decodeText(bytes));
}

void applyStudentData(AppState& state, StudentData&& data) {
    state.studentCount = static_cast<std::int32_t>(data.students.size());
    state.itemCount = static_cast<std::int32_t>(data.answerKey.size());
    state.answerKey = std::move(data.answerKey);
    state.students = std::move(data.students);
    state.dataLoaded = true;
    state.hasResults = false;
}

}  // namespace qv
