#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "application.h"
#include "data_folders.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "recording_dialogs.h"
#include "samples/sample_class.h"

using namespace qv::app;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void startShowsTheMainWindowWithItsFoldersAndNoSplash() {
        QTemporaryDir appDir, fallback;
        test::RecordingDialogs dialogs;
        Application app(&dialogs);
        frmMain& main = app.start(appDir.path(), fallback.path());
        QVERIFY(main.isVisible());
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Quorvane"));
        QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.0.1"));
        for (const char* name : {"Data", "ConceptNote", "ItemConcept"}) {
            QVERIFY2(QDir(appDir.filePath(QString::fromLatin1(name))).exists(), name);
        }
        QCOMPARE(app.context().dataFolder, appDir.filePath(QStringLiteral("Data")));
        QCOMPARE(QDir(fallback.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
                 0);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            QVERIFY(qobject_cast<frmSplash*>(w) == nullptr || !w->isVisible());
        }
        QVERIFY(dialogs.messages.empty());
        // A fresh installation gets the sample class.
        const auto name = qv::samples::studentFileName();
        const QString sample =
            QDir(app.context().dataFolder)
                .filePath(QString::fromUtf8(name.data(), qsizetype(name.size())));
        const auto bytes = qv::samples::studentFile();
        QCOMPARE(readAll(sample), QByteArray(bytes.data(), qsizetype(bytes.size())));
        QCOMPARE(QDir(app.context().conceptNoteFolder).entryList(QDir::Files).size(), 1);
        QCOMPARE(QDir(app.context().itemConceptFolder).entryList(QDir::Files).size(), 1);
    }

    void existingFoldersAndFilesAreLeftAlone() {
        QTemporaryDir appDir, fallback;
        QVERIFY(QDir(appDir.path()).mkdir(QStringLiteral("Data")));
        const QString mine = appDir.filePath(QStringLiteral("Data/mine.txt"));
        QVERIFY(writeFile(mine, "8\r\n9\r\nABC\r\n"));
        test::RecordingDialogs dialogs;
        Application app(&dialogs);
        app.start(appDir.path(), fallback.path());
        QCOMPARE(readAll(mine), QByteArray("8\r\n9\r\nABC\r\n"));
        QCOMPARE(QDir(app.context().dataFolder).entryList(QDir::Files).size(), 1);
        QCOMPARE(QDir(app.context().conceptNoteFolder).entryList(QDir::Files).size(), 0);
        QVERIFY(dialogs.messages.empty());
    }

    void foldersGoToTheFallbackWhenTheProgramFolderIsNotWritable() {
        QTemporaryDir fallback;
        const QString missing = fallback.filePath(QStringLiteral("no/such/folder"));
        QCOMPARE(dataRoot(missing, fallback.path()), fallback.path());
        QTemporaryDir appDir;
        QCOMPARE(dataRoot(appDir.path(), fallback.path()), appDir.path());
        // A folder that cannot be made (its parent is a file) is passed over silently.
        QVERIFY(writeFile(fallback.filePath(QStringLiteral("file")), "x"));
        AppContext context;
        setDataFolders(context, fallback.filePath(QStringLiteral("file")));
        createDataFolders(context);
        QVERIFY(!QDir(context.dataFolder).exists());
    }

    void seedingFillsOnlyAFreshInstallation() {
        QTemporaryDir root;
        AppContext context;
        setDataFolders(context, root.path());
        createDataFolders(context);
        const std::vector<SeedFile> seed = {
            {context.dataFolder, QStringLiteral("a.txt"), "A"},
            {context.conceptNoteFolder, QStringLiteral("b.txt"), "B"},
            {context.itemConceptFolder, QStringLiteral("c.txt"), "C"}};
        QCOMPARE(seedDataFolders(seed), 3);
        QCOMPARE(readAll(QDir(context.conceptNoteFolder).filePath(QStringLiteral("b.txt"))),
                 QByteArray("B"));
        // Once any folder holds a data file nothing more is written.
        QVERIFY(QFile::remove(QDir(context.dataFolder).filePath(QStringLiteral("a.txt"))));
        QCOMPARE(seedDataFolders(seed), 0);
        QVERIFY(!QFile::exists(QDir(context.dataFolder).filePath(QStringLiteral("a.txt"))));
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
