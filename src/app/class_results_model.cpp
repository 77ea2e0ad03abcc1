#include "class_results_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numeric>

#include <QColor>

#include "core/number_text.h"
#include "report/draw_report.h"

namespace qv::app {

namespace {

struct ColumnText {
    const char* header;
    const char* tip;
};

// Which side a count or rate belongs to is in its header: the results box
// says "Match Miss Over" twice without saying so.
constexpr std::array<ColumnText, ClassResultsModel::kColumnCount> kColumns{{
    {"ID", "學生資料檔中的學號。"},
    {"得分", "答對的題數。"},
    {"PFC", "鄰近相似度：每個概念在兩個網路中相鄰概念的重疊程度，0 到 1，越大越接近標準網路。"},
    {"GTD", "圖形距離相關：兩個網路中每對概念之間最短路徑連結數的相關係數，−1 到 1。"},
    {"PRX", "鄰近資料相關：學生與標準的概念距離矩陣的相關係數，−1 到 1。"},
    {"Match 數", "標準網路（STD）與學生網路（Target）都有的連結數。"},
    {"Miss 數", "標準網路有、學生網路缺少的連結數。"},
    {"Over 數", "學生網路有、標準網路沒有的連結數（多出的連結）。"},
    {"Absent 數", "兩個網路都沒有連結的概念對數。"},
    {"STD 連結數", "標準網路（STD）的連結總數。"},
    {"Target 連結數", "學生網路（Target）的連結總數。"},
    {"Match（STD）", "Match 連結數占標準網路（STD）連結數的百分比。"},
    {"Miss（STD）", "Miss 連結數占標準網路（STD）連結數的百分比。"},
    {"Over（STD）", "Over 連結數占標準網路（STD）連結數的百分比。"},
    {"Match（Target）", "Match 連結數占學生網路（Target）連結數的百分比。"},
    {"Miss（Target）", "Miss 連結數占學生網路（Target）連結數的百分比。"},
    {"Over（Target）", "Over 連結數占學生網路（Target）連結數的百分比。"},
}};

QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ClassResultsModel::ClassResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void ClassResultsModel::reload(std::shared_ptr<const RunResults> results) {
    beginResetModel();
    ++generation_;
    intervals_.reset();
    results_ = std::move(results);
    rows_ = results_ ? static_cast<int>(results_->students.size()) : 0;
    endResetModel();
}

void ClassResultsModel::setIntervals(std::shared_ptr<const BootstrapResults> intervals) {
    if (intervals && (!results_ || intervals->students.size() != results_->students.size()))
        intervals.reset();
    beginResetModel();
    ++generation_;
    intervals_ = std::move(intervals);
    endResetModel();
}

QModelIndex ClassResultsModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || row >= rows_ || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

int ClassResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int ClassResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount + (intervals_ ? 3 : 0);
}

std::optional<Interval> ClassResultsModel::interval(int row, int column) const {
    if (!intervals_ || column < kFirstInterval || column >= columnCount()) return std::nullopt;
    return intervals_->students[static_cast<std::size_t>(row)]
        .ci[static_cast<std::size_t>(column - kFirstInterval)];
}

const StudentRecord& ClassResultsModel::record(int row) const {
    return results_->students[static_cast<std::size_t>(row)];
}

std::optional<double> ClassResultsModel::value(int row, int column) const {
    const StudentRecord& r = record(row);
    if (column == kScore) return r.score;
    if (column == kPfc) return r.pfcValue;
    if (column == kGtd) return r.gtdValue;
    if (column == kPrx) return r.prxValue;
    if (column >= kFirstCount && column < kFirstRate)
        return r.linkCounts[static_cast<std::size_t>(column - kFirstCount)];
    if (column >= kFirstRate && column < kColumnCount)
        return r.rateValues[static_cast<std::size_t>(column - kFirstRate)];
    if (const auto ci = interval(row, column)) return ci->low;
    return std::nullopt;
}

QVariant ClassResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return column == kId ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                             : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    // An undetermined student's row is greyed and says why.
    if (role == Qt::ForegroundRole && record(index.row()).undetermined)
        return QColor(Qt::gray);
    if (role == Qt::ToolTipRole && record(index.row()).undetermined)
        return QStringLiteral("無法判定網路：這位學生的概念距離全都相等，網路連結了每一對概念，"
                              "指標不代表他的理解。");
    if (role != Qt::DisplayRole) return {};
    if (column == kId) return fromUtf8(record(index.row()).id);
    if (column >= kFirstInterval) {
        const auto ci = interval(index.row(), column);
        return ci ? QString::fromStdString(numberText(ci->low) + " – " + numberText(ci->high))
                  : QStringLiteral("N/A");
    }
    const std::optional<double> v = value(index.row(), column);
    if (!v) return QStringLiteral("N/A");
    return QString::fromStdString(numberText(*v) + (column >= kFirstRate ? "%" : ""));
}

