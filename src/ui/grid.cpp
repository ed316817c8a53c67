#include "ui/grid.h"

#include "ui/guarded_connect.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QStyle>
#include <algorithm>

namespace lekta::ui {

Grid::Grid(QWidget* parent) : QTableView(parent), model_(new GridModel(this))
{
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setMinimumSectionSize(8);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(14);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect_guarded(horizontalHeader(), &QHeaderView::sectionClicked, this, &Grid::header_clicked);
    connect_guarded(this, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
        if (i.isValid())
            emit RowDoubleClicked(i.row());
    });
    connect_guarded(
        horizontalHeader(), &QHeaderView::sectionResized, this, [this](int index, int, int size) {
            // A column never gets narrower than its minimum width.
            if (index < ColumnCount() && size < Column(index).min_width && Column(index).visible)
                horizontalHeader()->resizeSection(index, Column(index).min_width);
        });
}

int Grid::AddColumn(const GridColumn& column)
{
    const int index = ColumnCount();
    columns_.push_back(column);
    longest_.emplace_back();
    model_->set_column_count(index + 1);
    model_->set_caption(index, column.caption);
    model_->set_alignment(index, column.alignment);
    setColumnHidden(index, !column.visible);
    fit_columns();
    return index;
}

void Grid::SetColumnVisible(int index, bool visible)
{
    columns_.at(static_cast<size_t>(index)).visible = visible;
    setColumnHidden(index, !visible);
    fit_columns();
}

void Grid::SetColumnWidth(int index, int width)
{
    auto& c = columns_.at(static_cast<size_t>(index));
    c.width = std::max(width, c.min_width);
    fit_columns();
}

void Grid::SetColumnAutoSize(int index, bool auto_size)
{
    columns_.at(static_cast<size_t>(index)).auto_size = auto_size;
    fit_columns();
}

int Grid::ColumnWidthOf(int index) const
{
    return columnWidth(index);
}

void Grid::SetCell(int column, int row, const QString& text)
{
    model_->set_cell(column, row, text);
    note_content(column, text);
}

void Grid::note_content(int column, const QString& text)
{
    auto& longest = longest_.at(static_cast<size_t>(column));
    if (text.size() > longest.size()) {
        longest = text;
        if (!model_->updating())
            fit_columns();
    }
}

int Grid::needed_width(int column) const
{
    const auto& c = Column(column);
    int w = 0;
    // Captions may hold several lines; the widest one counts.
    const QFontMetrics header_metrics(horizontalHeader()->font());
    // The sorted column leaves room for the sort arrow beside its caption,
    // as much as the header itself reserves for it.
    const int arrow = column == sorted_column_
                          ? header_metrics.height() +
                                style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this)
                          : 0;
    for (const QString& line : QString(c.caption).replace("\r\n", "\n").split('\n'))
        w = std::max(w, header_metrics.horizontalAdvance(line) + 10 + arrow);
    const QString& longest = longest_[static_cast<size_t>(column)];
    if (!longest.isEmpty())
        w = std::max(w, fontMetrics().horizontalAdvance(longest) + 12);
    return w;
}

int Grid::AddRow(int count)
{
    return model_->add_rows(count);
}

int Grid::AppendRows(std::vector<std::vector<QString>> rows)
{
    bool wider = false;
    for (const auto& cells : rows)
        for (std::size_t c = 0; c < cells.size() && c < longest_.size(); ++c)
            if (cells[c].size() > longest_[c].size()) {
                longest_[c] = cells[c];
                wider = true;
            }
    const int first = model_->append_rows(std::move(rows));
    if (wider && !model_->updating())
        fit_columns();
    return first;
}

void Grid::DeleteRow(int row)
{
    model_->delete_row(row);
}

void Grid::ClearRows()
{
    forget_sort();
    model_->clear_rows();
    for (auto& l : longest_)
        l.clear();
}

void Grid::SwapRows(std::vector<GridRow>& rows)
{
    forget_sort();
    model_->swap_rows(rows);
    for (int c = 0; c < ColumnCount(); ++c) {
        QString& longest = longest_[static_cast<size_t>(c)];
        longest.clear();
        for (int r = 0; r < RowCount(); ++r) {
            const QString& text = model_->cell(c, r);
            if (text.size() > longest.size())
                longest = text;
        }
    }
    if (!model_->updating())
        fit_columns();
}

void Grid::SetGeneratedRows(int count, GridModel::CellSource source,
                            const std::vector<QString>& longest)
{
    forget_sort();
    model_->set_generated_rows(count, std::move(source));
    for (int c = 0; c < ColumnCount(); ++c)
        longest_[static_cast<size_t>(c)] = c < static_cast<int>(longest.size())
                                               ? longest[static_cast<size_t>(c)]
                                               : QString();
    if (!model_->updating())
        fit_columns();
}

void Grid::EndUpdate()
{
    model_->end_update();
    if (!model_->updating()) {
        for (int i = 0; i < ColumnCount(); ++i)
            setColumnHidden(i, !Column(i).visible);
        fit_columns();
    }
}

int Grid::SelectedRow() const
{
    const QModelIndex i = currentIndex();
    if (i.isValid() && selectionModel()->isRowSelected(i.row(), {}))
        return i.row();
    const auto rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.front();
}

QList<int> Grid::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void Grid::SelectRow(int row, bool add)
{
    if (row < 0 || row >= RowCount())
        return;
    const auto flags = (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
                       QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(model_->index(row, 0), flags);
}

void Grid::SortColumn(int column, bool ascending)
{
    sorted_column_ = column;
    sorted_ascending_ = ascending;
    model_->sort_by(column, ascending);
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column,
                                         ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (!model_->updating())
        fit_columns();
}

void Grid::forget_sort()
{
    if (sorted_column_ < 0)
        return;
    sorted_column_ = -1;
    sorted_ascending_ = true;
    horizontalHeader()->setSortIndicatorShown(false);
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    if (!model_->updating())
        fit_columns();
}

void Grid::header_clicked(int section)
{
    if (section < 0 || section >= ColumnCount() || !Column(section).sortable)
        return;
    const bool ascending = section == sorted_column_ ? !sorted_ascending_ : true;
    SortColumn(section, ascending);
}

void Grid::SetHeaderHeight(int pixels)
{
    horizontalHeader()->setFixedHeight(pixels);
}

void Grid::fit_columns()
{
    // Each column as wide as its design, its minimum and its widest text
    // need; spare width goes to the auto-sizing columns in proportion.
    std::vector<int> base(columns_.size());
    int fixed = 0, flexible = 0;
    for (int i = 0; i < ColumnCount(); ++i) {
        const auto& c = Column(i);
        base[static_cast<size_t>(i)] = std::max({c.width, c.min_width, needed_width(i)});
        if (!c.visible)
            continue;
        (c.auto_size ? flexible : fixed) += base[static_cast<size_t>(i)];
    }
    const int available = viewport()->width();
    double scale = 1.0;
    if (flexible > 0 && available > fixed + flexible)
        scale = static_cast<double>(available - fixed) / flexible;
    for (int i = 0; i < ColumnCount(); ++i) {
        const int b = base[static_cast<size_t>(i)];
        setColumnWidth(i, Column(i).auto_size ? static_cast<int>(b * scale) : b);
    }
}

void Grid::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    // A row's double-click is told through doubleClicked.
    if (event->button() == Qt::LeftButton && !indexAt(event->position().toPoint()).isValid())
        emit RowDoubleClicked(-1);
}

void Grid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    fit_columns();
}

void Grid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    model_->set_indicator_row(current.isValid() ? current.row() : -1);
}

}  // namespace lekta::ui
