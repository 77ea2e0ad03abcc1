#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app_context.h"
#include "frmAbout.h"
#include "frmMain.h"
#include "frmSplash.h"
#include "identity.h"
#include "recording_dialogs.h"

using namespace qv::app;

namespace {

QString labelText(QWidget& w, const char* name) {
    auto* l = w.findChild<QLabel*>(QString::fromUtf8(name));
    return l ? l->text() : QStringLiteral("<missing %1>").arg(QString::fromUtf8(name));
}

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { setApplicationIdentity(); }

    void versionTextJoinsTheThreeNumbers() {
        QCOMPARE(versionText(QStringLiteral("Version "), 2, 10, 0),
                 QStringLiteral("Version 2.10.0"));
        QCOMPARE(versionText(QStringLiteral("版本 "), 1, 0, 1), QStringLiteral("版本 1.0.1"));
        QCOMPARE(applicationVersionText(QStringLiteral("Version ")),
                 QStringLiteral("Version 1.0.1"));
        QCOMPARE(applicationTitle(), QStringLiteral("Quorvane"));
    }

    void aboutBoxShowsEveryLabel() {
        test::RecordingDialogs dialogs;
        frmAbout about(dialogs);
        QCOMPARE(about.windowTitle(), QStringLiteral("關於 Quorvane"));
        QCOMPARE(labelText(about, "lblTitle"), QStringLiteral("Quorvane"));
        QCOMPARE(labelText(about, "lblVersion"), QStringLiteral("版本 1.0.1"));
        QCOMPARE(labelText(about, "lblDescription"),
                 QStringLiteral("【注意】本程式需要高速電腦運算，若您的電腦運算能力低於1G "
                                "MHz，請酌量使用！由於本程式是Beta版本，所以當您使用時若發生任何"
                                "問題請與我們聯絡！若有其他建議也請您盡量提供！"));
        QCOMPARE(labelText(about, "lblDisclaimer"),
                 QStringLiteral("警告: 本程式屬於Beta版本，所以在路徑分析時需要花費較多時間，由"
                                "於新的運算法尚在研發，預計將會在正式版時完成！在這之前本程式相"
                                "當需要高速電腦的運算能力！"));
        QVERIFY(about.findChild<QLabel*>(QStringLiteral("picIcon"))->pixmap().width() > 0);
        QVERIFY(about.findChild<QWidget*>(QStringLiteral("Line1")));
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QCOMPARE(ok->text(), QStringLiteral("確定"));
        QVERIFY(ok->isDefault());
        auto* sysInfo = about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
        QCOMPARE(sysInfo->text(), QStringLiteral("系統資訊(&S)..."));
    }

    void okEscapeAndSysInfo() {
        test::RecordingDialogs dialogs;
        frmAbout about(dialogs);
        about.show();
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdSysInfo")),
                          Qt::LeftButton);
        QCOMPARE(dialogs.messages.size(), std::size_t{1});
        QCOMPARE(dialogs.messages[0].text, QStringLiteral("此時的系統資訊無法取得"));
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("Quorvane"));
        QVERIFY(about.isVisible());  // the box stays open
        QTest::keyClick(&about, Qt::Key_Escape);
        QVERIFY(!about.isVisible());
        about.show();
        QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!about.isVisible());
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void aboutCommandShowsTheBoxModalOverTheMainWindow() {
        test::RecordingDialogs dialogs;
        AppContext context;
        context.dialogs = &dialogs;
        frmMain w(context);
        w.show();
        QString seen;
        bool modal = false;
        QWidget* owner = nullptr;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (box == nullptr) return;
            seen = box->windowTitle();
            modal = box->isModal();
            owner = box->parentWidget();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        w.findChild<QAction*>(QStringLiteral("mnuHelpAbout"))->trigger();
        QCOMPARE(seen, QStringLiteral("關於 Quorvane"));
        QVERIFY(modal);
        QCOMPARE(owner, &w);
    }

    void splashShowsTitleVersionAndWarning() {
        frmSplash splash;
        splash.showNow();
        QVERIFY(splash.isVisible());
        QCOMPARE(labelText(splash, "lblProductName"), QStringLiteral("Quorvane"));
        QCOMPARE(labelText(splash, "lblPlatform"), QStringLiteral("Windows平台"));
        QCOMPARE(labelText(splash, "lblVersion"), QStringLiteral("Version 1.0.1"));
        QCOMPARE(labelText(splash, "lblWarning"),
                 QStringLiteral("【警告】本程式需要高速電腦運算，至少CPU處理能力為1G MHz以上，若"
                                "您的電腦低於此要求，請酌量使用！"));
        auto* logo = splash.findChild<QLabel*>(QStringLiteral("picLogo"));
        QCOMPARE(logo->pixmap().size(), QSize(141, 166));
        QVERIFY(splash.findChildren<QPushButton*>().isEmpty());
    }
};

QTEST_MAIN(AboutTest)
#include "about_test.moc"
