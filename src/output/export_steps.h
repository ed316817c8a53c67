#pragma once
// The steps the three exports share: a workbook of one worksheet named
// "ЛЕКТА-ЗИВ8" with its first rows styled, and the end: store the copy,
// then show it and quit whatever the store did.
#include <QString>
#include <functional>

#include "output/spreadsheet_app.h"

namespace lekta::output {

class TextTable;

extern const char* const kSheetName;  // "ЛЕКТА-ЗИВ8"

// Adds the workbook, names its sheet, reads the name back (the file is
// stored under it) and returns it. Nothing else.
QString add_named_workbook(Application& app);

// Widths of columns 1 and 2; row 2 bold; row 1 bold, blue, 14 point.
void prepare_curve_sheet(Worksheet& sheet, int width);
void style_title_rows(Worksheet& sheet);

// SaveCopyAs(name); then, whether it stored or not, before_show(), Visible
// and Quit; a storing error is passed on after them. Returns the stored path.
QString store_show_quit(Application& app, const QString& name,
                        const std::function<void()>& before_show = {});

// The text of a table cell as a number, or nothing for an empty text.
bool cell_number(const TextTable& table, int column, int row, double& value);

// "Книга сохранена в файл …" through the dialogs of the options.
void report_stored(const ApplicationOptions& options, const QString& path);

// The "Экспорт" command of both curve windows: "Нет данных для экспорта!"
// without data, and no application is started; otherwise the export, then
// the message naming the file, or the failure through the general error
// display.
void run_curve_export(bool has_data, const ApplicationOptions& options,
                      const std::function<QString()>& export_curve);

}  // namespace lekta::output
