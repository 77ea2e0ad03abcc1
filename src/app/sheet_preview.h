#pragma once

#include <QAbstractTableModel>
#include <optional>
#include <utility>
#include <vector>

#include "data/sheet.h"

namespace qv::app {

// A sheet as a spreadsheet shows it, column letters and row numbers in the
// headers, with the parts the import reads coloured: the ID column, the item
// columns and the key row. A long sheet shows a bounded number of its rows.
class SheetPreviewModel final : public QAbstractTableModel {
    Q_OBJECT
  public:
    using QAbstractTableModel::QAbstractTableModel;

    // The sheet stays the caller's and must outlive the model's use of it.
    void setSheet(const Sheet* sheet, std::vector<std::size_t> rows);
    void setParts(std::optional<std::size_t> idColumn,
                  std::optional<std::pair<std::size_t, std::size_t>> items,
                  std::optional<std::size_t> keyRow);
    // The view row of a sheet row; nothing when it is not shown.
    std::optional<int> viewRow(std::size_t sheetRow) const;
    std::size_t sheetRow(int viewRow) const { return rows_.at(std::size_t(viewRow)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const Sheet* sheet_ = nullptr;
    std::vector<std::size_t> rows_;
    std::optional<std::size_t> id_, key_;
    std::optional<std::pair<std::size_t, std::size_t>> items_;
};

}  // namespace qv::app
