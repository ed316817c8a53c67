#include "app/about.h"
#include "app/main_form.h"
#include "app/port_library.h"
#include "app/settings_store.h"
#include "app/shell_state.h"
#include "app/version_text.h"
#include "support/bmd_bytes.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QToolButton>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace lekta;
using lekta::testing::TempDir;

namespace {

// Each test gets its own configuration home, so the stored settings start
// empty or as the test writes them.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell().reset();
        port_library().reset();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path()));
        ui::set_error_dialogs(&dialogs);
        lekta::testing::RawTest t;
        lekta::testing::write_file(tests.file("t1.bmd"), t.bytes());
        lekta::testing::write_file(other.file("o1.bmd"), t.bytes());
        lekta::testing::write_file(other.file("o2.bmd"), t.bytes());
    }
    void TearDown() override
    {
        ui::reset_error_display();
        port_library().reset();
        shell().reset();
    }

    MainFormOptions options(const QString& library = {})
    {
        MainFormOptions o;
        o.dialogs = &dialogs;
        o.port_library_path = library.isEmpty()
                                  ? QString::fromStdString(lekta::testing::bin_dir()) +
                                        "/libgetnumcom.so"
                                  : library;
        o.open_settings = [] { return std::make_unique<QtSettingsStore>(); };
        o.help_file = QString::fromStdString(config.file("help.html"));
        return o;
    }
    QSettings stored() const
    {
        return QSettings(QString::fromStdString(config.path()) + "/Veltrask/LEKTA.conf",
                         QSettings::IniFormat);
    }
    void store(const QString& name, const QString& value)
    {
        QSettings s = stored();
        s.setValue("1.0/" + name, value);
        s.sync();
    }
    QString dir_of(const TempDir& d) const { return QString::fromStdString(d.path()); }

    TempDir config, tests, other;
    ui::ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(MainWindow, FirstRunAsksForTheWorkingDirectoryAndStoresIt)
{
    dialogs.answer_button(0);  // "Выберите рабочий каталог c файлами *.bmd"
    dialogs.answer_path(dir_of(tests));  // the folder dialog
    TForm1 form(options());
    ASSERT_TRUE(form.created());

    const auto& shown = dialogs.shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "Выберите рабочий каталог c файлами *.bmd");
    EXPECT_EQ(shown[1].kind, ui::ScriptedDialogs::Kind::Folder);
    EXPECT_EQ(shown[1].title, "Выберите каталог");
    EXPECT_EQ(shown[1].text, "\\\\");
    EXPECT_EQ(shown[2].text, "Выбранный каталог = " + dir_of(tests));

    QSettings s = stored();
    EXPECT_EQ(s.value("1.0/WorkDir").toString(), dir_of(tests) + "/");
    EXPECT_EQ(s.value("1.0/Default_dir").toString(), QDir::currentPath());
    EXPECT_FALSE(s.contains("1.0/line"));
    EXPECT_EQ(form.NextGrid1->RowCount(), 1);
    EXPECT_EQ(form.open_dialog_dir(), QDir::currentPath());
    EXPECT_TRUE(form.N4->isEnabled());
    EXPECT_TRUE(form.ToolButton5->isEnabled());

    // Closing writes all five, the unset line width as an empty text.
    form.close();
    QSettings after = stored();
    EXPECT_TRUE(after.contains("1.0/line"));
    EXPECT_EQ(after.value("1.0/line").toString(), "");
    EXPECT_EQ(after.value("1.0/Color_F").toString(), "255");
    EXPECT_EQ(after.value("1.0/Color_Ft").toString(), "16711680");
}

TEST_F(MainWindow, CancelledFirstRunStoresTheRoot)
{
    dialogs.answer_button(0);
    dialogs.answer_path(std::nullopt);
    TForm1 form(options());
    EXPECT_EQ(dialogs.texts().back(), "Выбор каталога прервался");
    EXPECT_EQ(stored().value("1.0/WorkDir").toString(), "/");
    EXPECT_EQ(shell().catalogue_dir, "/");
}

