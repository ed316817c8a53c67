#pragma once
// Cell addresses and ranges as the exports write them: "F3", "F3:H10",
// optionally with "$" marks; rows and columns count from 1 and stay inside
// the sheet limits of the spreadsheet file format.
#include <QString>

namespace lekta::output {

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

struct CellBox {
    int first_row = 1, first_column = 1, last_row = 1, last_column = 1;
    int rows() const { return last_row - first_row + 1; }
    int columns() const { return last_column - first_column + 1; }
    bool operator==(const CellBox&) const = default;
};

// "F3:H10" or "F3" into a box with first <= last; throws SpreadsheetError
// for anything else.
CellBox parse_range_text(const QString& text);
// 1 -> "A", 27 -> "AA".
QString column_letters(int column);
// {3, 6, 10, 8} -> "F3:H10"; a single cell as "F3".
QString range_text(const CellBox& box);

}  // namespace lekta::output
