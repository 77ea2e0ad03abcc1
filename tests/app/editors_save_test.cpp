#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "data/loaders.h"
#include "editor_test_support.h"
#include "editor_widgets.h"
#include "frmConceptNote.h"
#include "frmData.h"
#include "frmItemConcept.h"

namespace qv::app {

using test::TestContext;

namespace {

const QString LB = QStringLiteral("\n\r\n");

void trigger(QWidget* window, const char* action) {
    window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

QLineEdit* input(QWidget* window, int i) {
    return window->findChild<QLineEdit*>(QStringLiteral("DataInput_%1").arg(i));
}

// Saves through the menu; true when the window closed.
template <typename Window>
bool saveAndClose(QPointer<Window>& window) {
    trigger(window, "mnuSaveExit");
    test::flushDeletes();
    return window.isNull();
}

// A small class typed into the data editor.
QPointer<frmData> typedClass(TestContext& t, const QString& name) {
    QPointer<frmData> data = new frmData(t.context);
    input(data, 0)->setText(name);
    QTest::keyClicks(input(data, 3), QStringLiteral("ABCDABCDAB"));
    QTest::keyClicks(input(data, 4), QStringLiteral("CD"));
    data->studentData()->setModelText(QStringLiteral("90702001 ABCDA BCDAB CD") + LB +
                                      QStringLiteral("90702002 ABCDA BCDAB DD") + LB);
    return data;
}

std::filesystem::path fsPath(const QString& path) {
    return {path.toStdWString()};
}

// Loads the three files of a class, concept notes first.
AppState loadClass(const QString& notes, const QString& items, const QString& data) {
    AppState state;
    const auto e1 = loadConceptFile(state, fsPath(notes));
    const auto e2 = loadItemConceptFile(state, fsPath(items));
    const auto e3 = loadStudentFile(state, fsPath(data));
    for (const auto& e : {e1, e2, e3})
        if (e) qWarning("%s", e->message().c_str());
    return state;
}

}  // namespace

class EditorsSaveTest : public QObject {
    Q_OBJECT

  private slots:
    void saveWritesTheRecordsAndCloses() {
        TestContext t;
        auto data = typedClass(t, QStringLiteral("小考"));
        QVERIFY(saveAndClose(data));
        const QByteArray bytes =
            test::readBytes(t.context.dataFolder + QStringLiteral("/小考.txt"));
        QVERIFY(
            bytes.endsWith("8\r\n9\r\nABCDABCDABCD\r\n90702001 ABCDA BCDAB CD\n\r\n"
                           "90702002 ABCDA BCDAB DD\n\r\n\r\n"));

        QPointer<frmConceptNote> notes = new frmConceptNote(t.context);
        QVERIFY(saveAndClose(notes));
        QCOMPARE(test::readBytes(t.context.conceptNoteFolder + QStringLiteral("/") +
                                 QStringLiteral("91第一次數學小考.txt"))
                     .right(6),
                 QByteArray("20\r\n\r\n"));
        QVERIFY(t.dialogs.messages.empty());
    }

    void failedSaveKeepsTheWindowAndItsText() {
        TestContext t;
        QPointer<frmData> data = typedClass(t, QString());
        const QString typed = data->studentDataText();
        // An empty name writes no ".txt".
        QVERIFY(!saveAndClose(data));
        QCOMPARE(t.messageCount(), 1);
        QVERIFY(QDir(t.context.dataFolder).isEmpty());
        // A name the file system refuses.
        input(data, 0)->setText(QString(300, u'n'));
        QVERIFY(!saveAndClose(data));
        QCOMPARE(t.messageCount(), 2);
        // A name with a folder in it.
        input(data, 0)->setText(QStringLiteral("../out"));
        QVERIFY(!saveAndClose(data));
        QCOMPARE(t.messageCount(), 3);
        // A folder that cannot be created: a file stands in its way.
        test::writeBytes(t.root.filePath(QStringLiteral("blocker")), "x");
        t.context.dataFolder = t.root.filePath(QStringLiteral("blocker/Data"));
        input(data, 0)->setText(QStringLiteral("ok"));
        QVERIFY(!saveAndClose(data));
        QCOMPARE(t.messageCount(), 4);
        QCOMPARE(data->studentDataText(), typed);
        QCOMPARE(data->keyinCaption(), QStringLiteral("12題"));

        QPointer<frmItemConcept> items = new frmItemConcept(t.context);
        t.context.itemConceptFolder = t.context.dataFolder;
        QVERIFY(!saveAndClose(items));
        QCOMPARE(t.messageCount(), 5);
        delete data;
        delete items;
    }

