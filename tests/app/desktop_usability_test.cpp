// The desktop program as a user meets it: Qt's own texts in Chinese, Enter in
// the ID box, what the lights and the status bar say about the loaded files,
// a print window that shows its whole drawing, and a speed test cancelled.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <chrono>
#include <thread>

#include "app_context.h"
#include "application.h"
#include "frmDebug.h"
#include "frmMain.h"
#include "frmStudent.h"
#include "recording_dialogs.h"
#include "samples/sample_class.h"
#include "translation.h"

using namespace qv::app;
using qv::app::test::RecordingDialogs;

namespace {

QString sampleFile(const char* folder, std::string_view name) {
    return QDir(QStringLiteral(QV_SAMPLES_DIR))
        .filePath(QString::fromUtf8(folder) + QLatin1Char('/') +
                  QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

bool qtTranslationInstalled() {
    for (const QString& folder : qtTranslationFolders())
        if (QFile::exists(QDir(folder).filePath(QStringLiteral("qtbase_zh_TW.qm")))) return true;
    return false;
}

QString okCancelTexts() {
    QMessageBox box(QMessageBox::Information, QString(), QString(),
                    QMessageBox::Ok | QMessageBox::Cancel);
    return box.button(QMessageBox::Ok)->text() + QLatin1Char('/') +
           box.button(QMessageBox::Cancel)->text();
}

}  // namespace

class DesktopUsabilityTest : public QObject {
    Q_OBJECT
  private:
    RecordingDialogs dialogs_;

    static void trigger(frmMain& w, const char* action) {
        w.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }
    static QString status(frmMain& w, const char* label) {
        return w.findChild<QLabel*>(QString::fromLatin1(label))->text();
    }
    void loadSampleAndRun(frmMain& w) {
        dialogs_.answers = {sampleFile("Data", qv::samples::studentFileName()),
                            sampleFile("ConceptNote", qv::samples::conceptFileName()),
                            sampleFile("ItemConcept", qv::samples::itemConceptFileName())};
        trigger(w, "mnuOpenData");
        trigger(w, "mnuOpenConceptNote");
        trigger(w, "mnuOpenItemConcept");
        trigger(w, "mnuTriangleRun");
        QVERIFY(QTest::qWaitFor([&] { return !w.running(); }, 120000));
        QVERIFY(dialogs_.messages.empty());
        QVERIFY(!w.resultText().isEmpty());
    }
    static void closeAll(frmMain& w) {
        w.windows().closeAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

  private slots:
    void init() { dialogs_ = RecordingDialogs(); }

    void qtTextsAreChineseWhileTheProgramRuns() {
        QTemporaryDir empty;
        QVERIFY(loadQtTranslation({empty.path()}) == nullptr);
        QCOMPARE(okCancelTexts(), QStringLiteral("OK/Cancel"));
        if (!qtTranslationInstalled())
            QSKIP("Qt's Traditional Chinese translation is not installed");
        {
            Application app(dialogs_);
            QCOMPARE(okCancelTexts(), QStringLiteral("確定/取消"));
        }
        QCOMPARE(okCancelTexts(), QStringLiteral("OK/Cancel"));
    }

    void enterInTheIdBoxRunsTheQuery() {
        AppContext context(dialogs_);
        frmMain w(context);
        w.show();
        loadSampleAndRun(w);
        w.inquireId()->setText(QStringLiteral("90702003"));
        QTest::keyClick(w.inquireId(), Qt::Key_Return);
        frmStudent* report = w.windows().find<frmStudent>();
        QVERIFY(report && report->isVisible());
        QCOMPARE(report->windowTitle(), QStringLiteral("90702003"));
        closeAll(w);
    }

    void lightsAndStatusBarFollowTheLoads() {
        AppContext context(dialogs_);
        frmMain w(context);
        QVERIFY(status(w, "lblLoadedFiles").isEmpty());
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("Shape_0"))->toolTip().contains("尚未開啟"));
        loadSampleAndRun(w);
        const QString data = sampleFile("Data", qv::samples::studentFileName());
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("Shape_0"))
                    ->toolTip()
                    .contains(QDir::toNativeSeparators(data)));
        const QString loaded = status(w, "lblLoadedFiles");
        for (const char* kind : {"學生資料檔", "概念註解檔", "題目所包含概念檔"})
            QVERIFY2(loaded.contains(QString::fromUtf8(kind)), qPrintable(loaded));
        QVERIFY(status(w, "lblResultState").isEmpty());

