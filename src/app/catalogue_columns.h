#pragma once
namespace lekta::ui {
class Grid;
}
namespace lekta {
// The catalogue's columns by what they hold: the catalogue, the graph window
// and the exports read a row's cells by these numbers.
enum CatalogueColumn : int {
    kColumnFileName = 0,
    kColumnSeries,
    kColumnNumber,
    kColumnDate,
    kColumnTime,
    kColumnMode,
    kColumnShape,
    kColumnSize,
    kColumnArea,
    kColumnSpeed,
    kColumnYieldStress,      // δт
    kColumnYieldLoad,        // Fт
    kColumnTensileStrength,  // δв
    kColumnBreakingLoad,     // Fв
    kColumnGaugeBase,        // extensometer tests from here on
    kColumnProofLoad,        // F0.2
    kColumnProofStress,      // б0.2
};
// The catalogue's 17 columns: captions, widths, minimum widths, options.
void add_catalogue_columns(ui::Grid& grid);
// A column's designed width (column 9 has the grid's default of 80).
int catalogue_default_width(int column);
}  // namespace lekta