    void saveOpenSaveIsByteIdentical() {
        TestContext t;
        // Code page 950 text, and text that needs UTF-8 with a byte order mark.
        const std::pair<QString, bool> cases[] = {{QStringLiteral("分數的加法"), false},
                                                  {QStringLiteral("𠀀 emoji 😀"), true}};
        for (const auto& [label, utf8] : cases) {
            QPointer<frmConceptNote> notes = new frmConceptNote(t.context);
            input(notes, 0)->setText(QStringLiteral("round"));
            QTest::mouseClick(notes->findChild<QPushButton*>(QStringLiteral("自動編號")),
                              Qt::LeftButton);
            auto* box = notes->largeBox();
            box->setModelText(box->modelText().replace(QStringLiteral("1") + LB,
                                                       QStringLiteral("1 ") + label + LB));
            QVERIFY(saveAndClose(notes));
            const QString path = t.context.conceptNoteFolder + QStringLiteral("/round.txt");
            const QByteArray first = test::readBytes(path);
            QCOMPARE(first.startsWith("\xEF\xBB\xBF"), utf8);

            notes = new frmConceptNote(t.context);
            trigger(notes, "mnuNew");
            t.dialogs.answers = {path};
            trigger(notes, "mnuOpen");
            QVERIFY(saveAndClose(notes));
            QCOMPARE(test::readBytes(path), first);
        }

        auto data = typedClass(t, QStringLiteral("cycle"));
        data->studentData()->appendModelText(LB + QStringLiteral("90702003 中文") + LB);
        QVERIFY(saveAndClose(data));
        const QString path = t.context.dataFolder + QStringLiteral("/cycle.txt");
        const QByteArray first = test::readBytes(path);
        data = new frmData(t.context);
        trigger(data, "mnuNew");
        t.dialogs.answers = {path};
        trigger(data, "mnuOpen");
        QVERIFY(saveAndClose(data));
        QCOMPARE(test::readBytes(path), first);
        QVERIFY(t.dialogs.messages.empty());
    }

    // A class typed into the three editors loads to the same data as the
    // same class written by hand, line by line with CR LF.
    void typedClassLoadsLikeAHandWrittenOne() {
        TestContext t;
        QPointer<frmConceptNote> notes = new frmConceptNote(t.context);
        input(notes, 0)->setText(QStringLiteral("class"));
        input(notes, 1)->setText(QStringLiteral("3"));
        notes->largeBox()->setModelText(QStringLiteral("1 分數") + LB +
                                        QStringLiteral("2 小數 加法") + LB +
                                        QStringLiteral("3 比例") + LB);
        QVERIFY(saveAndClose(notes));

        QPointer<frmItemConcept> items = new frmItemConcept(t.context);
        input(items, 0)->setText(QStringLiteral("class"));
        input(items, 1)->setText(QStringLiteral("4"));
        QTest::mouseClick(items->findChild<QPushButton*>(QStringLiteral("自動編號")),
                          Qt::LeftButton);
        auto* ic = items->largeBox();
        const QString concepts[] = {"1,2,", "2,3,", "3,", ""};
        QTextCursor cursor(ic->document());
        for (const QString& c : concepts) {
            cursor.movePosition(QTextCursor::EndOfBlock);
            cursor.insertText(QStringLiteral(" ") + c);
            cursor.movePosition(QTextCursor::NextBlock);
        }
        QVERIFY(saveAndClose(items));

        QPointer<frmData> data = new frmData(t.context);
        input(data, 0)->setText(QStringLiteral("class"));
        QTest::keyClicks(input(data, 3), QStringLiteral("ABCD"));
        input(data, 6)->setText(QStringLiteral("90702002"));
        QTest::mouseClick(data->findChild<QPushButton*>(QStringLiteral("自動編號")),
                          Qt::LeftButton);
        data->studentData()->setModelText(
            data->studentDataText()
                .replace(QStringLiteral("01") + LB, QStringLiteral("01 ABCD") + LB)
                .replace(QStringLiteral("02") + LB, QStringLiteral("02 ABDD") + LB));
        QVERIFY(saveAndClose(data));
        QVERIFY(t.dialogs.messages.empty());

        const QString root = t.root.path() + u'/';
        test::writeBytes(root + "notes.txt", "3\r\n1 分數\r\n2 小數 加法\r\n3 比例\r\n");
        test::writeBytes(root + "items.txt", "4\r\n1 1,2,\r\n2 2,3,\r\n3 3,\r\n4 \r\n");
        test::writeBytes(root + "data.txt", "8\r\n9\r\nABCD\r\n90702001 ABCD\r\n90702002 ABDD\r\n");
        const AppState typed = loadClass(t.context.conceptNoteFolder + "/class.txt",
                                         t.context.itemConceptFolder + "/class.txt",
                                         t.context.dataFolder + "/class.txt");
        const AppState hand = loadClass(root + "notes.txt", root + "items.txt", root + "data.txt");
        QVERIFY(typed.dataLoaded && typed.conceptsLoaded && typed.itemConceptLoaded);
        QCOMPARE(typed.conceptCount, 3);
        QCOMPARE(typed.conceptNames, hand.conceptNames);
        QCOMPARE(typed.itemCount, 4);
        QVERIFY(typed.itemConcept == hand.itemConcept);
        QCOMPARE(typed.studentCount, 2);
        QVERIFY(typed.answerKey == hand.answerKey);
        for (std::size_t k = 0; k < 2; ++k) {
            QCOMPARE(typed.students[k].id, hand.students[k].id);
            QVERIFY(typed.students[k].answers == hand.students[k].answers);
            QCOMPARE(typed.students[k].score, hand.students[k].score);
            QCOMPARE(typed.students[k].wrongItems, hand.students[k].wrongItems);
        }
        QCOMPARE(typed.students[1].score, 3);

        // Every character fits code page 950: no byte order mark, Big5 bytes.
        const QByteArray saved = test::readBytes(t.context.conceptNoteFolder + "/class.txt");
        QVERIFY(!saved.startsWith("\xEF\xBB\xBF"));
        QVERIFY(saved.contains("\xA4\xC0\xBC\xC6"));  // 分數
    }
};

}  // namespace qv::app

QTEST_MAIN(qv::app::EditorsSaveTest)
#include "editors_save_test.moc"
