// The desktop program as a user meets it.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include "application.h"
#include "recording_dialogs.h"
#include "translation.h"

using namespace qv::app;
using qv::app::test::RecordingDialogs;

namespace {

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

  private slots:
    void init() { dialogs_ = RecordingDialogs(); }

    void qtTextsAreChineseWhileTheProgramRuns() {
        QTemporaryDir empty;
        QVERIFY(loadQtTranslation({empty.path()}) == nullptr);
        QCOMPARE(okCancelTexts(), QStringLiteral("OK/Cancel"));
        if (!qtTranslationInstalled()) QSKIP("Qt's Traditional Chinese translation is not installed");
        {
            Application app(dialogs_);
            QCOMPARE(okCancelTexts(), QStringLiteral("確定/取消"));
        }
        QCOMPARE(okCancelTexts(), QStringLiteral("OK/Cancel"));
    }
};

QTEST_MAIN(DesktopUsabilityTest)
#include "desktop_usability_test.moc"
