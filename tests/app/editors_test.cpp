#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "editor_test_support.h"
#include "editor_widgets.h"
#include "frmConceptNote.h"
#include "frmData.h"
#include "frmItemConcept.h"
#include "frmMain.h"

namespace qv::app {

using test::TestContext;

namespace {

const QString LB = QStringLiteral("\n\r\n");

QString numbered(int first, int last) {
    QString out;
    for (int i = first; i <= last; ++i)
        out += QString::number(i) + LB;
    return out;
}

void trigger(QWidget* window, const char* action) {
    window->findChild<QAction*>(QString::fromLatin1(action))->trigger();
}

void press(QWidget* window) {
    QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("自動編號")), Qt::LeftButton);
}

QLineEdit* input(QWidget* window, int i) {
    return window->findChild<QLineEdit*>(QStringLiteral("DataInput_%1").arg(i));
}

}  // namespace

class EditorsTest : public QObject {
    Q_OBJECT

  private slots:
    void windowsStartWithTheirTexts() {
        TestContext t;
        frmData data(t.context);
        data.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(data.windowTitle(), QStringLiteral("新增基本資料表單"));
        const QStringList initial = {
            QStringLiteral("92第１次數學小考"), "8", "9", "", "", "90702001", "90702010"};
        for (int i = 0; i < 7; ++i)
            QCOMPARE(input(&data, i)->text(), initial[i]);
        QCOMPARE(data.keyinCaption(), QStringLiteral("您所鍵入的題數"));
        QVERIFY(data.findChild<QObject*>(QStringLiteral("DataFile")));
        QVERIFY(data.findChild<LineBreakTextBox*>(QStringLiteral("studentData")));
        QCOMPARE(data.findChild<QAction*>(QStringLiteral("mnuSaveExit"))->text(),
                 QStringLiteral("儲存並結束(&S)"));

        frmConceptNote notes(t.context);
        notes.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(notes.windowTitle(), QStringLiteral("概念註解檔"));
        QCOMPARE(input(&notes, 1)->text(), QStringLiteral("20"));
        QVERIFY(notes.findChild<LineBreakTextBox*>(QStringLiteral("C_Note")));
        frmItemConcept items(t.context);
        items.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(items.windowTitle(), QStringLiteral("項目所包含概念檔"));
        QCOMPARE(input(&items, 0)->text(), QStringLiteral("91第一次數學小考"));
        QCOMPARE(input(&items, 1)->text(), QStringLiteral("40"));
        QCOMPARE(items.findChild<QAction*>(QStringLiteral("mnuExit"))->text(),
                 QStringLiteral("離開(&X)"));
    }

    void keyinCountsTypedAnswers() {
        TestContext t;
        frmData data(t.context);
        data.setAttribute(Qt::WA_DeleteOnClose, false);
        QTest::keyClicks(input(&data, 3), QString(40, u'A'));
        QCOMPARE(data.keyinCaption(), QStringLiteral("40題"));
        QTest::keyClicks(input(&data, 4), QString(7, u'B'));
        QCOMPARE(data.keyinCaption(), QStringLiteral("47題"));
        // The name box and the missing-data code leave the caption alone.
        QTest::keyClicks(input(&data, 0), QStringLiteral("x"));
        QTest::keyClicks(input(&data, 1), QStringLiteral("x"));
        QCOMPARE(data.keyinCaption(), QStringLiteral("47題"));
        QTest::keyClick(input(&data, 4), Qt::Key_Backspace);
        QCOMPARE(data.keyinCaption(), QStringLiteral("46題"));
        // Chinese answers count as one character each.
        input(&data, 3)->clear();
        input(&data, 3)->insert(QStringLiteral("甲乙"));
        QCOMPARE(data.keyinCaption(), QStringLiteral("8題"));
    }

    void typingLimitsLeaveProgramTextWhole() {
        TestContext t;
        frmData data(t.context);
        data.setAttribute(Qt::WA_DeleteOnClose, false);
        QLineEdit* first = input(&data, 3);
        QTest::keyClicks(first, QString(50, u'A'));
        QCOMPARE(first->text(), QString(47, u'A'));
        QTest::keyClicks(input(&data, 5), QStringLiteral("1234567890"));
        QCOMPARE(input(&data, 5)->text(), QStringLiteral("90702001"));
        input(&data, 6)->clear();
        QTest::keyClicks(input(&data, 6), QStringLiteral("1234567890"));
        QCOMPARE(input(&data, 6)->text(), QStringLiteral("12345678"));

        // A key of 100 characters puts 53 into the continuation box.
        const QString path = t.context.dataFolder + QStringLiteral("/long.txt");
        test::writeBytes(path, "8\r\n9\r\n" + QByteArray(100, 'C') + "\r\n");
        t.dialogs.answers = {path};
        trigger(&data, "mnuOpen");
        QLineEdit* rest = input(&data, 4);
        QCOMPARE(rest->text(), QString(53, u'C'));
        QCOMPARE(data.keyinCaption(), QStringLiteral("100題"));
        // It can be shortened but not lengthened by typing.
        rest->end(false);
        QTest::keyClicks(rest, QStringLiteral("D"));
        QCOMPARE(rest->text(), QString(53, u'C'));
        QTest::keyClick(rest, Qt::Key_Backspace);
        QCOMPARE(rest->text(), QString(52, u'C'));
        // A paste keeps what fits.
        rest->clear();
        rest->insert(QString(45, u'E'));
        rest->insert(QString(10, u'F'));
        QCOMPARE(rest->text(), QString(45, u'E') + QStringLiteral("FF"));
    }

