#include <QAction>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

#include "app_context.h"
#include "dialogs.h"
#include "frmMain.h"
#include "frmStudent.h"
#include "link_networks.h"
#include "recording_dialogs.h"
#include "report/draw_report.h"
#include "student_query.h"
#include "verify/p272.h"

using namespace qv;
using namespace qv::app;
using qv::app::test::RecordingDialogs;

namespace {

// Seven concepts after a run: three records, the first and last sharing an ID.
AppState analysedState() {
    AppState s;
    s.conceptCount = 7;
    s.conceptsLoaded = s.dataLoaded = s.itemConceptLoaded = s.hasResults = true;
    s.conceptNames = {" 加法", " 減法", " 乘法", " 除法", " 分數", " 小數", " 比例"};
    s.stdLinks = ExampleNet1();
    StudentRecord r;
    r.links = ExampleNet1();
    r.pfc = r.gtd = r.prx = "     1";
    for (const char* id : {"90702001", "90702002", "90702001"}) {
        r.id = id;
        s.students.push_back(r);
    }
    s.studentCount = 3;
    return s;
}

int countOps(const RecordingCanvas& c, CanvasOp::Kind kind) {
    return static_cast<int>(std::count_if(c.ops().begin(), c.ops().end(),
                                          [&](const CanvasOp& op) { return op.kind == kind; }));
}

int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray pdf = f.readAll();
    int pages = 0;
    for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0;
         at = pdf.indexOf("/Type /Page", at + 1))
        if (pdf.mid(at + 11, 1) != "s") ++pages;
    return pages;
}

