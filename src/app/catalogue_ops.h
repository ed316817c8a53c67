#pragma once
// What the operator does with the catalogue's rows: open a test for the
// graph, delete rows or rows with their files, align the columns. Each works
// from a row's entry name and the current catalogue directory; none reloads
// the catalogue.
#include "app/trash.h"

#include <functional>
#include <string>

namespace lekta::ui {
class Grid;
class Dialogs;
}  // namespace lekta::ui

namespace lekta {

// Reads the selected row's test into the test buffer and, when the test has
// a curve, calls start_worker (which hands the buffer to the graph window's
// loader). Refused while the buffer is in use by a loader.
void open_for_graph(const ui::Grid& grid, ui::Dialogs& dialogs,
                    const std::function<void()>& start_worker);

// Removes the selected rows, largest index first; with kDeleteFiles their
// files go too (into the trash where there is one). A file that cannot be
// deleted keeps its row, and such files are named once.
using FileDisposer = std::function<DisposalResult(const std::string& path)>;
void delete_rows_or_files(ui::Grid& grid, ui::Dialogs& dialogs, int choice,
                          const FileDisposer& dispose = {});

// Widens every column narrower than its designed width to that width and
// lets every column share spare width; wider columns keep their width.
void align_columns(ui::Grid& grid);

}  // namespace lekta
