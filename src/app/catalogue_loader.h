#pragma once
#include <QString>

namespace lekta::ui { class Grid; class Dialogs; }

namespace lekta {

// Rebuilds the catalogue grid from every test file of `directory` (a path
// ending with "/"), which becomes the current catalogue directory. A file
// that cannot be opened asks whether to skip it; a damaged file gets no row
// and the damaged ones are named once, after the scan.
void load_fil(ui::Grid& grid, ui::Dialogs& dialogs, const QString& directory);

}  // namespace lekta
