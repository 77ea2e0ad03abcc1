#include <QCoreApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include "window_set.h"

using qv::app::WindowSet;

namespace {

QStringList closed;

// Two window classes that log their closing.
class FirstWindow : public QWidget {
  public:
    explicit FirstWindow(int tag = 0) : tag_(tag) {}
    int tag() const { return tag_; }

  protected:
    void closeEvent(QCloseEvent* e) override {
        closed << QStringLiteral("first");
        QWidget::closeEvent(e);
    }

  private:
    int tag_;
};

class SecondWindow : public QWidget {
  protected:
    void closeEvent(QCloseEvent* e) override {
        closed << QStringLiteral("second");
        QWidget::closeEvent(e);
    }
};

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class WindowSetTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { closed.clear(); }

    void showingAgainBringsUpTheSameInstance() {
        WindowSet set;
        FirstWindow* a = set.show<FirstWindow>(1);
        QVERIFY(a->isVisible());
        QVERIFY(a->testAttribute(Qt::WA_DeleteOnClose));
        a->hide();
        FirstWindow* b = set.show<FirstWindow>(2);
        QCOMPARE(b, a);
        QCOMPARE(b->tag(), 1);  // not rebuilt
        QVERIFY(b->isVisible());
        QCOMPARE(set.openCount(), 1);
        QCOMPARE(set.find<SecondWindow>(), nullptr);
    }

    void aClosedWindowIsForgottenAndBuiltAfresh() {
        WindowSet set;
        QPointer<FirstWindow> a = set.show<FirstWindow>(1);
        a->close();
        flushDeletes();
        QVERIFY(a.isNull());
        QCOMPARE(set.find<FirstWindow>(), nullptr);
        QCOMPARE(set.openCount(), 0);
        FirstWindow* b = set.show<FirstWindow>(7);
        QCOMPARE(b->tag(), 7);
    }

    void closeAllClosesTheLastOpenedFirst() {
        QPointer<FirstWindow> a;
        QPointer<SecondWindow> b;
        {
            WindowSet set;
            a = set.show<FirstWindow>();
            b = set.show<SecondWindow>();
            set.show<FirstWindow>();  // bringing it up again keeps the order of opening
            set.closeAll();
            QCOMPARE(closed, QStringList({QStringLiteral("second"), QStringLiteral("first")}));
            QVERIFY(a.isNull());
            QVERIFY(b.isNull());
            QCOMPARE(set.openCount(), 0);
        }
        // A window built but never shown is deleted with the set.
        QPointer<SecondWindow> hidden;
        {
            WindowSet set;
            hidden = set.get<SecondWindow>();
            QVERIFY(!hidden->isVisible());
        }
        QVERIFY(hidden.isNull());
    }
};

QTEST_MAIN(WindowSetTest)
#include "window_set_test.moc"
