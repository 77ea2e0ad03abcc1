#include <QTest>
#include <string>

#include "data/editor_format.h"

namespace qv::app {
namespace {

std::string lines(std::initializer_list<const char*> parts) {
    std::string out;
    for (const char* p : parts)
        out.append(p).append("\n\r\n");
    return out;
}

}  // namespace

class EditorFormatTest : public QObject {
    Q_OBJECT

  private slots:
    void answerKeySplitsAfter47Characters() {
        QCOMPARE(splitAnswerKey(std::string(47, 'A')).first, std::string(47, 'A'));
        QVERIFY(!splitAnswerKey(std::string(47, 'A')).rest);
        const auto k48 = splitAnswerKey(std::string(47, 'A') + "B");
        QCOMPARE(k48.first, std::string(47, 'A'));
        QCOMPARE(*k48.rest, std::string("B"));
        const auto k100 = splitAnswerKey(std::string(100, 'C'));
        QCOMPARE(k100.rest->size(), std::size_t{53});
        // Characters, not bytes: 47 Chinese characters still fit the first box.
        std::string chinese;
        for (int i = 0; i < 48; ++i)
            chinese += "甲";
        const auto c = splitAnswerKey(chinese);
        QCOMPARE(charCount(c.first), std::size_t{47});
        QCOMPARE(*c.rest, std::string("甲"));
    }

    void dataFileWritesFourRecords() {
        const DataFileFields f{"8", "9", "ABCD", "EF", lines({"90702001 ABCDE F"})};
        QCOMPARE(dataFileText(f), std::string("8\r\n9\r\nABCDEF\r\n90702001 ABCDE F\n\r\n\r\n"));
        QCOMPARE(countFileText("20", ""), std::string("20\r\n\r\n"));
    }

    void openSpreadsTheLinesOverTheBoxes() {
        const auto opened = openDataFile("8\r\n9\r\nABC\r\n1 A\n\r\n2 B\r\n\r\n");
        QVERIFY(opened);
        QCOMPARE(opened->missingCode, std::string("8"));
        QCOMPARE(opened->errorCode, std::string("9"));
        QCOMPARE(opened->answers.first, std::string("ABC"));
        QVERIFY(!opened->answers.rest);
        // One trailing LF dropped, the record's closing CR LF adds no line.
        QCOMPARE(opened->students, lines({"1 A", "2 B"}));
        QVERIFY(!openDataFile("8\r\n9\r\n"));
        QVERIFY(openDataFile("8\r\n9\r\nABC"));

        const auto count = openCountFile("3\r\n1 a\n\n\r\n\n\r\n2 b");
        QVERIFY(count);
        QCOMPARE(count->count, std::string("3"));
        QCOMPARE(count->lines, lines({"1 a\n", "", "2 b"}));
        QVERIFY(!openCountFile(""));
        QCOMPARE(openCountFile("20\r\n\r\n")->lines, std::string());
        // A lone CR also ends a line.
        QCOMPARE(openCountFile("2\r1 x\r2 y")->lines, lines({"1 x", "2 y"}));
    }

    void saveThenOpenGivesTheSameBoxes() {
        const std::string box = lines({"90702001 ABCDE", "", "90702002 中文"});
        const auto opened = openDataFile(dataFileText({"8", "9", "AB", "", box}));
        QCOMPARE(opened->students, box);
        QCOMPARE(openCountFile(countFileText("2", box))->lines, box);
    }

    void nameIsTheFileNameUpToItsFirstDot() {
        QCOMPARE(nameFromPath("/x/Data/a.b.txt"), std::string("a"));
        QCOMPARE(nameFromPath("/x.y/Data/92第１次.txt"), std::string("92第１次"));
        QCOMPARE(nameFromPath("C:\\app\\data\\quiz.txt"), std::string("quiz"));
        QCOMPARE(nameFromPath("noext"), std::string("noext"));
    }

    void numberingCountsFromFirstToLast() {
        QCOMPARE(*numberedLines(90702001, 90702003), lines({"90702001", "90702002", "90702003"}));
        QCOMPARE(*numberedLines(5, 4), std::string());
        QCOMPARE(*numberedLines(-1, 0), lines({"-1", "0"}));
        QVERIFY(numberedLines(1, kMaxNumberedLines));
        QVERIFY(!numberedLines(1, kMaxNumberedLines + 1));
        QVERIFY(!numberedLines(1e300, 1e300));

        QCOMPARE(wholeNumberAt(" 12abc"), 12.0);
        QCOMPARE(wholeNumberAt("abc"), 0.0);
        QCOMPARE(wholeNumberAt(""), 0.0);
        QCOMPARE(wholeNumberAt("2.5"), 2.0);
        QCOMPARE(wholeNumberAt("3.5"), 4.0);
    }
};

}  // namespace qv::app

QTEST_APPLESS_MAIN(qv::app::EditorFormatTest)
#include "editor_format_test.moc"
