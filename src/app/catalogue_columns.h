#pragma once
namespace lekta::ui { class Grid; }
namespace lekta {
// The catalogue's 17 columns: captions, widths, minimum widths, options.
void add_catalogue_columns(ui::Grid& grid);
// A column's designed width (column 9 has the grid's default of 80).
int catalogue_default_width(int column);
}
