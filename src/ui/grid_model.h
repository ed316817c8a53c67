#pragma once
// Text cells of a grid, row by row, with the grid's column captions.
#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

namespace lekta::ui {

// One row's cells (one per column) and its hidden key. Plain data: a thread
// may build rows for a grid and hand them over whole.
struct GridRow {
    std::vector<QString> cells;
    QByteArray key;
};

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void set_column_count(int n);
    void set_caption(int column, const QString& caption);
    const QString& caption(int column) const { return captions_[static_cast<size_t>(column)]; }
    void set_alignment(int column, Qt::Alignment a);

    int add_rows(int count);  // index of the first new row
    // Rows with their cells (one text per column, missing ones empty) after
    // the existing ones, announced as one insertion; index of the first.
    int append_rows(std::vector<std::vector<QString>> rows);
    void delete_row(int row);
    void clear_rows();
    // Puts `rows` in place of every row in one reset; `rows` receives the
    // old ones (generated rows without the texts not yet written), so the
    // caller decides where their memory is freed. Each row gets exactly one
    // cell per column.
    void swap_rows(std::vector<GridRow>& rows);
    // `count` rows in place of every row, whose texts source(column, row)
    // writes when a row is first shown, read or changed: a table of many
    // thousand rows costs the numbers it is made from until then. Any
    // later change of the rows' number or order writes them all first.
    using CellSource = std::function<QString(int column, int row)>;
    void set_generated_rows(int count, CellSource source);
    // Rows whose texts are written (all of them unless generated).
    int written_rows() const;
    const QString& cell(int column, int row) const;
    void set_cell(int column, int row, const QString& text);
    // A hidden key a row carries along when rows are sorted or deleted (the
    // catalogue keeps a file name's bytes there, which its text may not hold).
    const QByteArray& row_key(int row) const;
    void set_row_key(int row, const QByteArray& key);
    void sort_by(int column, bool ascending);
    void set_indicator_row(int row);

    // While updating, changes are not announced one by one; the end of the
    // update resets every view once.
    void begin_update();
    void end_update();
    bool updating() const { return update_depth_ > 0; }

private:
    using Row = GridRow;
    void check_row(int row) const;
    // Generated rows: writes row's texts if not yet written; all rows, and
    // then forgets the source.
    void write_row(int row) const;
    void write_all();
    // Written on demand by const readers, hence mutable; UI thread only.
    mutable std::vector<Row> rows_;
    CellSource source_;
    std::vector<QString> captions_;
    std::vector<Qt::Alignment> alignments_;
    int columns_ = 0;
    int update_depth_ = 0;
    int indicator_row_ = -1;
};

}  // namespace lekta::ui
