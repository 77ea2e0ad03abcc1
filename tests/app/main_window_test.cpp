// The main window: loading the three files through its menu, refusing bad
// ones, both analyses into the results box, and its secondary windows.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSettings>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QThread>
#include <algorithm>

#include "analysis/run.h"
#include "frmData.h"
#include "frmMain.h"
#include "frmPfnetOptions.h"
#include "settings.h"
#include "frmStudent.h"
#include "method_note.h"
#include "test_context.h"

using namespace qv::app;
using test::testFile;
using test::trigger;

namespace {

const char* const kOpen[] = {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept"};

// The engine's own text for the same run on an equal state.
QString engineText(const qv::ClassPtr& data, qv::RunMethod method) {
    qv::RunOptions options;
    options.method = method;
    const auto run = qv::runAnalysis(data, options);
    return QString::fromStdString(run ? run->text : run.error().message());
}

void loadClass(test::TestContext& t, frmMain& w) {
    t.dialogs.answers = {testFile("class.txt"), testFile("concepts.txt"), testFile("items.txt")};
    for (const char* open : kOpen)
        trigger(&w, open);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void filesLoadThroughTheMenuAndBadOnesChangeNothing() {
        test::TestContext t;
        frmMain w(t.context);
        const QString files[] = {testFile("class.txt"), testFile("concepts.txt"),
                                 testFile("items.txt")};
        for (int i = 0; i < 3; ++i) {
            trigger(&w, kOpen[i]);  // cancelled: nothing changes
            QVERIFY(!w.isLit(i));
            t.dialogs.answers = {files[i]};
            trigger(&w, kOpen[i]);
            for (int k = 0; k < 3; ++k)
                QCOMPARE(w.isLit(k), k <= i);
        }
        QCOMPARE(t.dialogs.opens[2].folder, t.context.conceptNoteFolder);
        QCOMPARE(t.messages(), 0u);
        w.setResultText("table\n\r\n");
        const qv::ClassPtr before = t.context.classData;
        for (const auto& [action, file, says] :
             {std::tuple{kOpen[1], testFile("concepts_bad.txt"), "概念註解檔「%1」第 3 行："},
              std::tuple{kOpen[0], testFile("no_such_file.txt"), "學生資料檔「%1」：檔案不存在"},
              std::tuple{kOpen[2], t.root.path(),
                         "題目所包含概念檔「%1」：這是一個資料夾，不是檔案"}}) {
            t.dialogs.answers = {file};
            trigger(&w, action);
            QVERIFY2(t.lastMessage().startsWith(QString(says).arg(file)),
                     qPrintable(t.lastMessage()));
        }
        QCOMPARE(t.messages(), 3u);
        QCOMPARE(t.context.classData, before);
        QVERIFY(before->students.size() == 2 && before->itemCount == 4);
        QVERIFY(w.isLit(0) && w.isLit(1) && w.isLit(2));
        QCOMPARE(w.resultText(), QStringLiteral("table\n\r\n"));
    }

    // Runs are refused until the files are loaded; F4 and F5 start them even
    // from the ID box, which would otherwise take the keys.
    void runsShowTheEngineTextOneLinePerStudent() {
        test::TestContext t;
        frmMain w(t.context);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.setResultText("old\n\r\n");
        const auto runnable = qv::checkRunnable(*t.context.classData);
        QVERIFY(!runnable);
        test::runCommand(&w, "mnuTriangleRun");
        QCOMPARE(t.lastMessage(), QString::fromStdString(runnable.error().message()));
        QCOMPARE(w.resultText(), QStringLiteral("old\n\r\n"));
        loadClass(t, w);
        w.inquireId()->setFocus();
        for (const auto& [method, key] : {std::pair{qv::RunMethod::Triangle, Qt::Key_F4},
                                          std::pair{qv::RunMethod::PathSearch, Qt::Key_F5}}) {
            w.progressBar()->setValue(0);
            const QString expected = engineText(t.context.classData, method);
            QTest::keyClick(w.inquireId(), key);
            test::waitForRun(w);
            QCOMPARE(w.resultText(), expected);
            QCOMPARE(w.progressBar()->value(), 1000);
            // Each LineBreak shows as one line: header, two students, the end.
            const QStringList lines = w.resultBox()->toPlainText().split(u'\n');
            QCOMPARE(lines.size(), 4);
            QVERIFY(lines[0].startsWith(QStringLiteral("  ID       PFC")));
            QVERIFY(!lines[1].isEmpty() && !lines[2].isEmpty() && lines[3].isEmpty());
            // The status bar names the method of the table shown.
            const QString named = w.findChild<QLabel*>(QStringLiteral("lblMethod"))->text();
            QVERIFY2(named.startsWith(method == qv::RunMethod::Triangle
                                          ? QStringLiteral("Tamsel一階三角算則")
                                          : QStringLiteral("Tamsel一階路徑找尋")),
                     qPrintable(named));
        }
        QTest::keyClick(w.inquireId(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(t.dialogs.opens.size(), 4u);
        QCOMPARE(w.inquireId()->text(), QStringLiteral("90702001"));
        QCOMPARE(t.messages(), 1u);
    }

    // A standard keeping more than half of the pairs is pointed out, exactly
    // half is not; PFNET is suggested only after another method.
    void aDenseStandardIsPointedOut() {
        qv::RunResults results;
        results.stdLinks = qv::LinkMatrix(4, 4, 0);
        const auto link = [&](int i, int j) {
            results.stdLinks(i, j) = results.stdLinks(j, i) = 1;
        };
        link(0, 1), link(0, 2), link(0, 3);
        QVERIFY(denseStandardNote(results, qv::RunMethod::Triangle).isEmpty());
        link(1, 2);
        QCOMPARE(denseStandardNote(results, qv::RunMethod::Triangle),
                 QStringLiteral("標準網路保留了 4／6 個概念對，超過一半；建議改用標準 Pathfinder "
                                "網路（PFNET）。"));
        QCOMPARE(denseStandardNote(results, qv::RunMethod::pfnet({})),
                 QStringLiteral("標準網路保留了 4／6 個概念對，超過一半。"));
    }

    // 取消 stops the run; its results never appear and the run before keeps
    // the box, the results and the bar. Nothing loads or runs meanwhile.
    void aCancelledRunLeavesThePreviousResults() {
        test::TestContext t;
        frmMain w(t.context);
        loadClass(t, w);
        test::runCommand(&w, "mnuTriangleRun");
        const auto results = t.context.results;
        const QString text = w.resultText();
        trigger(&w, "mnuPathSearchRun");
        QVERIFY(w.running());
        QVERIFY(!w.findChild<QAction*>(QStringLiteral("mnuOpenData"))->isEnabled());
        QVERIFY(!w.findChild<QAction*>(QStringLiteral("mnuTriangleRun"))->isEnabled());
        test::click(&w, "cmdCancelRun");
        test::waitForRun(w);
        QCOMPARE(t.context.results, results);
        QCOMPARE(w.resultText(), text);
        QCOMPARE(w.progressBar()->value(), 1000);
        QVERIFY(w.findChild<QAction*>(QStringLiteral("mnuOpenData"))->isEnabled());
        QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("cmdCancelRun"))->isEnabled());
        QCOMPARE(t.messages(), 0u);
    }

    // The bar shows the engine's progress values in their order, and the
    // results are taken on the UI thread.
    void aRunReportsItsProgressInOrderOnTheUiThread() {
        test::TestContext t;
        frmMain w(t.context);
        loadClass(t, w);
        std::vector<int> engine;
        qv::RunOptions options;
        options.progress = [&engine](int v) {
            if (engine.empty() || engine.back() != v) engine.push_back(v);
        };
        QVERIFY(qv::runAnalysis(t.context.classData, options).ok());
        w.progressBar()->setValue(500);
        QSignalSpy shown(w.progressBar(), &QProgressBar::valueChanged);
        QThread* endedOn = nullptr;
        connect(
            &w, &frmMain::runEnded, &w, [&endedOn] { endedOn = QThread::currentThread(); },
            Qt::DirectConnection);
        test::runCommand(&w, "mnuTriangleRun");
        std::vector<int> values;
        for (const QList<QVariant>& args : shown)
            values.push_back(args.at(0).toInt());
        QCOMPARE(values, engine);
        QCOMPARE(endedOn, w.thread());
        QVERIFY(t.context.results && t.context.results->data == t.context.classData);
    }

    // F6 asks for r and q, runs PFNET(r, q) and remembers them; a cancel or a
    // class not yet loaded runs nothing.
    void pfnetRunAsksAndRemembers() {
        test::TestContext t;
        frmMain w(t.context);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        test::runCommand(&w, "mnuPfnetRun");
        QVERIFY(t.dialogs.dialogs.isEmpty() && t.messages() == 1u);
        loadClass(t, w);
        t.dialogs.answerDialog = [](QDialog& d) {
            d.findChild<QComboBox*>(QStringLiteral("cboR"))->setCurrentIndex(1);
            const auto* q = d.findChild<QSpinBox*>(QStringLiteral("spnQ"));
            return q->value() == 2 && !q->isEnabled();  // three concepts: q is n - 1 = 2
        };
        w.inquireId()->setFocus();
        QTest::keyClick(w.inquireId(), Qt::Key_F6);
        test::waitForRun(w);
        QCOMPARE(t.dialogs.dialogs, QStringList{QStringLiteral("frmPfnetOptions")});
        const QString pfnet =
            engineText(t.context.classData, qv::RunMethod::pfnet({qv::PfnetR::One, 0}));
        QCOMPARE(w.resultText(), pfnet);
        QVERIFY(pfnet != engineText(t.context.classData, qv::RunMethod::pfnet({})));
        QCOMPARE(t.context.results->methodName, std::string("PFNET(r=1, q=2)"));
        // Asked again, the dialog starts where it was left; cancelled, nothing runs.
        w.setResultText("old\n\r\n");
        int shownR = -1;
        t.dialogs.answerDialog = [&shownR](QDialog& d) {
            shownR = d.findChild<QComboBox*>(QStringLiteral("cboR"))->currentIndex();
            return false;
        };
        test::runCommand(&w, "mnuPfnetRun");
        QCOMPARE(shownR, 1);
        QCOMPARE(w.resultText(), QStringLiteral("old\n\r\n"));
        QCOMPARE(t.messages(), 1u);
        // The report names the method; its layout setting draws it again and
        // is remembered from window to window.
        test::click(&w, "ShowID");
        auto* report = w.windows().find<frmStudent>();
        QVERIFY(report != nullptr);
        const auto firstRed = [report] {
            for (const qv::CanvasOp& op : report->picture().ops())
                if (op.kind == qv::CanvasOp::Kind::ColourLine) return op.from;
            return qv::LayoutPoint{};
        };
        const auto lines = [report] {
            return std::count_if(report->picture().ops().begin(), report->picture().ops().end(),
                                 [](const qv::CanvasOp& op) {
                                     return op.kind == qv::CanvasOp::Kind::Line ||
                                            op.kind == qv::CanvasOp::Kind::ColourLine;
                                 });
        };
        const qv::LayoutPoint circle = firstRed();
        const auto circleLines = lines();
        report->findChild<QComboBox*>(QStringLiteral("cboLayout"))->setCurrentIndex(1);
        QCOMPARE(lines(), circleLines);  // drawn again, not over the circle
        QVERIFY(firstRed() != circle);
        const std::size_t ops = report->picture().ops().size();
        QCOMPARE(QSettings(t.context.settingsFile, QSettings::IniFormat).value("report/layout"),
                 QVariant(QStringLiteral("force")));
        trigger(report, "mnuExit");
        test::flushDeletes();
        test::click(&w, "ShowID");
        report = w.windows().find<frmStudent>();
        QCOMPARE(report->findChild<QComboBox*>(QStringLiteral("cboLayout"))->currentIndex(), 1);
        QCOMPARE(report->picture().ops().size(), ops);
    }

    void pfnetOptionsOfTwentyConcepts() {
        frmPfnetOptions first(20, {});
        auto* q = first.findChild<QSpinBox*>(QStringLiteral("spnQ"));
        QVERIFY(q->minimum() == 2 && q->maximum() == 19 && q->value() == 19);
        QCOMPARE(first.params(), (qv::PfnetParams{qv::PfnetR::Infinity, 0}));  // n - 1 stays n - 1
        q->setValue(5);
        QCOMPARE(first.params().q, 5);
        frmPfnetOptions remembered(20, {qv::PfnetR::One, 25});
        QCOMPARE(remembered.params(), (qv::PfnetParams{qv::PfnetR::One, 0}));
        // The referent: the top P % takes its P, and comes back as it was left.
        auto* best = first.findChild<QSpinBox*>(QStringLiteral("spnBestPercent"));
        QVERIFY(first.referent().isDesign() && !best->isEnabled());
        first.findChild<QComboBox*>(QStringLiteral("cboReferent"))->setCurrentIndex(1);
        best->setValue(30);
        const qv::ReferentChoice top{qv::ReferentKind::Best, 30'000};
        QCOMPARE(first.referent(), top);
        test::TestContext t;
        qv::app::saveReferent(t.context, top);
        QCOMPARE(frmPfnetOptions(20, {}, qv::app::savedReferent(t.context)).referent(), top);
    }

    // One window of each kind, kept while open, closed with the main window.
    void secondaryWindowsAreSingleAndCloseWithTheMainWindow() {
        test::TestContext t;
        frmMain w(t.context);
        w.show();
        for (const char* open : {"mnuData", "mnuConceptNote", "mnuItemConcept", "mnuDebug"})
            trigger(&w, open);
        QPointer<frmData> data = w.windows().find<frmData>();
        data->dataInput(0)->setText(QStringLiteral("kept"));
        trigger(&w, "mnuData");
        QCOMPARE(w.windows().find<frmData>(), data.data());
        QCOMPARE(data->dataInput(0)->text(), QStringLiteral("kept"));
        QList<QPointer<QWidget>> open;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top != &w && top->isVisible()) open << top;
        QCOMPARE(open.size(), 4);
        QVERIFY(w.close());
        for (const auto& p : open)
            QVERIFY(p.isNull());
        trigger(&w, "mnuData");  // closed, it comes back afresh
        QVERIFY(w.windows().find<frmData>()->dataInput(0)->text() != QStringLiteral("kept"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
