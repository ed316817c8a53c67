#pragma once
// "Экспорт в Excel": the whole catalogue into a workbook, a header row, then
// one sheet row per catalogue row in the grid's displayed order, hidden
// columns included.
#include <QString>

#include "output/spreadsheet_app.h"

namespace lekta {
class TForm9;
}

namespace lekta::output {

class ExportProgress;
class TextTable;

// The header row, columns A … P.
extern const char* const kCatalogueHeaders[16];

// The export over the catalogue's 17 text columns. Returns the stored
// copy's path; throws on any failure (a text that is not a number, a copy
// that could not be stored) after closing the progress window, and then no
// file is left behind.
QString exp2excel(const TextTable& grid, ExportProgress& progress,
                  const ApplicationOptions& options);

// The menu command: nothing at all for an empty catalogue; otherwise the
// export with TForm9 showing "Экспорт ...", then a message naming the file.
// A failure is shown by the general error display.
void Excel1Click(const TextTable& grid, TForm9& progress, const ApplicationOptions& options);

}  // namespace lekta::output
