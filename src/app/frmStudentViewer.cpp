#include "frmStudentViewer.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include "analysis/class_summary.h"
#include "app_context.h"
#include "chart_view.h"
#include "layout/get_points.h"
#include "print_pages.h"
#include "report/draw_report.h"
#include "report/report_links.h"
#include "screen_fit.h"
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
    auto* bar = new QHBoxLayout;
    bar->addWidget(previous_);
    bar->addWidget(where_, 1);
    bar->addWidget(next_);

    view_ = new ChartView(central);
    view_->setObjectName(QStringLiteral("chartReport"));
    view_->setToolTip(QStringLiteral("點一條連線，下方列出涉及這兩個概念的題目"));
    connect(view_, &ChartView::clicked, this, &frmStudentViewer::onReportClicked);
    QSplitter* split = splitOverTrace(central, view_, kSurfaceHeight + 10, trace_);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(bar);
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

void frmStudentViewer::showStudents(std::vector<int> order, int position) {
    order_ = std::move(order);
    position_ = order_.empty() ? 0 : std::clamp(position, 0, static_cast<int>(order_.size()) - 1);
    draw();
}

int frmStudentViewer::current() const {
    if (order_.empty() || !reportsAvailable(context_.state)) return -1;
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
void frmStudentViewer::draw() {
    const int k = current();
    RecordingCanvas picture;
    if (k >= 0 && static_cast<std::size_t>(k) < context_.state.students.size())
        DrawStudentReport(picture, context_.state, k);
    view_->setPicture(std::move(picture));
    trace_->clear();
    const int count = static_cast<int>(order_.size());
    const QString id =
        k >= 0 ? QString::fromStdString(context_.state.students[static_cast<std::size_t>(k)].id)
               : QString();
    setWindowTitle(id.isEmpty() ? QStringLiteral("學生報告") : QStringLiteral("學生報告 - ") + id);
    where_->setText(count > 0
                        ? QStringLiteral("%1（第 %2／%3 位）").arg(id).arg(position_ + 1).arg(count)
                        : QString());
    previous_->setEnabled(position_ > 0);
    next_->setEnabled(position_ + 1 < count);
}

void frmStudentViewer::onReportClicked(LayoutPoint point) {
    const int k = current();
    if (k < 0 || !context_.classSummary) return;
    const auto link = reportLinkAt(studentReportData(context_.state, k), point);
    if (!link) return;
    const ComparisonLayout layout =
        LayoutComparisonPanels(kSurfaceWidth, kSurfaceHeight, context_.state.conceptCount);
    const auto& nodes = layout.nodePoints[static_cast<std::size_t>(link->panel)];
    RecordingCanvas mark;
    mark.setLineWidth(4);
    mark.drawLine(nodes[static_cast<std::size_t>(link->i)],
                  nodes[static_cast<std::size_t>(link->j)], kPicked);
    view_->setOverlay(std::move(mark));
    trace_->showPair(context_.state, *context_.classSummary, link->i, link->j, k);
}

void frmStudentViewer::onPrint() {
    if (current() < 0) return;
    printPicture(this, context_, printer_, view_->picture(), windowTitle());
}

}  // namespace qv::app
