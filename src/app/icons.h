#pragma once
#include <QIcon>
namespace lekta {
// The main window's 16 × 16 pictures, by index: 0 new, 1 open catalogue,
// 2 working directory, 3 preview, 4 print, 5 help, 6 delete.
QIcon image_list_icon(int index);
}  // namespace lekta
