#include <QApplication>
#include <QDir>
#include <QTest>

#include "application.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "samples/sample_class.h"
#include "test_context.h"

using namespace qv::app;

class StartupTest : public QObject {
    Q_OBJECT
  private slots:
    void aFreshInstallationGetsItsFoldersAndTheSampleClass() {
        QTemporaryDir appDir, fallback;
        test::RecordingDialogs dialogs;
        Application app(dialogs);
        QVERIFY(app.start(appDir.path(), fallback.path()).isVisible());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(qobject_cast<frmSplash*>(w) == nullptr || !w->isVisible());
        QCOMPARE(app.context().dataFolder, appDir.filePath(QStringLiteral("Data")));
        const auto name = qv::samples::studentFileName();
        const auto bytes = qv::samples::studentFile();
        QCOMPARE(test::readBytes(app.context().dataFolder + u'/' +
                                 QString::fromUtf8(name.data(), qsizetype(name.size()))),
                 QByteArray(bytes.data(), qsizetype(bytes.size())));
        for (const QString& folder : {app.context().conceptNoteFolder, app.context().itemConceptFolder})
            QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
        QVERIFY(QDir(fallback.path()).isEmpty());
        QVERIFY(dialogs.messages.empty());
    }

    void anExistingInstallationIsLeftAlone() {
        QTemporaryDir appDir, fallback;
        QVERIFY(QDir(appDir.path()).mkdir(QStringLiteral("Data")));
        const QString mine = appDir.filePath(QStringLiteral("Data/mine.txt"));
        test::writeBytes(mine, "8\r\n9\r\nABC\r\n");
        test::RecordingDialogs dialogs;
        Application app(dialogs);
        app.start(appDir.path(), fallback.path());
        QCOMPARE(test::readBytes(mine), QByteArray("8\r\n9\r\nABC\r\n"));
        QCOMPARE(QDir(app.context().dataFolder).entryList(QDir::Files).size(), 1);
        QVERIFY(QDir(app.context().conceptNoteFolder).isEmpty());
    }

    void anUnwritableProgramFolderFallsBack() {
        QTemporaryDir appDir, fallback;
        QCOMPARE(dataRoot(appDir.filePath(QStringLiteral("no/such")), fallback.path()),
                 fallback.path());
        QCOMPARE(dataRoot(appDir.path(), fallback.path()), appDir.path());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
