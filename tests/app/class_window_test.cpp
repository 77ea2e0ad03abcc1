// The class window: opened after a run and kept in step with runs and loads,
// the table's order, the heat map, lists and viewer traced to the items,
// export and printing that never block.
#include <QAction>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <limits>
#include <memory>

#include "analysis/class_summary.h"
#include "bootstrap_runner.h"
#include "chart_view.h"
#include "class_print_job.h"
#include "class_results_model.h"
#include "core/number_text.h"
#include "frmClass.h"
#include "frmMain.h"
#include "frmStudent.h"
#include "frmStudentViewer.h"
#include "layout/force_layout.h"
#include "layout/get_points.h"
#include "report/draw_report.h"
#include "samples/sample_class.h"
#include "stats/bootstrap.h"
#include "star_class.h"
#include "test_context.h"
#include "trace_panel.h"

using namespace qv::app;
using test::trigger;

namespace {

// The star class of star_class.h.
const QByteArray& kConcepts = test::kStarConcepts;
const QByteArray& kItems = test::kStarItems;
const QByteArray& kData = test::kStarData;

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
        test::runCommand(main_.get(), "mnuTriangleRun");
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

    // The intervals are the command line's default draw; the viewer fades the
    // links fewer than half the replicates keep; a new run takes them away.
    void showsBootstrapIntervals() {
        const QString samples = QStringLiteral(QV_SAMPLES_DIR "/");
        const QString name = QStringLiteral("91第一次數學小考.txt");
        load({samples + "Data/" + name, samples + "ConceptNote/" + name,
              samples + "ItemConcept/" + name});
        frmClass* w = openClass();
        trigger(w, "mnuBootstrap");
        QVERIFY(QTest::qWaitFor([&] { return !w->bootstrapRunner()->running(); }, 60000));
        ClassResultsProxy* table = w->results();
        QCOMPARE(table->columnCount(), ClassResultsModel::kColumnCount + 3);
        qv::BootstrapOptions options;
        options.replicates = 1000;
        const auto run = t_->context.results;
        const qv::BootstrapResults expected = qv::bootstrapIntervals(*run, options).value();
        bool someFaint = false;
        for (int row = 0; row < table->rowCount(); ++row) {
            const auto k = static_cast<std::size_t>(table->recordOf(row));
            const qv::StudentIntervals& s = expected.students[k];
            for (std::size_t x = 0; x < 3; ++x) {
                const QString shown =
                    table->index(row, ClassResultsModel::kFirstInterval + int(x)).data().toString();
                QCOMPARE(shown, s.ci[x]
                                    ? QString::fromStdString(qv::numberText(s.ci[x]->low) + " – " +
                                                             qv::numberText(s.ci[x]->high))
                                    : QStringLiteral("N/A"));
            }
            w->openStudent(row);
            int unstable = 0, faint = 0;
            for (std::int32_t kept : s.linksKept)
                unstable += 2 * kept < 1000;
            for (const qv::CanvasOp& op : w->viewer()->picture().ops())
                faint +=
                    op.kind == qv::CanvasOp::Kind::ColourLine && op.colour == qv::kFaintLinkColour;
            // Each such link is in the Target panel and in Match or Over.
            QCOMPARE(faint, 2 * unstable);
            someFaint |= unstable > 0;
            QCOMPARE(w->viewer()
                         ->findChild<QLabel*>(QStringLiteral("lblUnstableLinks"))
                         ->isVisibleTo(w->viewer()),
                     unstable > 0);
        }
        QVERIFY(someFaint);
        // Kept with the run: a window opened again shows them.
        w->close();
        test::flushDeletes();
        trigger(main_.get(), "mnuClassOverview");
        w = main_->windows().find<frmClass>();
        table = w->results();
        QCOMPARE(table->columnCount(), ClassResultsModel::kColumnCount + 3);
        test::runCommand(main_.get(), "mnuPathSearchRun");
        QCOMPARE(table->columnCount(), ClassResultsModel::kColumnCount);
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
        test::runCommand(main_.get(), "mnuPathSearchRun");
        QCOMPARE(w->results()->rowCount(), 3);
        QVERIFY(w->findChild<QAction*>(QStringLiteral("mnuExportResults"))->isEnabled());
    }

