#pragma once
// "Экспорт" of the two curve windows: the curve of the window's point table
// into a workbook, drawn as smoothed XY charts on chart sheets. The windows
// hand over their point table (columns F, H Δ, H Δe as texts) and the
// values beside it.
#include <QString>
#include <cstdint>
#include <optional>

#include "output/spreadsheet_app.h"

namespace lekta::analysis {
struct ComparedResults;
}

namespace lekta::output {

class TextTable;

// The online window: Ft and F0.2 in newtons as the unit reported them
// (0 until it did).
struct OnlineExportSource {
    const TextTable& table;
    std::int32_t ft_newtons = 0;
    std::int32_t f02_newtons = 0;
};

// The graph window: the first line of its chart title (empty without
// lines), the test's Ft (none for a test without one: its cells stay
// empty) and the level of its F0.2 reference line in kN; the
// results from the curve, when computed, go into columns J to M beside the
// curve (results_columns.h).
struct GraphExportSource {
    const TextTable& table;
    QString title_line;
    std::optional<double> ft_level;
    double f02_level = 0;
    const analysis::ComparedResults* results = nullptr;
};

// The exports; each returns the stored copy's path and throws on failure
// (nothing is then stored).
QString excelgo(const OnlineExportSource& source, const ApplicationOptions& options);
QString excelgo2(const GraphExportSource& source, const ApplicationOptions& options);

// The menu command of each window: "Нет данных для экспорта!" for a table
// without rows (for the graph window also when no row has an H Δ text), and
// no application is started; otherwise the export, then a message naming
// the file, or the failure through the general error display.
void N3Click(const OnlineExportSource& source, const ApplicationOptions& options);
void N3Click(const GraphExportSource& source, const ApplicationOptions& options);

}  // namespace lekta::output
