#include "output/export_steps.h"

#include "common/number_text.h"
#include "output/text_table.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"

#include <QDir>

namespace lekta::output {

const char* const kSheetName = "ЛЕКТА-ЗИВ8";

QString add_named_workbook(Application& app)
{
    app.Workbooks().Add(kWorksheetTemplate);
    app.Workbooks(1).WorkSheets(1).Name(QString::fromUtf8(kSheetName));
    return app.Workbooks(1).WorkSheets(1).Name();
}

void style_title_rows(Worksheet& sheet)
{
    sheet.Rows(2).Font().Bold(true);
    sheet.Rows(1).Font().Bold(true);
    sheet.Rows(1).Font().Color(16711680);
    sheet.Rows(1).Font().Size(14);
}

void prepare_curve_sheet(Worksheet& sheet, int width)
{
    sheet.Columns(1).ColumnWidth(width);
    sheet.Columns(2).ColumnWidth(width);
    style_title_rows(sheet);
}

QString store_show_quit(Application& app, const QString& name,
                        const std::function<void()>& before_show)
{
    auto finish = [&] {
        if (before_show)
            before_show();
        app.Visible(true);
        app.Quit();
    };
    try {
        app.ActiveWorkbook().SaveCopyAs(name);
    } catch (...) {
        finish();
        throw;
    }
    const QString path = app.stored_copy();
    finish();
    return path;
}

bool cell_number(const TextTable& table, int column, int row, double& value)
{
    const QString& text = table.Cell(column, row);
    if (text.isEmpty())
        return false;
    value = parse_number(text.toStdString());
    return true;
}

void report_stored(const ApplicationOptions& options, const QString& path)
{
    if (options.dialogs && !path.isEmpty())
        ui::show_message(*options.dialogs, QStringLiteral("Книга сохранена в файл ") +
                                               QDir::toNativeSeparators(path));
}

void run_curve_export(bool has_data, const ApplicationOptions& options,
                      const std::function<QString()>& export_curve)
{
    if (!has_data) {
        if (options.dialogs)
            ui::show_message(*options.dialogs, QStringLiteral("Нет данных для экспорта!"));
        return;
    }
    QString path;
    if (ui::guarded([&] { path = export_curve(); }))
        report_stored(options, path);
}

}  // namespace lekta::output
