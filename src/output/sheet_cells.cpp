#include "output/sheet_cells.h"

#include "output/spreadsheet_error.h"

#include <algorithm>

namespace lekta::output {

Cell& SheetCells::slot(int row, int column)
{
    if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns)
        throw SpreadsheetError("Cells(" + std::to_string(row) + ", " + std::to_string(column) +
                               "): outside the sheet");
    if (static_cast<size_t>(column) > columns_.size())
        columns_.resize(static_cast<size_t>(column));
    std::vector<Cell>& col = columns_[static_cast<size_t>(column - 1)];
    if (static_cast<size_t>(row) > col.size())
        col.resize(static_cast<size_t>(row));
    rows_ = std::max(rows_, row);
    return col[static_cast<size_t>(row - 1)];
}

void SheetCells::set_number(int row, int column, double value)
{
    Cell& c = slot(row, column);
    c.kind = Cell::Kind::Number;
    c.text_size = 0;
    c.number = value;
}

void SheetCells::set_text(int row, int column, std::string_view utf8)
{
    Cell& c = slot(row, column);
    // A text cell longer than the file format allows would make the file
    // unreadable; the outside program refused such a write as well.
    if (utf8.size() > 32767 * 4)
        throw SpreadsheetError("Cells(" + std::to_string(row) + ", " + std::to_string(column) +
                               "): text too long for a cell");
    c.kind = Cell::Kind::Text;
    c.text_offset = arena_.size();
    c.text_size = static_cast<std::uint32_t>(utf8.size());
    arena_.append(utf8);
    arena_.push_back('\0');
}

void SheetCells::clear(int row, int column)
{
    if (column < 1 || static_cast<size_t>(column) > columns_.size() || row < 1)
        return;
    std::vector<Cell>& col = columns_[static_cast<size_t>(column - 1)];
    if (static_cast<size_t>(row) <= col.size())
        col[static_cast<size_t>(row - 1)] = Cell();
}

const Cell* SheetCells::cell(int row, int column) const
{
    if (column < 1 || static_cast<size_t>(column) > columns_.size() || row < 1)
        return nullptr;
    const std::vector<Cell>& col = columns_[static_cast<size_t>(column - 1)];
    if (static_cast<size_t>(row) > col.size())
        return nullptr;
    return &col[static_cast<size_t>(row - 1)];
}

namespace {

template <class Keep>
bool box_of(const std::vector<std::vector<Cell>>& columns, Keep keep, CellBox& box)
{
    bool found = false;
    for (size_t c = 0; c < columns.size(); ++c) {
        const std::vector<Cell>& col = columns[c];
        for (size_t r = 0; r < col.size(); ++r) {
            if (!keep(col[r]))
                continue;
            const int row = static_cast<int>(r) + 1, column = static_cast<int>(c) + 1;
            if (!found) {
                box = {row, column, row, column};
                found = true;
            }
            box.first_row = std::min(box.first_row, row);
            box.last_row = std::max(box.last_row, row);
            box.first_column = std::min(box.first_column, column);
            box.last_column = std::max(box.last_column, column);
        }
    }
    return found;
}

}  // namespace

bool SheetCells::bounds(Cell::Kind kind, CellBox& box) const
{
    return box_of(
        columns_, [kind](const Cell& c) { return c.kind == kind; }, box);
}

bool SheetCells::any_bounds(CellBox& box) const
{
    return box_of(
        columns_, [](const Cell& c) { return c.kind != Cell::Kind::Empty; }, box);
}

}  // namespace lekta::output
