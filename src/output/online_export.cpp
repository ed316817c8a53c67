#include "output/curve_export.h"
#include "output/export_steps.h"
#include "output/text_table.h"

namespace lekta::output {

namespace {
constexpr int kF = 0, kH = 1, kHe = 2;  // point table columns
}

// Columns A (H Δ) and B (F); the chart from the used range, so x is H Δ and
// the series is F; then, beside the curve and outside the chart, C holds the
// H Δe readings where the table has them and D3 and E3 Ft and F0.2 in kN.
// (H Δe against H Δ would be no curve worth drawing on a load axis.)
QString excelgo(const OnlineExportSource& source, const ApplicationOptions& options)
{
    const TextTable& table = source.table;
    const int rows = table.RowCount();  // rows arriving meanwhile are not exported

    Application app(options);
    const QString name = add_named_workbook(app);
    Worksheet& sheet = app.Workbooks(1).WorkSheets(QString::fromUtf8(kSheetName));
    prepare_curve_sheet(sheet, 20);
    sheet.Cells(2, 1) = QStringLiteral("H Δ, мм");
    sheet.Cells(2, 2) = QStringLiteral("Усилие F, кН ");
    sheet.Cells(2, 3) = QStringLiteral("H Δe, мм");
    sheet.Cells(2, 4) = QStringLiteral(" Ft, кН ");
    sheet.Cells(2, 5) = QStringLiteral(" F0.2, кН ");

    for (int k = 0; k < rows; ++k) {
        double v;
        if (cell_number(table, kH, k, v))
            sheet.Cells(3 + k, 1) = v;
        if (cell_number(table, kF, k, v))
            sheet.Cells(3 + k, 2) = v;
    }

    const SheetRange used = app.ActiveWorkbook().ActiveSheet().UsedRange();
    Chart& chart = app.ActiveWorkbook().Charts().Add();
    chart.ChartType(kSmoothScatterNoMarkers);
    chart.SetSourceData(used, kPlotByColumns);
    chart.Axes().Item(kValueAxis).HasTitle(true);
    chart.Axes().Item(kValueAxis).AxisTitle().Caption(QStringLiteral("Усилие F, кН"));
    chart.Axes().Item(kValueAxis).AxisTitle().Font().Size(12);
    chart.Axes().Item(kCategoryAxis).HasTitle(true);
    chart.Axes().Item(kCategoryAxis).AxisTitle().Caption(QStringLiteral("Перемещение Δ, мм"));
    chart.Axes().Item(kCategoryAxis).AxisTitle().Font().Size(12);

    Worksheet& data = app.Workbooks(1).WorkSheets(QString::fromUtf8(kSheetName));
    for (int k = 0; k < rows; ++k) {
        double v;
        if (cell_number(table, kHe, k, v))
            data.Cells(3 + k, 3) = v;
    }
    data.Cells(3, 4) = source.ft_newtons / 1000.0;
    data.Cells(3, 5) = source.f02_newtons / 1000.0;
    return store_show_quit(app, name);
}

void N3Click(const OnlineExportSource& source, const ApplicationOptions& options)
{
    run_curve_export(source.table.RowCount() > 0, options,
                     [&] { return excelgo(source, options); });
}

}  // namespace lekta::output
