#include "app/catalogue_loader.h"

#include "app/catalogue_dir.h"
#include "app/catalogue_texts.h"
#include "app/shell_state.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QStringList>

namespace lekta {

namespace {

// Keeps the grid in one batch while rows go in, and ends the batch however
// the scan ends.
struct UpdateBatch {
    explicit UpdateBatch(ui::Grid& g) : grid(g) { grid.BeginUpdate(); }
    ~UpdateBatch() { grid.EndUpdate(); }
    ui::Grid& grid;
};

void add_row(ui::Grid& grid, const CatalogueRow& row)
{
    const int r = grid.AddRow();
    for (int c = 0; c < kCatalogueColumns; ++c)
        if (!row.cells[static_cast<size_t>(c)].empty())
            grid.SetCell(c, r, QString::fromStdString(row.cells[static_cast<size_t>(c)]));
}

}  // namespace

void load_fil(ui::Grid& grid, ui::Dialogs& dialogs, const QString& directory)
{
    ShellState& s = shell();
    s.catalogue_dir = directory;
    QStringList damaged;
    QString unreadable;
    bool stopped = false;
    {
        UpdateBatch batch(grid);
        grid.ClearRows();

        const DirectoryListing listing = list_test_files(directory.toStdString());
        if (listing.unreadable)
            unreadable = QStringLiteral("Не удалось прочитать каталог ") + directory + "\r\n" +
                         QString::fromStdString(listing.error);
        for (const std::string& name : listing.names) {
            const QString path = directory + QString::fromStdString(name);
            s.current_file = path;
            try {
                if (!read_test_summary(path.toStdString())) {
                    const QString text = QStringLiteral("Ошибка открытия ") + path + QChar(13) +
                                         QStringLiteral("Пропустить файл?");
                    if (ui::ask_warning_yes_no(dialogs, text))
                        continue;
                    stopped = true;
                    break;
                }
                const CatalogueRow row = catalogue_row(name);
                if (row.extensometer)
                    s.extensometer_columns = 1;
                add_row(grid, row);
            } catch (const std::exception& e) {
                // One damaged file must not hide the tests after it.
                damaged << path + " — " + QString::fromUtf8(e.what());
            }
        }
        if (!stopped) {
            for (int c = kFirstExtensometerColumn; c < kCatalogueColumns; ++c)
                grid.SetColumnVisible(c, s.extensometer_columns == 1);
        }
    }
    if (!unreadable.isEmpty())
        ui::show_error(unreadable);
    if (!damaged.isEmpty()) {
        ui::show_error(QStringLiteral("Повреждённые файлы не включены в каталог:\r\n") + damaged.join("\r\n"));
    }
}

}  // namespace lekta
