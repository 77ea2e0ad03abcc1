#include "data/student_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "core/utf8.h"
#include "data_test_util.h"

namespace qv {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

StudentData parse(const std::string& text) {
    auto result = parseStudentFile(text, "a.txt");
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error().message());
    return result.ok() ? std::move(result).value() : StudentData{};
}

Error parseError(const std::string& text) {
    auto result = parseStudentFile(text, "a.txt");
    EXPECT_FALSE(result.ok());
    return result.ok() ? Error{} : result.error();
}

std::u32string answersOf(const StudentData& d, std::size_t k) {
    return d.students.at(k).answers;
}

TEST(StudentFile, ReadsAnswersInGroupsOfFive) {
    auto d = parse("8\r\n9\r\nABCDABCDAB\r\n90702001 ABCDA BCDAB\r\n");
    ASSERT_EQ(d.students.size(), 1u);
    EXPECT_EQ(d.missingCode, "8");
    EXPECT_EQ(d.errorCode, "9");
    EXPECT_EQ(d.answerKey, U"ABCDABCDAB");
    const auto& s = d.students[0];
    EXPECT_EQ(s.id, "90702001");
    EXPECT_EQ(s.answers, U"ABCDABCDAB");
    EXPECT_EQ(s.score, 10);
    EXPECT_THAT(s.wrongItems, IsEmpty());
    EXPECT_THAT(s.correct, ElementsAre(0x3FFu));

    // The twelfth answer of a 12-item key is read; any separator character will do,
    // and a separator after the last complete group changes nothing.
    d = parse(
        "8\r\n9\r\nABCDABCDABCD\r\n90702001 ABCDA BCDAB CD\r\n1 ABCDA-BCDAB CD\r\n"
        "2 ABCDAxBCDABxCD\r\n");
    EXPECT_EQ(answersOf(d, 0), U"ABCDABCDABCD");
    EXPECT_EQ(answersOf(d, 1), U"ABCDABCDABCD");
    EXPECT_EQ(answersOf(d, 2), U"ABCDABCDABCD");
    d = parse("8\r\n9\r\nABCDE\r\n1 ABCDE \r\n2 ABCDE\r\n");
    EXPECT_EQ(d.students[0].score, 5);
    EXPECT_EQ(d.students[1].score, 5);
}

TEST(StudentFile, ScoresExactlyAgainstTheKey) {
    // Wrong third and seventh answers; "8" (the missing-data code) and "a" are
    // compared like any other character.
    auto d = parse("8\r\n9\r\nABCDABCDAB\r\n1 AB8DA BaDAB\r\n2 8BCDA BCDAB\r\n");
    const auto& s = d.students[0];
    EXPECT_EQ(s.score, 8);
    EXPECT_THAT(s.wrongItems, ElementsAre(3, 7));
    EXPECT_FALSE(s.isCorrect(2));
    EXPECT_FALSE(s.isCorrect(6));
    EXPECT_TRUE(s.isCorrect(0));
    EXPECT_THAT(d.students[1].wrongItems, ElementsAre(1));
    d = parse("8\r\n9\r\n8BCDE\r\n1 8BCDE\r\n");
    EXPECT_EQ(d.students[0].score, 5);
}

TEST(StudentFile, ShortLinesLeaveNoAnswer) {
    auto d = parse("8\r\n9\r\nABCDABC\r\n1 ABCDA B\r\n2 ABC\r\n3 \r\n");
    EXPECT_EQ(answersOf(d, 0), (std::u32string{U'A', U'B', U'C', U'D', U'A', U'B', kNoAnswer}));
    EXPECT_THAT(d.students[0].wrongItems, ElementsAre(7));
    EXPECT_EQ(d.students[1].score, 3);
    EXPECT_THAT(d.students[1].wrongItems, ElementsAre(4, 5, 6, 7));
    EXPECT_EQ(d.students[2].id, "3");
    EXPECT_EQ(d.students[2].score, 0);
    EXPECT_EQ(answersOf(d, 2), std::u32string(7, kNoAnswer));
}

