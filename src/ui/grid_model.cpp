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
    if (role == Qt::DisplayRole) {
        write_row(index.row());
        return rows_[static_cast<size_t>(index.row())].cells[static_cast<size_t>(index.column())];
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(alignments_[static_cast<size_t>(index.column())] |
                                   Qt::AlignVCenter);
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
    write_all();
    beginResetModel();
    columns_ = n;
    captions_.resize(static_cast<size_t>(n));
    alignments_.resize(static_cast<size_t>(n), Qt::AlignLeft);
    for (auto& r : rows_)
        r.cells.resize(static_cast<size_t>(n));
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
    write_all();
    if (!updating())
        beginInsertRows({}, first, first + count - 1);
    rows_.resize(rows_.size() + static_cast<size_t>(count),
                 Row{std::vector<QString>(static_cast<size_t>(columns_)), {}});
    if (!updating())
        endInsertRows();
    return first;
}

int GridModel::append_rows(std::vector<std::vector<QString>> rows)
{
    const int first = static_cast<int>(rows_.size());
    if (rows.empty())
        return first;
    if (!updating())
        beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    // No exact reserve: the table grows response by response, and growing
    // by the vector's own steps keeps each addition from moving every row.
    for (auto& cells : rows) {
        cells.resize(static_cast<size_t>(columns_));
        rows_.push_back(Row{std::move(cells), {}});
    }
    if (!updating())
        endInsertRows();
    return first;
}

void GridModel::delete_row(int row)
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        throw std::out_of_range("Range check error");
    write_all();
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
    source_ = nullptr;
    rows_.clear();
    indicator_row_ = -1;
    if (!updating())
        endResetModel();
}

void GridModel::swap_rows(std::vector<GridRow>& rows)
{
    if (!updating())
        beginResetModel();
    for (GridRow& r : rows)
        r.cells.resize(static_cast<size_t>(columns_));
    source_ = nullptr;  // generated rows leave as they are, texts unwritten
    rows_.swap(rows);
    indicator_row_ = -1;
    if (!updating())
        endResetModel();
}

void GridModel::set_generated_rows(int count, CellSource source)
{
    if (!updating())
        beginResetModel();
    rows_.clear();
    rows_.resize(static_cast<size_t>(std::max(count, 0)));
    source_ = std::move(source);
    indicator_row_ = -1;
    if (!updating())
        endResetModel();
}

int GridModel::written_rows() const
{
    if (!source_)
        return rowCount();
    return static_cast<int>(
        std::count_if(rows_.begin(), rows_.end(), [](const Row& r) { return !r.cells.empty(); }));
}

void GridModel::write_row(int row) const
{
    Row& r = rows_[static_cast<size_t>(row)];
    if (!source_ || !r.cells.empty() || columns_ == 0)
        return;
    r.cells.resize(static_cast<size_t>(columns_));
    for (int c = 0; c < columns_; ++c)
        r.cells[static_cast<size_t>(c)] = source_(c, row);
}

void GridModel::write_all()
{
    if (!source_)
        return;
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r)
        write_row(r);
    source_ = nullptr;
}

void GridModel::check_row(int row) const
{
    if (row < 0 || row >= static_cast<int>(rows_.size()))
        throw std::out_of_range("Range check error");
}

const QString& GridModel::cell(int column, int row) const
{
    check_row(row);
    if (column < 0 || column >= columns_)
        throw std::out_of_range("Range check error");
    write_row(row);
    return rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)];
}

const QByteArray& GridModel::row_key(int row) const
{
    check_row(row);
    return rows_[static_cast<size_t>(row)].key;
}

void GridModel::set_row_key(int row, const QByteArray& key)
{
    check_row(row);
    rows_[static_cast<size_t>(row)].key = key;
}

void GridModel::set_cell(int column, int row, const QString& text)
{
    check_row(row);
    if (column < 0 || column >= columns_)
        throw std::out_of_range("Range check error");
    write_row(row);
    rows_[static_cast<size_t>(row)].cells[static_cast<size_t>(column)] = text;
    if (!updating()) {
        const QModelIndex i = index(row, column);
        emit dataChanged(i, i, {Qt::DisplayRole});
    }
}

void GridModel::sort_by(int column, bool ascending)
{
    if (column < 0 || column >= columns_)
        return;
    write_all();
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const auto c = static_cast<size_t>(column);
    std::vector<int> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int r = QString::compare(rows_[static_cast<size_t>(a)].cells[c],
                                       rows_[static_cast<size_t>(b)].cells[c], Qt::CaseInsensitive);
        return ascending ? r < 0 : r > 0;
    });
    std::vector<Row> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> new_row_of(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        new_row_of[static_cast<size_t>(order[i])] = static_cast<int>(i);
        sorted.push_back(std::move(rows_[static_cast<size_t>(order[i])]));
    }
    rows_ = std::move(sorted);
    // The selection and the current row are persistent indexes: they follow
    // their rows, or a delete by selection would hit other tests' files.
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& i : from)
        to << index(new_row_of[static_cast<size_t>(i.row())], i.column());
    changePersistentIndexList(from, to);
    if (indicator_row_ >= 0 && indicator_row_ < static_cast<int>(rows_.size()))
        indicator_row_ = new_row_of[static_cast<size_t>(indicator_row_)];
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
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
