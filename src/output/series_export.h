#pragma once
// "Экспорт" of the series window: a workbook with the results table and its
// statistics on its worksheet, the curves of the window's view to the right
// of them (each test two columns, thinned to at most kExportedCurvePoints
// points), and a chart sheet with every curve as its own scatter series in
// the window's colours, with a legend. Stored as the other exports are,
// never over an existing file.
#include <QString>
#include <cstdint>
#include <vector>

#include "output/spreadsheet_app.h"
#include "series/series_table.h"
#include "series/series_view.h"

namespace lekta::output {

constexpr std::size_t kExportedCurvePoints = 2000;

struct SeriesExportSource {
    const series::SeriesTable& table;
    const std::vector<series::SeriesTest>& tests;  // the curves, in the legend's order
    series::SeriesView view;
    QString title;                      // "Серия 22, испытаний: 6"
    std::vector<std::int32_t> colours;  // one per test, 0x00BBGGRR
};

// The workbook stored as "<title>.xlsx"; returns its path, throws on failure.
QString export_series(const SeriesExportSource& source, const ApplicationOptions& options);
// The window's command: the export, then "Книга сохранена в файл …", or the
// failure through the general error display.
void series_export_command(const SeriesExportSource& source, const ApplicationOptions& options);

// At most `limit` of the points, first and last kept, evenly strided, and
// the point of the highest load always among them (the curve's peak).
std::vector<ui::ChartPoint> export_points(const std::vector<ui::ChartPoint>& points,
                                          std::size_t limit);

}  // namespace lekta::output
