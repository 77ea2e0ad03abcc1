#include "frmStudentViewer.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "analysis/class_summary.h"
#include "app_context.h"
#include "chart_view.h"
#include "layout/get_points.h"
#include "painter_canvas.h"
#include "print_pages.h"
#include "report/draw_report.h"
#include "report/report_links.h"
#include "screen_fit.h"
#include "settings.h"
#include "trace_panel.h"

namespace qv::app {

namespace {

constexpr Rgb kPicked{255, 150, 0};

QPushButton* button(QWidget* parent, const char* name, const QString& text,
                    const QKeySequence& key) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setShortcut(key);
    b->setToolTip(text + QStringLiteral("（") + key.toString(QKeySequence::NativeText) +
                  QStringLiteral("）"));
    return b;
}

}  // namespace

frmStudentViewer::frmStudentViewer(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context), printer_(QPrinter::HighResolution) {
    setObjectName(QStringLiteral("frmStudentViewer"));
    setAttribute(Qt::WA_DeleteOnClose);
    printer_.setPageOrientation(QPageLayout::Landscape);
    printer_.setDocName(QStringLiteral("Quorvane"));

    auto* central = new QWidget(this);
    previous_ =
        button(central, "cmdPrevious", QStringLiteral("◀ 上一位"), QKeySequence(Qt::Key_PageUp));
    next_ = button(central, "cmdNext", QStringLiteral("下一位 ▶"), QKeySequence(Qt::Key_PageDown));
    where_ = new QLabel(central);
    where_->setObjectName(QStringLiteral("lblPosition"));
    where_->setAlignment(Qt::AlignCenter);
    connect(previous_, &QPushButton::clicked, this, &frmStudentViewer::onPrevious);
    connect(next_, &QPushButton::clicked, this, &frmStudentViewer::onNext);
    layout_ = new QComboBox(central);
    layout_->setObjectName(QStringLiteral("cboLayout"));
    layout_->addItem(QStringLiteral("圓形"));
    layout_->addItem(QStringLiteral("力導向（依標準網路）"));
    setNodeLayout(savedNodeLayout(context_));
    connect(layout_, &QComboBox::currentIndexChanged, this, [this] {
        saveNodeLayout(context_, nodeLayout());
        placeConcepts();
        draw();
    });
    auto* layoutLabel = new QLabel(QStringLiteral("概念位置："), central);
    layoutLabel->setBuddy(layout_);
    auto* bar = new QHBoxLayout;
    bar->addWidget(previous_);
    bar->addWidget(where_, 1);
    bar->addWidget(layoutLabel);
    bar->addWidget(layout_);
    bar->addWidget(next_);

    view_ = new ChartView(central);
    view_->setObjectName(QStringLiteral("chartReport"));
    view_->setToolTip(QStringLiteral("點一條連線，下方列出涉及這兩個概念的題目"));
    connect(view_, &ChartView::clicked, this, &frmStudentViewer::onReportClicked);
    QSplitter* split = splitOverTrace(central, view_, kSurfaceHeight + 10, trace_);
    undetermined_ = new QLabel(
        QStringLiteral("⚠ 無法判定網路：這位學生的概念距離全都相等（例如沒有答對任何題），網路連結了"
                       "每一對概念。下面的網路與指標不代表他的理解，也不計入全班的連結診斷。"),
        central);
    undetermined_->setObjectName(QStringLiteral("lblUndeterminedStudent"));
    undetermined_->setWordWrap(true);
    undetermined_->setStyleSheet(QStringLiteral("color: #a04000; font-weight: bold"));
    undetermined_->hide();
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(bar);
    layout->addWidget(undetermined_);
    legend_ = new QLabel(
        QStringLiteral("淡灰色的連結：從題目重抽時，保留這條連結的次數不到一半（不穩定）。"),
        central);
    legend_->setObjectName(QStringLiteral("lblUnstableLinks"));
    legend_->hide();
    layout->addWidget(legend_);
    layout->addWidget(split, 1);
    setCentralWidget(central);

    QMenu* print = menuBar()->addMenu(QStringLiteral("列印(&P)"));
    QAction* start =
        print->addAction(QStringLiteral("列印此報告(&P)…"), this, &frmStudentViewer::onPrint);
    start->setObjectName(QStringLiteral("mnuViewerPrint"));
    start->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    QAction* exit = menuBar()->addAction(QStringLiteral("結束(&X)"), this, &QWidget::close);
    exit->setObjectName(QStringLiteral("mnuViewerExit"));
    resizeWithinScreen(*this, QSize(kSurfaceWidth + 40, kSurfaceHeight + 330));
}

frmStudentViewer::~frmStudentViewer() = default;

