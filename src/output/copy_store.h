#pragma once
// Where the spreadsheet application stores a copy of a workbook: a bare
// name goes into the default directory as name + ".xlsx", and never over an
// existing file (an operator must not lose the workbook exported an hour
// ago): the next free of "name (2).xlsx", "name (3).xlsx", … is taken. The
// file is written under a hidden temporary name in the same folder and
// renamed into place only when complete, so a failure leaves nothing.
#include <QString>

#include "output/xlsx_writer.h"

namespace lekta::output {

class Workbook;

// Returns the full path of the stored file; throws SpreadsheetError with a
// message for the operator (a missing or unwritable folder names it).
QString store_copy(const Workbook& book, const QString& default_dir, const QString& file_name,
                   const WriterOptions& options);

// "name.xlsx" for n = 1, "name (n).xlsx" after.
QString copy_file_name(const QString& base, int n);

}  // namespace lekta::output
