#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include "app_context.h"
#include "frmDebug.h"
#include "frmMain.h"
#include "frmStudent.h"
#include "recording_dialogs.h"

using namespace qv;
using namespace qv::app;
using qv::app::test::RecordingDialogs;

namespace {

const QString kLb = QStringLiteral("\n\r\n");

bool pictureHasText(const frmStudent& w, const std::string& text) {
    for (const CanvasOp& op : w.picture().ops())
        if (op.kind == CanvasOp::Kind::Text && op.text == text) return true;
    return false;
}

}  // namespace

class DebugWindowTest : public QObject {
    Q_OBJECT

  private:
    RecordingDialogs dialogs_;
    AppContext context_;
    QPointer<frmDebug> window_;
    QPointer<frmStudent> student_;

    frmDebug& open() {
        window_ = new frmDebug(context_, [this]() -> frmStudent* {
            if (!student_) student_ = new frmStudent(&dialogs_);
            return student_;
        });
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->show();
        return *window_;
    }
    template <typename T>
    T* child(const char* name) {
        T* w = window_->findChild<T*>(QString::fromUtf8(name));
        if (!w) qWarning("missing control %s", name);
        return w;
    }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    bool waitIdle(int ms = 20000) {
        return QTest::qWaitFor([this] { return !window_->speedTestRunning(); }, ms);
    }
    QString displayed() { return child<QPlainTextEdit>("結果")->toPlainText(); }

