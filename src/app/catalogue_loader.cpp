#include "app/catalogue_loader.h"

#include "app/catalogue_columns.h"
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

#include <QFile>
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

void add_row(ui::Grid& grid, const CatalogueRow& row, const std::string& entry_name)
{
    const int r = grid.AddRow();
    for (int c = 0; c < kCatalogueColumns; ++c)
        if (!row.cells[static_cast<size_t>(c)].empty())
            grid.SetCell(c, r, QString::fromStdString(row.cells[static_cast<size_t>(c)]));
    // The name's own bytes open the file; the cell shows it decoded.
    grid.SetRowKey(r, QByteArray::fromStdString(entry_name));
}

}  // namespace

void load_fil(ui::Grid& grid, ui::Dialogs& dialogs, const QString& directory)
{
    ShellState& s = shell();
    s.catalogue_dir = directory;
    QStringList damaged;
    QString unreadable;
    bool missing = false;
    {
        bool stopped = false;
        UpdateBatch batch(grid);
        grid.ClearRows();

        const std::string dir_bytes = QFile::encodeName(directory).toStdString();
        const DirectoryListing listing = list_test_files(dir_bytes);
        if (listing.missing)
            missing = true;
        if (listing.unreadable)
            unreadable = QStringLiteral("Не удалось прочитать каталог ") + directory + "\r\n" +
                         QString::fromStdString(listing.error);
        for (const std::string& name : listing.names) {
            const std::string shown_name = display_name(name);
            const QString path = directory + QString::fromStdString(shown_name);
            s.current_file = path;
            try {
                if (!read_test_summary(dir_bytes + name)) {
                    const QString text = QStringLiteral("Ошибка открытия ") + path + QChar(13) +
                                         QStringLiteral("Пропустить файл?");
                    if (ui::ask_warning_yes_no(dialogs, text))
                        continue;
                    stopped = true;
                    break;
                }
                const CatalogueRow row = catalogue_row(shown_name);
                if (row.extensometer)
                    s.extensometer_columns = 1;
                add_row(grid, row, name);
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
    // An unmounted share or a removed disk must not pass for an empty folder.
    if (missing)
        ui::show_message(dialogs, QStringLiteral("Каталог не найден ") + directory);
    if (!unreadable.isEmpty())
        ui::show_error(unreadable);
    if (!damaged.isEmpty()) {
        ui::show_error(QStringLiteral("Повреждённые файлы не включены в каталог:\r\n") +
                       damaged.join("\r\n"));
    }
}

std::string catalogue_file_path(const ui::Grid& grid, int row)
{
    const QByteArray& key = grid.RowKey(row);
    const QByteArray name = key.isEmpty() ? QFile::encodeName(grid.Cell(kColumnFileName, row))
                                          : key;
    return (QFile::encodeName(shell().catalogue_dir) + name).toStdString();
}

}  // namespace lekta
