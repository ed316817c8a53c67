#pragma once
// "Сервис" → "Построение графиков": the tests of a series on one chart.
// Several catalogue rows selected: exactly those tests. Otherwise the
// series selector lists the catalogue's series and "Построить" takes every
// test of the chosen ones. The tests are read off the user-interface
// thread (SeriesLoader), then the series window opens over the main
// window for those that have a curve, listing the others with their reason.
#include <functional>
#include <vector>

class QWidget;

namespace lekta {

class TForm1;
class TForm4;
class TForm7;
class TForm12;
namespace ui {
class Dialogs;
class Grid;
}  // namespace ui

namespace series {

// Message boxes and file and printer questions over `window` for as long as
// it lives: the series windows and the selector ask over themselves.
class DialogParent {
public:
    DialogParent(ui::Dialogs& dialogs, QWidget* window);
    ~DialogParent();
    DialogParent(const DialogParent&) = delete;
    DialogParent& operator=(const DialogParent&) = delete;

private:
    ui::Dialogs& dialogs_;
    QWidget* previous_;
};

struct SeriesCommandWindows {
    TForm1* main = nullptr;
    TForm4* selector = nullptr;
    TForm7* progress = nullptr;
    ui::Dialogs* dialogs = nullptr;
    // Called with each new series window before it is shown (its export
    // and print commands are wired here).
    std::function<void(TForm12&)> wire;
};

void run_series_command(const SeriesCommandWindows& windows);

// The rows given read and shown; a message and nothing opened for none.
void build_series(const SeriesCommandWindows& windows, const std::vector<int>& rows);

}  // namespace series
}  // namespace lekta
