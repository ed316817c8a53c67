#include "output/catalogue_export.h"

#include "app/catalogue_columns.h"
#include "output/export_progress.h"
#include "output/export_steps.h"
#include "output/text_table.h"
#include "ui/error_display.h"

namespace lekta::output {

const char* const kCatalogueHeaders[16] = {
    "Имя Файла",
    "Серия",
    "№",
    "Дата/Время",
    "Режим",
    "Форма образца",
    "Размер, мм",
    "Площадь S, мм.кв ",
    "Скорость нагружения, мм/с",
    "Предел текучести бт, мПа",
    "Нагрузка текучести Ft, кН",
    "Предел прочности бв, мПа",
    "Разрушающая нагрузка Fв, кН",
    "База экстензометра, мм",
    "Нагрузка текучести, условная F0.2, кН",
    "Предел текучести, условный б0.2, мм",
};

namespace {

// Sheet columns 1 to 9 are texts (column 4 joins date and time), 10 to 16
// numbers from grid columns 10 to 16: from the mode on, sheet and grid
// number their columns alike.
void write_row(Worksheet& sheet, const TextTable& grid, int k)
{
    const int row = 3 + k;
    sheet.Cells(row, 1) = grid.Cell(kColumnFileName, k);
    sheet.Cells(row, 2) = grid.Cell(kColumnSeries, k);
    sheet.Cells(row, 3) = grid.Cell(kColumnNumber, k);
    sheet.Cells(row, 4) = grid.Cell(kColumnDate, k) + " / " + grid.Cell(kColumnTime, k);
    for (int c = kColumnMode; c <= kColumnSpeed; ++c)
        sheet.Cells(row, c) = grid.Cell(c, k);
    for (int c = kColumnYieldStress; c <= kColumnProofStress; ++c) {
        double value;
        if (cell_number(grid, c, k, value))
            sheet.Cells(row, c) = value;
    }
}

struct CloseOnExit {
    ExportProgress& progress;
    ~CloseOnExit() { progress.end(); }
};

}  // namespace

QString exp2excel(const TextTable& grid, ExportProgress& progress,
                  const ApplicationOptions& options)
{
    CloseOnExit close{progress};
    progress.begin(QStringLiteral("Экспорт ..."));
    Application app(options);
    progress.set_position(0);

    const QString name = add_named_workbook(app);
    Worksheet& sheet = app.Workbooks(1).WorkSheets(QString::fromUtf8(kSheetName));
    for (int c = 1; c <= 16; ++c)
        sheet.Columns(c).ColumnWidth(20);
    sheet.Columns(4).NumberFormat(QStringLiteral("ДД/ММ/ГГГГ Ч:ММ:СС"));
    style_title_rows(sheet);
    for (int c = 1; c <= 16; ++c)
        sheet.Cells(2, c) = QString::fromUtf8(kCatalogueHeaders[c - 1]);

    const int rows = grid.RowCount();
    progress.set_maximum(rows - 1);
    for (int k = 0; k < rows; ++k) {
        progress.set_position(k);
        write_row(sheet, grid, k);
    }
    return store_show_quit(app, name, [&] { progress.end(); });
}

void Excel1Click(const TextTable& grid, TForm9& progress, const ApplicationOptions& options)
{
    if (grid.RowCount() == 0)
        return;
    QString path;
    if (ui::guarded([&] { path = exp2excel(grid, progress, options); }))
        report_stored(options, path);
}

}  // namespace lekta::output