TEST_F(MainWindow, LaterRunReadsTheStoredSettingsWithoutAsking)
{
    store("WorkDir", dir_of(tests) + "/");
    store("Default_dir", "/tmp");
    store("line", "5");
    store("Color_F", "65280");
    store("Color_Ft", "-16777201");
    TForm1 form(options());
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(shell().line_width, "5");
    EXPECT_EQ(shell().color_f, 65280);
    EXPECT_EQ(shell().color_ft, -16777201);
    EXPECT_EQ(form.NextGrid1->RowCount(), 1);
    shell().line_width = "3";
    form.N11Click();  // "Выход" saves as closing does
    EXPECT_EQ(stored().value("1.0/line").toString(), "3");
    EXPECT_EQ(stored().value("1.0/Color_Ft").toString(), "-16777201");
}

TEST_F(MainWindow, DirectoryCommands)
{
    store("WorkDir", dir_of(tests) + "/");
    store("Default_dir", "/tmp");
    TForm1 form(options());
    ASSERT_EQ(form.NextGrid1->RowCount(), 1);

    // "Открыть каталог" changes the catalogue, not the working directory.
    dialogs.answer_path(dir_of(other));
    form.N3Click();
    EXPECT_EQ(form.NextGrid1->RowCount(), 2);
    EXPECT_EQ(stored().value("1.0/WorkDir").toString(), dir_of(tests) + "/");

    // "Обновить" rebuilds from the directory opened last.
    lekta::testing::write_file(other.file("o3.bmd"), lekta::testing::RawTest().bytes());
    form.N4Click();
    EXPECT_EQ(form.NextGrid1->RowCount(), 3);

    // "Рабочий каталог" stores the new directory at once and leaves the catalogue.
    dialogs.clear();
    dialogs.answer_path(dir_of(config));
    form.N39Click();
    EXPECT_EQ(dialogs.shown()[0].text, dir_of(tests) + "//");  // rooted at the working directory
    EXPECT_EQ(stored().value("1.0/WorkDir").toString(), dir_of(config) + "/");
    EXPECT_EQ(form.NextGrid1->RowCount(), 3);

    // A cancelled "Открыть каталог" lists the root.
    dialogs.clear();
    dialogs.answer_path(std::nullopt);
    form.N3Click();
    EXPECT_EQ(dialogs.texts().back(), "Выбор каталога прервался");
    EXPECT_EQ(shell().catalogue_dir, "/");
}

TEST_F(MainWindow, FailedStartKeepsTheStoredSettings)
{
    store("WorkDir", dir_of(tests) + "/");
    store("Default_dir", "/srv/tests");
    store("line", "4");
    store("Color_F", "255");
    {
        TForm1 form(options(QString::fromStdString(config.file("no-such-library.so"))));
        EXPECT_FALSE(form.created());
        ASSERT_EQ(dialogs.shown().size(), 1u);
        // The system's own text for the code, in the user's language.
        EXPECT_EQ(dialogs.shown()[0].text,
                  "System Error.  Code: 2.\r\n" + QString::fromLocal8Bit(std::strerror(ENOENT)));
        EXPECT_EQ(form.NextGrid1->RowCount(), 0);
        EXPECT_FALSE(form.N4->isEnabled());
        form.close();
        form.N11Click();
    }
    EXPECT_EQ(stored().value("1.0/line").toString(), "4");

    // A stored colour that is not a number stops the start the same way.
    shell().reset();
    dialogs.clear();
    store("Color_Ft", "blue");
    {
        TForm1 form(options());
        EXPECT_FALSE(form.created());
        ASSERT_EQ(dialogs.texts().size(), 1);
        EXPECT_EQ(dialogs.texts()[0], "'blue' is not a valid integer value");
        form.close();
    }
    QSettings s = stored();
    EXPECT_EQ(s.value("1.0/line").toString(), "4");
    EXPECT_EQ(s.value("1.0/Default_dir").toString(), "/srv/tests");
    EXPECT_EQ(s.value("1.0/Color_Ft").toString(), "blue");
}

