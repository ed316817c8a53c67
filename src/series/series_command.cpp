#include "series/series_command.h"

#include <QString>
#include <optional>

#include "app/catalogue_loader.h"
#include "app/main_form.h"
#include "app/shell_state.h"
#include "series/series_choice.h"
#include "series/series_loader.h"
#include "series/series_selector.h"
#include "series/series_window.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

namespace lekta::series {

DialogParent::DialogParent(ui::Dialogs& dialogs, QWidget* window)
    : dialogs_(dialogs), previous_(dialogs.parent())
{
    dialogs_.set_parent(window);
}

DialogParent::~DialogParent()
{
    dialogs_.set_parent(previous_);
}

namespace {

std::vector<CatalogueEntry> catalogue_entries(const ui::Grid& grid)
{
    std::vector<CatalogueEntry> rows;
    rows.reserve(static_cast<std::size_t>(grid.RowCount()));
    for (int r = 0; r < grid.RowCount(); ++r)
        rows.push_back({r, grid.Cell(1, r).toStdString(), !grid.Cell(8, r).isEmpty()});
    return rows;
}

void show_window(const SeriesCommandWindows& w, std::vector<SeriesTest> tests)
{
    bool any = false;
    for (const SeriesTest& t : tests)
        any = any || t.included();
    if (!any) {
        if (w.dialogs)
            ui::show_message(
                *w.dialogs,
                QStringLiteral("Ни одно из выбранных испытаний не имеет графика растяжения"));
        return;
    }
    auto* window = new TForm12(w.main);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (w.wire)
        w.wire(*window);
    window->ShowSeries(std::move(tests));
    window->showMaximized();
}

}  // namespace

void build_series(const SeriesCommandWindows& w, const std::vector<int>& rows)
{
    if (rows.empty()) {
        if (w.dialogs)
            ui::show_message(*w.dialogs, QStringLiteral("Не выбрано ни одного испытания"));
        return;
    }
    const ui::Grid& grid = *w.main->NextGrid1;
    std::vector<SeriesSource> sources;
    sources.reserve(rows.size());
    for (int r : rows)
        sources.push_back({catalogue_file_path(grid, r), grid.Cell(0, r).toStdString()});
    SeriesLoader::launch(w.main, w.progress, std::move(sources),
                         [w](std::vector<SeriesTest> tests) { show_window(w, std::move(tests)); });
}

void run_series_command(const SeriesCommandWindows& w)
{
    if (!w.main || shell().buffer_busy)
        return;
    const ui::Grid& grid = *w.main->NextGrid1;
    QList<int> selected = grid.SelectedRows();
    if (selected.size() >= 2) {
        std::sort(selected.begin(), selected.end());
        build_series(w, std::vector<int>(selected.begin(), selected.end()));
        return;
    }
    const std::vector<CatalogueEntry> entries = catalogue_entries(grid);
    const std::vector<SeriesEntry> list = series_entries(entries);
    if (list.empty()) {
        if (w.dialogs)
            ui::show_message(*w.dialogs, QStringLiteral("В каталоге нет испытаний"));
        return;
    }
    if (!w.selector)
        return;
    w.selector->dialogs = w.dialogs;
    w.selector->SetSeries(list);
    w.selector->on_build = [w, entries](const std::set<int>& chosen) {
        build_series(w, rows_of_series(entries, chosen));
    };
    std::optional<DialogParent> over;
    if (w.dialogs)
        over.emplace(*w.dialogs, w.selector);
    w.selector->exec();
}

}  // namespace lekta::series
