#pragma once
// Text cells of a grid, row by row, with the grid's column captions.
#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <vector>

namespace lekta::ui {

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
    struct Row {
        std::vector<QString> cells;
        QByteArray key;
    };
    void check_row(int row) const;
    std::vector<Row> rows_;
    std::vector<QString> captions_;
    std::vector<Qt::Alignment> alignments_;
    int columns_ = 0;
    int update_depth_ = 0;
    int indicator_row_ = -1;
};

}  // namespace lekta::ui