TEST(StudentFile, CorrectBitsSpanSeveralWords) {
    const std::string key(130, 'A');
    std::string answers;
    for (int m = 0; m < 130; ++m) {
        answers += (m == 0 || m == 64 || m == 129) ? 'B' : 'A';
        if (m % 5 == 4) answers += ' ';
    }
    auto d = parse("8\r\n9\r\n" + key + "\r\n1 " + answers + "\r\n");
    const auto& s = d.students[0];
    ASSERT_EQ(s.correct.size(), 3u);
    EXPECT_EQ(s.score, 127);
    EXPECT_THAT(s.wrongItems, ElementsAre(1, 65, 130));
    EXPECT_EQ(s.correct[0], ~std::uint64_t{1});
    EXPECT_EQ(s.correct[1], ~std::uint64_t{1});
    EXPECT_EQ(s.correct[2], 1u);
}

TEST(StudentFile, EditorFilesAndBlankLines) {
    // Student lines from the editor end in LF CR LF, the file in an extra CR LF;
    // blank lines anywhere after the key are not students.
    const std::string text =
        "8\r\n9\r\nABCDE\r\n90702001 ABCDE\n\r\n\r\n \t\r\n90702002 ABCDA\n\r\n\n\r\n\r\n";
    auto d = parse(text);
    ASSERT_EQ(d.students.size(), 2u);
    EXPECT_EQ(d.students[0].id, "90702001");
    EXPECT_EQ(d.students[0].score, 5);
    EXPECT_EQ(d.students[1].id, "90702002");
    EXPECT_EQ(d.students[1].score, 4);
    // The header alone is a class of no students.
    EXPECT_THAT(parse("8\r\n9\r\nABCDE\r\n").students, IsEmpty());
    EXPECT_THAT(parse("8\r\n9\r\nABCDE").students, IsEmpty());
    // A key written from an editor box loses its trailing LF.
    EXPECT_EQ(parse("8\n\r\n9\n\r\nABC\n\r\n").answerKey, U"ABC");
}

TEST(StudentFile, ChineseAnswersInBothEncodings) {
    // Positions count characters, not bytes; a full-width separator is one character.
    const std::string utf8 =
        "８\r\n９\r\n甲乙丙丁甲乙\r\n學生一 甲乙丙丁甲　乙\r\n學生二 甲乙丙丁丁\r\n";
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, test::toBig5(utf8)}) {
        auto d = parse(bytes);
        ASSERT_EQ(d.students.size(), 2u);
        EXPECT_EQ(d.missingCode, "８");
        EXPECT_EQ(d.answerKey, U"甲乙丙丁甲乙");
        EXPECT_EQ(d.students[0].id, "學生一");
        EXPECT_EQ(d.students[0].score, 6);
        EXPECT_EQ(d.students[1].id, "學生二");
        EXPECT_THAT(d.students[1].wrongItems, ElementsAre(5, 6));
    }
}

TEST(StudentFile, MalformedFilesNameTheirLine) {
    auto e = parseError("");
    EXPECT_EQ(e.line, 0);
    EXPECT_THAT(e.what, HasSubstr("檔案是空的"));
    e = parseError("8\r\n9\r\n");
    EXPECT_EQ(e.message(),
              "檔案「a.txt」：檔案只有 2 行，資料檔至少要有三行：遺失資料代碼、"
              "錯誤資料代碼與標準答案");
    // Lines broken by LF alone: one line, and a hint about CR LF.
    e = parseError("8\n9\nABCDE\n1 ABCDE\n");
    EXPECT_THAT(e.what, HasSubstr("只有 1 行"));
    EXPECT_THAT(e.what, HasSubstr("CR LF"));
    e = parseError("8\r\n9\r\n\n\r\n1 A\r\n");
    EXPECT_EQ(e.line, 3);
    EXPECT_THAT(e.what, HasSubstr("標準答案是空的"));
    e = parseError("8\r\n9\r\nABCDE\r\n1 ABCDE\r\n\r\n90702002\r\n");
    EXPECT_EQ(e.message(), "檔案「a.txt」第 6 行：這一行的學生資料沒有空白，無法分出學號與答案");
    e = parseError("8\r\n9\r\nABCDE\r\n ABCDE\r\n");
    EXPECT_EQ(e.line, 4);
    EXPECT_THAT(e.what, HasSubstr("沒有學號"));
    // Mixed line breaks: students joined by a lone LF would be lost silently.
    e = parseError("8\r\n9\r\nABCDE\r\n1 ABCDE\n2 ABCDE\r\n");
    EXPECT_EQ(e.line, 4);
    EXPECT_THAT(e.what, HasSubstr("CR LF"));
    e = parseError("8\r\n9\r\n" + std::string(10001, 'A') + "\r\n");
    EXPECT_EQ(e.line, 3);
    EXPECT_THAT(e.what, HasSubstr("10000"));
    EXPECT_TRUE(parseStudentFile("8\r\n9\r\n" + std::string(10000, 'A') + "\r\n", "a").ok());
}

