#pragma once
// The five stored settings live under one key, "\Software\Veltrask\LEKTA\1.0"
// of the current user: the registry on Windows, an INI file under the XDG
// configuration folder elsewhere. All values are strings.
#include <QString>
#include <memory>

class QSettings;

namespace lekta {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual bool contains(const QString& name) const = 0;
    virtual QString read(const QString& name) const = 0;
    // False when the value could not be stored; it stays in memory then.
    virtual bool write(const QString& name, const QString& value) = 0;
    // Where the values are kept, for the operator's eyes.
    virtual QString where() const = 0;
};

class QtSettingsStore : public SettingsStore {
public:
    // Creates the key when it does not exist, then opens it.
    QtSettingsStore();
    ~QtSettingsStore() override;
    bool contains(const QString& name) const override;
    QString read(const QString& name) const override;
    bool write(const QString& name, const QString& value) override;
    QString where() const override { return location(); }

    // Where the values are kept on this platform (a file path on Linux).
    static QString location();

private:
    std::unique_ptr<QSettings> settings_;
};

// The start-up steps that read the settings (asking for the working
// directory on a first run) and the close step that writes them back. A
// value that cannot be stored is reported once by the general error display,
// naming the settings file, and kept in memory.
namespace ui {
class Dialogs;
}
void read_settings(SettingsStore& store, ui::Dialogs& dialogs);
void write_settings(SettingsStore& store);
// The message for settings that could not be stored.
QString settings_write_error(const SettingsStore& store);

// The folder question the directory commands ask: caption "Выберите каталог",
// then "Выбранный каталог = …" or "Выбор каталога прервался". Returns the
// chosen folder, or the empty text when cancelled.
QString choose_folder(ui::Dialogs& dialogs, const QString& root);
// folder + "/": a cancelled choice (empty folder) gives the root "/".
QString as_directory(const QString& folder);

}  // namespace lekta
