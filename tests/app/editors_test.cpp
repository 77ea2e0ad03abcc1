// The three data editors: a typed class saves to files the loaders accept,
// files open back and save unchanged, and a refused save keeps the window.
#include <sys/stat.h>

#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include "data/loaders.h"
#include "editor_widgets.h"
#include "frmConceptNote.h"
#include "frmData.h"
#include "frmItemConcept.h"
#include "test_context.h"

namespace qv::app {

using test::TestContext;
using test::trigger;

namespace {

const QString LB = QStringLiteral("\n\r\n");

// Saves through the menu; true when the window closed.
template <typename Editor>
bool saveAndClose(QPointer<Editor>& window) {
    trigger(window, "mnuSaveExit");
    test::flushDeletes();
    return window.isNull();
}

// Opens `bad` (refused) and `good`; refuses every bad name, keeping the window
// and writing nothing; then saves `good` back unchanged. A backslash is
// refused too: it separates folders on Windows.
template <typename Editor>
void openRefuseAndSaveBack(QString AppContext::*folderOf, const QByteArray& bad,
                           const QByteArray& good) {
    TestContext t;
    const QString folder = t.context.*folderOf + u'/';
    test::writeBytes(folder + "bad.txt", bad);
    test::writeBytes(folder + "round.txt", good);
    QPointer<Editor> w = new Editor(t.context);
    t.dialogs.answers = {folder + "bad.txt", folder + "round.txt"};
    trigger(w, "mnuOpen");
    QCOMPARE(t.messages(), 1u);
    trigger(w, "mnuNew");
    trigger(w, "mnuOpen");
    QCOMPARE(w->dataInput(0)->text(), QStringLiteral("round"));
    for (const QString& name : QStringList{"", "  ", "../out", "a/b", "a\\b", QString(300, u'n')}) {
        w->dataInput(0)->setText(name);
        QVERIFY2(!saveAndClose(w), qPrintable(name));
    }
    QCOMPARE(t.messages(), 7u);
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    QCOMPARE(QDir(t.root.path()).entryList(QDir::Files).size(), 0);
    w->dataInput(0)->setText(QStringLiteral("round"));
    QVERIFY(saveAndClose(w));
    QCOMPARE(test::readBytes(folder + "round.txt"), good);
}

}  // namespace

class EditorsTest : public QObject {
    Q_OBJECT

  private slots:
    void aTypedClassSavesToFilesTheLoadersAccept() {
        TestContext t;
        QPointer<frmConceptNote> notes = new frmConceptNote(t.context);
        notes->dataInput(0)->setText(QStringLiteral("class"));
        notes->dataInput(1)->setText(QStringLiteral("3"));
        notes->largeBox()->setModelText("1 分數" + LB + "2 小數 加法" + LB + "3 比例" + LB);
        QVERIFY(saveAndClose(notes));

        QPointer<frmItemConcept> items = new frmItemConcept(t.context);
        items->dataInput(0)->setText(QStringLiteral("class"));
        items->dataInput(1)->setText(QStringLiteral("4"));
        test::click(items, "自動編號");
        QCOMPARE(items->largeBoxText(), "1" + LB + "2" + LB + "3" + LB + "4" + LB);
        items->largeBox()->setModelText("1 1,2," + LB + "2 2,3," + LB + "3 3," + LB + "4 " + LB);
        QVERIFY(saveAndClose(items));

        QPointer<frmData> data = new frmData(t.context);
        data->dataInput(0)->setText(QStringLiteral("class"));
        QTest::keyClicks(data->dataInput(3), QStringLiteral("ABCD"));
        data->dataInput(6)->setText(QStringLiteral("90702002"));
        test::click(data, "自動編號");
        QCOMPARE(data->studentDataText(), "90702001" + LB + "90702002" + LB);
        data->studentData()->setModelText("90702001 ABCD" + LB + "90702002 ABDD" + LB);
        QVERIFY(saveAndClose(data));

        const QString file = QStringLiteral("/class.txt");
        QCOMPARE(test::readBytes(t.context.dataFolder + file),
                 QByteArray("8\r\n9\r\nABCD\r\n90702001 ABCD\n\r\n90702002 ABDD\n\r\n\r\n"));
        ClassPtr state;
        const auto path = [&](const QString& folder) { return (folder + file).toStdWString(); };
        const auto loaded = loadClass(
            state, ClassFiles{path(t.context.conceptNoteFolder), path(t.context.itemConceptFolder),
                              path(t.context.dataFolder)});
        QVERIFY2(loaded, loaded ? "" : loaded.error().message().c_str());
        QVERIFY(state->conceptCount == 3 && state->itemCount == 4 && state->studentCount == 2);
        QCOMPARE(state->students[1].score, 3);
    }

    // 開啟 reads only regular files: a pipe would hold the window forever.
    void openRefusesWhatIsNotARegularFile() {
        TestContext t;
        const QString fifo = t.root.filePath(QStringLiteral("pipe.txt"));
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        QPointer<frmData> w = new frmData(t.context);
        t.dialogs.answers = {fifo, t.root.path()};
        trigger(w, "mnuOpen");
        trigger(w, "mnuOpen");
        QCOMPARE(t.messages(), 2u);
        QVERIFY2(t.dialogs.messages[0].text.contains(QStringLiteral("這不是一般的檔案")),
                 qPrintable(t.dialogs.messages[0].text));
        QVERIFY(t.lastMessage().contains(QStringLiteral("資料夾")));
        delete w;
    }

    void openedFilesSaveBackAndBadNamesAreRefused() {
        openRefuseAndSaveBack<frmData>(&AppContext::dataFolder, "8\r\n9\r\n",
                                       "8\r\n9\r\n" + QByteArray(60, 'A') + "\r\n1 A\n\r\n\r\n");
        openRefuseAndSaveBack<frmConceptNote>(&AppContext::conceptNoteFolder, "",
                                              "2\r\n1 \xA4\xC0\xBC\xC6\n\r\n2 x\n\r\n\r\n");
        openRefuseAndSaveBack<frmItemConcept>(&AppContext::itemConceptFolder, "",
                                              "\xEF\xBB\xBF"
                                              "1\r\n1 \xF0\x9F\x98\x80\n\r\n\r\n");
    }
};

}  // namespace qv::app

QTEST_MAIN(qv::app::EditorsTest)
#include "editors_test.moc"