  private slots:
    void init() {
        dialogs_.messages.clear();
        context_ = AppContext{};
        context_.dialogs = &dialogs_;
    }
    void cleanup() {
        if (window_) window_->close();
        if (student_) student_->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window_ && !student_);
    }

    void controlsAsDesigned() {
        frmDebug& w = open();
        QCOMPARE(w.windowTitle(), QStringLiteral("驗證算則是否正確"));
        const QStringList captions = {
            "利用P272的例子驗證GTD距離矩陣", "利用P272的例子驗證GTD，PFC算則",
            "利用P272的例子驗證連結指標算則", "利用P272的例子1-2驗證圖形輸出",
            "利用P272的例子1-3驗證圖形輸出"};
        for (int c = 0; c < 5; ++c) {
            auto* b =
                child<QPushButton>(QStringLiteral("Command%1").arg(c + 1).toUtf8().constData());
            QVERIFY(b);
            QCOMPARE(b->text(), captions[c]);
        }
        QCOMPARE(child<QGroupBox>("Frame3")->title(), QStringLiteral("程式速度測試"));
        QCOMPARE(child<QLabel>("Label2_0")->text(), QStringLiteral("請輸入概念數："));
        QCOMPARE(child<QLabel>("Label2_1")->text(), QStringLiteral("請輸入隨機最大值："));
        QCOMPARE(child<QLineEdit>("ForTest_0")->text(), QStringLiteral("20"));
        QCOMPARE(child<QLineEdit>("ForTest_1")->text(), QStringLiteral("10"));
        QCOMPARE(child<QPushButton>("算則一速度測試")->text(), QStringLiteral("算則一速度測試"));
        QCOMPARE(child<QPushButton>("算則二速度測試")->text(), QStringLiteral("T算則二速度測試"));
        QCOMPARE(child<QPushButton>("算則三速度測試")->text(), QStringLiteral("L1算則三速度測試"));
        QCOMPARE(child<QPushButton>("算則四速度測試")->text(), QStringLiteral("O算則四速度測試"));
        QCOMPARE(child<QLabel>("Label3")->text(),
                 QStringLiteral("本測試的概念距離矩陣由隨機所造成！"));
        auto* box = child<QPlainTextEdit>("結果");
        QCOMPARE(box->font().family(), QStringLiteral("標楷體"));
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        auto* progress = child<QProgressBar>("進度");
        QCOMPARE(progress->value(), 0);
        QVERIFY(progress->maximum() >= 1000);
        QVERIFY(!child<QPushButton>("cmdCancel")->isEnabled());
        QVERIFY(!child<QProgressBar>("busyIndicator")->isVisible());
        // The left column: the five buttons above the frame, the bar below it.
        QVERIFY(child<QPushButton>("Command5")->geometry().bottom() <
                child<QGroupBox>("Frame3")->geometry().top() + 400);
        QVERIFY(progress->mapTo(&w, QPoint()).x() < box->mapTo(&w, QPoint()).x());
    }

    void exampleTexts() {
        frmDebug& w = open();
        click("Command2");  // before Command1: the distances are computed first
        QVERIFY(w.resultText().startsWith("網路一與網路二" + kLb + "PFC=0.429" + kLb));
        click("Command1");
        const QString distances = w.resultText();
        QVERIFY(distances.startsWith("網路一" + kLb + "0 1 1 2 2 2 2 " + kLb));
        QVERIFY(distances.contains("網路三" + kLb + "0 1 0 2 2 0 0 " + kLb));
        QCOMPARE(distances.count(kLb), 24);
        // One line break per LineBreak on screen, no stray CR.
        QCOMPARE(displayed().count('\n'), 24);
        QVERIFY(!displayed().contains('\r'));

        click("Command2");
        const QString indices = "網路一與網路二" + kLb + "PFC=0.429" + kLb + "GTD=0.794" + kLb +
                                "網路一與網路三" + kLb + "PFC=0.881" + kLb + "GTD=-0.491" + kLb;
        QCOMPARE(w.resultText(), indices);
        click("Command3");
        click("Command3");
        const QString text = w.resultText();
        QVERIFY(text.startsWith(indices));
        const QString block = text.mid(indices.size());
        QCOMPARE(block.size() % 2, 0);
        QCOMPARE(block.left(block.size() / 2), block.mid(block.size() / 2));  // appended twice
        QVERIFY(block.contains("MatchLinks on STD=83.333%" + kLb + "MissLinks on STD=16.667%"));
        QCOMPARE(block.count("網路一與網路二"), 2);
    }

    void exampleDrawings() {
        open();
        click("Command4");  // fresh window: every value 0
        QVERIFY(student_);
        QCOMPARE(student_->windowTitle(), QStringLiteral("Sample272_2"));
        QVERIFY(pictureHasText(*student_, "Sample272_2"));
        QVERIFY(pictureHasText(*student_, "PFC = 0"));
        QVERIFY(pictureHasText(*student_, "Over Links on Target = 0 %"));
        QVERIFY(pictureHasText(*student_, "1 :  A"));
        QVERIFY(pictureHasText(*student_, "7 :  G"));
        for (const CanvasOp& op : student_->picture().ops())
            QVERIFY(op.kind != CanvasOp::Kind::Text || op.text.rfind("PRX", 0) != 0);

        click("Command2");
        click("Command3");
        click("Command5");  // draws over the same window
        QCOMPARE(student_->windowTitle(), QStringLiteral("Sample272_3"));
        QVERIFY(pictureHasText(*student_, "PFC = 0.881"));
        QVERIFY(pictureHasText(*student_, "GTD = -0.491"));
        QVERIFY(pictureHasText(*student_, "Match Links on STD = 83.333 %"));
        QVERIFY(pictureHasText(*student_, "Miss Links on Target = 20 %"));
    }

    void sampleSpeedTest() {
        frmDebug& w = open();
        click("算則一速度測試");
        QVERIFY(waitIdle());
        const QString rows = "0  1  0  1  1" + kLb + "1  0  1  0  0" + kLb + "0  1  0  0  0" + kLb +
                             "1  0  0  0  1" + kLb + "1  0  0  1  0" + kLb;
        QVERIFY(w.resultText().startsWith(rows));
        QVERIFY(QRegularExpression("^所需花費時間[0-9.]+秒\n\r\n$")
                    .match(w.resultText().mid(rows.size()))
                    .hasMatch());
        QCOMPARE(child<QProgressBar>("進度")->value(), 100);
        QVERIFY(child<QPushButton>("Command1")->isEnabled());
    }

    void randomSpeedTest() {
        frmDebug& w = open();
        child<QLineEdit>("ForTest_0")->setText("5");
        child<QLineEdit>("ForTest_1")->setText("1");
        click("算則二速度測試");
        QVERIFY(waitIdle());
        QVERIFY(QRegularExpression("\n\r\n5x5所需花費時間[0-9.]+秒\n\r\n$")
                    .match(w.resultText())
                    .hasMatch());
        QCOMPARE(w.resultText().count(kLb), 7);
        QCOMPARE(child<QProgressBar>("進度")->value(), 1000);

        child<QLineEdit>("ForTest_0")->setText("");  // reads as 0
        click("算則三速度測試");
        QVERIFY(waitIdle());
        QVERIFY(w.resultText().contains(kLb + "0x0所需花費時間"));
        QVERIFY(dialogs_.messages.empty());
    }

    void refusesInputsOutOfRange() {
        frmDebug& w = open();
        click("Command1");
        const QString before = w.resultText();
        child<QLineEdit>("ForTest_0")->setText("-3");
        click("算則二速度測試");
        QCOMPARE(dialogs_.messages.size(), size_t(1));
        QVERIFY(dialogs_.messages[0].text.contains("負數"));
        QVERIFY(!w.speedTestRunning());
        QCOMPARE(w.resultText(), before);

        child<QLineEdit>("ForTest_0")->setText("20");
        child<QLineEdit>("ForTest_1")->setText("40000");
        click("算則四速度測試");
        QCOMPARE(dialogs_.messages.size(), size_t(2));
        QVERIFY(dialogs_.messages[1].text.contains("隨機最大值"));
        QCOMPARE(w.resultText(), before);
    }

    void cancelStopsTheRandomPhase() {
        frmDebug& w = open();
        child<QLineEdit>("ForTest_0")->setText("2000");
        click("算則四速度測試");  // 2000 concepts: hours here without a cancel
        QVERIFY(QTest::qWaitFor([&] { return w.resultText().contains("所需花費時間"); }, 10000));
        QVERIFY(w.speedTestRunning());
        QVERIFY(child<QPushButton>("cmdCancel")->isEnabled());
        QVERIFY(child<QProgressBar>("busyIndicator")->isVisible());
        QVERIFY(!child<QPushButton>("算則一速度測試")->isEnabled());
        QCOMPARE(child<QProgressBar>("進度")->value(), 100);
        const QString sample = w.resultText();
        QTest::qWait(100);  // responsive meanwhile
        click("cmdCancel");
        QVERIFY(waitIdle(10000));
        QCOMPARE(w.resultText(), sample);  // nothing for the cancelled phase
        QCOMPARE(child<QProgressBar>("進度")->value(), 100);
        QVERIFY(child<QPushButton>("算則一速度測試")->isEnabled());
        QVERIFY(!child<QPushButton>("cmdCancel")->isEnabled());
        QVERIFY(!child<QProgressBar>("busyIndicator")->isVisible());
        QVERIFY(dialogs_.messages.empty());
    }

    void mainWindowOpensOneModelessWindow() {
        frmMain main(context_);
        auto* debug = main.findChild<QAction*>(QStringLiteral("mnuDebug"));
        QVERIFY(debug);
        debug->trigger();
        QPointer<frmDebug> first = main.windows().find<frmDebug>();
        QVERIFY(first && first->isVisible() && !first->isModal());
        QMetaObject::invokeMethod(first, "onCommand2");
        debug->trigger();
        QCOMPARE(main.windows().find<frmDebug>(), first.data());
        QVERIFY(first->examples().hasGraphDistances());
        // Command4 draws on the main window's one print window.
        QMetaObject::invokeMethod(first, "onCommand4");
        QVERIFY(main.windows().find<frmStudent>());
        // Closed, the window and its results are gone; the next one starts afresh.
        first->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!first);
        debug->trigger();
        QVERIFY(!main.windows().find<frmDebug>()->examples().hasGraphDistances());
        main.windows().closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void closingWhileRunning() {
        open();
        click("算則四速度測試");
        QVERIFY(QTest::qWaitFor([this] { return window_->speedTestRunning(); }, 5000));
        QElapsedTimer clock;
        clock.start();
        window_->close();
        QVERIFY(!window_ || !window_->isVisible());  // gone from the screen at once
        QTRY_VERIFY_WITH_TIMEOUT(!window_, 10000);   // and deleted once the search stopped
        QVERIFY(clock.elapsed() < 10000);
        QTest::qWait(50);  // no late delivery to the deleted window

        // Opened again while its close is pending, it stays.
        open();
        click("算則四速度測試");
        QVERIFY(window_->speedTestRunning());
        window_->close();
        window_->show();
        QVERIFY(waitIdle(10000));
        QTest::qWait(20);
        QVERIFY(window_ && window_->isVisible());

        // Quitting the program deletes it outright, stopping the search first.
        frmMain main(context_);
        main.findChild<QAction*>(QStringLiteral("mnuDebug"))->trigger();
        QPointer<frmDebug> running = main.windows().find<frmDebug>();
        QMetaObject::invokeMethod(running, "onSpeedTest", Q_ARG(int, 3));
        QVERIFY(running->speedTestRunning());
        main.windows().closeAll();
        QVERIFY(!running);
    }
};

QTEST_MAIN(DebugWindowTest)
#include "debug_window_test.moc"
