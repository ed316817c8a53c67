#include "ui/grid_model.h"

#include <algorithm>
#include <stdexcept>

namespace lekta::ui {

int GridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= static_cast<int>(rows_.size()))
        return {};
    if (role == Qt::DisplayRole)
        return rows_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignments_[static_cast<size_t>(index.column())] | Qt::AlignVCenter);
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal)
        return section < columns_ ? captions_[static_cast<size_t>(section)] : QString();
    // The row indicator: an arrow beside the current row, nothing elsewhere.
    return section == indicator_row_ ? QStringLiteral("\u25B8") : QString();
}

void GridModel::set_column_count(int n)
{
    beginResetModel();
    columns_ = n;
    captions_.resize(static_cast<size_t>(n));
    alignments_.resize(static_cast<size_t>(n), Qt::AlignLeft);
    for (auto& r : rows_)
        r.resize(static_cast<size_t>(n));
    endResetModel();
}

void GridModel::set_caption(int column, const QString& caption)
{
    captions_.at(static_cast<size_t>(column)) = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void GridModel::set_alignment(int column, Qt::Alignment a)
{
    alignments_.at(static_cast<size_t>(column)) = a;
}

int GridModel::add_rows(int count)
{
    const int first = static_cast<int>(rows_.size());
    if (count <= 0)
        return first;
    if (!updating())
        beginInsertRows({}, first, first + count - 1);
    rows_.resize(rows_.size() + static_cast<size_t>(count), std::vector<QString>(static_cast<size_t>(columns_)));
    if (!updating())
        endInsertRows();
    return first;
}

void GridModel::delete_row(int row)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        throw std::out_of_range("Range check error");
    if (!updating())
        beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    if (!updating())
        endRemoveRows();
}

void GridModel::clear_rows()
{
    if (!updating())
        beginResetModel();
    rows_.clear();
    indicator_row_ = -1;
    if (!updating())
        endResetModel();
}

const QString& GridModel::cell(int column, int row) const
{
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= columns_)
        throw std::out_of_range("Range check error");
    return rows_[static_cast<size_t>(row)][static_cast<size_t>(column)];
}

void GridModel::set_cell(int column, int row, const QString& text)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0 || column >= columns_)
        throw std::out_of_range("Range check error");
    rows_[static_cast<size_t>(row)][static_cast<size_t>(column)] = text;
    if (!updating()) {
        const QModelIndex i = index(row, column);
        emit dataChanged(i, i, {Qt::DisplayRole});
    }
}

void GridModel::sort_by(int column, bool ascending)
{
    if (column < 0 || column >= columns_)
        return;
    emit layoutAboutToBeChanged();
    const auto c = static_cast<size_t>(column);
    std::stable_sort(rows_.begin(), rows_.end(), [&](const auto& a, const auto& b) {
        const int r = QString::compare(a[c], b[c], Qt::CaseInsensitive);
        return ascending ? r < 0 : r > 0;
    });
    emit layoutChanged();
}

void GridModel::set_indicator_row(int row)
{
    const int old = indicator_row_;
    indicator_row_ = row;
    if (updating())
        return;
    if (old >= 0 && old < static_cast<int>(rows_.size()))
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < static_cast<int>(rows_.size()))
        emit headerDataChanged(Qt::Vertical, row, row);
}

void GridModel::begin_update()
{
    if (update_depth_++ == 0)
        beginResetModel();
}

void GridModel::end_update()
{
    if (update_depth_ > 0 && --update_depth_ == 0)
        endResetModel();
}

}  // namespace lekta::ui
