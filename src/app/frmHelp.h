#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QTextBrowser;

namespace qv::app {

// The user guide: its table of contents, a search over every page, and the
// page itself. The pages are HTML compiled into the program.
class frmHelp : public QWidget {
    Q_OBJECT
  public:
    explicit frmHelp(QWidget* parent = nullptr);

    // Whether this build carries the guide.
    static bool available();

    void showPage(const QString& page);
    // Focuses the search box, for 搜尋說明主題.
    void startSearch();

  private slots:
    void onSearch();

  private:
    struct Page {
        QString file, title, text;
    };
    QList<Page> pages_;
    QListWidget* contents_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* results_ = nullptr;
    QTextBrowser* browser_ = nullptr;
};

}  // namespace qv::app
