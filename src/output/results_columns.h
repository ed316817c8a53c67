#pragma once
// The results read from the curve on the graph export's data sheet, to the
// right of the curve's columns (A to H) with column I left empty: J1 a
// caption, row 2 the headers "Величина", "По кривой", "Прибор",
// "Разница, %", then one row per quantity from row 3: its symbol and unit,
// the value from the curve (or the reason it is absent), the unit's value
// and the difference in percent, each number rounded as the results panel
// shows it. Under them E in ГПа (or why there is none) and, with E, its
// fit's R² named with the method and range.
#include "analysis/result_comparison.h"
#include "output/spreadsheet_app.h"

namespace lekta::output {

constexpr int kResultsFirstColumn = 10;  // J

void write_results_columns(Worksheet& sheet, const analysis::ComparedResults& results);

}  // namespace lekta::output
