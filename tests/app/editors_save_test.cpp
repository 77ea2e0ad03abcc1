#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

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
        QVERIFY(t.dialogs.messages.isEmpty());
    }

    void failedSaveKeepsTheWindowAndItsText() {
        TestContext t;
        QPointer<frmData> data = typedClass(t, QString());
        const QString typed = data->studentDataText();
        // An empty name writes no ".txt".
        QVERIFY(!saveAndClose(data));
        QCOMPARE(t.dialogs.messages.size(), 1);
        QVERIFY(QDir(t.context.dataFolder).isEmpty());
        // A name the file system refuses.
        input(data, 0)->setText(QString(300, u'n'));
        QVERIFY(!saveAndClose(data));
        QCOMPARE(t.dialogs.messages.size(), 2);
        // A name with a folder in it.
        input(data, 0)->setText(QStringLiteral("../out"));
        QVERIFY(!saveAndClose(data));
        QCOMPARE(t.dialogs.messages.size(), 3);
        // A folder that cannot be created: a file stands in its way.
        test::writeBytes(t.root.filePath(QStringLiteral("blocker")), "x");
        t.context.dataFolder = t.root.filePath(QStringLiteral("blocker/Data"));
        input(data, 0)->setText(QStringLiteral("ok"));
        QVERIFY(!saveAndClose(data));
        QCOMPARE(t.dialogs.messages.size(), 4);
        QCOMPARE(data->studentDataText(), typed);
        QCOMPARE(data->keyinCaption(), QStringLiteral("12題"));

        QPointer<frmItemConcept> items = new frmItemConcept(t.context);
        t.context.itemConceptFolder = t.context.dataFolder;
        QVERIFY(!saveAndClose(items));
        QCOMPARE(t.dialogs.messages.size(), 5);
        delete data;
        delete items;
    }

    void saveOpenSaveIsByteIdentical() {
        TestContext t;
        // Code page 950 text, and text that needs UTF-8.
        for (const QString& label : {QStringLiteral("分數的加法"), QStringLiteral("𠀀 emoji 😀")}) {
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
        QVERIFY(t.dialogs.messages.isEmpty());
    }
};

}  // namespace qv::app

QTEST_MAIN(qv::app::EditorsSaveTest)
#include "editors_save_test.moc"
