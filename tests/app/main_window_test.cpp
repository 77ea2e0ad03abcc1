#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "app_context.h"
#include "fonts.h"
#include "frmMain.h"
#include "indicator_light.h"
#include "recording_dialogs.h"

using namespace qv::app;

namespace {

struct MenuItem {
    const char* menu;
    const char* name;
    const char* text;
    QKeySequence shortcut;
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
  private:
    test::RecordingDialogs dialogs_;
    AppContext context_;

    template <typename T>
    T* child(QWidget& w, const char* name) {
        T* c = w.findChild<T*>(QString::fromUtf8(name));
        if (c == nullptr) qWarning("missing control %s", name);
        return c;
    }

  private slots:
    void init() {
        dialogs_ = test::RecordingDialogs();
        context_ = AppContext();
        context_.dialogs = &dialogs_;
    }

    void everyMenuItemHasItsCaptionShortcutAndPlace() {
        frmMain w(context_);
        QCOMPARE(w.windowTitle(), QStringLiteral("Quorvane"));
        const MenuItem items[] = {
            {"mnuFileNew", "mnuData", "資料檔(&D)", {}},
            {"mnuFileNew", "mnuConceptNote", "概念註解檔(&N)", {}},
            {"mnuFileNew", "mnuItemConcept", "題目所包含概念檔(&I)", {}},
            {"mnuFileOpen", "mnuOpenData", "資料檔(&D)", QKeySequence(QStringLiteral("Ctrl+D"))},
            {"mnuFileOpen", "mnuOpenConceptNote", "概念註解檔(&N)",
             QKeySequence(QStringLiteral("Ctrl+N"))},
            {"mnuFileOpen", "mnuOpenItemConcept", "題目所包含概念檔(&I)",
             QKeySequence(QStringLiteral("Ctrl+I"))},
            {"mnuFile", "mnuFileExit", "結束(&X)", {}},
            {"mnuRun", "mnuPathFinder01", "原始算則", QKeySequence(Qt::Key_F1)},
            {"mnuRun", "mnuLevel01", "一階三角切割", QKeySequence(Qt::Key_F2)},
            {"mnuRun", "mnuLeveln", "多階三角切割", QKeySequence(Qt::Key_F3)},
            {"mnuRun", "mnuTriangleRun", "Tamsel一階三角算則", QKeySequence(Qt::Key_F4)},
            {"mnuRun", "mnuPathSearchRun", "Tamsel一階路徑找尋", QKeySequence(Qt::Key_F5)},
            {"mnuHelp", "mnuHelpContents", "內容(&C)", {}},
            {"mnuHelp", "mnuHelpSearchForHelpOn", "搜尋說明主題(&S)...", {}},
            {"mnuHelp", "mnuHelpAbout", "關於(&A)", {}},
        };
        for (const MenuItem& item : items) {
            auto* menu = child<QMenu>(w, item.menu);
            QVERIFY(menu);
            QAction* action = nullptr;
            for (QAction* a : menu->actions()) {
                if (a->objectName() == QString::fromUtf8(item.name)) action = a;
            }
            QVERIFY2(action, item.name);
            QCOMPARE(action->text(), QString::fromUtf8(item.text));
            QCOMPARE(action->shortcut(), item.shortcut);
            QVERIFY(action->isEnabled());
        }
        // The top level: three menus and the debug command between 執行 and 說明.
        const QList<QAction*> top = w.menuBar()->actions();
        QStringList captions;
        for (QAction* a : top)
            captions << a->text();
        QCOMPARE(captions,
                 QStringList({QStringLiteral("檔案(&F)"), QStringLiteral("執行(&R)"),
                              QStringLiteral("除錯模式(&D)"), QStringLiteral("說明(&H)")}));
        QCOMPARE(top[2]->objectName(), QStringLiteral("mnuDebug"));
        QCOMPARE(top[2]->menu(), nullptr);
        const QList<QAction*> file = child<QMenu>(w, "mnuFile")->actions();
        QCOMPARE(file.size(), 3);
        QCOMPARE(file[0]->text(), QStringLiteral("新增(&N)"));
        QCOMPARE(file[1]->text(), QStringLiteral("開啟(&O)"));
        const QList<QAction*> help = child<QMenu>(w, "mnuHelp")->actions();
        QCOMPARE(help.size(), 4);
        QVERIFY(help[2]->isSeparator());
        QCOMPARE(help[2]->objectName(), QStringLiteral("mnuHelpBar0"));
    }