    void newEmptiesAndOpenFillsTheDataEditor() {
        TestContext t;
        frmData data(t.context);
        data.setAttribute(Qt::WA_DeleteOnClose, false);
        press(&data);
        trigger(&data, "mnuNew");
        for (int i = 0; i < 7; ++i)
            QVERIFY(input(&data, i)->text().isEmpty());
        QCOMPARE(data.keyinCaption(), QStringLiteral("您所鍵入的題數"));
        QVERIFY(data.studentDataText().isEmpty());

        const QString dir = t.context.dataFolder + u'/';
        test::writeBytes(dir + "k60.txt", "8\r\n9\r\n" + QByteArray(60, 'A') + "\r\n1 A\r\n");
        test::writeBytes(dir + "k47.txt", "7\r\n6\r\n" + QByteArray(47, 'B') + "\r\n2 B\r\n");
        test::writeBytes(dir + "k48.txt", "7\r\n6\r\n" + QByteArray(48, 'D') + "\r\n");
        t.dialogs.answers = {dir + "k60.txt", dir + "k47.txt", dir + "k48.txt"};
        trigger(&data, "mnuOpen");
        QCOMPARE(data.keyinCaption(), QStringLiteral("60題"));
        QCOMPARE(input(&data, 3)->text(), QString(47, u'A'));
        QCOMPARE(input(&data, 4)->text(), QString(13, u'A'));
        QCOMPARE(input(&data, 0)->text(), QStringLiteral("k60"));
        QCOMPARE(input(&data, 1)->text(), QStringLiteral("8"));
        // A short key leaves the old continuation in place.
        trigger(&data, "mnuOpen");
        QCOMPARE(input(&data, 3)->text(), QString(47, u'B'));
        QCOMPARE(input(&data, 4)->text(), QString(13, u'A'));
        QCOMPARE(data.keyinCaption(), QStringLiteral("60題"));
        QCOMPARE(input(&data, 2)->text(), QStringLiteral("6"));
        trigger(&data, "mnuOpen");
        QCOMPARE(input(&data, 4)->text(), QStringLiteral("D"));
        QCOMPARE(data.studentDataText(), "1 A" + LB + "2 B" + LB);
        // The dialog starts in the data folder, at the file chosen last.
        QCOMPARE(t.openCount(), 3);
        QCOMPARE(t.dialogs.opens[0].folder, t.context.dataFolder);
        QCOMPARE(t.dialogs.opens[0].title, QStringLiteral("開啟"));
        QCOMPARE(t.dialogs.opens[2].initialFile, dir + "k47.txt");
        // Cancelling changes nothing; a file shorter than three lines is refused.
        test::writeBytes(dir + "short.txt", "8\r\n9\r\n");
        t.dialogs.answers = {QString(), dir + "short.txt"};
        trigger(&data, "mnuOpen");
        trigger(&data, "mnuOpen");
        QCOMPARE(t.messageCount(), 1);
        QCOMPARE(input(&data, 0)->text(), QStringLiteral("k48"));
    }

    void autoNumberingAppendsInTheDataEditor() {
        TestContext t;
        frmData data(t.context);
        data.setAttribute(Qt::WA_DeleteOnClose, false);
        press(&data);
        QCOMPARE(data.studentDataText(), numbered(90702001, 90702010));
        press(&data);
        QCOMPARE(data.studentDataText(), numbered(90702001, 90702010).repeated(2));
        // Shown one line per ID, with no blank lines between.
        QCOMPARE(data.studentData()->toPlainText().count(u'\n'), 20);
        QVERIFY(!data.studentData()->toPlainText().contains(QStringLiteral("\n\n")));
        input(&data, 5)->setText(QStringLiteral("5"));
        input(&data, 6)->setText(QStringLiteral("4"));
        data.studentData()->clear();
        press(&data);
        QVERIFY(data.studentDataText().isEmpty());
    }

