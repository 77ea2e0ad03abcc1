// The import window: the sample sheets become the sample class in one step,
// a refusal writes nothing and points at its cell, a block pasted from a
// spreadsheet ticks the right boxes.
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "data/loaders.h"
#include "frmImport.h"
#include "frmMain.h"
#include "samples/sample_class.h"
#include "settings.h"
#include "test_context.h"

using namespace qv::app;
using test::click;
using test::trigger;

namespace {

const QString kSheets = QStringLiteral(QV_SAMPLES_DIR "/sheets/");

// What a class is, without the files' bytes: the import may lay them out its own way.
QString classText(const qv::ClassData& c) {
    QString out = QString::fromStdU32String(c.answerKey) + u'\n';
    for (const std::string& name : c.conceptNames)
        out += QString::fromStdString(name) + u',';
    for (int m = 0; m < c.itemCount; ++m) {
        out += u'\n';
        for (int k = 0; k < c.conceptCount; ++k)
            out += c.itemConcept(m, k) == qv::Currency{} ? u'0' : u'1';
    }
    for (const qv::Student& s : c.students)
        out += QStringLiteral("\n%1 %2").arg(QString::fromStdString(s.id),
                                             QString::fromStdString(s.answers));
    return out;
}

QString sampleClass() {
    return classText(
        qv::readClass(qv::ClassText{qv::samples::conceptFile(), qv::samples::itemConceptFile(),
                                    qv::samples::studentFile()})
            .value());
}

frmImport* openImport(frmMain& w) {
    trigger(&w, "mnuImportSheet");
    return w.windows().find<frmImport>();
}

bool hasClassFiles(const QString& folder) {
    const QDir dir(folder);
    return dir.exists(QStringLiteral("students.txt")) ||
           dir.exists(QStringLiteral("concepts.txt")) ||
           dir.exists(QStringLiteral("item-concepts.txt"));
}

}  // namespace

class ImportWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void theSampleSheetsImportAsTheSampleClass() {
        test::TestContext t;
        frmMain w(t.context);
        frmImport* window = openImport(w);
        QVERIFY(window);
        t.dialogs.answers = {kSheets + QStringLiteral("answers.csv"),
                             kSheets + QStringLiteral("qmatrix.csv")};
        const QString folder = t.root.filePath(QStringLiteral("七年一班"));
        t.dialogs.folderAnswers = {folder};
        click(window, "cmdAnswerFile");
        click(window, "cmdQMatrixFile");
        click(window, "cmdFolder");
        QVERIFY2(window->summaryText().startsWith(
                     QStringLiteral("將匯入 35 位學生、40 題、20 個概念；標準答案在第 2 列")),
                 qPrintable(window->summaryText()));
        click(window, "cmdImport");
        QVERIFY2(window->errorText().isEmpty(), qPrintable(window->errorText()));
        test::flushDeletes();
        QVERIFY(!w.windows().find<frmImport>());
        QVERIFY(w.isLit(0) && w.isLit(1) && w.isLit(2));
        QCOMPARE(classText(*t.context.classData), sampleClass());
        QCOMPARE(t.context.inputFiles[0], folder + QStringLiteral("/students.txt"));
        QCOMPARE(recentClassFolders(t.context), QStringList{folder});

