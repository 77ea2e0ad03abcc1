// The print window: the student query and the layout test drawing on it,
// its picture painted from the record, and printing that never blocks.
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QTest>

#include "frmMain.h"
#include "frmStudent.h"
#include "link_networks.h"
#include "student_query.h"
#include "test_context.h"
#include "verify/p272.h"

using namespace qv::app;
using qv::AppState;
using qv::CanvasOp;

namespace {

// Seven concepts after a run: three records, the first and last sharing an ID.
AppState analysedState() {
    AppState s;
    s.conceptCount = 7;
    s.conceptsLoaded = s.dataLoaded = s.itemConceptLoaded = s.hasResults = true;
    s.conceptNames = {" 加法", " 減法", " 乘法", " 除法", " 分數", " 小數", " 比例"};
    s.stdLinks = qv::ExampleNet1();
    qv::StudentRecord r;
    r.links = qv::ExampleNet1();
    r.pfc = r.gtd = r.prx = "     1";
    for (const char* id : {"90702001", "90702002", "90702001"}) {
        r.id = id;
        s.students.push_back(r);
    }
    s.studentCount = 3;
    return s;
}

int countOps(const frmStudent& w, CanvasOp::Kind kind) {
    const auto& ops = w.picture().ops();
    return int(std::count_if(ops.begin(), ops.end(), [&](const CanvasOp& op) { return op.kind == kind; }));
}

}  // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT
  private:
    QPointer<frmStudent> window_;
    int created_ = 0;

    StudentWindowSource source(test::TestContext& t) {
        return [this, &t]() -> frmStudent* {
            if (!window_) window_ = new frmStudent(t.dialogs), ++created_;
            return window_;
        };
    }

  private slots:
    void init() { created_ = 0; }
    void cleanup() { delete window_; }

    void queryDrawsEveryExactMatchOnOneWindow() {
        test::TestContext t;
        t.context.state = analysedState();
        QCOMPARE(showStudentQuery(t.context, nullptr, QStringLiteral("90702001 "), source(t)), 0);
        QCOMPARE(created_, 0);  // no match: not even the window opens
        QCOMPARE(showStudentQuery(t.context, nullptr, QStringLiteral("90702001"), source(t)), 2);
        QVERIFY(window_ && window_->isVisible());
        QCOMPARE(window_->windowTitle(), QStringLiteral("90702001"));
        QCOMPARE(countOps(*window_, CanvasOp::Kind::Caption), 2);
        QCOMPARE(countOps(*window_, CanvasOp::Kind::ColourLine), 12);
        // A second query draws over the first, the layout test over both.
        QCOMPARE(showStudentQuery(t.context, nullptr, QStringLiteral("90702002"), source(t)), 1);
        showLayoutTest(source(t));
        QCOMPARE(created_, 1);
        QCOMPARE(window_->windowTitle(), QStringLiteral("90702002"));
        QCOMPARE(countOps(*window_, CanvasOp::Kind::Line), 3 * (16 + 12) + 780);
        // Closed, it comes back empty.
        test::trigger(window_, "mnuExit");
        test::flushDeletes();
        showLayoutTest(source(t));
        QCOMPARE(created_, 2);
        QCOMPARE(countOps(*window_, CanvasOp::Kind::Line), 780);
        QCOMPARE(t.messages(), 0u);
    }

    void queryBeforeARunExplains() {
        test::TestContext t;
        for (auto unready : {&AppState::hasResults, &AppState::conceptsLoaded}) {
            t.context.state = analysedState();
            t.context.state.*unready = false;
            QCOMPARE(showStudentQuery(t.context, nullptr, QStringLiteral("90702001"), source(t)), 0);
        }
        QCOMPARE(t.messages(), 2u);
        QVERIFY(t.dialogs.messages[0].text.contains(QStringLiteral("執行分析")));
        QCOMPARE(created_, 0);
    }

    void thePictureIsPaintedAgainFromTheRecord() {
        test::TestContext t;
        t.context.state = analysedState();
        t.context.state.students[1].links = qv::test::linkNetwork(7, {{0, 3}});
        showStudentQuery(t.context, nullptr, QStringLiteral("90702002"), source(t));
        window_->hide();
        window_->show();
        const QImage image = window_->findChild<QScrollArea*>()->widget()->grab().toImage();
        int red = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                red += qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) < 80 ? 1 : 0;
        QVERIFY(red > 50);  // the missed links
    }

    void printingAsksOnceAndWritesOnePage() {
        test::TestContext t;
        const QString pdf = t.root.filePath(QStringLiteral("out.pdf"));
        frmStudent w(t.dialogs);
        int asked = 0;
        w.setPrintDialogRunner([&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return ++asked == 1;  // chosen once, then cancelled
        });
        w.printer().setOutputFormat(QPrinter::PdfFormat);
        w.printer().setOutputFileName({});
        showLayoutTest([&] { return &w; });
        test::trigger(&w, "mnuSetup");
        test::trigger(&w, "mnuStart");
        QCOMPARE(asked, 1);  // a chosen printer is not asked for again
        const QByteArray bytes = test::readBytes(pdf);
        QCOMPARE(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1);
        QFile::remove(pdf);
        frmStudent unset(t.dialogs);
        unset.setPrintDialogRunner([&](QPrinter&, QWidget*) { return ++asked, false; });
        unset.printer().setOutputFormat(QPrinter::PdfFormat);
        unset.printer().setOutputFileName({});
        test::trigger(&unset, "mnuStart");  // no printer yet: asks, and the cancel prints nothing
        QCOMPARE(asked, 2);
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(t.messages(), 0u);
    }

    void theMainWindowsButtonsDrawOnOneWindow() {
        test::TestContext t;
        t.context.state = analysedState();
        frmMain main(t.context);
        main.inquireId()->setText(QStringLiteral("90702002"));
        test::click(&main, "ShowID");
        QPointer<frmStudent> w = main.windows().find<frmStudent>();
        QVERIFY(w && w->isVisible());
        test::click(&main, "計算特定概念型態");
        QCOMPARE(main.windows().find<frmStudent>(), w.data());
        QCOMPARE(countOps(*w, CanvasOp::Kind::Line), 16 + 12 + 780);
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
