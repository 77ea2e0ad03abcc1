// The print window: the student query and the layout test drawing on it, and
// printing that never blocks.
#include <sys/resource.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTest>
#include <algorithm>
#include <csignal>

#include "frmStudent.h"
#include "print_pages.h"
#include "student_query.h"
#include "test_context.h"
#include "verify/p272.h"

using namespace qv::app;
using qv::CanvasOp;

namespace {

// Seven concepts after a run: three records, the first and last sharing an ID.
void analyse(AppContext& context) {
    qv::ClassData d;
    d.conceptCount = 7;
    d.conceptsLoaded = d.dataLoaded = d.itemConceptLoaded = true;
    d.conceptNames = {" 加法", " 減法", " 乘法", " 除法", " 分數", " 小數", " 比例"};
    d.studentCount = 3;
    context.classData = std::make_shared<const qv::ClassData>(std::move(d));
    qv::RunResults s;
    s.data = context.classData;
    s.stdLinks = qv::ExampleNet1();
    qv::StudentRecord r;
    r.links = qv::linkRows(qv::ExampleNet1(), 7);
    r.pfcValue = r.gtdValue = r.prxValue = 1.0;
    for (const char* id : {"90702001", "90702002", "90702001"}) {
        r.id = id;
        s.students.push_back(r);
    }
    context.results = std::make_shared<const qv::RunResults>(std::move(s));
}

int countOps(const frmStudent& w, CanvasOp::Kind kind) {
    return int(std::ranges::count(w.picture().ops(), kind, &CanvasOp::kind));
}

}  // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<test::TestContext> t_;
    QPointer<frmStudent> window_;
    int created_ = 0;

    StudentWindowSource source() {
        return [this]() -> frmStudent* {
            if (!window_) window_ = new frmStudent(t_->dialogs), ++created_;
            return window_;
        };
    }
    int query(const char* id) {
        return showStudentQuery(t_->context, nullptr, QString::fromUtf8(id), source());
    }

  private slots:
    void init() {
        t_ = std::make_unique<test::TestContext>();
        analyse(t_->context);
        created_ = 0;
    }
    void cleanup() { delete window_; }

    void queryDrawsEveryExactMatchOnOneWindow() {
        QCOMPARE(query("90702001 "), 0);
        QCOMPARE(created_, 0);  // no match: not even the window opens
        QCOMPARE(query("90702001"), 2);
        QVERIFY(window_ && window_->isVisible());
        QCOMPARE(window_->windowTitle(), QStringLiteral("90702001"));
        // A second query draws over the first, the layout test over both.
        QCOMPARE(query("90702002"), 1);
        showLayoutTest(source());
        QCOMPARE(created_, 1);
        QCOMPARE(window_->windowTitle(), QStringLiteral("90702002"));
        QCOMPARE(countOps(*window_, CanvasOp::Kind::Line), 3 * (16 + 12) + 780);
        // With more than reports on it, another layout is left for the next query.
        window_->findChild<QComboBox*>(QStringLiteral("cboLayout"))->setCurrentIndex(1);
        QCOMPARE(countOps(*window_, CanvasOp::Kind::Line), 3 * (16 + 12) + 780);
        // Closed, it comes back empty.
        test::trigger(window_, "mnuExit");
        test::flushDeletes();
        showLayoutTest(source());
        QCOMPARE(created_, 2);
        QCOMPARE(countOps(*window_, CanvasOp::Kind::Line), 780);
        QCOMPARE(t_->messages(), 0u);
    }

    void queryBeforeARunExplains() {
        // No run yet, and a file loaded since the run.
        t_->context.results.reset();
        QCOMPARE(query("90702001"), 0);
        analyse(t_->context);
        t_->context.classData = std::make_shared<const qv::ClassData>(*t_->context.classData);
        QCOMPARE(query("90702001"), 0);
        QCOMPARE(t_->messages(), 2u);
        QVERIFY(t_->dialogs.messages[0].text.contains(QStringLiteral("執行分析")));
        QCOMPARE(created_, 0);
    }

    void printingAsksOnlyUntilAPrinterIsChosen() {
        const QString pdf = t_->root.filePath(QStringLiteral("out.pdf"));
        frmStudent w(t_->dialogs);
        w.printer().setOutputFormat(QPrinter::PdfFormat);
        w.printer().setOutputFileName({});
        int asked = 0;
        w.setPrintDialogRunner([&](QPrinter& printer, QWidget*) {
            if (++asked == 1) return false;  // cancelled the first time
            printer.setOutputFileName(pdf);
            return true;
        });
        showLayoutTest([&] { return &w; });
        test::trigger(&w, "mnuStart");
        QVERIFY(asked == 1 && !QFile::exists(pdf));
        test::trigger(&w, "mnuSetup");
        test::trigger(&w, "mnuStart");
        QCOMPARE(asked, 2);
        const QByteArray bytes = test::readBytes(pdf);
        QCOMPARE(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 1);
        QCOMPARE(t_->messages(), 0u);
    }

    // A PDF that cannot be written whole leaves the old file as it was and
    // says why, naming it; a loaded input file is never printed over.
    void printingToPdfKeepsTheOldFileOnFailure() {
        const QString pdf = t_->root.filePath(QStringLiteral("old.pdf"));
        test::writeBytes(pdf, "an old PDF");
        frmStudent w(t_->dialogs);
        w.printer().setOutputFormat(QPrinter::PdfFormat);
        w.printer().setOutputFileName(pdf);
        showLayoutTest([&] { return &w; });
        {
            // A file-size limit stands in for a full disk, even for root.
            const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
            rlimit before{};
            ::getrlimit(RLIMIT_FSIZE, &before);
            const rlimit small{4096, before.rlim_max};
            ::setrlimit(RLIMIT_FSIZE, &small);
            test::trigger(&w, "mnuStart");
            ::setrlimit(RLIMIT_FSIZE, &before);
            ::signal(SIGXFSZ, oldHandler);
        }
        QCOMPARE(test::readBytes(pdf), QByteArray("an old PDF"));
        QCOMPARE(t_->messages(), 1u);
        QVERIFY2(t_->lastMessage().contains(pdf) &&
                     t_->lastMessage().contains(QStringLiteral("檔案超過系統允許的大小")),
                 qPrintable(t_->lastMessage()));
        QCOMPARE(QDir(t_->root.path()).entryList(QDir::Hidden | QDir::Files).size(), 1);

        t_->context.inputFiles[1] = pdf;
        w.setOutputCheck([this](const QString& f) { return outputIsLoadedInput(t_->context, f); });
        w.printer().setOutputFileName(t_->root.path() + QStringLiteral("/./old.pdf"));
        test::trigger(&w, "mnuStart");
        QCOMPARE(test::readBytes(pdf), QByteArray("an old PDF"));
        QVERIFY(t_->lastMessage().contains(QStringLiteral("是已載入的輸入檔")));
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
