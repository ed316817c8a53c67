#pragma once
// Number format codes as the operator's spreadsheet program spells them in
// Russian ("ДД/ММ/ГГГГ Ч:ММ:СС") turned into the codes the file format
// stores ("DD/MM/YYYY H:MM:SS").
#include <QString>

namespace lekta::output {

// Д→D, М→M, Г→Y, Ч→H, С→S (lower case likewise) outside quoted literals
// and backslash escapes; everything else unchanged.
QString file_number_format(const QString& code);

}  // namespace lekta::output
