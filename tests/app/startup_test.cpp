#include <QDir>
#include <QTest>

#include "application.h"
#include "frmMain.h"
#include "test_context.h"

using namespace qv::app;

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    // The program folder is used when writable; only a fresh one gets the sample class.
    void startMakesTheDataFoldersAndSeedsOnlyAFreshInstallation() {
        QTemporaryDir appDir, fallback;
        test::RecordingDialogs dialogs;
        Application app(dialogs);
        QVERIFY(app.start(appDir.path(), fallback.path()).isVisible());
        const AppContext& c = app.context();
        QCOMPARE(c.dataFolder, appDir.filePath(QStringLiteral("Data")));
        for (const QString& folder : {c.dataFolder, c.conceptNoteFolder, c.itemConceptFolder})
            QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
        QVERIFY(QDir(fallback.path()).isEmpty());
        QVERIFY(QFile::remove(QDir(c.dataFolder).entryInfoList(QDir::Files)[0].filePath()));
        QCOMPARE(seedDataFolders(sampleClassFiles(c)), 0);
        QVERIFY(QDir(c.dataFolder).isEmpty());
        QCOMPARE(dataRoot(appDir.filePath(QStringLiteral("no/such")), fallback.path()),
                 fallback.path());
        QVERIFY(dialogs.messages.empty());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
