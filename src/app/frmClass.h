#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QPrinter>
#include <memory>
#include <optional>
#include <utility>

#include "report/class_charts.h"
#include "report/score_scatter.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressDialog;
class QPushButton;
class QTableView;
class QTableWidget;
class QTabWidget;

namespace qv::app {

struct AppContext;
class BootstrapRunner;
class ChartView;
class ClassPrintJob;
class ClassResultsModel;
class ClassResultsProxy;
class TracePanel;
class frmStudentViewer;

// The class at a glance after a run: a sortable, filterable table of every
// student, the index distributions, the link heat map with the ranked lists
// and the trace of a selected link to the quiz items, the score against an
// index, and the quiz's item statistics. Exports the results,
// prints the charts and prints the whole class, a report page per student.
class frmClass final : public QMainWindow {
    Q_OBJECT
  public:
    explicit frmClass(AppContext& context, QWidget* parent = nullptr);
    ~frmClass() override;

    // Shows the last run; after a load (no results) says they are out of
    // date. The main window calls it after every run and every load.
    void reload();

    QTableView* resultsTable() const { return table_; }
    ClassResultsProxy* results() const { return proxy_; }
    QTabWidget* tabs() const { return tabs_; }
    ChartView* heatMap() const { return heatMap_; }
    const HeatMapLayout& heatMapGeometry() const { return heatLayout_; }
    TracePanel* trace() const { return trace_; }
    frmStudentViewer* viewer() const;
    ClassPrintJob* printJob() const;

    std::optional<std::pair<int, int>> selectedPair() const { return pair_; }
    // Also keeps, in the table, the students who miss (or add) the link.
    void selectPair(int i, int j);
    void clearLinkFilter();
    ChartView* scatter() const { return scatter_; }
    const ScatterLayout& scatterGeometry() const { return scatterLayout_; }
    // The report viewer on a row of the table, stepping in the table's order.
    void openStudent(int row);
    // What 列印圖表 and 匯出圖表 put on the page.
    RecordingCanvas chartsPage() const;
    // Computes the intervals of the shown run (分析 > 計算信賴區間) off the UI
    // thread; the table gains their columns when done.
    void computeIntervals();
    BootstrapRunner* bootstrapRunner() const { return bootstrap_; }

  private slots:
    void onExportResults();
    void onExportCharts();
    void onPrintCharts();
    void onPrintClass();
    void onExportLinkFilter();

  private:
    void buildControls();
    void buildMenus();
    void buildBootstrapMenu();
    void showIntervals();
    QWidget* buildLinksTab();
    QWidget* buildItemsTab();
    QWidget* buildScatterTab();
    QLayout* buildFilterRows(QWidget* parent);
    void fillItemsTab();
    void drawScatter();
    void showLinkFilter();
    void applyRanges();
    void exportStudents(const QString& title, const QString& name,
                        const std::vector<int>& records);
    void fillRankedLists();
    void showTrace();
    void showShownCount();
    void onHeatMapClicked(LayoutPoint point);
    QString pairTip(LayoutPoint point) const;
    void report(const QString& text);

    AppContext& context_;
    std::shared_ptr<const RunResults> results_;  // what the window shows
    std::shared_ptr<const ClassSummary> summary_;
    ClassResultsModel* model_ = nullptr;
    ClassResultsProxy* proxy_ = nullptr;
    QLabel* info_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTableView* table_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QLabel* shown_ = nullptr;
    QLabel* undetermined_ = nullptr;
    QLabel* linkFilter_ = nullptr;
    QPushButton* clearLink_ = nullptr;
    QPushButton* exportLink_ = nullptr;
    struct RangeBoxes {
        int column;
        QDoubleSpinBox *low, *high;
    };
    std::vector<RangeBoxes> ranges_;
    QLabel* kr20_ = nullptr;
    QLabel* designWarnings_ = nullptr;
    QTableWidget* items_ = nullptr;
    QComboBox* scatterIndex_ = nullptr;
    ChartView* scatter_ = nullptr;
    ScatterLayout scatterLayout_;
    ChartView* histograms_ = nullptr;
    ChartView* heatMap_ = nullptr;
    HeatMapLayout heatLayout_;
    QTableWidget* missed_ = nullptr;
    QTableWidget* extra_ = nullptr;
    TracePanel* trace_ = nullptr;
    std::optional<std::pair<int, int>> pair_;
    QPointer<frmStudentViewer> viewer_;
    QPointer<ClassPrintJob> job_;
    QList<QAction*> outputs_;
    BootstrapRunner* bootstrap_ = nullptr;
    QPointer<QProgressDialog> bootstrapProgress_;
    QPrinter printer_;
};

}  // namespace qv::app
