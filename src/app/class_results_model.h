#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/state.h"
#include "stats/bootstrap.h"

namespace qv::app {

// Every student of a run, one row each in file order: ID, score, the three
// indices, the six counts and the six rates.
class ClassResultsModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column : int {
        kId = 0,
        kScore,
        kPfc,
        kGtd,
        kPrx,
        kFirstCount,                   // Match, Miss, Over, Absent, STD links, Target links
        kFirstRate = kFirstCount + 6,  // Match, Miss, Over on STD, then on Target
        kColumnCount = kFirstRate + 6
    };

    explicit ClassResultsModel(QObject* parent = nullptr);

    // Shows these results (none for null).
    void reload(std::shared_ptr<const RunResults> results);
    // Adds a column of intervals per index after the rates (PFC, GTD, PRX),
    // sorted by their lower bound; null takes them away.
    void setIntervals(std::shared_ptr<const BootstrapResults> intervals);
    static constexpr int kFirstInterval = kColumnCount;

    // Without the checks of the base class, which cost most of a large sort.
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The number a cell sorts by; nothing for N/A (and for the ID column).
    std::optional<double> value(int row, int column) const;
    const StudentRecord& record(int row) const;
    // The interval of an interval column's cell, if any.
    std::optional<Interval> interval(int row, int column) const;
    // Changes with every reload.
    int generation() const { return generation_; }

  private:
    std::shared_ptr<const RunResults> results_;
    std::shared_ptr<const BootstrapResults> intervals_;
    int rows_ = 0;
    int generation_ = 0;
};

// Which students a heat-map pair picks: those who miss a standard link, or
// add another pair. Undetermined students are never picked.
struct LinkFilter {
    int i = 0, j = 0;
    bool standard = true;
};

// Sorts by the numbers behind the cells with N/A last in either order, and
// keeps the rows whose ID contains the filter text, that the link filter
// picks and whose values lie in the ranges.
class ClassResultsProxy final : public QSortFilterProxyModel {
    Q_OBJECT
  public:
    explicit ClassResultsProxy(ClassResultsModel& source, QObject* parent = nullptr);

    void setIdFilter(const QString& text);
    void setLinkFilter(std::optional<LinkFilter> filter);
    const std::optional<LinkFilter>& linkFilter() const { return link_; }
    // Keeps the rows whose value in `column` lies in [low, high]; N/A fails.
    void setRange(int column, std::optional<double> low, std::optional<double> high);
    // The record index of a row of this model.
    int recordOf(int row) const;

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

  private:
    // One number per record for the sorted column (NaN for N/A; the rank of
    // its ID for the ID column), made once per sort rather than per comparison.
    const std::vector<double>& keys(int column) const;

    ClassResultsModel& source_;
    std::string filter_;
    std::optional<LinkFilter> link_;
    struct Range {
        int column;
        std::optional<double> low, high;
    };
    std::vector<Range> ranges_;
    mutable std::vector<double> keys_;
    mutable int keysColumn_ = -1, keysGeneration_ = -1;
};

}  // namespace qv::app