TEST_F(MainWindow, DamagedFileAtStartUpStillCompletesTheCreation)
{
    lekta::testing::write_file(tests.file("broken.bmd"), {1, 2, 3, 4, 5});
    store("WorkDir", dir_of(tests) + "/");
    store("Default_dir", "/tmp");
    TForm1 form(options());
    EXPECT_TRUE(form.created());
    EXPECT_EQ(form.NextGrid1->RowCount(), 1);
    EXPECT_TRUE(form.N36->isEnabled());
    ASSERT_EQ(dialogs.texts().size(), 1);
    EXPECT_TRUE(dialogs.texts()[0].contains("broken.bmd"));
}

TEST_F(MainWindow, MenuAndToolbarAsDesigned)
{
    store("WorkDir", dir_of(tests) + "/");
    store("Default_dir", "/tmp");
    TForm1 form(options());
    EXPECT_EQ(form.windowTitle(), "ЛЕКТА-ЗИВ8");
    EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(form.N2->isVisible());
    EXPECT_EQ(form.N2->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_EQ(form.N3->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(form.N9->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_EQ(form.N24->shortcut(), QKeySequence("F1"));
    EXPECT_TRUE(form.N40->isVisible());
    EXPECT_FALSE(form.N37->isVisible());
    EXPECT_EQ(form.Excel1->text(), "Экспорт в Excel");

    // The hidden "Создать" asks for a data file name and opens the online window.
    int online_shown = 0;
    form.commands.show_online_modal = [&] {
        ++online_shown;
        return 1;
    };
    dialogs.answer_path(QString("/tmp/x.db"));
    form.N2Click();
    ASSERT_EQ(dialogs.shown().back().kind, ui::ScriptedDialogs::Kind::SaveFile);
    EXPECT_EQ(dialogs.shown().back().filter, "Файлы данных|*.db");
    EXPECT_EQ(dialogs.shown().back().default_ext, ".db");
    EXPECT_EQ(online_shown, 1);
    EXPECT_TRUE(form.data_file_open());
    dialogs.answer_path(std::nullopt);
    form.N2Click();
    EXPECT_EQ(online_shown, 1);
}

TEST_F(MainWindow, HelpOpensTheHelpFilesOrSaysWhyNot)
{
    store("WorkDir", dir_of(tests) + "/");
    store("Default_dir", "/tmp");
    TForm1 form(options());
    form.ToolButton6Click();
    EXPECT_EQ(dialogs.texts().back(), "Не удалось открыть файл справки " + form.help_file());
    lekta::testing::write_file(config.file("help.html"), {'<', 'p', '>'});
    dialogs.clear();
    form.ToolButton6Click();
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].kind, ui::ScriptedDialogs::Kind::Document);
    dialogs.clear();
    form.N24Click();  // no lekta.chm here: the application's help instead
    EXPECT_EQ(dialogs.shown()[0].text, QString::fromStdString(config.file("help.html")));
}

TEST(AboutBox, VersionLine)
{
    EXPECT_EQ(version_text("1.0.2.10"), "1.0.2.10");
    EXPECT_EQ(version_text(""), "V1.01");
    EXPECT_EQ(version_text("1"), "V1.01");
    Tform6 about;
    about.show();
    EXPECT_EQ(about.StaticText3->text(), "Версия " + program_version());
    EXPECT_EQ(about.windowTitle(), "О программе");
    about.close();
}

// Settings that cannot be stored (here a folder stands where the settings
// file belongs, which stops root too) are reported once, naming the file,
// and the program goes on with the values in memory.
TEST_F(MainWindow, SettingsThatCannotBeStoredAreReportedAndKept)
{
    QDir().mkpath(QString::fromStdString(config.path()) + "/Veltrask/LEKTA.conf");
    dialogs.answer_button(0);  // "Выберите рабочий каталог c файлами *.bmd"
    dialogs.answer_path(dir_of(tests));  // the folder dialog
    TForm1 form(options());
    ASSERT_TRUE(form.created());
    const QString expected = "Не удалось сохранить настройки в файл " + QtSettingsStore::location();
    ASSERT_EQ(dialogs.texts().count(expected), 1) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(shell().working_dir, dir_of(tests) + "/");
    EXPECT_EQ(form.NextGrid1->RowCount(), 1);

    dialogs.clear();
    shell().line_width = "2";
    form.N11Click();
    EXPECT_EQ(dialogs.texts(), QStringList{expected});
    EXPECT_EQ(shell().line_width, "2");
}
