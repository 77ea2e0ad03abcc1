// Class folders in the main window: the folder command, the recent list, the
// command line and drops; the notice of misread student lines.
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include "application.h"
#include "frmImport.h"
#include "frmMain.h"
#include "settings.h"
#include "test_context.h"

using namespace qv::app;
using test::testFile;
using test::trigger;

namespace {

// A class folder from the test files; `students` replaces the student file,
// `leaveOut` is a file left out.
QString makeFolder(const QTemporaryDir& root, const QString& name, const QByteArray& students = {},
                   const char* leaveOut = nullptr) {
    const QString dir = root.filePath(name);
    QDir().mkpath(dir);
    const std::pair<const char*, QByteArray> files[] = {
        {"students.txt", students.isEmpty() ? test::readBytes(testFile("class.txt")) : students},
        {"concepts.txt", test::readBytes(testFile("concepts.txt"))},
        {"item-concepts.txt", test::readBytes(testFile("items.txt"))}};
    for (const auto& [file, bytes] : files)
        if (!leaveOut || qstrcmp(file, leaveOut) != 0)
            test::writeBytes(dir + u'/' + QString::fromUtf8(file), bytes);
    return dir;
}

QAction* action(QObject* w, const QString& name) {
    return w->findChild<QAction*>(name);
}

void drop(frmMain& w, const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    mime.setUrls(urls);
    // The drop goes where the entering drag was accepted.
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &event);
    QCoreApplication::processEvents();
}

}  // namespace

class ClassFolderTest : public QObject {
    Q_OBJECT
  private slots:
    // All three files or none; a missing file is named; misread lines are
    // pointed at in a notice that does not wait.
    void aFolderLoadsWholeOrNotAtAll() {
        test::TestContext t;
        frmMain w(t.context);
        const QString good = makeFolder(t.root, QStringLiteral("good"));
        t.dialogs.folderAnswers = {
            QString(), makeFolder(t.root, QStringLiteral("two"), {}, "item-concepts.txt"),
            // Refused last, after the two files that would load.
            makeFolder(t.root, QStringLiteral("bad"), "8\r\n9\r\nABCD\r\nS001\r\n")};
        const qv::ClassPtr before = t.context.classData;
        for (const char* says : {"", "缺少 item-concepts.txt（", "學生資料檔「"}) {
            trigger(&w, "mnuOpenClassFolder");
            QVERIFY2(t.lastMessage().contains(QString::fromUtf8(says)),
                     qPrintable(t.lastMessage()));
            QCOMPARE(t.context.classData, before);
            QVERIFY(!w.isLit(0) && !w.isLit(1) && !w.isLit(2));
        }
        QCOMPARE(t.messages(), 2u);
        QVERIFY(recentClassFolders(t.context).isEmpty());
        t.dialogs.folderAnswers = {good};
        trigger(&w, "mnuOpenClassFolder");
        QVERIFY(w.isLit(0) && w.isLit(1) && w.isLit(2));
        QCOMPARE(t.context.classData->students.size(), 2u);
        QCOMPARE(t.context.inputFiles[2], good + QStringLiteral("/item-concepts.txt"));
        QVERIFY(!w.findChild<QMessageBox*>(QStringLiteral("msgLineWarnings")));

        const QString slips = makeFolder(t.root, QStringLiteral("slips"),
                                         "8\r\n9\r\nABCD\r\nS001 ABCD\r\nS002\tAB CD\r\n");
        QVERIFY(w.openClassFolder(slips));
        auto* notice = w.findChild<QMessageBox*>(QStringLiteral("msgLineWarnings"));
        QVERIFY(notice && notice->isVisible() && !notice->isModal());
        QVERIFY2(notice->text().contains(QStringLiteral("1 個地方")) &&
                     notice->text().contains(QStringLiteral("第 5 行：學號「S002〈Tab〉AB」")),
                 qPrintable(notice->text()));
        QCOMPARE(t.messages(), 2u);
        QCOMPARE(recentClassFolders(t.context), (QStringList{slips, good}));
    }