    void controlsCarryTheirNamesAndTexts() {
        frmMain w(context_);
        QCOMPARE(child<QGroupBox>(w, "Frame1")->title(), QStringLiteral("查詢特定學生概念型態"));
        QCOMPARE(child<QLabel>(w, "Label1")->text(), QStringLiteral("請輸入ID："));
        QCOMPARE(child<QLineEdit>(w, "InquareID")->text(), QStringLiteral("90702001"));
        QCOMPARE(child<QPushButton>(w, "ShowID")->text(), QStringLiteral("確定"));
        QCOMPARE(child<QGroupBox>(w, "Frame2")->title(), QStringLiteral("比較特定概念型態"));
        QCOMPARE(child<QPushButton>(w, "計算特定概念型態")->text(), QStringLiteral("確定"));
        QCOMPARE(child<QPushButton>(w, "讀取特定概念距離矩陣")->text(),
                 QStringLiteral("讀取特定概念距離矩陣"));
        QCOMPARE(child<QPushButton>(w, "讀取標準概念距離矩陣")->text(),
                 QStringLiteral("讀取標準概念距離矩陣"));
        QCOMPARE(child<QLabel>(w, "Label4")->text(), QStringLiteral("3個燈都亮才按執行"));
        auto* bar = child<QProgressBar>(w, "進度");
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 1000);
        QCOMPARE(child<QStatusBar>(w, "sbStatusBar"), w.statusBar());
        auto* box = child<QPlainTextEdit>(w, "ShowResult");
        QCOMPARE(box->toPlainText(), QString());
        QCOMPARE(box->font().family(), kKaiFamily);
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    }

    void chineseTextGetsTraditionalFaces() {
        installFonts();
        const QStringList installed = QFontDatabase::families();
        if (!installed.contains(QStringLiteral("AR PL UKai TW")) ||
            !installed.contains(QStringLiteral("Noto Sans CJK TC"))) {
            QSKIP("the Kai and Noto CJK fonts are not installed");
        }
        frmMain w(context_);
        QCOMPARE(QFontInfo(w.resultBox()->font()).family(), QStringLiteral("AR PL UKai TW"));
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Noto Sans CJK TC"));
        QVERIFY(QApplication::font().pointSize() >= 10);
    }

    void lightsStartUnlitAndStayRedOnceLit() {
        frmMain w(context_);
        for (int i = 0; i < 3; ++i) {
            auto* light =
                child<IndicatorLight>(w, QStringLiteral("Shape_%1").arg(i).toUtf8().constData());
            QVERIFY(light);
            QVERIFY(!w.isLit(i));
            QVERIFY(light->color() != QColor(255, 0, 0));
        }
        w.setLit(1);
        w.setLit(1);
        QVERIFY(w.isLit(1) && !w.isLit(0) && !w.isLit(2));
        QCOMPARE(child<IndicatorLight>(w, "Shape_1")->color(), QColor(255, 0, 0));
        // The lit colour reaches the screen.
        const QImage shot = w.grab().toImage();
        auto* light = child<IndicatorLight>(w, "Shape_1");
        const QPoint centre = light->mapTo(&w, light->rect().center());
        QCOMPARE(shot.pixelColor(centre * shot.devicePixelRatio()), QColor(255, 0, 0));
    }

