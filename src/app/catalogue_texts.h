#pragma once
// The texts of one catalogue row, taken from the test in the test buffer.
// Plain C++: the loader puts them into the grid.
#include <array>
#include <string>

namespace lekta {

constexpr int kCatalogueColumns = 17;
constexpr int kFirstExtensometerColumn = 14;

struct CatalogueRow {
    std::array<std::string, kCatalogueColumns> cells;
    bool extensometer = false;  // the test uses the extensometer layout
};

// Builds the row for the file just read (entry_name as the directory listed
// it). Throws RangeError for a header byte outside its table or a file too
// short for a tail field the row needs; nothing is half-built then.
CatalogueRow catalogue_row(const std::string& entry_name);

}  // namespace lekta
