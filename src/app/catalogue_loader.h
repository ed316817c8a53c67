#pragma once
#include <QString>
#include <string>

namespace lekta::ui {
class Grid;
class Dialogs;
}  // namespace lekta::ui

namespace lekta {

// Rebuilds the catalogue grid from every test file of `directory` (a path
// ending with "/"), which becomes the current catalogue directory. A file
// that cannot be opened asks whether to skip it; a damaged file gets no row
// and the damaged ones are named once, after the scan. A directory that is
// not there says so.
void load_fil(ui::Grid& grid, ui::Dialogs& dialogs, const QString& directory);

// The path of a row's test file, as the bytes the system knows it by: the
// current catalogue directory and the row's entry name.
std::string catalogue_file_path(const ui::Grid& grid, int row);

}  // namespace lekta