    void helpCommandsShowTheirMessages() {
        frmMain w(context_);
        child<QAction>(w, "mnuHelpContents")->trigger();
        child<QAction>(w, "mnuHelpSearchForHelpOn")->trigger();
        QCOMPARE(dialogs_.messages.size(), std::size_t{2});
        QCOMPARE(dialogs_.messages[0].text,
                 QStringLiteral("無法顯示說明內容，無與此專案相關的說明。"));
        QCOMPARE(dialogs_.messages[1].text,
                 QStringLiteral("無法顯示說明內容，沒有和此專案相關的說明。"));
        for (const auto& m : dialogs_.messages) {
            QCOMPARE(m.icon, QMessageBox::Information);
            QCOMPARE(m.title, QStringLiteral("Quorvane"));
        }
    }

    void commandsWithoutActionDoNothing() {
        frmMain w(context_);
        w.setResultText("x\n\r\n");
        for (const char* name : {"mnuPathFinder01", "mnuLevel01", "mnuLeveln"}) {
            child<QAction>(w, name)->trigger();
        }
        for (const char* name : {"讀取特定概念距離矩陣", "讀取標準概念距離矩陣"}) {
            QTest::mouseClick(child<QPushButton>(w, name), Qt::LeftButton);
        }
        QCOMPARE(w.resultText(), QStringLiteral("x\n\r\n"));
        QCOMPARE(w.progressBar()->value(), 0);
        QVERIFY(dialogs_.messages.empty() && dialogs_.opens.empty());
        QCOMPARE(w.windows().openCount(), 0);
    }

    void resultBoxShowsEachLineBreakAsOneLine() {
        frmMain w(context_);
        w.setResultText("  ID  PFC \n\r\n90702001  0.5\n\r\n");
        QCOMPARE(w.resultBox()->toPlainText(), QStringLiteral("  ID  PFC \n90702001  0.5\n"));
        QCOMPARE(w.resultText(), QStringLiteral("  ID  PFC \n\r\n90702001  0.5\n\r\n"));
        QCOMPARE(w.resultBox()->document()->blockCount(), 3);
    }

    void aLargeClassAppearsAtOnce() {
        frmMain w(context_);
        w.show();
        std::string text = "  ID       PFC    GTD    PRX \n\r\n";
        for (int k = 0; k < 10000; ++k) {
            text += std::to_string(90700000 + k) +
                    "  0.123  0.456  0.789     50%      25%      75%      40%      60% "
                    "33.333% \n\r\n";
        }
        QElapsedTimer timer;
        timer.start();
        w.setResultText(text);
        QCoreApplication::processEvents();
        const qint64 ms = timer.elapsed();
        qInfo("10000 rows shown in %lld ms", ms);
        QVERIFY(ms < 1500);
        QCOMPARE(w.resultBox()->document()->blockCount(), 10002);
        QCOMPARE(w.resultText().size(), QString::fromStdString(text).size());
    }

    void exitClosesEverySecondaryWindow() {
        frmMain w(context_);
        w.show();
        QPointer<QWidget> a = w.windows().show<QWidget>();
        QPointer<QLabel> b = w.windows().show<QLabel>();
        child<QAction>(w, "mnuFileExit")->trigger();
        QVERIFY(!w.isVisible());
        QVERIFY(a.isNull() && b.isNull());
    }

    void closingTheWindowClosesEverySecondaryWindow() {
        frmMain w(context_);
        w.show();
        QPointer<QWidget> a = w.windows().show<QWidget>();
        // An editor and the verification window, opened from the menus.
        child<QAction>(w, "mnuData")->trigger();
        child<QAction>(w, "mnuDebug")->trigger();
        QCOMPARE(w.windows().openCount(), 3);
        QList<QPointer<QWidget>> open;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top != &w && top->isVisible()) open << top;
        }
        QCOMPARE(open.size(), 3);
        QVERIFY(w.close());
        QVERIFY(a.isNull());
        for (const auto& p : open)
            QVERIFY(p.isNull());
        QCOMPARE(w.windows().openCount(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
