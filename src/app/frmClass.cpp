#include "frmClass.h"

#include <QCloseEvent>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/class_summary.h"
#include "app_context.h"
#include "busy_cursor.h"
#include "chart_view.h"
#include "class_print_job.h"
#include "class_results_model.h"
#include "frmStudentViewer.h"
#include "method_note.h"
#include "report/draw_report.h"
#include "screen_fit.h"
#include "trace_panel.h"

namespace qv::app {

namespace {

// Where the window's charts start on their white surfaces.
constexpr LayoutPoint kChartOrigin{12, 12};
// Lines of each ranked list in the window (the page shows fewer).
constexpr std::size_t kRankedLinesShown = 100;
// Undetermined students named above the table; the rest are greyed in it.
constexpr std::size_t kUndeterminedNamed = 20;

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QTableWidget* rankedList(QWidget* parent, const char* name) {
    auto* list = new QTableWidget(0, 3, parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setHorizontalHeaderLabels(
        {QStringLiteral("概念"), QStringLiteral("概念"), QStringLiteral("學生比例")});
    list->verticalHeader()->hide();
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    list->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    list->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    return list;
}

}  // namespace

frmClass::frmClass(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context), printer_(QPrinter::HighResolution) {
    setObjectName(QStringLiteral("frmClass"));
    setWindowTitle(QStringLiteral("全班概覽"));
    printer_.setPageOrientation(QPageLayout::Landscape);
    printer_.setDocName(QStringLiteral("Quorvane"));
    buildControls();
    buildMenus();
    buildBootstrapMenu();
    fitToScreen(*this, QSize(1240, 1000));
    reload();
}

frmClass::~frmClass() {
    if (viewer_) viewer_->close();
}

frmStudentViewer* frmClass::viewer() const {
    return viewer_;
}

ClassPrintJob* frmClass::printJob() const {
    return job_;
}

void frmClass::buildControls() {
    auto* central = new QWidget(this);
    info_ = new QLabel(central);
    info_->setObjectName(QStringLiteral("lblClassInfo"));
    info_->setWordWrap(true);

    tabs_ = new QTabWidget(central);
    tabs_->setObjectName(QStringLiteral("tabClass"));

    auto* resultsTab = new QWidget(tabs_);
    filter_ = new QLineEdit(resultsTab);
    filter_->setObjectName(QStringLiteral("txtFilter"));
    filter_->setPlaceholderText(QStringLiteral("輸入學號的一部分"));
    filter_->setClearButtonEnabled(true);
    filter_->setMinimumWidth(240);
    auto* filterLabel = new QLabel(QStringLiteral("篩選學號(&F)："), resultsTab);
    filterLabel->setBuddy(filter_);
    shown_ = new QLabel(resultsTab);
    shown_->setObjectName(QStringLiteral("lblShown"));
    model_ = new ClassResultsModel(this);
    proxy_ = new ClassResultsProxy(*model_, this);
    table_ = new QTableView(resultsTab);
    table_->setObjectName(QStringLiteral("tblResults"));
    table_->setModel(proxy_);
    table_->setSortingEnabled(true);
    table_->sortByColumn(-1, Qt::AscendingOrder);  // file order until a header is clicked
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setAlternatingRowColors(true);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->verticalHeader()->hide();
    // Column widths from the first rows, not from every student of a large class.
    table_->verticalHeader()->setResizeContentsPrecision(200);
    table_->setToolTip(QStringLiteral("按欄位標題排序；雙擊一列或按 Enter 開啟該生的報告"));
    connect(table_, &QTableView::activated, this,
            [this](const QModelIndex& index) { openStudent(index.row()); });
    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& t) {
        proxy_->setIdFilter(t);
        showShownCount();
    });
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(filter_);
    filterRow->addStretch(1);
    filterRow->addWidget(shown_);
    undetermined_ = new QLabel(resultsTab);
    undetermined_->setObjectName(QStringLiteral("lblUndetermined"));
    undetermined_->setWordWrap(true);
    undetermined_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* resultsLayout = new QVBoxLayout(resultsTab);
    resultsLayout->addLayout(filterRow);
    resultsLayout->addLayout(buildFilterRows(resultsTab));
    resultsLayout->addWidget(undetermined_);
    resultsLayout->addWidget(table_, 1);
    tabs_->addTab(resultsTab, QStringLiteral("學生結果"));

    histograms_ = new ChartView(tabs_);
    histograms_->setObjectName(QStringLiteral("chartHistograms"));
    tabs_->addTab(histograms_, QStringLiteral("指標分布"));
    tabs_->addTab(buildLinksTab(), QStringLiteral("連結診斷"));
    tabs_->addTab(buildScatterTab(), QStringLiteral("得分與指標"));
    tabs_->addTab(buildItemsTab(), QStringLiteral("題目"));

