#pragma once

#include <QMainWindow>
#include <memory>
#include <vector>

#include "compare_job.h"
#include "report/canvas.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;
class QWidget;

namespace qv::app {

struct AppContext;
class ChartView;
class TaskRunner;

// 執行 > 比較兩組…: two groups of students compared pair by pair. The loaded
// class is A; B is a second class folder (two classes, or the same students
// on a second occasion), or A is split by score or by an ID list. The
// comparison runs off the UI thread; the window then shows the pictures and
// the pairs sorted by p, and exports them.
class frmCompare final : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmCompare(AppContext& context, QWidget* parent = nullptr);
    ~frmCompare() override;

    // What 執行 would start with the controls as they stand.
    CompareRequest request() const;
    // The comparison shown; null before the first one.
    const CompareOutcome* outcome() const { return outcome_.get(); }
    TaskRunner* runner() const { return runner_; }
    // The pages as the window shows and exports them.
    std::vector<RecordingCanvas> pages() const;

  public slots:
    void run();

  private slots:
    void onExportJson();
    void onExportCsv();
    void onExportPictures();

  private:
    void buildControls();
    void buildMenus();
    void designChanged();
    void setRunning(bool running);
    void showOutcome();
    void fillTable();
    // A refusal in the window itself: what was shown stays.
    void refuse(const QString& text);
    void exportText(const QString& title, const QString& ext, const QString& filter,
                    const std::string& text);

    AppContext& context_;
    QComboBox* design_ = nullptr;
    QLineEdit* folderB_ = nullptr;
    QPushButton* chooseB_ = nullptr;
    QDoubleSpinBox* percent_ = nullptr;
    QLineEdit* idFile_ = nullptr;
    QPushButton* chooseIds_ = nullptr;
    QSpinBox* permutations_ = nullptr;
    QSpinBox* seed_ = nullptr;
    QLabel* method_ = nullptr;
    QPushButton* run_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* message_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    std::vector<ChartView*> views_;
    QTableWidget* table_ = nullptr;
    std::vector<QWidget*> designRows_;
    QList<QAction*> outputs_;
    TaskRunner* runner_ = nullptr;
    std::shared_ptr<Expected<CompareOutcome>> pending_;
    std::unique_ptr<CompareOutcome> outcome_;
};

}  // namespace qv::app
