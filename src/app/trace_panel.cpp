#include "trace_panel.h"

#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/class_summary.h"
#include "core/state.h"
#include "core/utf8.h"
#include "report/class_charts.h"

namespace qv::app {

namespace {

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

enum TraceColumn { kItem, kConcepts, kClassShare, kKey, kAnswer, kRight, kTraceColumns };

QString answerText(char32_t answer) {
    if (answer == kNoAnswer) return QStringLiteral("（未作答）");
    return text(toUtf8(std::u32string(1, answer)));
}

// What the pair is for the class, and for the student when one is selected.
QString pairHeading(const RunResults& results, const ClassSummary& s, int i, int j,
                    std::optional<int> student) {
    const std::vector<std::string>& labels = results.data->conceptNames;
    QString h = QStringLiteral("連結 %1 — %2：")
                    .arg(text(conceptText(i, labels)), text(conceptText(j, labels)));
    const bool standard = s.isStandard(i, j);
    const std::optional<double> share = s.diagnosisShare(i, j);
    const QString percent = share ? text(shareText(*share)) : QStringLiteral("N/A");
    h += standard ? QStringLiteral("標準網路的連結，全班 %1 的學生缺少它").arg(percent)
                  : QStringLiteral("標準網路沒有的連結，全班 %1 的學生多出它").arg(percent);
    if (student) {
        const StudentRecord& r = results.students[static_cast<std::size_t>(*student)];
        const bool linked = r.links.n > std::max(i, j) && hasLink(r.links, i, j);
        const QString kind = standard ? (linked ? QStringLiteral("有此連結（Match）")
                                                : QStringLiteral("缺少此連結（Miss）"))
                                      : (linked ? QStringLiteral("多出此連結（Over）")
                                                : QStringLiteral("沒有此連結"));
        h += QStringLiteral("；學生 %1 %2").arg(text(r.id), kind);
    }
    return h + QStringLiteral("。下列題目涉及其中一個概念：");
}

QTableWidgetItem* cell(const QString& value, Qt::Alignment align = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(value);
    item->setTextAlignment(align | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TracePanel::TracePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("trace"));
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("lblTrace"));
    heading_->setWordWrap(true);
    table_ = new QTableWidget(0, kTraceColumns, this);
    table_->setObjectName(QStringLiteral("tblTrace"));
    table_->setHorizontalHeaderLabels({QStringLiteral("題號"), QStringLiteral("涉及的概念"),
                                       QStringLiteral("全班答對率"), QStringLiteral("正確答案"),
                                       QStringLiteral("學生的答案"), QStringLiteral("對錯")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setSectionResizeMode(kConcepts, QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(heading_);
    layout->addWidget(table_);
    clear();
}

void TracePanel::clear() {
    heading_->setText(
        QStringLiteral("選一個連結（熱圖的格子、排行的一列，或學生報告中 Miss／Over 的連線），"
                       "這裡會列出涉及這兩個概念的題目。"));
    table_->setRowCount(0);
}

QString TracePanel::heading() const {
    return heading_->text();
}

void TracePanel::showPair(const RunResults& results, const ClassSummary& s, int i, int j,
                          std::optional<int> student) {
    heading_->setText(pairHeading(results, s, i, j, student));
    const std::vector<int> items = itemsOfPair(s, i, j);
    table_->setRowCount(static_cast<int>(items.size()));
    const StudentRecord* r =
        student ? &results.students[static_cast<std::size_t>(*student)] : nullptr;
    for (int row = 0; row < static_cast<int>(items.size()); ++row) {
        const int m = items[static_cast<std::size_t>(row)];
        QStringList concepts;
        for (int c : s.itemConcepts[static_cast<std::size_t>(m)])
            concepts << text(conceptText(c, results.data->conceptNames));
        const std::optional<double> share = s.itemShare(m);
        table_->setItem(row, kItem, cell(QString::number(m + 1), Qt::AlignRight));
        table_->setItem(row, kConcepts, cell(concepts.join(QStringLiteral("、"))));
        table_->setItem(
            row, kClassShare,
            cell(share ? text(shareText(*share)) : QStringLiteral("N/A"), Qt::AlignRight));
        const auto key = static_cast<std::size_t>(m);
        table_->setItem(
            row, kKey,
            cell(key < results.data->answerKey.size() ? answerText(results.data->answerKey[key])
                                                      : QString(),
                 Qt::AlignHCenter));
        if (r) {
            table_->setItem(
                row, kAnswer,
                cell(key < r->answers.size() ? answerText(r->answers[key]) : answerText(kNoAnswer),
                     Qt::AlignHCenter));
            table_->setItem(row, kRight,
                            cell(r->isCorrect(m) ? QStringLiteral("○ 對") : QStringLiteral("✕ 錯"),
                                 Qt::AlignHCenter));
        }
    }
    table_->setColumnHidden(kAnswer, r == nullptr);
    table_->setColumnHidden(kRight, r == nullptr);
    table_->resizeColumnToContents(kItem);
    table_->resizeColumnToContents(kClassShare);
}

QSplitter* splitOverTrace(QWidget* parent, QWidget* above, int aboveHeight, TracePanel*& trace) {
    trace = new TracePanel(parent);
    auto* split = new QSplitter(Qt::Vertical, parent);
    split->addWidget(above);
    split->addWidget(trace);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({aboveHeight, 220});
    return split;
}

}  // namespace qv::app