bool isRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
}

}  // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT

  private:
    RecordingDialogs dialogs_;
    AppContext context_;
    QPointer<frmStudent> window_;
    int created_ = 0;

    StudentWindowSource source() {
        return [this]() -> frmStudent* {
            if (!window_) {
                window_ = new frmStudent(&dialogs_);
                ++created_;
            }
            return window_;
        };
    }
    void closeWindow() {
        if (window_) window_->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

  private slots:
    void init() {
        dialogs_.messages.clear();
        context_ = AppContext{};
        context_.dialogs = &dialogs_;
        created_ = 0;
    }
    void cleanup() { closeWindow(); }

    void windowAsDesigned() {
        frmStudent w(&dialogs_);
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(w.windowTitle(), QStringLiteral("Form1"));
        w.showCentred();
        QCOMPARE(w.centralWidget()->size(), QSize(800, 600));
        auto* print = w.findChild<QMenu*>(QStringLiteral("mnuPrint"));
        QVERIFY(print);
        QCOMPARE(print->title(), QStringLiteral("列印(&P)"));
        auto* setup = w.findChild<QAction*>(QStringLiteral("mnuSetup"));
        auto* start = w.findChild<QAction*>(QStringLiteral("mnuStart"));
        auto* exit = w.findChild<QAction*>(QStringLiteral("mnuExit"));
        QVERIFY(setup && start && exit);
        QCOMPARE(setup->text(), QStringLiteral("設定印表機(&S)"));
        QCOMPARE(setup->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(start->text(), QStringLiteral("列印(&P)"));
        QCOMPARE(start->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(exit->text(), QStringLiteral("結束(&X)"));
        QVERIFY(w.menuBar()->actions().contains(exit));
        QVERIFY(print->actions() == (QList<QAction*>{setup, start}));
    }

    void queryDrawsEveryExactMatch() {
        context_.state = analysedState();
        QCOMPARE(showStudentQuery(context_, nullptr, QStringLiteral("90702001 "), source()), 0);
        QCOMPARE(created_, 0);  // no match: not even the window opens
        QCOMPARE(showStudentQuery(context_, nullptr, QStringLiteral("90702001"), source()), 2);
        QVERIFY(window_ && window_->isVisible());
        QCOMPARE(window_->windowTitle(), QStringLiteral("90702001"));
        QCOMPARE(countOps(window_->picture(), CanvasOp::Kind::Caption), 2);
        QCOMPARE(countOps(window_->picture(), CanvasOp::Kind::ColourLine), 12);
        QVERIFY(dialogs_.messages.empty());
        // A second query draws over the first, the layout test over both.
        QCOMPARE(showStudentQuery(context_, nullptr, QStringLiteral("90702002"), source()), 1);
        showLayoutTest(source());
        QCOMPARE(created_, 1);
        QCOMPARE(window_->windowTitle(), QStringLiteral("90702002"));
        QCOMPARE(countOps(window_->picture(), CanvasOp::Kind::Line), 3 * (16 + 12) + 780);
    }

    void closedWindowComesBackEmpty() {
        context_.state = analysedState();
        showStudentQuery(context_, nullptr, QStringLiteral("90702002"), source());
        window_->findChild<QAction*>(QStringLiteral("mnuExit"))->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window_.isNull());
        showLayoutTest(source());
        QCOMPARE(created_, 2);
        QCOMPARE(window_->windowTitle(), QStringLiteral("Form1"));
        QCOMPARE(countOps(window_->picture(), CanvasOp::Kind::Caption), 0);
        QCOMPARE(countOps(window_->picture(), CanvasOp::Kind::Line), 780);
    }

    void queryBeforeARunExplains() {
        context_.state = analysedState();
        context_.state.hasResults = false;
        QCOMPARE(showStudentQuery(context_, nullptr, QStringLiteral("90702001"), source()), 0);
        QCOMPARE(dialogs_.messages.size(), std::size_t{1});
        QVERIFY(dialogs_.messages[0].text.contains(QStringLiteral("執行分析")));
        context_.state = analysedState();
        context_.state.conceptCount = 0;
        context_.state.conceptsLoaded = false;
        QCOMPARE(showStudentQuery(context_, nullptr, QStringLiteral("90702001"), source()), 0);
        QCOMPARE(dialogs_.messages.size(), std::size_t{2});
        QCOMPARE(created_, 0);
    }

    void pictureIsPaintedAndKept() {
        context_.state = analysedState();
        context_.state.students[1].links = qv::test::linkNetwork(7, {{0, 3}});
        showStudentQuery(context_, nullptr, QStringLiteral("90702002"), source());
        auto* scroll = qobject_cast<QScrollArea*>(window_->centralWidget());
        QVERIFY(scroll);
        window_->hide();
        window_->show();  // covered and uncovered: painted again from the record
        const QImage image = scroll->widget()->grab().toImage();
        QVERIFY(isRed(image.pixel(203, 107)) || isRed(image.pixel(204, 107)));
        int redInMatchPanel = 0;
        for (int y = 5; y < 290; ++y)
            for (int x = 305; x < 595; ++x)
                redInMatchPanel += isRed(image.pixel(x, y)) ? 1 : 0;
        QCOMPARE(redInMatchPanel, 0);
    }

    void printsOnePageToPdf() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (bool drawn : {false, true}) {
            frmStudent w(&dialogs_);
            w.setAttribute(Qt::WA_DeleteOnClose, false);
            const QString pdf = dir.filePath(drawn ? "drawn.pdf" : "empty.pdf");
            int dialogs = 0;
            w.setPrintDialogRunner([&](QPrinter& printer, QWidget*) {
                ++dialogs;
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(pdf);
                return true;
            });
            w.show();
            if (drawn) DrawLayoutTest(w.canvas());
            w.findChild<QAction*>(QStringLiteral("mnuSetup"))->trigger();
            w.findChild<QAction*>(QStringLiteral("mnuStart"))->trigger();
            QCOMPARE(dialogs, 1);  // printing itself asks nothing once a printer is chosen
            QCOMPARE(pdfPages(pdf), 1);
            QVERIFY(dialogs_.messages.empty());
        }
    }

    void mainWindowButtonsDrawOnOneWindow() {
        context_.state = analysedState();
        frmMain main(context_);
        main.show();
        main.findChild<QLineEdit*>(QStringLiteral("InquareID"))
            ->setText(QStringLiteral("90702002"));
        main.findChild<QPushButton*>(QStringLiteral("ShowID"))->click();
        QPointer<frmStudent> w = main.windows().find<frmStudent>();
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->windowTitle(), QStringLiteral("90702002"));
        main.findChild<QPushButton*>(QStringLiteral("計算特定概念型態"))->click();
        QCOMPARE(main.windows().find<frmStudent>(), w.data());
        QCOMPARE(countOps(w->picture(), CanvasOp::Kind::Line), 16 + 12 + 780);
        main.close();  // takes the print window with it
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isNull());
    }

    void cancelledChoicePrintsNothing() {
        frmStudent w(&dialogs_);
        w.setAttribute(Qt::WA_DeleteOnClose, false);
        int dialogs = 0;
        w.setPrintDialogRunner([&](QPrinter&, QWidget*) { return ++dialogs, false; });
        // No printer and no file chosen yet: printing asks first.
        w.printer().setOutputFormat(QPrinter::PdfFormat);
        w.printer().setOutputFileName({});
        w.findChild<QAction*>(QStringLiteral("mnuStart"))->trigger();
        QCOMPARE(dialogs, 1);
        QVERIFY(dialogs_.messages.empty());
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
