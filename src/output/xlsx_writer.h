#pragma once
// Writes a workbook of the spreadsheet application to an .xlsx file through
// libxlsxwriter: worksheets with their column widths and number formats,
// row fonts and cells; each chart as a chart sheet holding a smoothed
// scatter chart without markers.
#include <string>

namespace lekta::output {

class Workbook;

struct WriterOptions {
    // Row-by-row streaming instead of building every sheet in memory first.
    // The sheets are complete before writing starts, so either mode gives
    // the same file; the benchmark decides which is quicker.
    bool constant_memory = true;
};

// Writes to path (created or replaced); throws SpreadsheetError.
void write_xlsx(const Workbook& book, const std::string& path, const WriterOptions& options);

}  // namespace lekta::output