    void autoNumberingReplacesInTheCountEditors() {
        TestContext t;
        frmConceptNote notes(t.context);
        notes.setAttribute(Qt::WA_DeleteOnClose, false);
        press(&notes);
        press(&notes);
        QCOMPARE(notes.largeBoxText(), numbered(1, 20));
        input(&notes, 1)->setText(QStringLiteral("12abc"));
        press(&notes);
        QCOMPARE(notes.largeBoxText(), numbered(1, 12));
        input(&notes, 1)->setText(QStringLiteral("abc"));
        press(&notes);
        QVERIFY(notes.largeBoxText().isEmpty());

        frmItemConcept items(t.context);
        items.setAttribute(Qt::WA_DeleteOnClose, false);
        press(&items);
        QCOMPARE(items.largeBoxText(), numbered(1, 40));
        // New empties the item-concept editor too.
        trigger(&items, "mnuNew");
        QVERIFY(input(&items, 0)->text().isEmpty() && input(&items, 1)->text().isEmpty());
        QVERIFY(items.largeBoxText().isEmpty());
    }

    void openAppendsAndNamesTheFile() {
        TestContext t;
        frmConceptNote notes(t.context);
        notes.setAttribute(Qt::WA_DeleteOnClose, false);
        const QString dir = t.context.conceptNoteFolder + u'/';
        test::writeBytes(dir + "a.b.txt", "2\r\n1 甲\n\r\n2 乙\n\r\n\r\n");
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath(QStringLiteral("x.y/other.txt"));
        QDir().mkpath(elsewhere.filePath(QStringLiteral("x.y")));
        test::writeBytes(outside, "1\r\n1 丙\r\n");
        t.dialogs.answers = {dir + "a.b.txt", outside};
        trigger(&notes, "mnuOpen");
        QCOMPARE(input(&notes, 0)->text(), QStringLiteral("a"));
        QCOMPARE(input(&notes, 1)->text(), QStringLiteral("2"));
        trigger(&notes, "mnuOpen");
        QCOMPARE(input(&notes, 0)->text(), QStringLiteral("other"));
        QCOMPARE(input(&notes, 1)->text(), QStringLiteral("1"));
        QCOMPARE(notes.largeBoxText(), QStringLiteral("1 甲") + LB + QStringLiteral("2 乙") + LB +
                                           QStringLiteral("1 丙") + LB);
        // These dialogs start with no file name, in the editor's own folder.
        QVERIFY(t.dialogs.opens[1].initialFile.isEmpty());
        QCOMPARE(t.dialogs.opens[1].folder, t.context.conceptNoteFolder);
        // An empty file is refused.
        test::writeBytes(dir + "empty.txt", "");
        t.dialogs.answers = {dir + "empty.txt"};
        trigger(&notes, "mnuOpen");
        QCOMPARE(t.messageCount(), 1);
        QCOMPARE(input(&notes, 0)->text(), QStringLiteral("other"));
    }

    void typedLinesUseLineBreak() {
        LineBreakTextBox box;
        box.setModelText("1" + LB + "2" + LB);
        QCOMPARE(box.toPlainText(), QStringLiteral("1\n2\n"));
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, QStringLiteral("3"));
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.modelText(), "1" + LB + "2" + LB + "3" + LB);
        box.appendModelText("4" + LB);
        QCOMPARE(box.modelText(), "1" + LB + "2" + LB + "3" + LB + "4" + LB);
    }

    void mainWindowOpensOneEditorOfEachKind() {
        TestContext t;
        frmMain main(t.context);
        const auto newItem = [&](const char* name) {
            main.findChild<QAction*>(QString::fromLatin1(name))->trigger();
        };
        newItem("mnuData");
        frmData* data = main.windows().find<frmData>();
        QVERIFY(data && data->isVisible() && !data->isModal());
        input(data, 0)->setText(QStringLiteral("kept"));
        newItem("mnuData");
        newItem("mnuConceptNote");
        newItem("mnuItemConcept");
        QCOMPARE(main.windows().openCount(), 3);
        QCOMPARE(main.windows().find<frmData>(), data);
        QCOMPARE(input(data, 0)->text(), QStringLiteral("kept"));
        QVERIFY(main.windows().find<frmConceptNote>()->isVisible());
        QVERIFY(main.windows().find<frmItemConcept>()->isVisible());
        // Closed, it comes back with its initial texts.
        data->close();
        test::flushDeletes();
        newItem("mnuData");
        data = main.windows().find<frmData>();
        QCOMPARE(input(data, 0)->text(), QStringLiteral("92第１次數學小考"));
        main.windows().closeAll();
        test::flushDeletes();
    }

    void closeAsksNothing() {
        TestContext t;
        QPointer<frmItemConcept> items = new frmItemConcept(t.context);
        items->show();
        trigger(items, "mnuExit");
        test::flushDeletes();
        QVERIFY(items.isNull());
        QVERIFY(t.dialogs.messages.empty());
        QVERIFY(QDir(t.context.itemConceptFolder).isEmpty());
    }
};

}  // namespace qv::app

QTEST_MAIN(qv::app::EditorsTest)
#include "editors_test.moc"
