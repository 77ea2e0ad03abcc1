// The verification window: its example text, the speed tests running off the
// interface thread, their cancel, and closing while one runs.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QtTest>

#include "frmDebug.h"
#include "frmMain.h"
#include "test_context.h"

using namespace qv::app;
using test::click;

namespace {

const QString kLb = QStringLiteral("\n\r\n");

bool endsWithTime(const QString& text, const QString& size) {
    return QRegularExpression(kLb + size + "所需花費時間[0-9.]+秒\n\r\n$").match(text).hasMatch();
}

}  // namespace

class DebugWindowTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<test::TestContext> t_;
    QPointer<frmDebug> window_;

    frmDebug& open() {
        window_ = new frmDebug(t_->context, {});
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->show();
        return *window_;
    }
    void setInputs(const char* concepts, const char* maximum) {
        window_->findChild<QLineEdit*>(QStringLiteral("ForTest_0"))->setText(concepts);
        window_->findChild<QLineEdit*>(QStringLiteral("ForTest_1"))->setText(maximum);
    }
    bool waitIdle() {
        return QTest::qWaitFor([this] { return !window_->speedTestRunning(); }, 20000);
    }

  private slots:
    void init() { t_ = std::make_unique<test::TestContext>(); }
    void cleanup() {
        if (window_) window_->close();
        test::flushDeletes();
    }

    void theExampleShowsOneLinePerLineBreak() {
        frmDebug& w = open();
        click(&w, "Command2");
        const QString indices = "網路一與網路二" + kLb + "PFC=0.429" + kLb + "GTD=0.794" + kLb +
                                "網路一與網路三" + kLb + "PFC=0.881" + kLb + "GTD=-0.491" + kLb;
        QCOMPARE(w.resultText(), indices);
        QCOMPARE(w.findChild<QPlainTextEdit*>(QStringLiteral("結果"))->toPlainText(),
                 QString(indices).replace(kLb, QStringLiteral("\n")));
    }

    void speedTestsReportTheirTimeAndRefuseBadInputs() {
        frmDebug& w = open();
        click(&w, "算則一速度測試");  // the sample matrix
        QVERIFY(waitIdle());
        QVERIFY(w.resultText().startsWith("0  1  0  1  1" + kLb));
        QVERIFY(endsWithTime(w.resultText(), {}));
        setInputs("5", "1");
        click(&w, "算則二速度測試");  // then a random one
        QVERIFY(waitIdle());
        QVERIFY(endsWithTime(w.resultText(), QStringLiteral("5x5")));
        QCOMPARE(t_->messages(), 0u);
        const QString before = w.resultText();
        for (const auto& [concepts, maximum, says] :
             {std::tuple{"-3", "10", "負數"}, std::tuple{"20", "40000", "隨機最大值"}}) {
            setInputs(concepts, maximum);
            click(&w, "算則四速度測試");
            QVERIFY(!w.speedTestRunning());
            QVERIFY2(t_->lastMessage().contains(says), qPrintable(t_->lastMessage()));
        }
        QCOMPARE(t_->messages(), 2u);
        QCOMPARE(w.resultText(), before);
    }

    void cancelStopsTheRandomPhaseAndSaysSo() {
        frmDebug& w = open();
        w.findChild<QLineEdit*>(QStringLiteral("ForTest_0"))->setText(QStringLiteral("2000"));
        click(&w, "算則四速度測試");  // 2000 concepts: far too long without a cancel
        QVERIFY(QTest::qWaitFor([&] { return w.resultText().contains("所需花費時間"); }, 10000));
        QVERIFY(w.speedTestRunning());
        const QString sample = w.resultText();
        click(&w, "cmdCancel");
        QVERIFY(waitIdle());
        QCOMPARE(w.resultText(), sample + "已取消" + kLb);
        QVERIFY(w.findChild<QPushButton*>(QStringLiteral("Command1"))->isEnabled());
    }

    void closingWhileRunningStopsTheSearch() {
        click(&open(), "算則四速度測試");
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
