#pragma once
// The table the windows show: text columns with caption, width, minimum
// width, visibility and options; rows of text cells; whole-row and multi-row
// selection; text sorting by a click on a sortable column's header.
#include <QList>
#include <QTableView>
#include <vector>

#include "ui/grid_model.h"

namespace lekta::ui {

struct GridColumn {
    QString name;  // component name, e.g. "NxTextColumn15"
    QString caption;
    int width = 80;
    int min_width = 0;
    bool visible = true;
    bool sortable = false;   // header click sorts by text
    bool auto_size = false;  // takes a share of spare width when the grid grows
    Qt::Alignment alignment = Qt::AlignCenter;
};

class Grid : public QTableView {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);

    int AddColumn(const GridColumn& column);
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const GridColumn& Column(int index) const { return columns_.at(static_cast<size_t>(index)); }
    void SetColumnVisible(int index, bool visible);
    bool ColumnVisible(int index) const { return Column(index).visible; }
    // The width the column is laid out from (its design width); the grid
    // still widens it for its caption and widest text.
    void SetColumnWidth(int index, int width);
    void SetColumnAutoSize(int index, bool auto_size);
    int ColumnWidthOf(int index) const;

    int RowCount() const { return model_->rowCount(); }
    int AddRow(int count = 1);  // index of the first new row
    // Rows already filled, one text per column, added in one step (a live
    // table grows by thousands of rows at a time); index of the first.
    int AppendRows(std::vector<std::vector<QString>> rows);
    void DeleteRow(int row);
    void ClearRows();
    // Every row replaced at once by rows built elsewhere (a loader thread);
    // `rows` receives the old ones, to be freed where the caller likes.
    void SwapRows(std::vector<GridRow>& rows);
    // `count` rows whose texts source(column, row) writes when first needed
    // (GridModel::set_generated_rows); longest[c] is column c's longest
    // text, which the column's width is fitted to.
    void SetGeneratedRows(int count, GridModel::CellSource source,
                          const std::vector<QString>& longest);
    const QString& Cell(int column, int row) const { return model_->cell(column, row); }
    void SetCell(int column, int row, const QString& text);
    const QByteArray& RowKey(int row) const { return model_->row_key(row); }
    void SetRowKey(int row, const QByteArray& key) { model_->set_row_key(row, key); }

    void BeginUpdate() { model_->begin_update(); }
    void EndUpdate();

    int SelectedRow() const;  // current row, -1 when none
    QList<int> SelectedRows() const;
    void SelectRow(int row, bool add = false);

    void SortColumn(int column, bool ascending);

    void SetHeaderHeight(int pixels);
    GridModel* model_texts() const { return model_; }

    // Widths the columns get when the grid has room: designed widths, spare
    // width shared by the auto-sizing columns in proportion to their widths.
    void fit_columns();

signals:
    // A double-click on a row, or with -1 on the table's empty part (no rows,
    // below the last row).
    void RowDoubleClicked(int row);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void header_clicked(int section);
    // Rows given anew are in the order given: the header shows no sort.
    void forget_sort();

    GridModel* model_;
    void note_content(int column, const QString& text);
    int needed_width(int column) const;

    std::vector<GridColumn> columns_;
    // The longest text of each column (by characters): measuring only that
    // one keeps the columns wide enough without measuring every cell.
    std::vector<QString> longest_;
    int sorted_column_ = -1;
    bool sorted_ascending_ = true;
};

}  // namespace lekta::ui