QVariant ClassResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (section >= kFirstInterval) {
        static constexpr const char* kNames[] = {"PFC 區間", "GTD 區間", "PRX 區間"};
        if (role == Qt::DisplayRole) return QString::fromUtf8(kNames[section - kFirstInterval]);
        if (role == Qt::ToolTipRole)
            return QStringLiteral(
                "換一份相近的題目（從這些題目中重抽）時，指標大多會落在這個範圍內；"
                "範圍越寬，這個指標越不可靠。");
        return {};
    }
    const ColumnText& c = kColumns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return QString::fromUtf8(c.header);
    if (role == Qt::ToolTipRole) return QString::fromUtf8(c.tip);
    return {};
}

ClassResultsProxy::ClassResultsProxy(ClassResultsModel& source, QObject* parent)
    : QSortFilterProxyModel(parent), source_(source) {
    setSourceModel(&source);
}

void ClassResultsProxy::setIdFilter(const QString& text) {
    filter_ = text.trimmed().toStdString();
    invalidateFilter();
}

void ClassResultsProxy::setLinkFilter(std::optional<LinkFilter> filter) {
    link_ = filter;
    invalidateFilter();
}

void ClassResultsProxy::setRange(int column, std::optional<double> low,
                                 std::optional<double> high) {
    std::erase_if(ranges_, [column](const Range& r) { return r.column == column; });
    if (low || high) ranges_.push_back({column, low, high});
    invalidateFilter();
}

int ClassResultsProxy::recordOf(int row) const {
    return mapToSource(index(row, 0)).row();
}

const std::vector<double>& ClassResultsProxy::keys(int column) const {
    if (column == keysColumn_ && source_.generation() == keysGeneration_) return keys_;
    const int rows = source_.rowCount();
    keys_.assign(static_cast<std::size_t>(rows), std::numeric_limits<double>::quiet_NaN());
    if (column == ClassResultsModel::kId) {
        std::vector<int> order(static_cast<std::size_t>(rows));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return source_.record(a).id < source_.record(b).id;
        });
        for (int rank = 0; rank < rows; ++rank) {
            const int row = order[static_cast<std::size_t>(rank)];
            const bool tie =
                rank > 0 && source_.record(row).id ==
                                source_.record(order[static_cast<std::size_t>(rank) - 1]).id;
            keys_[static_cast<std::size_t>(row)] =
                tie ? keys_[static_cast<std::size_t>(order[static_cast<std::size_t>(rank) - 1])]
                    : rank;
        }
    } else {
        for (int row = 0; row < rows; ++row)
            if (const auto v = source_.value(row, column))
                keys_[static_cast<std::size_t>(row)] = *v;
    }
    keysColumn_ = column;
    keysGeneration_ = source_.generation();
    return keys_;
}

bool ClassResultsProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const std::vector<double>& k = keys(left.column());
    const double a = k[static_cast<std::size_t>(left.row())];
    const double b = k[static_cast<std::size_t>(right.row())];
    // N/A is the largest value ascending and the smallest descending, so it
    // always ends up last.
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(b) != std::isnan(a) &&
               std::isnan(b) == (sortOrder() == Qt::AscendingOrder);
    return a < b;
}

bool ClassResultsProxy::filterAcceptsRow(int row, const QModelIndex&) const {
    const StudentRecord& r = source_.record(row);
    if (!filter_.empty() && r.id.find(filter_) == std::string::npos) return false;
    if (link_ && (r.undetermined || hasLink(r.links, link_->i, link_->j) == link_->standard))
        return false;
    for (const Range& range : ranges_) {
        const std::optional<double> v = source_.value(row, range.column);
        if (!v || (range.low && *v < *range.low) || (range.high && *v > *range.high))
            return false;
    }
    return true;
}

}  // namespace qv::app