// Answer m sits at character (first space + 1 + m + m / 5) of the line.
std::u32string plainAnswers(const std::u32string& line, std::size_t items) {
    const std::size_t p = line.find(U' ');
    std::u32string out;
    for (std::size_t m = 0; m < items; ++m) {
        const std::size_t at = p + 1 + m + m / 5;
        out.push_back(at < line.size() ? line[at] : kNoAnswer);
    }
    return out;
}

TEST(StudentFile, AgreesWithThePlainPositionRule) {
    std::mt19937 rng(7);
    const std::u32string alphabet = U"ABCD 甲乙-😀８\t";
    for (int round = 0; round < 200; ++round) {
        const std::size_t items = 1 + rng() % 23;
        std::u32string key;
        for (std::size_t m = 0; m < items; ++m)
            key.push_back(alphabet[rng() % 4]);
        std::string text = "8\r\n9\r\n" + toUtf8(key) + "\r\n";
        std::vector<std::u32string> lines;
        for (int k = 0; k < 5; ++k) {
            std::u32string line = U"S" + toCodePoints(std::to_string(k)) + U" ";
            const std::size_t len = rng() % (items + items / 5 + 3);
            for (std::size_t i = 0; i < len; ++i)
                line.push_back(alphabet[rng() % alphabet.size()]);
            lines.push_back(line);
            text += toUtf8(line) + "\r\n";
        }
        const auto d = parse(text);
        ASSERT_EQ(d.students.size(), lines.size());
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const auto expected = plainAnswers(lines[k], items);
            const auto& s = d.students[k];
            EXPECT_EQ(s.answers, expected);
            int score = 0;
            for (std::size_t m = 0; m < items; ++m) {
                const bool right = expected[m] == key[m];
                score += right;
                EXPECT_EQ(s.isCorrect(static_cast<int>(m)), right);
            }
            EXPECT_EQ(s.score, score);
            EXPECT_EQ(s.wrongItems.size(), items - static_cast<std::size_t>(score));
        }
    }
}

TEST(StudentFile, LargeClass) {
    const std::string key = "ABCDABCDABCDABCDABCDABCDABCDABCDABCDABCD";
    std::string text = "8\r\n9\r\n" + key + "\r\n";
    const std::string answers = "ABCDA BCDAB CDABC DABCD ABCDA BCDAB CDABC DABCC ";
    for (int k = 0; k < 100000; ++k)
        text += std::to_string(90000000 + k) + " " + answers + "\r\n";
    const auto d = parse(text);
    ASSERT_EQ(d.students.size(), 100000u);
    EXPECT_EQ(d.students.back().id, "90099999");
    EXPECT_EQ(d.students.back().score, 39);
    EXPECT_THAT(d.students.back().wrongItems, ElementsAre(40));
}

TEST(StudentFile, ApplyReplacesTheClassOnly) {
    AppState state;
    state.conceptCount = 3;
    state.conceptNames = {" a", " b", " c"};
    state.conceptsLoaded = true;
    state.itemCount = 40;
    state.students.resize(4);
    state.students[0].pfc = "  0.5";
    state.stdLinks = LinkMatrix(3, 3, 1);
    state.hasResults = true;
    applyStudentData(state, parse("8\r\n9\r\nABCDE\r\n1 ABCDE\r\n2 ABCDD\r\n"));
    EXPECT_EQ(state.studentCount, 2);
    EXPECT_EQ(state.itemCount, 5);
    EXPECT_EQ(state.answerKey, U"ABCDE");
    ASSERT_EQ(state.students.size(), 2u);
    EXPECT_EQ(state.students[0].pfc, "");
    EXPECT_EQ(state.students[1].score, 4);
    EXPECT_TRUE(state.dataLoaded);
    EXPECT_FALSE(state.hasResults);
    EXPECT_EQ(state.conceptCount, 3);
    EXPECT_EQ(state.stdLinks, LinkMatrix(3, 3, 1));
}

}  // namespace
}  // namespace qv
