#include <QPointer>
#include <QTest>
#include <QWidget>

#include "test_context.h"
#include "window_set.h"

using qv::app::WindowSet;

namespace {

QStringList closed;

// Window classes that log their closing.
template <int Tag>
class Window : public QWidget {
  public:
    explicit Window(int built = 0) : built_(built) {}
    int built() const { return built_; }

  protected:
    void closeEvent(QCloseEvent* e) override {
        closed << QString::number(Tag);
        QWidget::closeEvent(e);
    }

  private:
    int built_;
};

}  // namespace

class WindowSetTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { closed.clear(); }

    void oneInstanceOfEachClassUntilItCloses() {
        WindowSet set;
        Window<1>* a = set.show<Window<1>>(1);
        a->hide();
        QCOMPARE(set.show<Window<1>>(2), a);  // brought up again, not rebuilt
        QVERIFY(a->isVisible());
        QCOMPARE(a->built(), 1);
        QCOMPARE(set.find<Window<2>>(), nullptr);
        QPointer<QWidget> gone = a;
        a->close();
        qv::app::test::flushDeletes();
        QVERIFY(gone.isNull());
        QCOMPARE(set.openCount(), 0);
        QCOMPARE(set.show<Window<1>>(7)->built(), 7);
    }

    void closeAllClosesTheLastOpenedFirst() {
        QPointer<QWidget> a, b, hidden;
        {
            WindowSet set;
            a = set.show<Window<1>>();
            b = set.show<Window<2>>();
            set.show<Window<1>>();  // bringing it up again keeps the order of opening
            set.closeAll();
            QCOMPARE(closed, QStringList({"2", "1"}));
            QVERIFY(a.isNull() && b.isNull());
            hidden = set.get<Window<3>>();  // never shown: deleted with the set
        }
        QVERIFY(hidden.isNull());
    }
};

QTEST_MAIN(WindowSetTest)
#include "window_set_test.moc"