    // Sorted, rerun with another method and sorted again: the order follows
    // the new values, not keys left from the run before.
    void sortFollowsTheValuesOfARerun() {
        const auto sample = [](const char* folder, std::string_view name) {
            const QString file = QString::fromUtf8(name.data(), qsizetype(name.size()));
            return QStringLiteral(QV_SAMPLES_DIR "/%1/%2").arg(QString::fromLatin1(folder), file);
        };
        load({sample("Data", qv::samples::studentFileName()),
              sample("ConceptNote", qv::samples::conceptFileName()),
              sample("ItemConcept", qv::samples::itemConceptFileName())});
        frmClass* w = openClass();
        w->resultsTable()->sortByColumn(ClassResultsModel::kGtd, Qt::AscendingOrder);
        const QStringList before = column(w->results(), ClassResultsModel::kId);
        test::runCommand(main_.get(), "mnuPathSearchRun");
        w->resultsTable()->sortByColumn(ClassResultsModel::kGtd, Qt::AscendingOrder);
        ClassResultsProxy* proxy = w->results();
        const auto* model = static_cast<const ClassResultsModel*>(proxy->sourceModel());
        std::vector<double> shown;
        for (int row = 0; row < proxy->rowCount(); ++row)
            shown.push_back(model->value(proxy->recordOf(row), ClassResultsModel::kGtd)
                                .value_or(std::numeric_limits<double>::infinity()));
        QVERIFY(std::ranges::is_sorted(shown));
        QVERIFY(column(proxy, ClassResultsModel::kId) != before);
    }

    // After a load and after a run, the viewer of the class before closes and
    // the print window's reports say where they come from.
    void windowsOfAnOlderClassCloseOrSaySo() {
        load({file("data.txt"), file("concepts.txt"), file("items.txt")});
        frmClass* w = openClass();
        w->openStudent(0);
        const QPointer<frmStudentViewer> viewer = w->viewer();
        QVERIFY(viewer && viewer->isVisible());
        main_->inquireId()->setText(QStringLiteral("90702001"));
        test::click(main_.get(), "ShowID");
        auto* print = main_->windows().find<frmStudent>();
        QVERIFY(print && print->note().isEmpty());
        t_->dialogs.answers = {file("data.txt")};
        trigger(main_.get(), "mnuOpenData");
        test::flushDeletes();
        QVERIFY(!viewer);
        QCOMPARE(print->note(), QStringLiteral("此報表來自先前載入的班級，請重新查詢。"));
        test::runCommand(main_.get(), "mnuTriangleRun");
        QCOMPARE(print->note(), QStringLiteral("此報表來自先前載入的班級，請重新查詢。"));
        test::click(main_.get(), "ShowID");
        QVERIFY(print->note().isEmpty());
        test::runCommand(main_.get(), "mnuPathSearchRun");
        QCOMPARE(print->note(), QStringLiteral("此報表來自先前的分析，請重新查詢。"));
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
        QTest::mouseClick(
            w->heatMap()->surface(), Qt::LeftButton, {},
            w->heatMap()->surfacePoint({l.grid.x + l.cell + l.cell / 2, l.grid.y + l.cell / 2}));
        QCOMPARE(w->selectedPair(), std::optional(std::pair(0, 1)));
        QTableWidget* trace = w->trace()->table();
        QCOMPARE(trace->rowCount(), 4);
        QCOMPARE(trace->item(3, 2)->text(), QStringLiteral("66.7%"));  // item 4: two of three
        QVERIFY(trace->isColumnHidden(4));
        // The trace follows the links tab, where no student is picked: one
        // picked on the results tab is not named in it.
        w->resultsTable()->selectRow(2);
        w->selectPair(1, 0);
        QVERIFY(trace->isColumnHidden(4));
        QVERIFY(!w->trace()->heading().contains(QStringLiteral("90702003")));
        // The ranked list selects its pair the same way.
        auto* extra = w->findChild<QTableWidget*>(QStringLiteral("lstExtra"));
        QVERIFY(extra->rowCount() > 0);
        extra->setCurrentCell(0, 0);
        const QPoint pair = extra->item(0, 0)->data(Qt::UserRole).toPoint();
        QCOMPARE(w->selectedPair(), std::optional(std::pair(pair.x(), pair.y())));
        w->findChild<QPushButton*>(QStringLiteral("btnClearLinkFilter"))->click();

        // Enter opens the viewer; each student is drawn on a clean picture.
        w->resultsTable()->selectRow(1);
        QTest::keyClick(w->resultsTable(), Qt::Key_Return);
        frmStudentViewer* v = w->viewer();
        QVERIFY(v && v->isVisible());
        QCOMPARE(v->current(), 1);
        v->findChild<QPushButton*>(QStringLiteral("cmdNext"))->click();
        QCOMPARE(v->current(), 2);
        qv::RecordingCanvas alone;
        qv::DrawStudentReport(alone, *t_->context.results, 2);
        QCOMPARE(v->picture().ops(), alone.ops());
        QVERIFY(!v->findChild<QPushButton*>(QStringLiteral("cmdNext"))->isEnabled());
        v->onPrevious();
        // 90702002 misses two of the star's links: click one in the Miss panel.
        const qv::StudentRecord& r = t_->context.results->students[1];
        // The last of them: the force layout draws it away from the circle's.
        int j = 3;
        while (qv::hasLink(r.links, 0, j))
            --j;
        auto* view = v->findChild<ChartView*>();
        const QString named =
            QString::number(j + 1) + QStringLiteral(" ") + QStringList{"甲", "乙", "丙", "丁"}[j];
        // A quarter of the way from concept j, away from the others' links.
        const auto clickMissed = [&](const std::vector<qv::LayoutPoint>& nodes) {
            v->trace()->clear();
            QTest::mouseClick(view->surface(), Qt::LeftButton, {},
                              view->surfacePoint({(nodes[0].x + 3 * nodes[j].x) / 4,
                                                  (nodes[0].y + 3 * nodes[j].y) / 4}));
            const QString heading = v->trace()->heading();
            QVERIFY2(
                heading.contains(QStringLiteral("缺少此連結（Miss）")) && heading.contains(named),
                qPrintable(heading));
            QVERIFY(v->trace()->table()->rowCount() > 0);
            QCOMPARE(view->overlay().ops().back().from, nodes[0]);
        };
        clickMissed(qv::LayoutComparisonPanels(800, 600, 4).nodePoints[qv::kPanelMiss]);
        // In the force layout the link is clicked where that layout draws it.
        v->setNodeLayout(qv::NodeLayout::Force);
        const auto places = *qv::ForceLayout(t_->context.results->stdLinks, 4);
        clickMissed(qv::LayoutComparisonPanelsAt(800, 600, places).nodePoints[qv::kPanelMiss]);
        v->setNodeLayout(qv::NodeLayout::Circle);
    }

