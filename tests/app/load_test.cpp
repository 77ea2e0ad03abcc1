#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include "app_context.h"
#include "dialogs.h"
#include "frmMain.h"
#include "recording_dialogs.h"

using namespace qv::app;

namespace {

QString testFile(const char* name) {
    return QDir(QStringLiteral(QV_TESTDATA_DIR)).filePath(QString::fromUtf8(name));
}

}  // namespace

class LoadTest : public QObject {
    Q_OBJECT
  private:
    test::RecordingDialogs dialogs_;
    AppContext context_;

    void trigger(frmMain& w, const char* action) {
        w.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }

  private slots:
    void init() {
        dialogs_ = test::RecordingDialogs();
        context_ = AppContext();
        context_.dialogs = &dialogs_;
        context_.dataFolder = QStringLiteral("/d/Data");
        context_.conceptNoteFolder = QStringLiteral("/d/ConceptNote");
        context_.itemConceptFolder = QStringLiteral("/d/ItemConcept");
    }

    void eachOpenCommandAsksInItsFolder() {
        frmMain w(context_);
        trigger(w, "mnuOpenData");
        trigger(w, "mnuOpenConceptNote");
        trigger(w, "mnuOpenItemConcept");
        QCOMPARE(dialogs_.opens.size(), std::size_t{3});
        const QString folders[] = {context_.dataFolder, context_.conceptNoteFolder,
                                   context_.itemConceptFolder};
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(dialogs_.opens[i].title, QStringLiteral("開啟"));
            QCOMPARE(dialogs_.opens[i].filter, dataFileFilter());
            QCOMPARE(dialogs_.opens[i].folder, folders[i]);
        }
        // Cancelled: nothing changes and nothing is said.
        QVERIFY(dialogs_.messages.empty());
        QVERIFY(!w.isLit(0) && !w.isLit(1) && !w.isLit(2));
        QVERIFY(!context_.state.dataLoaded);
    }

    void loadingTheThreeFilesLightsTheirLights() {
        frmMain w(context_);
        dialogs_.answers = {testFile("class.txt"), testFile("concepts.txt"), testFile("items.txt"),
                            testFile("class.txt")};
        trigger(w, "mnuOpenData");
        QVERIFY(w.isLit(0) && !w.isLit(1) && !w.isLit(2));
        QCOMPARE(context_.state.studentCount, 2);
        trigger(w, "mnuOpenConceptNote");
        QVERIFY(w.isLit(0) && w.isLit(1) && !w.isLit(2));
        QCOMPARE(context_.state.conceptCount, 3);
        trigger(w, "mnuOpenItemConcept");
        QVERIFY(w.isLit(0) && w.isLit(1) && w.isLit(2));
        QCOMPARE(context_.state.itemCount, 4);
        trigger(w, "mnuOpenData");  // again: every light stays lit
        QVERIFY(w.isLit(0) && w.isLit(1) && w.isLit(2));
        QVERIFY(dialogs_.messages.empty());
    }

    void aRefusedFileChangesNothingAndSaysWhy() {
        frmMain w(context_);
        dialogs_.answers = {testFile("concepts.txt"), testFile("concepts_bad.txt"),
                            testFile("no_such_file.txt")};
        trigger(w, "mnuOpenConceptNote");
        w.setResultText("table\n\r\n");
        const auto names = context_.state.conceptNames;
        trigger(w, "mnuOpenConceptNote");
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        const auto& m = dialogs_.messages[0];
        QVERIFY(m.icon == QMessageBox::Warning || m.icon == QMessageBox::Critical);
        QCOMPARE(m.title, QStringLiteral("Quorvane"));
        QVERIFY2(m.text.contains(QStringLiteral("concepts_bad.txt")), qPrintable(m.text));
        QVERIFY2(m.text.contains(QStringLiteral("第 3 行")), qPrintable(m.text));
        QCOMPARE(context_.state.conceptCount, 3);
        QCOMPARE(context_.state.conceptNames, names);
        QCOMPARE(w.resultText(), QStringLiteral("table\n\r\n"));
        QVERIFY(w.isLit(1) && !w.isLit(0));
        // A file that is not there.
        trigger(w, "mnuOpenData");
        QCOMPARE(dialogs_.messages.size(), std::size_t{2});
        QVERIFY(dialogs_.messages[1].text.contains(QStringLiteral("no_such_file.txt")));
        QVERIFY(!w.isLit(0));
        QVERIFY(!context_.state.dataLoaded);
    }

    void disagreeingFilesAreReportedAfterLoading() {
        frmMain w(context_);
        dialogs_.answers = {testFile("class.txt"), testFile("concepts.txt"), testFile("items.txt"),
                            testFile("concepts4.txt")};
        for (const char* a : {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept"}) {
            trigger(w, a);
        }
        QVERIFY(dialogs_.messages.empty());  // four items and three concepts throughout
        // Four concepts now, while the item-concept table was read for three.
        trigger(w, "mnuOpenConceptNote");
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QVERIFY2(dialogs_.messages[0].text.contains(QStringLiteral("題目所包含概念檔")),
                 qPrintable(dialogs_.messages[0].text));
        QCOMPARE(context_.state.conceptCount, 4);  // the file is loaded all the same
    }

    void openShortcutsWorkWhileTheIdBoxHasFocus() {
        frmMain w(context_);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.inquireId()->setFocus();
        QTest::keyClick(w.inquireId(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(dialogs_.opens.size(), std::size_t{1});
        QCOMPARE(dialogs_.opens[0].folder, context_.dataFolder);
        QCOMPARE(w.inquireId()->text(), QStringLiteral("90702001"));
    }
};

QTEST_MAIN(LoadTest)
#include "load_test.moc"
