#include "app/settings_store.h"

#include "app/shell_state.h"
#include "common/number_text.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <climits>

namespace lekta {

namespace {

const QString kGroup = QStringLiteral("1.0");

// Colours are stored as the decimal text of a 32-bit colour value.
std::int32_t read_colour(const QString& text)
{
    const long long v = parse_integer(text.toStdString());
    if (v < INT32_MIN || v > INT32_MAX)
        throw ConvertError("'" + text.toStdString() + "' is not a valid integer value");
    return static_cast<std::int32_t>(v);
}

}  // namespace

QString QtSettingsStore::location()
{
#ifdef Q_OS_WIN
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\Veltrask\\LEKTA");
#else
    // Computed afresh each time, so a changed XDG_CONFIG_HOME takes effect.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Veltrask/LEKTA.conf";
#endif
}

namespace {

std::unique_ptr<QSettings> open_settings(const QString& location)
{
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>(location, QSettings::NativeFormat);
#else
    QDir().mkpath(QFileInfo(location).absolutePath());
    return std::make_unique<QSettings>(location, QSettings::IniFormat);
#endif
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(open_settings(location()))
{
    settings_->beginGroup(kGroup);
}

QtSettingsStore::~QtSettingsStore()
{
    settings_->endGroup();
    settings_->sync();
}

bool QtSettingsStore::contains(const QString& name) const
{
    return settings_->contains(name);
}

QString QtSettingsStore::read(const QString& name) const
{
    return settings_->value(name).toString();
}

bool QtSettingsStore::write(const QString& name, const QString& value)
{
    settings_->setValue(name, value);
    settings_->sync();
    if (settings_->status() == QSettings::NoError)
        return true;
        // QSettings keeps the first error it met for good, and a damaged file's
        // format error (found when the first write reads the file again) would
        // make every write look failed although it stored: a fresh reader of
        // the file decides.
#ifdef Q_OS_WIN
    const QSettings stored(location(), QSettings::NativeFormat);
#else
    const QSettings stored(location(), QSettings::IniFormat);
#endif
    return stored.status() != QSettings::AccessError &&
           stored.value(kGroup + "/" + name).toString() == value;
}

QString settings_write_error(const SettingsStore& store)
{
    return QStringLiteral("Не удалось сохранить настройки в файл ") + store.where();
}

QString as_directory(const QString& folder)
{
    return folder + "/";
}

QString choose_folder(ui::Dialogs& dialogs, const QString& root)
{
    const auto folder = dialogs.select_folder({QStringLiteral("Выберите каталог"), root});
    if (folder) {
        ui::show_message(dialogs, QStringLiteral("Выбранный каталог = ") + *folder);
        return *folder;
    }
    ui::show_message(dialogs, QStringLiteral("Выбор каталога прервался"));
    return QString();
}

void read_settings(SettingsStore& store, ui::Dialogs& dialogs)
{
    ShellState& s = shell();
    QString line;
    if (store.contains("line"))
        line = store.read("line");
    // A stored colour that is not a decimal integer stops the start-up here,
    // before anything is taken over, so the stored values stay as they are.
    const std::int32_t color_f = store.contains("Color_F") ? read_colour(store.read("Color_F"))
                                                           : 255;
    const std::int32_t color_ft = store.contains("Color_Ft") ? read_colour(store.read("Color_Ft"))
                                                             : 16711680;
    s.line_width = line;
    s.color_f = color_f;
    s.color_ft = color_ft;

    bool stored = true;
    if (store.contains("Default_dir")) {
        s.default_dir = store.read("Default_dir");
    } else {
        s.default_dir = QDir::currentPath();
        stored = store.write("Default_dir", s.default_dir);
    }

    if (store.contains("WorkDir")) {
        s.working_dir = store.read("WorkDir");
    } else {
        ui::show_message(dialogs, QStringLiteral("Выберите рабочий каталог c файлами *.bmd"));
        s.working_dir = as_directory(choose_folder(dialogs, QStringLiteral("\\\\")));
        stored = store.write("WorkDir", s.working_dir) && stored;
    }
    s.settings_loaded = true;
    if (!stored)
        ui::show_error(settings_write_error(store));
}

void write_settings(SettingsStore& store)
{
    const ShellState& s = shell();
    if (!s.settings_loaded)
        return;
    bool stored = store.write("Default_dir", s.default_dir);
    stored = store.write("WorkDir", s.working_dir) && stored;
    stored = store.write("line", s.line_width) && stored;
    stored = store.write("Color_F", QString::number(s.color_f)) && stored;
    stored = store.write("Color_Ft", QString::number(s.color_ft)) && stored;
    if (!stored)
        ui::show_error(settings_write_error(store));
}

}  // namespace lekta
