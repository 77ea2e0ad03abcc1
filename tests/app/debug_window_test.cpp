// The verification window: the example's texts and drawings, the speed tests
// running off the interface thread, their cancel, and closing while one runs.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QRegularExpression>
#include <QtTest>

#include "frmDebug.h"
#include "frmMain.h"
#include "frmStudent.h"
#include "test_context.h"

using namespace qv::app;
using test::click;

namespace {

const QString kLb = QStringLiteral("\n\r\n");

bool pictureHasText(const frmStudent& w, const std::string& text) {
    for (const qv::CanvasOp& op : w.picture().ops())
        if (op.kind == qv::CanvasOp::Kind::Text && op.text == text) return true;
    return false;
}

}  // namespace

class DebugWindowTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<test::TestContext> t_;
    QPointer<frmDebug> window_;
    QPointer<frmStudent> student_;

    frmDebug& open() {
        window_ = new frmDebug(t_->context, [this]() -> frmStudent* {
            if (!student_) student_ = new frmStudent(t_->dialogs);
            return student_;
        });
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->show();
        return *window_;
    }
    QLineEdit* input(int i) {
        return window_->findChild<QLineEdit*>(QStringLiteral("ForTest_%1").arg(i));
    }
    bool waitIdle() {
        return QTest::qWaitFor([this] { return !window_->speedTestRunning(); }, 20000);
    }

  private slots:
    void init() { t_ = std::make_unique<test::TestContext>(); }
    void cleanup() {
        if (window_) window_->close();
        delete student_;
        test::flushDeletes();
        QVERIFY(!window_);
    }

    void exampleTextsAndDrawings() {
        frmDebug& w = open();
        click(&w, "Command2");
        const QString indices = "網路一與網路二" + kLb + "PFC=0.429" + kLb + "GTD=0.794" + kLb +
                                "網路一與網路三" + kLb + "PFC=0.881" + kLb + "GTD=-0.491" + kLb;
        QCOMPARE(w.resultText(), indices);
        // One line per LineBreak on screen, no stray CR.
        const QString shown = w.findChild<QPlainTextEdit*>(QStringLiteral("結果"))->toPlainText();
        QCOMPARE(shown, QString(indices).replace(kLb, QStringLiteral("\n")));
        click(&w, "Command5");
        QCOMPARE(student_->windowTitle(), QStringLiteral("Sample272_3"));
        for (const char* text : {"PFC = 0.881", "GTD = -0.491"})
            QVERIFY2(pictureHasText(*student_, text), text);
    }

    void speedTestsReportTheirTime() {
        frmDebug& w = open();
        click(&w, "算則一速度測試");  // the sample matrix
        QVERIFY(waitIdle());
        QVERIFY(w.resultText().startsWith("0  1  0  1  1" + kLb));
        QVERIFY(QRegularExpression("\n\r\n所需花費時間[0-9.]+秒\n\r\n$")
                    .match(w.resultText())
                    .hasMatch());
        input(0)->setText(QStringLiteral("5"));
        input(1)->setText(QStringLiteral("1"));
        click(&w, "算則二速度測試");  // then a random one
        QVERIFY(waitIdle());
        QVERIFY(QRegularExpression("\n\r\n5x5所需花費時間[0-9.]+秒\n\r\n$")
                    .match(w.resultText())
                    .hasMatch());
        QCOMPARE(w.findChild<QProgressBar*>(QStringLiteral("進度"))->value(), 1000);
        QCOMPARE(t_->messages(), 0u);
    }

    void inputsOutOfRangeAreRefused() {
        frmDebug& w = open();
        const struct {
            const char *concepts, *maximum, *says;
        } refused[] = {{"-3", "10", "負數"}, {"20", "40000", "隨機最大值"}};
        for (const auto& r : refused) {
            input(0)->setText(QString::fromUtf8(r.concepts));
            input(1)->setText(QString::fromUtf8(r.maximum));
            click(&w, "算則四速度測試");
            QVERIFY(!w.speedTestRunning());
            QVERIFY2(t_->lastMessage().contains(QString::fromUtf8(r.says)),
                     qPrintable(t_->lastMessage()));
        }
        QCOMPARE(t_->messages(), std::size(refused));
        QVERIFY(w.resultText().isEmpty());
    }

    void cancelStopsTheRandomPhaseAndSaysSo() {
        frmDebug& w = open();
        click(&w, "算則四速度測試");  // 20 concepts: hours without a cancel
        QVERIFY(QTest::qWaitFor([&] { return w.resultText().contains("所需花費時間"); }, 10000));
        QVERIFY(w.speedTestRunning());
        QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
        const QString sample = w.resultText();
        click(&w, "cmdCancel");
        QVERIFY(waitIdle());
        QCOMPARE(w.resultText(), sample + "已取消" + kLb);
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
        QVERIFY(!w.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->isEnabled());
        QCOMPARE(t_->messages(), 0u);
    }

    void closingWhileRunningStopsTheSearch() {
        open();
        click(window_, "算則四速度測試");
        QVERIFY(window_->speedTestRunning());
        window_->close();
        QVERIFY(!window_ || !window_->isVisible());  // gone from the screen at once
        QTRY_VERIFY_WITH_TIMEOUT(!window_, 10000);   // and deleted once the search stopped
        // Quitting the program deletes it outright, stopping the search first.
        frmMain main(t_->context);
        test::trigger(&main, "mnuDebug");
        QPointer<frmDebug> running = main.windows().find<frmDebug>();
        click(running, "算則四速度測試");
        QVERIFY(running->speedTestRunning());
        main.windows().closeAll();
        QVERIFY(!running);
    }
};

QTEST_MAIN(DebugWindowTest)
#include "debug_window_test.moc"
