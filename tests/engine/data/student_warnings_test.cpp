#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "analysis/synthetic_class.h"
#include "data/student_warnings.h"
#include "data/text_codec.h"
#include "samples/sample_class.h"

namespace qv {
namespace {

using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::Field;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

}  // namespace

void PrintTo(const LineWarning& w, std::ostream* out) {
    *out << w.line << ": " << w.text;
}

namespace {

auto warning(int line, const std::string& part) {
    return AllOf(Field(&LineWarning::line, line), Field(&LineWarning::text, HasSubstr(part)));
}

TEST(StudentWarnings, SlipsThatLoadButAreMisread) {
    const std::string file =
        "8\r\n9\r\nABCDABCD\r\n"
        "S001 ABCDABCD\r\n"         // read as A B C D A C D: the sixth letter is a separator
        "S004\tABCDA BCD\r\n"       // the tab and five answers go into the ID
        "S005 ABCDA BCDAB CDA\r\n"  // 13 answers for 8 items
        "S006 abcda bcd\n\r\n"      // lower case against an upper-case key
        "\r\n"
        "S008 ABCDE BC8\r\n"   // E is no answer; 8 is the missing-data code
        "S009 ABCDA-BCD \r\n"  // any separator, trailing blanks: fine
        "S010　ABCDA BCD\r\n"  // a full-width space in the ID
        "S011 ABCD ABCD\r\n";  // a group of four: a blank answer, a letter skipped
    EXPECT_THAT(
        studentLineWarnings(file),
        ElementsAre(
            warning(
                4, "第 6 個字元「B」被當成分隔字元略過，其後的答案都錯開一題；請寫成「ABCDA BCD」"),
            warning(5, "學號「S004〈Tab〉ABCDA」含有定位字元（Tab）"),
            warning(6, "第 8 題之後的「AB CDA」"), warning(7, "有 8 個答案是小寫字母"),
            warning(9,
                    "答案不在標準答案的字元中，也不是遺失或錯誤資料代碼（第 5 題的答案是「E」）"),
            warning(11, "〈全形空白〉"), warning(12, "第 6 個字元「A」"),
            warning(12, "第 5 題的答案是空白")));
    // The reverse case, and separators the key does not need.
    EXPECT_THAT(studentLineWarnings("8\r\n9\r\nabcde\r\n1 ABCDE\r\n2 abcde-\r\n3 abcdeabcde\r\n"),
                ElementsAre(warning(4, "答案是大寫字母，標準答案卻是小寫（第 1 題的答案是「A」）"),
                            warning(6, "第 5 題之後的「abcde」")));
}

TEST(StudentWarnings, NoneOnTheSampleOrOnAGeneratedClass) {
    EXPECT_THAT(studentLineWarnings(decodeText(samples::studentFile())), IsEmpty());
    SyntheticClassOptions options;
    options.students = 300;
    options.items = 43;
    EXPECT_THAT(studentLineWarnings(makeSyntheticClass(options).studentFile), IsEmpty());
}

}  // namespace
}  // namespace qv
