// The user guide in the program: every page and picture it refers to is
// there, the menu opens it, and the search finds the pages that say a word.
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QtTest>

#include "frmHelp.h"
#include "frmMain.h"
#include "test_context.h"

using namespace qv::app;

class HelpWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void everyLinkAndPictureResolves() {
        QVERIFY(frmHelp::available());
        const QStringList pages = QDir(QStringLiteral(":/guide")).entryList({"*.html"});
        QVERIFY(pages.size() >= 9);
        static const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"#:]+)[\"#]"));
        for (const QString& page : pages) {
            QFile f(QStringLiteral(":/guide/") + page);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString html = QString::fromUtf8(f.readAll());
            QVERIFY2(html.contains(QStringLiteral("<title>")), qPrintable(page));
            for (auto it = ref.globalMatch(html); it.hasNext();) {
                const QString target = it.next().captured(1);
                QVERIFY2(QFile::exists(QStringLiteral(":/guide/") + target),
                         qPrintable(page + QStringLiteral(" → ") + target));
            }
        }
    }

    void menuOpensGuideAndSearchFindsPages() {
        test::TestContext t;
        frmMain main(t.context);
        main.show();
        test::trigger(&main, "mnuHelpSearchForHelpOn");
        auto* help = main.windows().find<frmHelp>();
        QVERIFY(help);
        QCOMPARE(t.messages(), std::size_t{0});
        auto* contents = help->findChild<QListWidget*>(QStringLiteral("lstHelpContents"));
        auto* browser = help->findChild<QTextBrowser*>(QStringLiteral("txtHelpPage"));
        QCOMPARE(contents->count(), 9);
        QVERIFY(browser->source().toString().endsWith(QStringLiteral("index.html")));

        contents->setCurrentRow(5);
        QVERIFY(browser->toPlainText().contains(QStringLiteral("Match")));

        auto* search = help->findChild<QLineEdit*>(QStringLiteral("txtHelpSearch"));
        auto* results = help->findChild<QListWidget*>(QStringLiteral("lstHelpResults"));
        search->setText(QStringLiteral("neighbourhood"));
        QCOMPARE(results->count(), 1);
        emit results->itemActivated(results->item(0));
        QVERIFY(browser->source().toString().endsWith(QStringLiteral("indices.html")));
        QCOMPARE(contents->currentItem()->data(Qt::UserRole).toString(),
                 QStringLiteral("indices.html"));
        QVERIFY(browser->textCursor().hasSelection());

        search->setText(QStringLiteral("沒有這個詞zzz"));
        QCOMPARE(results->count(), 1);
        QVERIFY(!(results->item(0)->flags() & Qt::ItemIsEnabled));
    }
};

QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
