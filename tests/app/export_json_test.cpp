// The main window's 匯出 JSON and 匯出 submenu: the command line's bytes for
// the same class and method, and the targets they refuse.
#include <QDir>
#include <QFile>
#include <QTest>

#include "frmMain.h"
#include "test_context.h"

using namespace qv::app;
using test::readBytes;
using test::trigger;

class ExportJsonTest : public QObject {
    Q_OBJECT
  private:
    // The shipped sample class, copied so that a wrongly taken target can
    // only harm the copy.
    static void loadSample(test::TestContext& t, frmMain& w) {
        const QString name = QStringLiteral("91第一次數學小考.txt");
        QStringList files;
        for (const char* folder : {"Data", "ConceptNote", "ItemConcept"}) {
            const QString copy = t.root.filePath(QString::fromUtf8(folder) + name);
            QFile::copy(QStringLiteral(QV_SAMPLES_DIR "/") + folder + "/" + name, copy);
            files << copy;
        }
        t.dialogs.answers = files;
        for (const char* open : {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept"})
            trigger(&w, open);
    }
    static QByteArray golden(const char* method) {
        return readBytes(QStringLiteral(QV_GOLDEN_DIR "/analyze-sample-%1.json").arg(method));
    }

  private slots:
    void writesTheCommandLinesBytesForEachMethod() {
        test::TestContext t;
        frmMain w(t.context);
        trigger(&w, "mnuExportJson");
        QCOMPARE(t.messages(), 1u);
        QVERIFY(t.dialogs.saveTitles.isEmpty());
        loadSample(t, w);
        t.dialogs.answerDialog = [](QDialog&) { return true; };  // PFNET's defaults
        for (const auto& [run, method] : {std::pair{"mnuTriangleRun", "triangle"},
                                          std::pair{"mnuPfnetRun", "pfnet"},
                                          std::pair{"mnuPathSearchRun", "path-search"}}) {
            test::runCommand(&w, run);
            const QString out = t.root.filePath(QStringLiteral("%1.json").arg(method));
            t.dialogs.saveAnswers = {out};
            trigger(&w, "mnuExportJson");
            QCOMPARE(readBytes(out), golden(method));
        }
        QCOMPARE(t.messages(), 1u);
        // A new load leaves records without results: nothing to write.
        t.dialogs.answers = {t.root.filePath(QStringLiteral("Data91第一次數學小考.txt"))};
        trigger(&w, "mnuOpenData");
        t.dialogs.saveAnswers = {t.root.filePath(QStringLiteral("stale.json"))};
        trigger(&w, "mnuExportJson");
        QCOMPARE(t.messages(), 2u);
        QVERIFY(!QFile::exists(t.root.filePath(QStringLiteral("stale.json"))));
    }

    void refusesAnInputFileAndSaysWhyAWriteFailed() {
        test::TestContext t;
        frmMain w(t.context);
        loadSample(t, w);
        test::runCommand(&w, "mnuTriangleRun");
        for (const char* folder : {"Data", "ConceptNote", "ItemConcept"}) {
            const QString input = t.root.filePath(QString::fromUtf8(folder) +
                                                  QStringLiteral("91第一次數學小考.txt"));
            const QByteArray before = readBytes(input);
            t.dialogs.saveAnswers = {input};
            trigger(&w, "mnuExportJson");
            QVERIFY2(t.lastMessage().contains(QStringLiteral("是已載入的輸入檔")),
                     qPrintable(t.lastMessage()));
            QCOMPARE(readBytes(input), before);
        }
        t.dialogs.saveAnswers = {t.root.filePath(QStringLiteral("none/out.json"))};
        trigger(&w, "mnuExportJson");
        QCOMPARE(t.messages(), 4u);
        QVERIFY2(t.lastMessage().contains(QStringLiteral("none")), qPrintable(t.lastMessage()));
        QCOMPARE(t.dialogs.messages.back().icon, QMessageBox::Warning);
    }

    // Each export writes the run's students, and none overwrites an input.
    void exportsTheRunAndRefusesAnInputFile() {
        test::TestContext t;
        frmMain w(t.context);
        loadSample(t, w);
        test::runCommand(&w, "mnuTriangleRun");
        const QString links = t.root.filePath(QStringLiteral("links.csv"));
        t.dialogs.saveAnswers = {links};
        trigger(&w, "mnuExportLinks");
        // A header and 190 pairs for each of the 35 students.
        QCOMPARE(readBytes(links).count("\r\n"), 1 + 35 * 190);
        const QString folder = t.root.filePath(QStringLiteral("networks"));
        t.dialogs.folderAnswers = {folder};
        trigger(&w, "mnuExportPajek");
        QCOMPARE(QDir(folder).entryList({QStringLiteral("*.net")}).size(), 36);
        const QString data = t.root.filePath(QStringLiteral("Data91第一次數學小考.txt"));
        const QByteArray before = readBytes(data);
        t.dialogs.saveAnswers = {data};
        trigger(&w, "mnuExportXlsx");
        QVERIFY2(t.lastMessage().contains(QStringLiteral("是已載入的輸入檔")),
                 qPrintable(t.lastMessage()));
        QCOMPARE(readBytes(data), before);
    }
};

QTEST_MAIN(ExportJsonTest)
#include "export_json_test.moc"
