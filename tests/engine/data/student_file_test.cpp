#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

#include "core/utf8.h"
#include "data_test_util.h"

namespace qv {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

ClassData loaded(const std::string& bytes) {
    test::ClassFiles f;
    EXPECT_EQ(f.load(test::DataFile::Students, bytes), "");
    return f.state();
}

// The items a record scores wrong, numbered from 1.
std::vector<int> wrongItems(const Student& r, int items) {
    std::vector<int> wrong;
    for (int m = 0; m < items; ++m)
        if (!r.isCorrect(m)) wrong.push_back(m + 1);
    return wrong;
}

TEST(StudentFile, EditorLinesBlankLinesAndBothEncodings) {
    // Editor lines end in LF CR LF, the file in one more CR LF; blank lines
    // after the key are not students; the key loses its trailing LF.
    auto s = loaded(
        "8\n\r\n9\n\r\nABCDE\n\r\n90702001 ABCDE\n\r\n\r\n \t\r\n90702002 ABCDA\n\r\n"
        "\n\r\n\r\n");
    ASSERT_EQ(s.studentCount, 2);
    EXPECT_EQ(s.answerKey, U"ABCDE");
    EXPECT_EQ(s.students[1].id, "90702002");
    EXPECT_EQ(s.students[1].score, 4);
    EXPECT_THAT(loaded("8\r\n9\r\nABCDE").students, IsEmpty());
    // Positions count characters, not bytes; a full-width separator is one character.
    const std::string utf8 =
        "８\r\n９\r\n甲乙丙丁甲乙\r\n學生一 甲乙丙丁甲　乙\r\n學生二 甲乙丙丁丁\r\n";
    for (const std::string& bytes : {utf8, "\xEF\xBB\xBF" + utf8, test::toBig5(utf8)}) {
        s = loaded(bytes);
        ASSERT_EQ(s.studentCount, 2);
        EXPECT_EQ(s.answerKey, U"甲乙丙丁甲乙");
        EXPECT_EQ(s.students[0].id, "學生一");
        EXPECT_EQ(s.students[0].score, 6);
        EXPECT_THAT(wrongItems(s.students[1], 6), ElementsAre(5, 6));
        EXPECT_EQ(s.students[1].answers, "甲乙丙丁丁");
    }
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

// Keys of up to 150 items over several words of correct-answer bits; the
// missing-data code 8 and lower case compared like any other character.
TEST(StudentFile, AgreesWithThePlainPositionRule) {
    std::mt19937 rng(7);
    const std::u32string alphabet = U"A8Ba 甲乙-😀８\t";
    for (int round = 0; round < 100; ++round) {
        const std::size_t items = 1 + rng() % (round % 4 ? 23 : 150);
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
        const auto s = loaded(text);
        ASSERT_EQ(s.answerKey, key);
        ASSERT_EQ(s.students.size(), lines.size());
        for (std::size_t k = 0; k < lines.size(); ++k) {
            const auto expected = plainAnswers(lines[k], items);
            const Student& r = s.students[k];
            std::u32string given;
            for (char32_t a : expected)
                if (a != kNoAnswer) given.push_back(a);
            EXPECT_EQ(r.answers, toUtf8(given));
            int score = 0;
            for (std::size_t m = 0; m < items; ++m) {
                const bool right = expected[m] == key[m];
                score += right;
                EXPECT_EQ(r.isCorrect(static_cast<int>(m)), right);
            }
            EXPECT_EQ(r.score, score);
            EXPECT_EQ(wrongItems(r, static_cast<int>(items)).size(),
                      items - static_cast<std::size_t>(score));
            EXPECT_EQ(r.id, "S" + std::to_string(k));
        }
    }
}

TEST(StudentFile, LargeClassAndLongestKey) {
    std::string text = "8\r\n9\r\n" + std::string(40, 'A') + "\r\n";
    for (int k = 0; k < 100000; ++k)
        text +=
            std::to_string(90000000 + k) + " AAAAA AAAAA AAAAA AAAAA AAAAA AAAAA AAAAA AAAAB\r\n";
    const auto s = loaded(text);
    ASSERT_EQ(s.studentCount, 100000);
    EXPECT_EQ(s.students.back().id, "90099999");
    EXPECT_THAT(wrongItems(s.students.back(), 40), ElementsAre(40));
    EXPECT_EQ(loaded("8\r\n9\r\n" + std::string(10000, 'A') + "\r\n").itemCount, 10000);
}

}  // namespace
}  // namespace qv