    auto* layout = new QVBoxLayout(central);
    layout->addWidget(info_);
    layout->addWidget(tabs_, 1);
    setCentralWidget(central);
}

// The trace belongs to this tab: it follows the pair picked here and names no
// student, since no student is picked here.
QWidget* frmClass::buildLinksTab() {
    auto* tab = new QSplitter(Qt::Horizontal, tabs_);
    heatMap_ = new ChartView(tab);
    heatMap_->setObjectName(QStringLiteral("chartHeatMap"));
    heatMap_->setToolTip(QStringLiteral("點一格，下方列出涉及這兩個概念的題目"));
    connect(heatMap_, &ChartView::clicked, this, &frmClass::onHeatMapClicked);
    heatMap_->setTips([this](LayoutPoint p) { return pairTip(p); });
    auto* lists = new QWidget(tab);
    auto* listsLayout = new QVBoxLayout(lists);
    listsLayout->setContentsMargins(0, 0, 0, 0);
    missed_ = rankedList(lists, "lstMissed");
    extra_ = rankedList(lists, "lstExtra");
    for (auto [list, title] : {std::pair{missed_, QStringLiteral("最常缺少的標準連結")},
                               std::pair{extra_, QStringLiteral("最常多出的連結")}}) {
        auto* heading = new QLabel(title, lists);
        heading->setStyleSheet(QStringLiteral("font-weight: bold"));
        listsLayout->addWidget(heading);
        listsLayout->addWidget(list, 1);
        connect(list, &QTableWidget::currentCellChanged, this, [this, list = list](int row) {
            const QTableWidgetItem* item = row >= 0 ? list->item(row, 0) : nullptr;
            if (!item) return;
            const QPoint pair = item->data(Qt::UserRole).toPoint();
            selectPair(pair.x(), pair.y());
        });
    }
    tab->addWidget(heatMap_);
    tab->addWidget(lists);
    tab->setStretchFactor(0, 3);
    tab->setStretchFactor(1, 2);
    tab->setSizes({780, 420});
    QSplitter* split = splitOverTrace(tabs_, tab, 560, trace_);
    split->setObjectName(QStringLiteral("tabLinks"));
    return split;
}

void frmClass::reload() {
    if (viewer_) viewer_->close();
    pair_.reset();
    results_ = context_.currentResults();
    const bool ready = results_ != nullptr;
    if (ready && !context_.classSummary) {
        BusyCursor busy;
        context_.classSummary = std::make_shared<const ClassSummary>(summariseClass(*results_));
    }
    summary_ = ready ? context_.classSummary : nullptr;
    setWindowTitle(ready ? QStringLiteral("全班概覽 - ") + context_.runName
                         : QStringLiteral("全班概覽"));
    model_->reload(results_);
    proxy_->setLinkFilter(std::nullopt);
    showLinkFilter();
    for (const RangeBoxes& r : ranges_) {
        if (r.column == ClassResultsModel::kScore)
            for (QDoubleSpinBox* box : {r.low, r.high})
                box->setMaximum(ready ? results_->data->itemCount : 0);
        QSignalBlocker quietLow(r.low), quietHigh(r.high);
        r.low->setValue(r.low->minimum());
        r.high->setValue(r.high->maximum());
    }
    applyRanges();
    showIntervals();
    showShownCount();
    for (QAction* action : outputs_)
        action->setEnabled(ready);
    trace_->clear();
    if (!summary_) {
        info_->setText(
            QStringLiteral("結果已過期：資料檔已重新載入，請從主視窗的「執行」選單重新執行分析。"));
        histograms_->setPicture({});
        heatMap_->setPicture({});
        heatLayout_ = {};
        fillRankedLists();
        undetermined_->hide();
        fillItemsTab();
        drawScatter();
        return;
    }
    const QString note = denseStandardNote(*results_, context_.runMethod);
    info_->setText(QStringLiteral("全班 %1 位學生，%2。%3按欄位標題排序；雙擊一列或按 Enter "
                                  "開啟該生的報告；點熱圖的格子或排行的一列，追溯到題目。")
                       .arg(summary_->studentCount)
                       .arg(context_.runName, note));
    table_->resizeColumnsToContents();
    RecordingCanvas histograms;
    DrawHistograms(histograms, *summary_, kChartOrigin);
    histograms_->setPicture(std::move(histograms));
    const auto& labels = results_->data->conceptNames;
    heatLayout_ = heatMapLayout(*summary_, labels, kChartOrigin);
    RecordingCanvas heat;
    DrawHeatMap(heat, *summary_, labels, heatLayout_);
    heatMap_->setPicture(std::move(heat));
    fillRankedLists();
    const auto& ids = summary_->undeterminedIds;
    undetermined_->setVisible(!ids.empty());
    if (!ids.empty()) {
        QStringList named;
        for (std::size_t k = 0; k < ids.size() && k < kUndeterminedNamed; ++k)
            named << text(ids[k]);
        if (ids.size() > kUndeterminedNamed) named << QStringLiteral("…");
        undetermined_->setText(QStringLiteral("無法判定網路的學生：%1 人（%2）。他們的概念距離全都"
                                              "相等，不計入連結診斷與指標分布；表中以灰色標示。")
                                   .arg(ids.size())
                                   .arg(named.join(QStringLiteral("、"))));
    }
    fillItemsTab();
    drawScatter();
}

