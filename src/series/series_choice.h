#pragma once
// Which tests a series chart shows: the series numbers of the catalogue
// with their counts, and the catalogue rows of the series the operator
// picked. Plain C++: the dialog hands over the catalogue's cells.
#include <set>
#include <string>
#include <vector>

namespace lekta::series {

// What the choice needs of one catalogue row.
struct CatalogueEntry {
    int row = 0;             // the catalogue's row index
    std::string series;      // the "Серия" cell
    bool has_curve = false;  // the test holds a curve (its row shows the area)
};

struct SeriesEntry {
    int series = 0;
    int tests = 0;       // rows of the series
    int with_curve = 0;  // of them with a curve
};

// Every series number of the catalogue, ascending, with its counts. Rows
// whose series cell is not a whole number are left out.
std::vector<SeriesEntry> series_entries(const std::vector<CatalogueEntry>& rows);

// The list's text of an entry: "Серия 19 — кривых: 5 из 6".
std::string entry_text(const SeriesEntry& entry);

// The rows of the chosen series in catalogue order (every row of the
// series: those without a curve are listed as left out in the window).
std::vector<int> rows_of_series(const std::vector<CatalogueEntry>& rows,
                                const std::set<int>& chosen);

// The series number a cell holds, or −1.
int series_number(const std::string& cell);

}  // namespace lekta::series
