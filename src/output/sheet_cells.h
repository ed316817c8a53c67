#pragma once
// The cells of one worksheet, kept compact: a sheet of 64,000 curve points
// is written one cell at a time, so a cell is a 16-byte slot in a column
// vector and texts live in one shared character store, NUL-terminated so
// the writer can hand them on without copying.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/cell_range.h"

namespace lekta::output {

struct Cell {
    enum class Kind : std::uint8_t { Empty, Number, Text };
    Kind kind = Kind::Empty;
    std::uint32_t text_size = 0;
    union {
        double number;
        std::uint64_t text_offset;
    };
    Cell() : number(0) {}
};
static_assert(sizeof(Cell) == 16);

class SheetCells {
public:
    // Rows and columns from 1; out-of-sheet positions throw SpreadsheetError.
    void set_number(int row, int column, double value);
    void set_text(int row, int column, std::string_view utf8);
    void clear(int row, int column);

    // nullptr for a cell never written (or beyond the written area).
    const Cell* cell(int row, int column) const;
    const char* text(const Cell& c) const { return arena_.data() + c.text_offset; }

    int column_count() const { return static_cast<int>(columns_.size()); }
    int row_count() const { return rows_; }  // last row any column reached
    // Cells of column c (from 1), index row - 1; may be shorter than row_count().
    const std::vector<Cell>& column(int c) const { return columns_[static_cast<size_t>(c - 1)]; }

    // The box spanned by the cells holding a value with the given kind;
    // false when there is none.
    bool bounds(Cell::Kind kind, CellBox& box) const;
    bool any_bounds(CellBox& box) const;  // cells of either kind

private:
    Cell& slot(int row, int column);
    std::vector<std::vector<Cell>> columns_;
    std::string arena_;
    int rows_ = 0;
};

}  // namespace lekta::output