    // Eight at most, the newest first, kept across windows; a folder gone
    // since is dropped when chosen.
    void theRecentListHoldsTheLastEight() {
        test::TestContext t;
        QStringList folders;
        {
            frmMain w(t.context);
            for (int i = 0; i < 9; ++i) {
                folders << makeFolder(t.root, QStringLiteral("class%1").arg(i));
                QVERIFY(w.openClassFolder(folders.back()));
            }
            QVERIFY(w.openClassFolder(folders[3]));
        }
        frmMain w(t.context);
        const QStringList expected = {folders[3], folders[8], folders[7], folders[6],
                                      folders[5], folders[4], folders[2], folders[1]};
        QCOMPARE(recentClassFolders(t.context), expected);
        QVERIFY(action(&w, QStringLiteral("mnuRecentClass7")) &&
                !action(&w, QStringLiteral("mnuRecentClass8")));
        action(&w, QStringLiteral("mnuRecentClass2"))->trigger();
        QCOMPARE(t.context.inputFiles[0], folders[7] + QStringLiteral("/students.txt"));
        QCOMPARE(recentClassFolders(t.context).first(), folders[7]);

        QVERIFY(QDir(folders[8]).removeRecursively());
        const qv::ClassPtr before = t.context.classData;
        action(&w, QStringLiteral("mnuRecentClass2"))->trigger();
        QVERIFY(t.lastMessage().contains(QStringLiteral("已不存在")));
        QCOMPARE(t.context.classData, before);
        QCOMPARE(recentClassFolders(t.context).size(), 7);
        QVERIFY(!recentClassFolders(t.context).contains(folders[8]));
        QVERIFY(!action(&w, QStringLiteral("mnuRecentClass7")));
    }

    // `quorvane DIR` and drops: a folder, its three files, a sheet.
    void theCommandLineAndDropsOpenAFolder() {
        test::TestContext t;
        QTemporaryDir appDir;
        const QString folder = makeFolder(t.root, QStringLiteral("class"));
        {
            Application app(t.dialogs);
            app.context().settingsFile = t.context.settingsFile;
            frmMain& w = app.start(appDir.path(), t.root.path(), {folder});
            QVERIFY(w.isLit(0) && w.isLit(1) && w.isLit(2));
            QCOMPARE(app.context().inputFiles[1], folder + QStringLiteral("/concepts.txt"));
        }
        QCOMPARE(t.messages(), 0u);
        {
            Application app(t.dialogs);
            app.context().settingsFile = t.context.settingsFile;
            frmMain& w = app.start(appDir.path(), t.root.path(), {t.root.filePath("none")});
            QVERIFY(t.lastMessage().startsWith(QStringLiteral("找不到資料夾「")));
            QVERIFY(!w.isLit(0));
        }

        frmMain w(t.context);
        drop(w,
             {folder + QStringLiteral("/item-concepts.txt"),
              folder + QStringLiteral("/students.txt"), folder + QStringLiteral("/concepts.txt")});
        QVERIFY(w.isLit(0) && w.isLit(1) && w.isLit(2));
        const qv::ClassPtr loaded = t.context.classData;
        drop(w,
             {folder + QStringLiteral("/students.txt"), folder + QStringLiteral("/concepts.txt")});
        QVERIFY(t.lastMessage().startsWith(QStringLiteral("只能開啟一個班級資料夾")));
        // A sheet opens the import window with it chosen.
        const QString sheet = t.root.filePath(QStringLiteral("answers.CSV"));
        QVERIFY(QFile::copy(QStringLiteral(QV_SAMPLES_DIR "/sheets/answers.csv"), sheet));
        const std::size_t messages = t.messages();
        drop(w, {sheet});
        auto* importer = w.windows().find<frmImport>();
        QVERIFY(importer);
        QCOMPARE(importer->findChild<QLineEdit*>(QStringLiteral("txtAnswerFile"))->text(),
                 QDir::toNativeSeparators(sheet));
        QCOMPARE(importer->preview()->model()->rowCount(), 37);
        QCOMPARE(t.messages(), messages);
        QCOMPARE(t.context.classData, loaded);
        drop(w, {makeFolder(t.root, QStringLiteral("other"))});
        QVERIFY(t.context.classData != loaded);
    }
};

QTEST_MAIN(ClassFolderTest)
#include "class_folder_test.moc"
