// The class window's ways to narrow the table: a link picked on the heat map
// or in the ranked lists, value ranges, and the score scatter that opens a
// student.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "analysis/class_summary.h"
#include "app_context.h"
#include "chart_view.h"
#include "class_results_model.h"
#include "frmClass.h"
#include "frmStudentViewer.h"

namespace qv::app {

namespace {

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

constexpr LayoutPoint kScatterOrigin{12, 12};

struct RangeLimits {
    int column;
    const char* name;
    double low, high;
    int decimals;
};

}  // namespace

QLayout* frmClass::buildFilterRows(QWidget* parent) {
    auto* rows = new QVBoxLayout;
    auto* link = new QHBoxLayout;
    linkFilter_ = new QLabel(parent);
    linkFilter_->setObjectName(QStringLiteral("lblLinkFilter"));
    linkFilter_->setStyleSheet(QStringLiteral("font-weight: bold"));
    clearLink_ = new QPushButton(QStringLiteral("顯示全部學生"), parent);
    clearLink_->setObjectName(QStringLiteral("btnClearLinkFilter"));
    exportLink_ = new QPushButton(QStringLiteral("匯出這份名單…"), parent);
    exportLink_->setObjectName(QStringLiteral("btnExportLinkFilter"));
    connect(clearLink_, &QPushButton::clicked, this, &frmClass::clearLinkFilter);
    connect(exportLink_, &QPushButton::clicked, this, &frmClass::onExportLinkFilter);
    link->addWidget(linkFilter_, 1);
    link->addWidget(clearLink_);
    link->addWidget(exportLink_);
    rows->addLayout(link);

    auto* range = new QHBoxLayout;
    range->addWidget(new QLabel(QStringLiteral("範圍："), parent));
    const RangeLimits limits[] = {{ClassResultsModel::kScore, "Score", 0, 1000, 0},
                               {ClassResultsModel::kPfc, "Pfc", 0, 1, 3},
                               {ClassResultsModel::kGtd, "Gtd", -1, 1, 3},
                               {ClassResultsModel::kPrx, "Prx", -1, 1, 3}};
    for (const RangeLimits& limit : limits) {
        const QString caption =
            model_->headerData(limit.column, Qt::Horizontal, Qt::DisplayRole).toString();
        range->addWidget(new QLabel(caption, parent));
        RangeBoxes boxes{limit.column, new QDoubleSpinBox(parent), new QDoubleSpinBox(parent)};
        for (QDoubleSpinBox* box : {boxes.low, boxes.high}) {
            box->setRange(limit.low, limit.high);
            box->setDecimals(limit.decimals);
            box->setSingleStep(limit.decimals == 0 ? 1 : 0.05);
            box->setKeyboardTracking(false);
            connect(box, &QDoubleSpinBox::valueChanged, this, &frmClass::applyRanges);
        }
        boxes.low->setObjectName(QStringLiteral("spnMin") + QLatin1String(limit.name));
        boxes.high->setObjectName(QStringLiteral("spnMax") + QLatin1String(limit.name));
        boxes.low->setValue(limit.low);
        boxes.high->setValue(limit.high);
        range->addWidget(boxes.low);
        range->addWidget(new QLabel(QStringLiteral("～"), parent));
        range->addWidget(boxes.high);
        ranges_.push_back(boxes);
    }
    range->addStretch(1);
    rows->addLayout(range);
    showLinkFilter();
    return rows;
}

// A bound at the end of its box's range is no bound: N/A rows stay until a
// range is narrowed.
void frmClass::applyRanges() {
    for (const RangeBoxes& r : ranges_) {
        const bool lowSet = r.low->value() > r.low->minimum();
        const bool highSet = r.high->value() < r.high->maximum();
        proxy_->setRange(r.column, lowSet ? std::optional(r.low->value()) : std::nullopt,
                         highSet ? std::optional(r.high->value()) : std::nullopt);
    }
    showShownCount();
}

void frmClass::showLinkFilter() {
    const auto& f = proxy_->linkFilter();
    const bool on = f && results_;
    linkFilter_->setVisible(on);
    clearLink_->setVisible(on);
    exportLink_->setVisible(on);
    if (!on) return;
    const auto& labels = results_->data->conceptNames;
    linkFilter_->setText(QStringLiteral("只顯示%1「%2 — %3」連結的學生")
                             .arg(f->standard ? QStringLiteral("缺少標準") : QStringLiteral("多出"),
                                  text(conceptText(f->i, labels)),
                                  text(conceptText(f->j, labels))));
}

void frmClass::clearLinkFilter() {
    proxy_->setLinkFilter(std::nullopt);
    showLinkFilter();
    showShownCount();
}

void frmClass::onExportLinkFilter() {
    if (!proxy_->linkFilter()) return;
    std::vector<int> records;
    for (int row = 0; row < proxy_->rowCount(); ++row)
        records.push_back(proxy_->recordOf(row));
    exportStudents(QStringLiteral("匯出名單"), QStringLiteral("名單.csv"), records);
}

QWidget* frmClass::buildScatterTab() {
    auto* tab = new QWidget(tabs_);
    tab->setObjectName(QStringLiteral("tabScatter"));
    scatterIndex_ = new QComboBox(tab);
    scatterIndex_->setObjectName(QStringLiteral("cboScatterIndex"));
    scatterIndex_->addItems({QStringLiteral("PFC"), QStringLiteral("GTD"), QStringLiteral("PRX")});
    auto* label = new QLabel(QStringLiteral("指標(&I)："), tab);
    label->setBuddy(scatterIndex_);
    connect(scatterIndex_, &QComboBox::currentIndexChanged, this, &frmClass::drawScatter);
    scatter_ = new ChartView(tab);
    scatter_->setObjectName(QStringLiteral("chartScatter"));
    scatter_->setToolTip(QStringLiteral("點一個點，開啟該生的報告"));
    scatter_->setTips([this](LayoutPoint p) {
        const auto k = results_ ? scatterStudentAt(scatterLayout_, p) : std::nullopt;
        if (!k) return QString();
        const StudentRecord& r = results_->students[*k];
        return QStringLiteral("%1，得分 %2").arg(text(r.id)).arg(r.score);
    });
    connect(scatter_, &ChartView::clicked, this, [this](LayoutPoint p) {
        const auto k = results_ ? scatterStudentAt(scatterLayout_, p) : std::nullopt;
        if (!k) return;
        // Stepping through the table as shown, when the student is in it.
        for (int row = 0; row < proxy_->rowCount(); ++row)
            if (proxy_->recordOf(row) == static_cast<int>(*k)) return openStudent(row);
        if (!viewer_) viewer_ = new frmStudentViewer(context_);
        viewer_->showStudents(results_, summary_, {static_cast<int>(*k)}, 0);
        viewer_->show();
        viewer_->raise();
    });
    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(scatterIndex_);
    top->addWidget(new QLabel(QStringLiteral("無法判定網路的學生不畫。"), tab));
    top->addStretch(1);
    auto* layout = new QVBoxLayout(tab);
    layout->addLayout(top);
    layout->addWidget(scatter_, 1);
    return tab;
}

void frmClass::drawScatter() {
    scatterLayout_ = {};
    if (!results_ || !summary_) {
        scatter_->setPicture({});
        return;
    }
    const int which = scatterIndex_->currentIndex();
    std::vector<int> scores;
    std::vector<std::optional<double>> values;
    for (const StudentRecord& r : results_->students) {
        scores.push_back(r.score);
        const std::optional<double>& v = which == 0   ? r.pfcValue
                                         : which == 1 ? r.gtdValue
                                                      : r.prxValue;
        values.push_back(r.undetermined ? std::nullopt : v);
    }
    scatterLayout_ = scatterLayout(scores, values, results_->data->itemCount,
                                   which == 0 ? 0.0 : -1.0, kScatterOrigin);
    RecordingCanvas picture;
    DrawScoreScatter(picture, scatterLayout_, scatterIndex_->currentText().toStdString());
    scatter_->setPicture(std::move(picture));
}

}  // namespace qv::app
