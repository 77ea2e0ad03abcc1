// The class window's 題目 tab: the quiz's item statistics and the warnings
// on its item-concept table.
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/class_summary.h"
#include "core/number_text.h"
#include "frmClass.h"
#include "report/class_charts.h"
#include "stats/item_stats.h"
#include "stats/quiz_design.h"

namespace qv::app {

namespace {

QString text(const std::string& utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Statistics to two decimals, as a teacher reads them.
QString statText(const std::optional<double>& value) {
    return value ? text(numberText(RoundToDecimals(*value, 2))) : QStringLiteral("N/A");
}

}  // namespace

QWidget* frmClass::buildItemsTab() {
    auto* tab = new QWidget(tabs_);
    tab->setObjectName(QStringLiteral("tabItems"));
    kr20_ = new QLabel(tab);
    kr20_->setObjectName(QStringLiteral("lblKr20"));
    kr20_->setToolTip(QStringLiteral(
        "KR-20：整份測驗的信度（內部一致性），0 到 1，越接近 1 表示各題測的是同一種能力。"));
    designWarnings_ = new QLabel(tab);
    designWarnings_->setObjectName(QStringLiteral("lblDesignWarnings"));
    designWarnings_->setWordWrap(true);
    designWarnings_->setStyleSheet(QStringLiteral("color: #a04000"));
    items_ = new QTableWidget(0, 5, tab);
    items_->setObjectName(QStringLiteral("tblItems"));
    items_->setHorizontalHeaderLabels({QStringLiteral("題號"), QStringLiteral("包含的概念"),
                                       QStringLiteral("難度（答對率）"), QStringLiteral("鑑別度"),
                                       QStringLiteral("刪除此題後的 KR-20")});
    items_->horizontalHeaderItem(2)->setToolTip(QStringLiteral("答對這一題的學生比例。"));
    items_->horizontalHeaderItem(3)->setToolTip(
        QStringLiteral("這一題的對錯與其他題總分的相關：越大表示會的學生越常答對。"));
    items_->horizontalHeaderItem(4)->setToolTip(
        QStringLiteral("拿掉這一題後的 KR-20；比整份的 KR-20 高，表示這一題拉低了信度。"));
    items_->verticalHeader()->hide();
    items_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    items_->setSelectionBehavior(QAbstractItemView::SelectRows);
    items_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    items_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto* layout = new QVBoxLayout(tab);
    layout->addWidget(kr20_);
    layout->addWidget(designWarnings_);
    layout->addWidget(items_, 1);
    return tab;
}

void frmClass::fillItemsTab() {
    items_->setRowCount(0);
    designWarnings_->clear();
    designWarnings_->hide();
    if (!summary_) {
        kr20_->clear();
        return;
    }
    const ItemStatistics stats = itemStatistics(summary_->itemSums);
    kr20_->setText(QStringLiteral("整份測驗的信度 KR-20：%1（%2 題，%3 位學生）")
                       .arg(statText(stats.kr20))
                       .arg(summary_->itemCount)
                       .arg(summary_->studentCount));
    const auto& labels = results_->data->conceptNames;
    QStringList warnings;
    for (const DesignWarning& w :
         quizDesignWarnings(summary_->itemConcepts, summary_->conceptCount, labels))
        warnings << QStringLiteral("⚠ ") + text(w.message);
    designWarnings_->setText(warnings.join(QLatin1Char('\n')));
    designWarnings_->setVisible(!warnings.isEmpty());
    items_->setRowCount(summary_->itemCount);
    for (int m = 0; m < summary_->itemCount; ++m) {
        const auto k = static_cast<std::size_t>(m);
        QStringList concepts;
        for (int c : summary_->itemConcepts[k])
            concepts << text(conceptText(c, labels));
        const ItemStat& s = stats.items[k];
        const QString cells[] = {QString::number(m + 1), concepts.join(QStringLiteral("、")),
                                 statText(s.difficulty), statText(s.discrimination),
                                 statText(s.alphaIfDeleted)};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (column != 1) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            items_->setItem(m, column, item);
        }
    }
    items_->resizeColumnToContents(0);
}

}  // namespace qv::app
