#include "sheet_preview.h"

#include <QBrush>
#include <QColor>
#include <algorithm>

namespace qv::app {

namespace {

// Light enough that the cell's text stays readable.
const QColor kIdColour(0xCF, 0xE2, 0xF3);
const QColor kItemColour(0xD9, 0xEA, 0xD3);
const QColor kKeyColour(0xFF, 0xE5, 0x99);

}  // namespace

void SheetPreviewModel::setSheet(const Sheet* sheet, std::vector<std::size_t> rows) {
    beginResetModel();
    sheet_ = sheet;
    rows_ = sheet ? std::move(rows) : std::vector<std::size_t>{};
    endResetModel();
}

void SheetPreviewModel::setParts(std::optional<std::size_t> idColumn,
                                 std::optional<std::pair<std::size_t, std::size_t>> items,
                                 std::optional<std::size_t> keyRow) {
    id_ = idColumn;
    items_ = items;
    key_ = keyRow;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                         {Qt::BackgroundRole});
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, 0, std::max(0, rowCount() - 1));
}

std::optional<int> SheetPreviewModel::viewRow(std::size_t sheetRow) const {
    const auto at = std::ranges::lower_bound(rows_, sheetRow);
    if (at == rows_.end() || *at != sheetRow) return std::nullopt;
    return int(at - rows_.begin());
}

int SheetPreviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int SheetPreviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !sheet_ ? 0 : int(sheet_->columnCount());
}

QVariant SheetPreviewModel::data(const QModelIndex& index, int role) const {
    if (!sheet_ || !index.isValid()) return {};
    const std::size_t row = sheetRow(index.row()), column = std::size_t(index.column());
    if (role == Qt::DisplayRole) {
        const std::string_view text = sheet_->cell(row, column);
        return QString::fromUtf8(text.data(), qsizetype(text.size()));
    }
    if (role == Qt::BackgroundRole && row > 0) {
        const bool item = items_ && column >= items_->first && column <= items_->second;
        if (row == key_ && (item || column == id_)) return QBrush(kKeyColour);
        if (column == id_) return QBrush(kIdColour);
        if (item) return QBrush(kItemColour);
    }
    return {};
}

QVariant SheetPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        const std::size_t column = std::size_t(section);
        if (role == Qt::DisplayRole) return QString::fromStdString(columnLetters(column));
        if (role == Qt::BackgroundRole) {
            if (column == id_) return QBrush(kIdColour);
            if (items_ && column >= items_->first && column <= items_->second)
                return QBrush(kItemColour);
        }
        return {};
    }
    if (section < 0 || std::size_t(section) >= rows_.size()) return {};
    if (role == Qt::DisplayRole) return QString::number(rows_[std::size_t(section)] + 1);
    if (role == Qt::BackgroundRole && rows_[std::size_t(section)] == key_)
        return QBrush(kKeyColour);
    return {};
}

}  // namespace qv::app