        // Importing again over the class asks first; no is no.
        window = openImport(w);
        window->setAnswerFile(kSheets + QStringLiteral("answers.csv"));
        window->setQMatrixFile(kSheets + QStringLiteral("qmatrix.csv"));
        window->setClassFolder(folder);
        const QByteArray before = test::readBytes(folder + QStringLiteral("/students.txt"));
        click(window, "cmdImport");
        QCOMPARE(t.dialogs.questions.size(), 1);
        QVERIFY(w.windows().find<frmImport>());
        QCOMPARE(test::readBytes(folder + QStringLiteral("/students.txt")), before);
    }

    // Nothing written, the class as it was, the window open with the
    // engine's words and the cell at fault selected.
    void aRefusalWritesNothing() {
        test::TestContext t;
        frmMain w(t.context);
        const qv::ClassPtr before = t.context.classData;
        QByteArray answers = test::readBytes(kSheets + QStringLiteral("answers.csv"));
        answers.replace("90702004,B,D,A,C,A", "90702004,B,D,A,C,AB");
        const QString file = t.root.filePath(QStringLiteral("answers.csv"));
        test::writeBytes(file, answers);
        const QString folder = t.root.filePath(QStringLiteral("class"));
        frmImport* window = openImport(w);
        QVERIFY(window->setAnswerFile(file));
        QVERIFY(window->setQMatrixFile(kSheets + QStringLiteral("qmatrix.csv")));
        window->setClassFolder(folder);
        click(window, "cmdImport");
        QCOMPARE(window->errorText(),
                 QStringLiteral("檔案「answers.csv」F6：答案必須是一個字元，讀到「AB」"));
        const QModelIndex at = window->preview()->currentIndex();
        QCOMPARE(window->preview()->model()->headerData(at.row(), Qt::Vertical).toString(),
                 QStringLiteral("6"));
        QCOMPARE(at.column(), 5);

        // The Q-matrix's refusal names its file; a key row below the one
        // the import would take is refused rather than misread.
        window->setAnswerFile(kSheets + QStringLiteral("answers.csv"));
        window->setClassFolder(folder);
        window->findChild<QLineEdit*>(QStringLiteral("txtItems"))->setText(QStringLiteral("B:AN"));
        click(window, "cmdImport");
        QVERIFY2(
            window->errorText().startsWith(QStringLiteral("檔案「qmatrix.csv」：Q 矩陣有 40 題")),
            qPrintable(window->errorText()));
        window->findChild<QLineEdit*>(QStringLiteral("txtItems"))->clear();
        test::writeBytes(
            file,
            test::readBytes(kSheets + QStringLiteral("answers.csv")).replace("90702010", "答案"));
        window->setAnswerFile(file);
        window->preview()->verticalHeader()->sectionClicked(11);
        click(window, "cmdImport");
        QVERIFY2(window->errorText().contains(
                     QStringLiteral("A2：這一列的學號欄和標準答案列（第 12 列）")),
                 qPrintable(window->errorText()));

        QVERIFY(w.windows().find<frmImport>());
        QVERIFY(!hasClassFiles(folder));
        QCOMPARE(t.context.classData, before);
        QVERIFY(!w.isLit(0));
        QCOMPARE(t.messages(), 0u);
    }

    // Marks under the current cell, names on the label row; a block
    // reaching past the last concept adds concepts; a cell that is no mark
    // changes nothing.
    void aPastedBlockTicksTheRightBoxes() {
        test::TestContext t;
        frmMain w(t.context);
        frmImport* window = openImport(w);
        window->setAnswerFile(kSheets + QStringLiteral("answers.csv"));
        QTableWidget* grid = window->conceptTable();
        QCOMPARE(grid->rowCount(), 41);
        const auto paste = [&](int row, int column, const QString& text) {
            grid->setCurrentCell(row, column);
            QGuiApplication::clipboard()->setText(text);
            QTest::keySequence(grid, QKeySequence::Paste);
        };
        paste(0, 0, QStringLiteral("分數\t小數\r\n"));
        paste(2, 1, QStringLiteral("1\t0\tx\r\n\t✓\t0\r\n"));
        qv::app::ConceptGrid shown = window->conceptGridShown();
        QCOMPARE(shown.concepts, (std::vector<std::string>{"分數", "小數", "概念3", "概念4"}));
        QCOMPARE(shown.marks[1], (std::vector<bool>{false, true, false, true}));
        QCOMPARE(shown.marks[2], (std::vector<bool>{false, false, true, false}));
        QCOMPARE(shown.marks[0], std::vector<bool>(4, false));
        QVERIFY(window->summaryText().contains(QStringLiteral("40 題、4 個概念")));

        paste(1, 0, QStringLiteral("1\t2"));
        QVERIFY(window->errorText().contains(QStringLiteral("第 1 列第 2 格「2」")));
        paste(40, 0, QStringLiteral("1\n1"));
        QVERIFY(!window->errorText().isEmpty());
        QCOMPARE(window->conceptGridShown().marks, shown.marks);
    }
};

QTEST_MAIN(ImportWindowTest)
#include "import_window_test.moc"