void frmStudentViewer::showStudents(std::shared_ptr<const RunResults> results,
                                    std::shared_ptr<const ClassSummary> summary,
                                    std::vector<int> order, int position) {
    results_ = std::move(results);
    summary_ = std::move(summary);
    order_ = std::move(order);
    position_ = order_.empty() ? 0 : std::clamp(position, 0, static_cast<int>(order_.size()) - 1);
    placeConcepts();
    draw();
}

NodeLayout frmStudentViewer::nodeLayout() const {
    return layout_->currentIndex() == 1 ? NodeLayout::Force : NodeLayout::Circle;
}

void frmStudentViewer::setNodeLayout(NodeLayout layout) {
    layout_->setCurrentIndex(layout == NodeLayout::Force ? 1 : 0);
}

// One placement for the whole class, so that the students' reports compare;
// should it fail, the reports stay on the circle and the status bar says why.
void frmStudentViewer::placeConcepts() {
    positions_.clear();
    if (!results_ || !reportsAvailable(*results_)) return;
    auto placed = reportPositions(*results_, nodeLayout());
    if (placed)
        positions_ = std::move(*placed);
    else
        statusBar()->showMessage(QString::fromStdString(placed.error().message()));
}

int frmStudentViewer::current() const {
    if (order_.empty() || !results_) return -1;
    return order_[static_cast<std::size_t>(position_)];
}

const RecordingCanvas& frmStudentViewer::picture() const {
    return view_->picture();
}

void frmStudentViewer::onPrevious() {
    if (position_ <= 0) return;
    --position_;
    draw();
}

void frmStudentViewer::onNext() {
    if (position_ + 1 >= static_cast<int>(order_.size())) return;
    ++position_;
    draw();
}

// Each student on a clean picture, unlike the print window, which draws over.
// Links of the student's network that fewer than half of the bootstrap's
// replicates keep are drawn faint; whether there are any.
bool frmStudentViewer::markUnstableLinks(int k) {
    const auto intervals = context_.currentBootstrap();
    if (!intervals || context_.bootstrapOf != results_) return false;
    const StudentRecord& record = results_->students[static_cast<std::size_t>(k)];
    const StudentIntervals& s = intervals->students[static_cast<std::size_t>(k)];
    shown_.faintLinks.resizeSquare(record.links.n);
    std::size_t link = 0;
    bool any = false;
    forEachUpperLink(record.links, [&](int i, int j) {
        if (2 * s.linksKept[link++] >= intervals->replicates) return;
        shown_.faintLinks(i, j) = shown_.faintLinks(j, i) = 1;
        any = true;
    });
    return any;
}

void frmStudentViewer::draw() {
    const int k = current();
    RecordingCanvas picture(render::fontMeasure());
    shown_ = {};
    bool unstable = false;
    if (k >= 0 && static_cast<std::size_t>(k) < results_->students.size()) {
        shown_ = studentReportData(*results_, k, positions_);
        unstable = markUnstableLinks(k);
        DrawReport(picture, shown_);
    }
    legend_->setVisible(unstable);
    view_->setPicture(std::move(picture));
    trace_->clear();
    const int count = static_cast<int>(order_.size());
    const QString id =
        k >= 0 ? QString::fromStdString(results_->students[static_cast<std::size_t>(k)].id)
               : QString();
    // The method as well: viewers of two runs may stand side by side.
    setWindowTitle(
        (id.isEmpty() ? QStringLiteral("學生報告") : QStringLiteral("學生報告 - ") + id) +
        QStringLiteral(" - ") + context_.runName);
    where_->setText(count > 0
                        ? QStringLiteral("%1（第 %2／%3 位）").arg(id).arg(position_ + 1).arg(count)
                        : QString());
    previous_->setEnabled(position_ > 0);
    next_->setEnabled(position_ + 1 < count);
    undetermined_->setVisible(k >= 0 &&
                              results_->students[static_cast<std::size_t>(k)].undetermined);
}

void frmStudentViewer::onReportClicked(LayoutPoint point) {
    const int k = current();
    if (k < 0 || !summary_) return;
    const auto link = reportLinkAt(shown_, point);
    if (!link) return;
    const ComparisonLayout layout = reportLayout(shown_);
    const auto& nodes = layout.nodePoints[static_cast<std::size_t>(link->panel)];
    RecordingCanvas mark;
    mark.setLineWidth(4);
    mark.drawLine(nodes[static_cast<std::size_t>(link->i)],
                  nodes[static_cast<std::size_t>(link->j)], kPicked);
    view_->setOverlay(std::move(mark));
    trace_->showPair(*results_, *summary_, link->i, link->j, k);
}

void frmStudentViewer::onPrint() {
    if (current() < 0) return;
    printPicture(this, context_, printer_, view_->picture(), windowTitle());
}

}  // namespace qv::app
