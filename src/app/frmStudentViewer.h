#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <memory>
#include <vector>

#include "report/canvas.h"

class QLabel;
class QPushButton;

namespace qv {
struct ClassSummary;
struct RunResults;
}  // namespace qv

namespace qv::app {

struct AppContext;
class ChartView;
class TracePanel;

// One student's report at a time, cleared for each student, with previous and
// next through the students in the class window's order. A link clicked in
// the report is traced to the quiz items below it.
class frmStudentViewer final : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmStudentViewer(AppContext& context, QWidget* parent = nullptr);
    ~frmStudentViewer() override;

    // The students of these results to step through (record indices) and
    // where to start; links are traced with the summary.
    void showStudents(std::shared_ptr<const RunResults> results,
                      std::shared_ptr<const ClassSummary> summary, std::vector<int> order,
                      int position);
    // The record shown, or -1.
    int current() const;
    const RecordingCanvas& picture() const;
    TracePanel* trace() const { return trace_; }

  public slots:
    void onPrevious();
    void onNext();

  private:
    void draw();
    void onReportClicked(LayoutPoint point);
    void onPrint();

    AppContext& context_;
    std::shared_ptr<const RunResults> results_;
    std::shared_ptr<const ClassSummary> summary_;
    std::vector<int> order_;
    int position_ = 0;
    ChartView* view_ = nullptr;
    TracePanel* trace_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* where_ = nullptr;
    QPrinter printer_;
};

}  // namespace qv::app
