// The comparison window: the table it shows is compareGroups' own, refusals
// stay in the window and leave the comparison shown, a cancel keeps it, and
// the pictures export a file a page (PNG) or every page in one (PDF).
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "analysis/run.h"
#include "data/class_folder.h"
#include "frmCompare.h"
#include "frmMain.h"
#include "report/compare_drawing.h"
#include "task_runner.h"
#include "star_class.h"
#include "test_context.h"

using namespace qv::app;
using test::trigger;

namespace {

// The star class with two occasions of four students.
const QByteArray& kConcepts = test::kStarConcepts;
const QByteArray& kItems = test::kStarItems;
const QByteArray kFirst =
    "8\r\n9\r\nABCDAB\r\n90702001 ABCDA B\r\n90702002 BCDDB C\r\n90702003 DDDAD D\r\n"
    "90702004 ABCDAB \r\n";
const QByteArray kSecond =
    "8\r\n9\r\nABCDAB\r\n90702001 ABCDAB \r\n90702002 ABCDB C\r\n90702003 ABDAD D\r\n"
    "90702004 ABCDAB \r\n";

void writeClass(const QString& folder, const QByteArray& data, const QByteArray& concepts) {
    QDir().mkpath(folder);
    test::writeBytes(folder + "/" + qv::kClassStudentsName, data);
    test::writeBytes(folder + "/" + qv::kClassConceptsName, concepts);
    test::writeBytes(folder + "/" + qv::kClassItemsName, kItems);
}

int pdfPages(const QString& file) {
    const QByteArray bytes = test::readBytes(file);
    return int(bytes.count("/Type /Page") - bytes.count("/Type /Pages"));
}

}  // namespace

class CompareWindowTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<test::TestContext> t_;
    std::unique_ptr<frmMain> main_;
    frmCompare* window_ = nullptr;

    QString folder(const char* name) const { return t_->root.filePath(QString::fromUtf8(name)); }
    template <typename W>
    W* child(const char* name) const {
        return window_->findChild<W*>(QString::fromUtf8(name));
    }
    void runAndWait() {
        test::click(window_, "btnRunCompare");
        QVERIFY(QTest::qWaitFor([&] { return !window_->runner()->running(); }, 120000));
    }
    QString message() const { return child<QLabel>("lblCompareMessage")->text(); }

  private slots:
    void init() {
        t_ = std::make_unique<test::TestContext>();
        main_ = std::make_unique<frmMain>(t_->context);
        writeClass(folder("first"), kFirst, kConcepts);
        writeClass(folder("second"), kSecond, kConcepts);
        QVERIFY(main_->openClassFolder(folder("first")));
        trigger(main_.get(), "mnuCompare");
        window_ = main_->windows().find<frmCompare>();
        QVERIFY(window_);
        child<QSpinBox>("spnPermutations")->setValue(100);
    }
    void cleanup() {
        main_.reset();
        t_.reset();
    }

    void tableIsTheComparisonsOwn() {
        runAndWait();
        QVERIFY(message().contains(QStringLiteral("請先選擇 B")));
        QVERIFY(!window_->outcome());

        child<QLineEdit>("txtFolderB")->setText(folder("second"));
        runAndWait();
        QVERIFY(window_->outcome());
        // The same comparison computed here, without the window.
        const auto read = [](const QString& dir) {
            return std::make_shared<const qv::ClassData>(
                qv::readClass(qv::classFolderFiles(toPath(dir))).value());
        };
        const auto a = qv::runAnalysis(read(folder("first")), {}).value();
        const auto b = qv::runAnalysis(read(folder("second")), {}).value();
        qv::PermutationOptions options;
        options.permutations = 100;
        const auto expected =
            qv::compareGroups(qv::CompareDesign::TwoClasses, {"first", &a, {0, 1, 2, 3}, {}},
                              {"second", &b, {0, 1, 2, 3}, {}}, nullptr, options)
                .value();
        auto* table = child<QTableWidget>("tblPairs");
        const auto rows = qv::pairsByP(expected);
        QCOMPARE(table->rowCount(), int(rows.size()));
        for (int r = 0; r < table->rowCount(); ++r) {
            const qv::PairTest& t = *rows[std::size_t(r)];
            QCOMPARE(table->item(r, 0)->text(), QStringLiteral("%1–%2").arg(t.i + 1).arg(t.j + 1));
            QCOMPARE(table->item(r, 3)->text().toInt(), t.a);
            QCOMPARE(table->item(r, 4)->text().toInt(), t.b);
            QCOMPARE(table->item(r, 5)->text(), QString::fromStdString(qv::pValueText(t.p)));
            QCOMPARE(table->item(r, 6)->text(), QString::fromStdString(qv::pValueText(t.q)));
        }
        auto* tabs = child<QTabWidget>("tabsCompare");
        QVERIFY(tabs->isTabVisible(0) && tabs->isTabVisible(1) && !tabs->isTabVisible(2));

        // The same students twice: the slope chart joins in.
        child<QComboBox>("cboDesign")->setCurrentIndex(1);
        runAndWait();
        QCOMPARE(window_->outcome()->results.design, qv::CompareDesign::Paired);
        QVERIFY(tabs->isTabVisible(2));
        QCOMPARE(int(window_->pages().size()), 3);
    }

    void refusalsAndCancelsKeepWhatIsShown() {
        child<QLineEdit>("txtFolderB")->setText(folder("second"));
        runAndWait();
        const CompareOutcome* shown = window_->outcome();
        QVERIFY(shown);
        // Other concepts: the comparison refuses, in the window.
        writeClass(folder("other"), kSecond, "4\r\n1 A\r\n2 B\r\n3 C\r\n4 D\r\n");
        child<QLineEdit>("txtFolderB")->setText(folder("other"));
        runAndWait();
        QVERIFY(!message().isEmpty());
        QVERIFY(!message().contains(QStringLiteral("完成")));
        QCOMPARE(window_->outcome(), shown);
        QCOMPARE(t_->messages(), std::size_t(0));
        child<QLineEdit>("txtFolderB")->setText(folder("second"));
        test::click(window_, "btnRunCompare");
        test::click(window_, "btnCancelCompare");
        QVERIFY(QTest::qWaitFor([&] { return !window_->runner()->running(); }, 120000));
        QVERIFY(message().contains(QStringLiteral("取消")));
        QCOMPARE(window_->outcome(), shown);
    }

    void picturesExportEveryPage() {
        child<QLineEdit>("txtFolderB")->setText(folder("second"));
        child<QComboBox>("cboDesign")->setCurrentIndex(1);
        runAndWait();
        t_->dialogs.saveAnswers = {t_->root.filePath("out.pdf"), t_->root.filePath("out.png")};
        trigger(window_, "mnuComparePictures");
        QCOMPARE(pdfPages(t_->root.filePath("out.pdf")), 3);
        trigger(window_, "mnuComparePictures");
        for (const char* name : {"out.png", "out-2.png", "out-3.png"})
            QVERIFY2(QFileInfo::exists(t_->root.filePath(name)), name);
        QVERIFY(!QFileInfo::exists(t_->root.filePath("out-4.png")));
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
