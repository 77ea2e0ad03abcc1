#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "analysis/run.h"
#include "analysis/synthetic_class.h"
#include "app_context.h"
#include "frmMain.h"
#include "recording_dialogs.h"
#include "samples/sample_class.h"

using namespace qv::app;

namespace {

QString sampleFile(const char* folder, std::string_view name) {
    return QDir(QStringLiteral(QV_SAMPLES_DIR))
        .filePath(QString::fromUtf8(folder) + QLatin1Char('/') +
                  QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

// The engine's own text for the same run on an equal state.
QString engineText(const qv::AppState& state, qv::RunMethod method) {
    qv::AppState copy = state;
    qv::RunOptions options;
    options.method = method;
    auto text = qv::runAnalysis(copy, options);
    return text ? QString::fromStdString(*text)
                : QStringLiteral("refused: ") + QString::fromStdString(text.error());
}

}  // namespace

class RunTest : public QObject {
    Q_OBJECT
  private:
    test::RecordingDialogs dialogs_;
    AppContext context_;

    void trigger(frmMain& w, const char* action) {
        w.findChild<QAction*>(QString::fromLatin1(action))->trigger();
    }

    void loadSample(frmMain& w) {
        dialogs_.answers = {sampleFile("Data", qv::samples::studentFileName()),
                            sampleFile("ConceptNote", qv::samples::conceptFileName()),
                            sampleFile("ItemConcept", qv::samples::itemConceptFileName())};
        trigger(w, "mnuOpenData");
        QVERIFY(w.isLit(0) && !w.isLit(1) && !w.isLit(2));
        trigger(w, "mnuOpenConceptNote");
        QVERIFY(w.isLit(0) && w.isLit(1) && !w.isLit(2));
        trigger(w, "mnuOpenItemConcept");
        QVERIFY(w.isLit(0) && w.isLit(1) && w.isLit(2));
        QVERIFY(dialogs_.messages.empty());
    }

  private slots:
    void init() {
        dialogs_ = test::RecordingDialogs();
        context_ = AppContext();
        context_.dialogs = &dialogs_;
    }

    void bothRunsShowTheEngineTextAndFillTheBar() {
        frmMain w(context_);
        loadSample(w);
        QSignalSpy progress(w.progressBar(), &QProgressBar::valueChanged);

        const QString triangle = engineText(context_.state, qv::RunMethod::Triangle);
        trigger(w, "mnuTriangleRun");
        QCOMPARE(w.resultText(), triangle);
        QCOMPARE(w.progressBar()->value(), 1000);
        QVERIFY(progress.size() > 2);  // the bar moved during the run
        int last = -1;
        for (const QList<QVariant>& v : progress) {
            QVERIFY(v.at(0).toInt() >= last);
            last = v.at(0).toInt();
        }
        // One line per student and the header, no blank lines between them.
        const QStringList lines = w.resultBox()->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), context_.state.studentCount + 2);
        QVERIFY(lines.first().startsWith(QStringLiteral("  ID       PFC")));
        QCOMPARE(lines.last(), QString());
        for (int i = 0; i + 1 < lines.size(); ++i)
            QVERIFY(!lines[i].isEmpty());

        const QString pathSearch = engineText(context_.state, qv::RunMethod::PathSearch);
        trigger(w, "mnuPathSearchRun");
        QCOMPARE(w.resultText(), pathSearch);
        QCOMPARE(w.progressBar()->value(), 1000);
        QVERIFY(dialogs_.messages.empty());
        QVERIFY(context_.state.hasResults);
    }

    void theKeysStartTheRuns() {
        frmMain w(context_);
        loadSample(w);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_F5);
        QCOMPARE(w.resultText(), engineText(context_.state, qv::RunMethod::PathSearch));
        w.setResultText({});
        QTest::keyClick(&w, Qt::Key_F1);  // no command
        QCOMPARE(w.resultText(), QString());
        QTest::keyClick(&w, Qt::Key_F4);
        QCOMPARE(w.resultText(), engineText(context_.state, qv::RunMethod::Triangle));
    }

    void aLargeClassRunsThroughTheWindow() {
        QTemporaryDir dir;
        qv::SyntheticClassOptions options;
        options.students = 10000;
        const qv::SyntheticClassFiles files = qv::makeSyntheticClass(options);
        const QString names[] = {dir.filePath(QStringLiteral("students.txt")),
                                 dir.filePath(QStringLiteral("concepts.txt")),
                                 dir.filePath(QStringLiteral("items.txt"))};
        const std::string* bytes[] = {&files.studentFile, &files.conceptFile,
                                      &files.itemConceptFile};
        for (int i = 0; i < 3; ++i) {
            QFile f(names[i]);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes[i]->data(), qint64(bytes[i]->size()));
        }
        frmMain w(context_);
        w.show();
        dialogs_.answers = {names[0], names[1], names[2]};
        QElapsedTimer timer;
        timer.start();
        for (const char* a : {"mnuOpenData", "mnuOpenConceptNote", "mnuOpenItemConcept"}) {
            trigger(w, a);
        }
        const qint64 loadMs = timer.restart();
        trigger(w, "mnuTriangleRun");
        QCoreApplication::processEvents();
        const qint64 runMs = timer.elapsed();
        qInfo("10000 students: loaded in %lld ms, run and shown in %lld ms", loadMs, runMs);
        QVERIFY(dialogs_.messages.empty());
        QCOMPARE(w.resultBox()->document()->blockCount(), 10002);
        QCOMPARE(w.progressBar()->value(), 1000);
    }

    void aRefusedRunSaysWhyAndChangesNothing() {
        frmMain w(context_);
        w.setResultText("old\n\r\n");
        w.progressBar()->setValue(400);
        const auto refusal = qv::runRefusal(context_.state);
        QVERIFY(refusal.has_value());
        trigger(w, "mnuTriangleRun");
        trigger(w, "mnuPathSearchRun");
        QCOMPARE(dialogs_.messages.size(), std::size_t{2});
        for (const auto& m : dialogs_.messages) {
            QCOMPARE(m.text, QString::fromStdString(*refusal));
            QCOMPARE(m.title, QStringLiteral("Quorvane"));
        }
        QCOMPARE(w.resultText(), QStringLiteral("old\n\r\n"));
        QCOMPARE(w.progressBar()->value(), 400);
        QVERIFY(!context_.state.hasResults);
    }
};

QTEST_MAIN(RunTest)
#include "run_test.moc"