void frmClass::fillRankedLists() {
    for (auto [list, standard] : {std::pair{missed_, true}, std::pair{extra_, false}}) {
        QSignalBlocker quiet(list);
        list->setRowCount(0);
        if (!summary_) continue;
        const auto pairs = standard ? mostMissedLinks(*summary_, kRankedLinesShown)
                                    : mostCommonExtraLinks(*summary_, kRankedLinesShown);
        list->setRowCount(static_cast<int>(pairs.size()));
        for (int row = 0; row < static_cast<int>(pairs.size()); ++row) {
            const RankedPair& p = pairs[static_cast<std::size_t>(row)];
            const auto& labels = results_->data->conceptNames;
            auto* first = new QTableWidgetItem(text(conceptText(p.i, labels)));
            first->setData(Qt::UserRole, QPoint(p.i, p.j));
            list->setItem(row, 0, first);
            list->setItem(row, 1, new QTableWidgetItem(text(conceptText(p.j, labels))));
            auto* share = new QTableWidgetItem(
                QStringLiteral("%1（%2 人）")
                    .arg(text(shareText(p.share)))
                    .arg(standard ? summary_->determinedCount() - p.students : p.students));
            share->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            list->setItem(row, 2, share);
        }
    }
}

void frmClass::showShownCount() {
    shown_->setText(
        QStringLiteral("顯示 %1／%2 位學生").arg(proxy_->rowCount()).arg(model_->rowCount()));
}

void frmClass::selectPair(int i, int j) {
    if (!summary_ || i == j || i < 0 || j < 0 || i >= summary_->conceptCount ||
        j >= summary_->conceptCount)
        return;
    pair_ = std::pair(std::min(i, j), std::max(i, j));
    RecordingCanvas mark;
    DrawHeatMapSelection(mark, heatLayout_, pair_->first, pair_->second);
    heatMap_->setOverlay(std::move(mark));
    showTrace();
    proxy_->setLinkFilter(
        LinkFilter{pair_->first, pair_->second, summary_->isStandard(pair_->first, pair_->second)});
    showLinkFilter();
    showShownCount();
}

void frmClass::showTrace() {
    if (!summary_ || !pair_) return;
    trace_->showPair(*results_, *summary_, pair_->first, pair_->second, std::nullopt);
}

// Small cells of many concepts carry no numbers: the tooltip names the pair.
QString frmClass::pairTip(LayoutPoint point) const {
    const auto pair = summary_ ? heatMapPairAt(heatLayout_, point) : std::nullopt;
    if (!pair) return {};
    const auto [i, j] = *pair;
    const auto& labels = results_->data->conceptNames;
    const std::optional<double> share = summary_->diagnosisShare(i, j);
    return QStringLiteral("%1 — %2\n%3%4")
        .arg(text(conceptText(i, labels)), text(conceptText(j, labels)),
             summary_->isStandard(i, j) ? QStringLiteral("標準連結，缺少的學生：")
                                        : QStringLiteral("非標準連結，多出的學生："),
             share ? text(shareText(*share)) : QStringLiteral("N/A"));
}

void frmClass::onHeatMapClicked(LayoutPoint point) {
    if (const auto pair = heatMapPairAt(heatLayout_, point)) selectPair(pair->first, pair->second);
}

void frmClass::openStudent(int row) {
    if (!summary_ || row < 0 || row >= proxy_->rowCount()) return;
    std::vector<int> order(static_cast<std::size_t>(proxy_->rowCount()));
    for (int r = 0; r < proxy_->rowCount(); ++r)
        order[static_cast<std::size_t>(r)] = proxy_->recordOf(r);
    if (!viewer_) viewer_ = new frmStudentViewer(context_);
    viewer_->showStudents(results_, summary_, std::move(order), row);
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

}  // namespace qv::app
