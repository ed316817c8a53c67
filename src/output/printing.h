#pragma once
// Printing and chart pictures: the catalogue on the printer the operator
// chooses, a chart on a landscape page, and a chart saved as a picture file.
// Failures (no printer, a file that cannot be written) are thrown as
// PrintError for the general error display; nothing is changed then.
#include <QString>
#include <stdexcept>

class QPrinter;

namespace lekta::ui {
class Chart;
class Dialogs;
class Grid;
struct FileDialog;
}  // namespace lekta::ui

namespace lekta::output {

class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The process-wide printer object. Its page settings, the orientation a chart
// print sets included, stay for every later print of the run.
QPrinter& printer();

// A print to a file says where it went. The file name chosen in a setup
// dialog stays on the printer for later prints; a later print without the
// dialog never replaces that file but writes beside it, "name (2).pdf".

// "Печать" of the main window: the printer setup dialog, then the grid on the
// chosen printer; nothing when the dialog is cancelled.
void N9Click(const ui::Grid& grid, ui::Dialogs& dialogs, QPrinter& printer = output::printer());

// "Печать Графика": the chart fills a landscape page inside 4 % margins. There
// is no dialog, unless there is nowhere to print to (no printer installed and
// no file chosen yet): then the printer setup dialog offers a PDF file.
void print_chart(ui::Chart& chart, ui::Dialogs& dialogs, QPrinter& printer = output::printer());

// "Сохранить График в  Файл": the picture of the chart in the file the save
// dialog names, its default extension added to a name without a picture
// type's suffix ("образец 12.3" too). The online window asks through its own
// dialog (JPEG); the graph window offers every picture type it can write,
// starting in `folder` (the default directory).
void save_chart_picture(ui::Chart& chart, const ui::FileDialog& dialog, ui::Dialogs& dialogs);
void save_graph_picture(ui::Chart& chart, ui::Dialogs& dialogs, const QString& folder = {});

// The chart without its title at its on-screen size, in the format the file's
// extension names; the title is shown again however the writing ends.
void write_chart_picture(ui::Chart& chart, const QString& path);

}  // namespace lekta::output
