#include "output/curve_export.h"
#include "output/export_steps.h"
#include "output/results_columns.h"
#include "output/text_table.h"

#include <string>

namespace lekta::output {

namespace {

constexpr int kF = 0, kH = 1, kHe = 2;  // point table columns
constexpr int kB = 2, kC = 3, kD = 4, kF_col = 6, kG = 7, kH_col = 8;

bool has_deformation(const TextTable& table)
{
    for (int k = 0; k < table.RowCount(); ++k)
        if (!table.Cell(kH, k).isEmpty())
            return true;
    return false;
}

// A test read without an extensometer has no H Δe texts at all.
bool has_extensometer(const TextTable& table)
{
    for (int k = 0; k < table.RowCount(); ++k)
        if (!table.Cell(kH, k).isEmpty() && !table.Cell(kHe, k).isEmpty())
            return true;
    return false;
}

void title_axes(Chart& chart, const QString& category)
{
    chart.Axes().Item(kValueAxis).HasTitle(true);
    chart.Axes().Item(kValueAxis).AxisTitle().Caption(QStringLiteral("F, кН"));
    chart.Axes().Item(kValueAxis).AxisTitle().Font().Size(12);
    chart.Axes().Item(kCategoryAxis).HasTitle(true);
    chart.Axes().Item(kCategoryAxis).AxisTitle().Caption(category);
    chart.Axes().Item(kCategoryAxis).AxisTitle().Font().Size(12);
}

}  // namespace

// F to H: H Δ, F and the test's Ft, the curve F(H) with its yield line; B to
// D: H Δe, F and the F0.2 level for an extensometer test, with a second
// chart. Rows without an H Δ text take no sheet row.
QString excelgo2(const GraphExportSource& source, const ApplicationOptions& options)
{
    const TextTable& table = source.table;
    const int rows = table.RowCount();
    const bool extensometer = has_extensometer(table);

    Application app(options);
    const QString name = add_named_workbook(app);
    Worksheet& sheet = app.Workbooks(1).WorkSheets(QString::fromUtf8(kSheetName));
    prepare_curve_sheet(sheet, 10);
    sheet.Cells(1, 2) = source.title_line;

    if (extensometer)
        sheet.Cells(2, kD) = QStringLiteral("F0.2, кН  ");
    sheet.Cells(2, kG) = QStringLiteral("F, кН  ");
    sheet.Cells(2, kH_col) = QStringLiteral("Ft, кН  ");
    sheet.Cells(2, kF_col) = QStringLiteral("H Δ, мм");
    if (extensometer) {
        sheet.Cells(2, kC) = QStringLiteral("F, кН ");
        sheet.Cells(2, kB) = QStringLiteral("H Δe, мм ");
    }

    int r = 3;
    for (int k = 0; k < rows; ++k) {
        double h;
        if (!cell_number(table, kH, k, h))
            continue;
        double f = 0;
        const bool has_f = cell_number(table, kF, k, f);
        if (extensometer) {
            double he;
            if (cell_number(table, kHe, k, he))
                sheet.Cells(r, kB).Value = he;
            if (has_f)
                sheet.Cells(r, kC).Value = f;
            sheet.Cells(r, kD).Value = source.f02_level;
        }
        sheet.Cells(r, kF_col).Value = h;
        if (has_f)
            sheet.Cells(r, kG).Value = f;
        if (source.ft_level)
            sheet.Cells(r, kH_col).Value = *source.ft_level;
        ++r;
    }
    if (source.results)
        write_results_columns(sheet, *source.results);
    const QString last = QString::fromStdString(std::to_string(r - 1));

    // Taken while the data sheet is still the active sheet; the new chart
    // becomes the active one.
    // Without an Ft the first chart draws the curve alone.
    const SheetRange curve = app.ActiveWorkbook().ActiveSheet().Range(
        (source.ft_level ? "F3:H" : "F3:G") + last);
    Chart& first = app.ActiveWorkbook().Charts().Add();
    first.ChartType(kSmoothScatterNoMarkers);
    first.SetSourceData(curve, kPlotByColumns);
    title_axes(first, QStringLiteral("H Δ, мм"));
    if (extensometer) {
        Chart& second = app.ActiveWorkbook().Charts().Add();
        second.ChartType(kSmoothScatterNoMarkers);
        second.SetSourceData(
            app.Workbooks(1).WorkSheets(QString::fromUtf8(kSheetName)).Range("B3:D" + last),
            kPlotByColumns);
        title_axes(second, QStringLiteral("H Δe, мм"));
    }
    return store_show_quit(app, name);
}

void N3Click(const GraphExportSource& source, const ApplicationOptions& options)
{
    run_curve_export(has_deformation(source.table), options,
                     [&] { return excelgo2(source, options); });
}

}  // namespace lekta::output
