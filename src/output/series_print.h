#pragma once
// "Печать" of the series window: a report on landscape pages through the
// print dialog (a printer or a PDF file). The first page holds the title
// (series, date, number of tests), the chart with its legend and as much of
// the table as fits; the table goes on over further pages, its header
// repeated, the statistics last. A PDF file that exists already is never
// written over: the report goes to "name (2).pdf", "name (3).pdf", … and
// the message names it. Failures are PrintError for the general error
// display.
#include <QString>

class QPrinter;

namespace lekta {
class TForm12;
namespace ui {
class Dialogs;
}
}  // namespace lekta

namespace lekta::output {

// The print dialog, then the report; nothing when it is cancelled. Returns
// the PDF file written, empty for a printer or a cancelled dialog.
QString print_series(TForm12& window, ui::Dialogs& dialogs, QPrinter& printer);

// The report on the printer as it is set up (no dialog); the pages printed.
int print_series_report(TForm12& window, QPrinter& printer);

// path, or the first of "name (2).ext", "name (3).ext", … that does not exist.
QString free_file_name(const QString& path);

}  // namespace lekta::output
