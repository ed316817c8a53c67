#include "output/series_export.h"

#include <QDate>
#include <algorithm>
#include <cmath>

#include "analysis/result_comparison.h"
#include "output/export_steps.h"
#include "ui/error_display.h"

namespace lekta::output {

std::vector<ui::ChartPoint> export_points(const std::vector<ui::ChartPoint>& points,
                                          std::size_t limit)
{
    if (points.size() <= limit || limit < 3)
        return points;
    std::size_t peak = 0;
    for (std::size_t i = 1; i < points.size(); ++i)
        if (points[i].y > points[peak].y)
            peak = i;
    // limit − 1 evenly spaced indices from the first to the last, and the peak.
    const double stride = static_cast<double>(points.size() - 1) / static_cast<double>(limit - 2);
    std::vector<std::size_t> at;
    at.reserve(limit);
    for (std::size_t i = 0; i + 1 < limit; ++i)
        at.push_back(std::min(points.size() - 1, static_cast<std::size_t>(std::llround(
                                                     static_cast<double>(i) * stride))));
    at.push_back(peak);
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    std::vector<ui::ChartPoint> out;
    out.reserve(at.size());
    for (std::size_t i : at)
        out.push_back(points[i]);
    return out;
}

namespace {

void write_table(Worksheet& sheet, const SeriesExportSource& source)
{
    const series::SeriesTable& t = source.table;
    sheet.Cells(1, 1) = source.title + QStringLiteral(", ") +
                        QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    sheet.Rows(1).Font().Bold(true);
    sheet.Rows(1).Font().Size(14);
    const int values = static_cast<int>(t.columns.size());
    const int head = 3;
    sheet.Cells(head, 1) = QString::fromUtf8(series::kTestCaption);
    sheet.Cells(head, 2) = QString::fromUtf8(series::kFileCaption);
    for (int c = 0; c < values; ++c)
        sheet.Cells(head,
                    c + 3) = QString::fromStdString(t.columns[static_cast<std::size_t>(c)].caption);
    sheet.Cells(head, values + 3) = QString::fromUtf8(series::kNoteCaption);
    sheet.Rows(head).Font().Bold(true);
    sheet.Columns(1).ColumnWidth(18);
    sheet.Columns(2).ColumnWidth(16);
    for (int c = 0; c < values; ++c)
        sheet.Columns(c + 3).ColumnWidth(11);
    sheet.Columns(values + 3).ColumnWidth(30);

    int row = head + 1;
    for (std::size_t r = 0; r < t.rows.size(); ++r, ++row) {
        const series::TableRow& tr = t.rows[r];
        sheet.Cells(row, 1) = QString::fromStdString(tr.label);
        sheet.Cells(row, 2) = QString::fromStdString(tr.file);
        for (int c = 0; c < values; ++c)
            if (const auto& v = tr.values[static_cast<std::size_t>(c)])
                sheet.Cells(row, c + 3).Value = analysis::rounded(
                    *v, t.columns[static_cast<std::size_t>(c)].decimals);
        if (!tr.note.empty())
            sheet.Cells(row, values + 3) = QString::fromStdString(tr.note);
    }
    ++row;
    for (series::Statistic s : series::statistics_order()) {
        sheet.Cells(row, 1) = QString::fromStdString(series::statistic_name(s));
        for (int c = 0; c < values; ++c) {
            const auto v = t.statistic(s, static_cast<std::size_t>(c));
            if (!v)
                continue;
            const int decimals = s == series::Statistic::Count ? 0
                                 : s == series::Statistic::Variation
                                     ? 2
                                     : t.columns[static_cast<std::size_t>(c)].decimals +
                                           (s == series::Statistic::Deviation ? 1 : 0);
            sheet.Cells(row, c + 3).Value = analysis::rounded(*v, decimals);
        }
        sheet.Rows(row).Font().Bold(true);
        ++row;
    }
}

}  // namespace

QString export_series(const SeriesExportSource& source, const ApplicationOptions& options)
{
    Application app(options);
    Workbook& book = app.Workbooks().Add(kWorksheetTemplate);
    Worksheet& table = book.WorkSheets(1);
    table.Name(QStringLiteral("Серия"));
    write_table(table, source);

    // The curves right of the table (the workbook has one worksheet): two
    // columns a test, its name above them.
    const int first_col = static_cast<int>(source.table.columns.size()) + 6;
    const QString x_title = QString::fromStdString(series::bottom_title(source.view));
    const QString y_title = QString::fromStdString(series::left_title(source.view));
    struct Placed {
        int column;
        int rows;
    };
    std::vector<Placed> placed;
    for (std::size_t i = 0; i < source.tests.size(); ++i) {
        const int col = first_col + static_cast<int>(i) * 2;
        const std::vector<ui::ChartPoint> pts = export_points(
            series::view_points(source.tests[i], source.view), kExportedCurvePoints);
        table.Cells(2, col) = QString::fromStdString(source.tests[i].label());
        table.Cells(3, col) = x_title;
        table.Cells(3, col + 1) = y_title;
        int r = 4;
        for (const ui::ChartPoint& p : pts) {
            table.Cells(r, col).Value = p.x;
            table.Cells(r, col + 1).Value = p.y;
            ++r;
        }
        placed.push_back({col, static_cast<int>(pts.size())});
    }
    Chart* chart = &book.Charts().Add();
    chart->Name(QStringLiteral("Диаграмма"));
    chart->ChartType(kSmoothScatterNoMarkers);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        if (placed[i].rows == 0)
            continue;
        const CellBox xb{4, placed[i].column, 3 + placed[i].rows, placed[i].column};
        const CellBox yb{4, placed[i].column + 1, 3 + placed[i].rows, placed[i].column + 1};
        chart->NewSeries(SheetRange(table, xb), SheetRange(table, yb),
                         QString::fromStdString(source.tests[i].label()),
                         i < source.colours.size() ? std::optional(source.colours[i])
                                                   : std::nullopt);
    }
    chart->HasLegend(true);
    chart->Axes().Item(kCategoryAxis).HasTitle(true);
    chart->Axes().Item(kCategoryAxis).AxisTitle().Caption(x_title);
    chart->Axes().Item(kValueAxis).HasTitle(true);
    chart->Axes().Item(kValueAxis).AxisTitle().Caption(y_title);
    QString name = source.title;
    name.replace(QLatin1Char(','), QString()).replace(QLatin1Char(':'), QString());
    return store_show_quit(app, name);
}

void series_export_command(const SeriesExportSource& source, const ApplicationOptions& options)
{
    QString path;
    if (ui::guarded([&] { path = export_series(source, options); }))
        report_stored(options, path);
}

}  // namespace lekta::output
