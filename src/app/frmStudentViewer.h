#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <memory>
#include <vector>

#include "layout/force_layout.h"
#include "report/draw_report.h"

class QComboBox;
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
// next through the students in the class window's order, its concepts placed
// by the layout the print window also uses. A link clicked in the report is
// traced to the quiz items below it.
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

    // Draws the shown student again, e.g. once the class's intervals are known.
    void redraw() { draw(); }

  public slots:
    void onPrevious();
    void onNext();

    NodeLayout nodeLayout() const;
    void setNodeLayout(NodeLayout layout);

  private:
    void placeConcepts();
    void draw();
    bool markUnstableLinks(int k);
    void onReportClicked(LayoutPoint point);
    void onPrint();

    AppContext& context_;
    std::shared_ptr<const RunResults> results_;
    std::shared_ptr<const ClassSummary> summary_;
    std::vector<int> order_;
    int position_ = 0;
    std::vector<PlanePoint> positions_;  // of every student's report
    ReportData shown_;                   // what the picture shows, for clicks on it
    ChartView* view_ = nullptr;
    QComboBox* layout_ = nullptr;
    TracePanel* trace_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QLabel* where_ = nullptr;
    QLabel* undetermined_ = nullptr;
    QLabel* legend_ = nullptr;  // what the faint links mean, while some are shown
    QPrinter printer_;
};

}  // namespace qv::app
