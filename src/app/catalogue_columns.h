#pragma once
namespace lekta::ui { class Grid; }
namespace lekta {
// The catalogue's 17 columns: captions, widths, minimum widths, options.
void add_catalogue_columns(ui::Grid& grid);
}