        // A refused file changes nothing, so the table still answers queries.
        const QString table = w.resultBox()->toPlainText();
        dialogs_.answers = {QDir(QDir::tempPath()).filePath(QStringLiteral("no-such-class.txt"))};
        trigger(w, "mnuOpenData");
        QCOMPARE(dialogs_.messages.size(), std::size_t(1));
        QVERIFY(status(w, "lblResultState").isEmpty());

        // A reload keeps the table on screen but no longer answers for it.
        dialogs_.answers = {data};
        trigger(w, "mnuOpenData");
        QCOMPARE(w.resultBox()->toPlainText(), table);
        QCOMPARE(status(w, "lblResultState"), QStringLiteral("結果已過期"));
        trigger(w, "mnuTriangleRun");
        QVERIFY(QTest::qWaitFor([&] { return !w.running(); }, 120000));
        QVERIFY(status(w, "lblResultState").isEmpty());
    }

    // The 40-point test graph reaches a few pixels past 800 x 600.
    void printWindowShowsTheWholeDrawingWithoutScrollBars() {
        AppContext context(dialogs_);
        frmMain w(context);
        w.findChild<QPushButton*>(QStringLiteral("計算特定概念型態"))->click();
        frmStudent* report = w.windows().find<frmStudent>();
        QVERIFY(report && report->isVisible());
        auto* scroll = report->findChild<QScrollArea*>();
        QApplication::processEvents();
        const QSize drawing = scroll->widget()->size();
        QVERIFY(drawing.height() > 600);
        QVERIFY(!scroll->horizontalScrollBar()->isVisible());
        QVERIFY(!scroll->verticalScrollBar()->isVisible());
        QVERIFY(scroll->viewport()->width() >= drawing.width());
        QVERIFY(scroll->viewport()->height() >= drawing.height());
        const QRect screen = report->screen()->availableGeometry();
        QVERIFY(screen.contains(report->frameGeometry()));
        closeAll(w);
    }

    void cancellingASpeedTestSaysSo() {
        AppContext context(dialogs_);
        QPointer<frmDebug> w = new frmDebug(context, {});
        // Slow enough that the random phase is still building its matrix when
        // the cancel comes, however fast the algorithms are.
        w->setUniformSourceFactory([] {
            return [] {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                return 0.5;
            };
        });
        w->findChild<QLineEdit*>(QStringLiteral("ForTest_0"))->setText(QStringLiteral("200"));
        w->show();
        w->findChild<QPushButton*>(QString::fromUtf8("算則四速度測試"))->click();
        QVERIFY(QTest::qWaitFor([&] { return w->resultText().contains("所需花費時間"); }, 20000));
        QVERIFY(w->speedTestRunning());
        w->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        QVERIFY(QTest::qWaitFor([&] { return !w->speedTestRunning(); }, 20000));
        const QString text = w->resultText();
        QVERIFY2(text.endsWith(QStringLiteral("已取消\n\r\n")), qPrintable(text));
        QCOMPARE(text.count(QStringLiteral("已取消")), 1);
        QVERIFY(w->findChild<QPlainTextEdit*>(QStringLiteral("結果"))
                    ->toPlainText()
                    .contains(QStringLiteral("已取消")));
        delete w;
    }
};

int main(int argc, char* argv[]) {
    // The default offscreen screen is 800 x 600, too small for any print
    // window; give it one of an ordinary desktop's size.
    QTemporaryDir dir;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform == "offscreen" && dir.isValid()) {
        const QString config = dir.filePath(QStringLiteral("screens.json"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(R"({"screens": [{"name": "desk", "x": 0, "y": 0, "width": 1280,
                           "height": 1024, "logicalDpi": 96, "dpr": 1}]})");
            file.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
        }
    }
    QApplication app(argc, argv);
    DesktopUsabilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_usability_test.moc"
