// The class window: opened after a run and kept in step with runs and loads,
// the table's order, the heat map, lists and viewer traced to the items,
// export and printing that never block.
#include <QAction>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "analysis/class_summary.h"
#include "chart_view.h"
#include "class_print_job.h"
#include "class_results_model.h"
#include "frmClass.h"
#include "frmMain.h"
#include "frmStudentViewer.h"
#include "layout/get_points.h"
#include "report/draw_report.h"
#include "test_context.h"
#include "trace_panel.h"

using namespace qv::app;
using test::trigger;

namespace {

// Four concepts; the standard is the star 1-2, 1-3, 1-4. The first student
// answers all six items right (PRX 1), the second only item 4 (PRX -0.333),
// the third none (no PRX).
const QByteArray kConcepts = "4\r\n1 甲\r\n2 乙\r\n3 丙\r\n4 丁\r\n";
const QByteArray kItems = "6\r\n1 1,2,\r\n2 1,3,\r\n3 1,4,\r\n4 2,\r\n5 3,\r\n6 4,\r\n";
const QByteArray kData =
    "8\r\n9\r\nABCDAB\r\n90702001 ABCDA B\r\n90702002 BCDDB C\r\n90702003 DDDAD D\r\n";

int pdfPages(const QString& file) {
    const QByteArray bytes = test::readBytes(file);
    return int(bytes.count("/Type /Page") - bytes.count("/Type /Pages"));
}

QStringList column(QAbstractItemModel* model, int col) {
    QStringList out;
    for (int row = 0; row < model->rowCount(); ++row)
        out << model->index(row, col).data().toString();
    return out;
}

}  // namespace

class ClassWindowTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<test::TestContext> t_;
    std::unique_ptr<frmMain> main_;

    QString file(const char* name) const { return t_->root.filePath(QString::fromUtf8(name)); }
    void load(const QStringList& files) {
        t_->dialogs.answers = files;
        for (const char* open : {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept"})
            trigger(main_.get(), open);
    }
    frmClass* openClass() {
        trigger(main_.get(), "mnuTriangleRun");
        trigger(main_.get(), "mnuClassOverview");
        return main_->windows().find<frmClass>();
    }
    static void waitForPrinting(frmClass* w) {
        QVERIFY(QTest::qWaitFor([&] { return w->printJob() == nullptr; }, 60000));
    }

  private slots:
    void init() {
        t_ = std::make_unique<test::TestContext>();
        test::writeBytes(file("concepts.txt"), kConcepts);
        test::writeBytes(file("items.txt"), kItems);
        test::writeBytes(file("data.txt"), kData);
        main_ = std::make_unique<frmMain>(t_->context);
    }
    void cleanup() {
        main_->windows().closeAll();
        test::flushDeletes();
        main_.reset();
    }

    void followsRunsAndLoads() {
        trigger(main_.get(), "mnuClassOverview");
        QVERIFY(!main_->windows().find<frmClass>());
        QVERIFY(t_->lastMessage().contains(QStringLiteral("執行分析")));
        load({file("data.txt"), file("concepts.txt"), file("items.txt")});
        frmClass* w = openClass();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->results()->rowCount(), 3);
        QVERIFY(!w->heatMap()->picture().empty());
        // A load takes the results away; the next run brings them back.
        t_->dialogs.answers = {file("data.txt")};
        trigger(main_.get(), "mnuOpenData");
        QCOMPARE(w->results()->rowCount(), 0);
        QVERIFY(w->heatMap()->picture().empty());
        QVERIFY(!w->findChild<QAction*>(QStringLiteral("mnuExportResults"))->isEnabled());
        trigger(main_.get(), "mnuPathSearchRun");
        QCOMPARE(w->results()->rowCount(), 3);
        QVERIFY(w->findChild<QAction*>(QStringLiteral("mnuExportResults"))->isEnabled());
    }

    void sortsWithNaLastAndFilters() {
        load({file("data.txt"), file("concepts.txt"), file("items.txt")});
        frmClass* w = openClass();
        QTableView* table = w->resultsTable();
        table->sortByColumn(ClassResultsModel::kPrx, Qt::AscendingOrder);
        QCOMPARE(column(w->results(), ClassResultsModel::kPrx),
                 (QStringList{"-0.333", "1", "N/A"}));
        table->sortByColumn(ClassResultsModel::kPrx, Qt::DescendingOrder);
        QCOMPARE(column(w->results(), ClassResultsModel::kPrx),
                 (QStringList{"1", "-0.333", "N/A"}));
        table->sortByColumn(ClassResultsModel::kScore, Qt::DescendingOrder);
        QCOMPARE(column(w->results(), ClassResultsModel::kId),
                 (QStringList{"90702001", "90702002", "90702003"}));
        QCOMPARE(w->results()->index(0, ClassResultsModel::kFirstRate + 1).data().toString(),
                 QStringLiteral("0%"));
        w->findChild<QLineEdit*>(QStringLiteral("txtFilter"))->setText(QStringLiteral("03"));
        QCOMPARE(column(w->results(), ClassResultsModel::kId), (QStringList{"90702003"}));
        const QString tip =
            w->results()
                ->headerData(ClassResultsModel::kFirstRate + 5, Qt::Horizontal, Qt::ToolTipRole)
                .toString();
        QVERIFY(tip.contains(QStringLiteral("Target")));
    }

    void heatMapListsAndViewerTraceToTheItems() {
        load({file("data.txt"), file("concepts.txt"), file("items.txt")});
        frmClass* w = openClass();
        const qv::HeatMapLayout& l = w->heatMapGeometry();
        // Row 甲, column 乙: a standard link; items 1 to 4 involve 甲 or 乙.
        QTest::mouseClick(w->heatMap()->surface(), Qt::LeftButton, {},
                          QPoint(l.grid.x + l.cell + l.cell / 2, l.grid.y + l.cell / 2));
        QCOMPARE(w->selectedPair(), std::optional(std::pair(0, 1)));
        QTableWidget* trace = w->trace()->table();
        QCOMPARE(trace->rowCount(), 4);
        QCOMPARE(trace->item(3, 2)->text(), QStringLiteral("66.7%"));  // item 4: two of three
        QVERIFY(trace->isColumnHidden(4));
        w->resultsTable()->selectRow(2);  // 90702003: nothing right
        QVERIFY(!trace->isColumnHidden(4));
        QCOMPARE(trace->item(0, 4)->text(), QStringLiteral("D"));
        QVERIFY(trace->item(0, 5)->text().contains(QStringLiteral("錯")));
        // The ranked list selects its pair the same way.
        auto* extra = w->findChild<QTableWidget*>(QStringLiteral("lstExtra"));
        QVERIFY(extra->rowCount() > 0);
        extra->setCurrentCell(0, 0);
        const QPoint pair = extra->item(0, 0)->data(Qt::UserRole).toPoint();
        QCOMPARE(w->selectedPair(), std::optional(std::pair(pair.x(), pair.y())));

        // Enter opens the viewer; each student is drawn on a clean picture.
        w->resultsTable()->selectRow(1);
        QTest::keyClick(w->resultsTable(), Qt::Key_Return);
        frmStudentViewer* v = w->viewer();
        QVERIFY(v && v->isVisible());
        QCOMPARE(v->current(), 1);
        v->findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
        QCOMPARE(v->current(), 2);
        qv::RecordingCanvas alone;
        qv::DrawStudentReport(alone, t_->context.state, 2);
        QCOMPARE(v->picture().ops(), alone.ops());
        QVERIFY(!v->findChild<QPushButton*>(QStringLiteral("cmdNext"))->isEnabled());
        v->onPrevious();
        // 90702002 misses two of the star's links: click one in the Miss panel.
        const qv::StudentRecord& r = t_->context.state.students[1];
        int j = 1;
        while (qv::hasLink(r.links, 0, j))
            ++j;
        const auto nodes = qv::LayoutComparisonPanels(800, 600, 4).nodePoints[qv::kPanelMiss];
        const QPoint middle((nodes[0].x + nodes[j].x) / 2, (nodes[0].y + nodes[j].y) / 2);
        QTest::mouseClick(v->findChild<ChartView*>()->surface(), Qt::LeftButton, {}, middle);
        QVERIFY2(v->trace()->heading().contains(QStringLiteral("缺少此連結（Miss）")),
                 qPrintable(v->trace()->heading()));
        QVERIFY(v->trace()->table()->rowCount() > 0);
    }

    void exportsTheCommandLineCsv() {
        const QString samples = QStringLiteral(QV_SAMPLES_DIR "/");
        const QString name = QStringLiteral("91第一次數學小考.txt");
        load({samples + "Data/" + name, samples + "ConceptNote/" + name,
              samples + "ItemConcept/" + name});
        frmClass* w = openClass();
        QCOMPARE(w->results()->rowCount(), 35);
        t_->dialogs.saveAnswers = {file("out.csv")};
        trigger(w, "mnuExportResults");
        QCOMPARE(test::readBytes(file("out.csv")),
                 test::readBytes(QStringLiteral(QV_GOLDEN_DIR "/analyze-sample-triangle.csv")));
        QCOMPARE(t_->messages(), 0u);
    }

    void printsChartsAndTheClassAndCancels() {
        load({file("data.txt"), file("concepts.txt"), file("items.txt")});
        frmClass* w = openClass();
        QString pdf;
        t_->dialogs.printerAnswer = [&pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        pdf = file("charts.pdf");
        trigger(w, "mnuPrintCharts");
        QCOMPARE(pdfPages(pdf), 1);
        pdf = file("class.pdf");
        trigger(w, "mnuPrintClass");
        QVERIFY(w->printJob());
        waitForPrinting(w);
        QCOMPARE(pdfPages(pdf), 3);
        // Cancelled before its first page: no file.
        pdf = file("cancelled.pdf");
        trigger(w, "mnuPrintClass");
        w->printJob()->progressDialog()->cancel();
        waitForPrinting(w);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(t_->messages(), 0u);
    }

    // Every export and print refuses a loaded input file, however spelled,
    // and leaves it as it was.
    void outputsRefuseTheLoadedInputs() {
        load({file("data.txt"), file("concepts.txt"), file("items.txt")});
        frmClass* w = openClass();
        const QString inputs[] = {
            t_->root.path() + "/./data.txt",
            t_->root.path() + "/../" + QFileInfo(t_->root.path()).fileName() + "/items.txt"};
        t_->dialogs.saveAnswers = {inputs[0]};
        trigger(w, "mnuExportResults");
        t_->dialogs.printerAnswer = [&inputs](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(inputs[1]);
            return true;
        };
        trigger(w, "mnuPrintCharts");
        trigger(w, "mnuPrintClass");
        QVERIFY(!w->printJob());
        QCOMPARE(t_->messages(), 3u);
        for (const auto& m : t_->dialogs.messages)
            QVERIFY2(m.text.contains(QStringLiteral("是已載入的輸入檔")), qPrintable(m.text));
        QCOMPARE(test::readBytes(file("data.txt")), kData);
        QCOMPARE(test::readBytes(file("concepts.txt")), kConcepts);
        QCOMPARE(test::readBytes(file("items.txt")), kItems);
    }
};

QTEST_MAIN(ClassWindowTest)
#include "class_window_test.moc"
