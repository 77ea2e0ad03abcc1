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

    // An installed program, in a folder it cannot write, keeps the class files
    // in the documents folder of the user (here a fresh HOME).
    void aReadOnlyProgramFolderUsesTheDocumentsFolder() {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        test::RecordingDialogs dialogs;
        Application app(dialogs);
        app.start(home.filePath(QStringLiteral("no/such")), documentsDataRoot());
        qputenv("HOME", oldHome);
        if (!oldConfig.isEmpty()) qputenv("XDG_CONFIG_HOME", oldConfig);
        QCOMPARE(app.context().dataFolder,
                 home.filePath(QStringLiteral("Documents/Quorvane/Data")));
        QCOMPARE(QDir(app.context().dataFolder).entryList(QDir::Files).size(), 1);
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
