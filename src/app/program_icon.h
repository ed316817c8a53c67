#pragma once
// The program's icon: a load–deformation curve on a sheet. Drawn here, so the
// window and the desktop's menu (the hicolor PNGs lekta_make_icon writes
// from this drawing) show the same picture.
#include <QIcon>
#include <QImage>
#include <vector>

namespace lekta {

// The sizes the desktop's icon theme holds.
const std::vector<int>& program_icon_sizes();
// The icon at size × size pixels, transparent around the sheet.
QImage draw_program_icon(int size);
// Every size, for the window.
QIcon program_icon();

}  // namespace lekta
