#include "app/catalogue_ops.h"

#include "app/catalogue_columns.h"
#include "app/catalogue_loader.h"
#include "app/delete_form.h"
#include "app/shell_state.h"
#include "app/trash.h"
#include "testfile/fields.h"
#include "testfile/reader.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <vector>

namespace lekta {

namespace {

QString shown_path(const ui::Grid& grid, int row)
{
    return shell().catalogue_dir + grid.Cell(kColumnFileName, row);
}

}  // namespace

void open_for_graph(const ui::Grid& grid, ui::Dialogs& dialogs,
                    const std::function<void()>& start_worker)
{
    ShellState& s = shell();
    // The loader reads the one test buffer without a lock: nothing may
    // refill it until the loader has handed the test to the graph window.
    if (s.buffer_busy)
        return;
    const int row = grid.SelectedRow();
    s.opened_row = row;
    if (row < 0) {
        ui::show_message(dialogs, QStringLiteral("Стройка не выбрана"));
        return;
    }
    const QString path = shown_path(grid, row);
    s.current_file = path;
    // An error while reading an opened file goes to the general error display.
    if (!read_test_file(catalogue_file_path(grid, row))) {
        dialogs.message_box({QStringLiteral("Warning"),
                             QStringLiteral("Ошибка чтения ") + path + QChar(13) +
                                 QStringLiteral("Файл не существует или открыт другой программой"),
                             ui::Icon::Warning,
                             {QStringLiteral("&Yes")}});
        return;
    }
    if (read_byte(kNoCurve) != 0) {
        ui::show_message(dialogs, QStringLiteral("Испытание не имеет график"));
        return;
    }
    if (start_worker)
        start_worker();
}

void delete_rows_or_files(ui::Grid& grid, ui::Dialogs& dialogs, int choice,
                          const FileDisposer& dispose)
{
    if (choice != kDeleteRows && choice != kDeleteFiles)
        return;
    if (shell().buffer_busy)
        return;
    QList<int> rows = grid.SelectedRows();
    // Largest index first, so the indices still to go stay valid.
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    QStringList kept;
    grid.BeginUpdate();
    for (int row : rows) {
        if (choice == kDeleteFiles) {
            const QString path = shown_path(grid, row);
            shell().current_file = path;
            const DisposalResult r = dispose ? dispose(catalogue_file_path(grid, row))
                                             : dispose_of_file(catalogue_file_path(grid, row));
            if (r.outcome == Disposal::Failed) {
                kept.prepend(path + " — " + QString::fromLocal8Bit(r.error.c_str()));
                continue;  // the row stays: the file is still there
            }
        }
        grid.DeleteRow(row);
    }
    grid.EndUpdate();
    if (!kept.isEmpty())
        dialogs.message_box({ui::application_title(),
                             QStringLiteral("Не удалось удалить файлы:\r\n") + kept.join("\r\n"),
                             ui::Icon::Warning,
                             {QStringLiteral("OK")}});
}

void align_columns(ui::Grid& grid)
{
    // Widths as the operator left them, before any column is laid out anew.
    std::vector<int> now(static_cast<size_t>(grid.ColumnCount()));
    for (int c = 0; c < grid.ColumnCount(); ++c)
        now[static_cast<size_t>(c)] = grid.ColumnVisible(c) ? grid.ColumnWidthOf(c)
                                                            : grid.Column(c).width;
    for (int c = 0; c < grid.ColumnCount(); ++c) {
        grid.SetColumnWidth(c, std::max(now[static_cast<size_t>(c)], catalogue_default_width(c)));
        grid.SetColumnAutoSize(c, true);
    }
}

}  // namespace lekta