    // The student with no right answer stands apart; a picked link, a range
    // and a dot of the scatter lead to students; the items tab has the quiz.
    void filtersScatterItemsAndUndetermined() {
        load({file("data.txt"), file("concepts.txt"), file("items.txt")});
        frmClass* w = openClass();
        const auto* undetermined = w->findChild<QLabel*>(QStringLiteral("lblUndetermined"));
        QVERIFY(undetermined->text().contains(QStringLiteral("無法判定網路的學生：1 人（90702003）")));
        QCOMPARE(w->results()->index(2, 0).data(Qt::ForegroundRole), QVariant(QColor(Qt::gray)));
        QVERIFY(!w->results()->index(1, 0).data(Qt::ForegroundRole).isValid());
        // 甲-乙 is standard: the students without it; 乙-丙 is not: the
        // determined students who add it.
        const auto& students = t_->context.results->students;
        const auto picked = [&](int i, int j, bool standard) {
            QStringList ids;
            for (const qv::StudentRecord& r : students)
                if (!r.undetermined && qv::hasLink(r.links, i, j) != standard)
                    ids << QString::fromStdString(r.id);
            return ids;
        };
        w->selectPair(1, 0);
        QCOMPARE(column(w->results(), ClassResultsModel::kId), picked(0, 1, true));
        w->selectPair(2, 1);
        const QStringList missing = picked(1, 2, false);
        QCOMPARE(column(w->results(), ClassResultsModel::kId), missing);
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("lblLinkFilter"))
                    ->text()
                    .contains(QStringLiteral("多出「2 乙 — 3 丙」")));
        t_->dialogs.saveAnswers = {file("list.csv")};
        w->findChild<QPushButton*>(QStringLiteral("btnExportLinkFilter"))->click();
        QCOMPARE(test::readBytes(file("list.csv")).count("\r\n"), missing.size() + 1);
        w->findChild<QPushButton*>(QStringLiteral("btnClearLinkFilter"))->click();
        QCOMPARE(w->results()->rowCount(), 3);
        // PRX from 0: the student without a PRX goes, and the one below 0.
        w->findChild<QDoubleSpinBox*>(QStringLiteral("spnMinPrx"))->setValue(0);
        QCOMPARE(column(w->results(), ClassResultsModel::kId), QStringList{"90702001"});
        w->findChild<QDoubleSpinBox*>(QStringLiteral("spnMinPrx"))->setValue(-1);
        QCOMPARE(w->results()->rowCount(), 3);
        // A dot opens its student; the undetermined one has none, and its report says why.
        const qv::ScatterLayout& dots = w->scatterGeometry();
        QVERIFY(dots.dots[0] && dots.dots[1] && !dots.dots[2]);
        QTest::mouseClick(w->scatter()->surface(), Qt::LeftButton, {},
                          w->scatter()->surfacePoint(*dots.dots[1]));
        QVERIFY(w->viewer());
        QCOMPARE(w->viewer()->current(), 1);
        const auto* note = w->viewer()->findChild<QLabel*>(QStringLiteral("lblUndeterminedStudent"));
        QVERIFY(!note->isVisibleTo(w->viewer()));
        w->viewer()->onNext();
        QVERIFY(note->isVisibleTo(w->viewer()));
        auto* items = w->findChild<QTableWidget*>(QStringLiteral("tblItems"));
        QCOMPARE(items->rowCount(), 6);
        QCOMPARE(items->item(3, 2)->text(), QStringLiteral("0.67"));
        QVERIFY(w->findChild<QLabel*>(QStringLiteral("lblKr20"))->text().contains("KR-20"));
    }

    // More than 500 pages are printed only when the user says so; declining
    // asks for no printer and prints nothing.
    void asksBeforePrintingALargeClass() {
        const auto classOf = [](int students) {
            QByteArray data = "8\r\n9\r\nABCDAB\r\n";
            for (int k = 0; k < students; ++k)
                data += QByteArray::number(90700000 + k) + " ABCDA B\r\n";
            return data;
        };
        test::writeBytes(file("many.txt"), classOf(501));
        test::writeBytes(file("limit.txt"), classOf(500));
        load({file("many.txt"), file("concepts.txt"), file("items.txt")});
        frmClass* w = openClass();
        QCOMPARE(w->results()->rowCount(), 501);
        int printerAsked = 0;
        t_->dialogs.printerAnswer = [&](QPrinter& printer) {
            ++printerAsked;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file("many.pdf"));
            return true;
        };
        bool yes = false;
        t_->dialogs.questionAnswer = [&yes](const QString&) { return yes; };
        trigger(w, "mnuPrintClass");
        QCOMPARE(t_->dialogs.questions.size(), 1);
        QVERIFY(t_->dialogs.questions.front().contains(QStringLiteral("501")));
        QVERIFY(!w->printJob());
        QCOMPARE(printerAsked, 0);
        yes = true;
        trigger(w, "mnuPrintClass");
        QCOMPARE(t_->dialogs.questions.size(), 2);
        QVERIFY(w->printJob());
        w->printJob()->progressDialog()->cancel();
        waitForPrinting(w);
        // 500 pages go without a question.
        t_->dialogs.answers = {file("limit.txt")};
        trigger(main_.get(), "mnuOpenData");
        test::runCommand(main_.get(), "mnuTriangleRun");
        QCOMPARE(w->results()->rowCount(), 500);
        trigger(w, "mnuPrintClass");
        QCOMPARE(t_->dialogs.questions.size(), 2);
        QVERIFY(w->printJob());
        w->printJob()->progressDialog()->cancel();
        waitForPrinting(w);
        QVERIFY(!QFile::exists(file("many.pdf")));
        QCOMPARE(printerAsked, 2);
    }

    void exportsTheCommandLineCsv() {
        const QString samples = QStringLiteral(QV_SAMPLES_DIR "/");
        const QString name = QStringLiteral("91第一次數學小考.txt");
        load({samples + "Data/" + name, samples + "ConceptNote/" + name,
              samples + "ItemConcept/" + name});
        frmClass* w = openClass();
        QCOMPARE(w->results()->rowCount(), 35);
        // The heat map of 20 concepts shows whole in the window's size on a
        // 1366 x 768 screen, and grows with the window.
        w->tabs()->setCurrentIndex(2);
        w->resize(1240, 708);
        QCoreApplication::sendPostedEvents();
        ChartView* heat = w->heatMap();
        QVERIFY(heat->surface()->height() <= heat->viewport()->height());
        const double scale = heat->scale();
        w->resize(1540, 1008);
        QCoreApplication::sendPostedEvents();
        QVERIFY(heat->scale() > scale);
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
