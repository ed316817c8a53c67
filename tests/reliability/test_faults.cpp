// Faults around the program: folders that cannot be read or went away,
// settings that are damaged or cannot be stored, a folder of twenty thousand
// files of every kind, a test file that changed after the catalogue listed
// it, a disk that fills up during an export. The program says what happened
// where there is something to say, loses nothing and keeps running.
#include "app/catalogue_columns.h"
#include "app/catalogue_loader.h"
#include "app/catalogue_ops.h"
#include "app/main_form.h"
#include "app/port_library.h"
#include "app/settings_store.h"
#include "app/shell_state.h"
#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"
#include "output/catalogue_export.h"
#include "output/export_progress.h"
#include "output/text_table.h"
#include "reliability/fault_support.h"
#include "support/bmd_bytes.h"
#include "support/test_support.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace lekta;
using lekta::testing::TempDir;
using lekta::testing::WithoutPermissionOverride;

namespace {

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

std::vector<unsigned char> a_test(std::uint8_t series, int points = 10)
{
    lekta::testing::RawTest t;
    t.series = series;
    for (int i = 0; i < points; ++i)
        t.points.push_back({1000 * i, 50 * i, 0});
    t.breaking_load = 12345;
    return t.bytes();
}

// The main window's start against a settings file of the test's own.
class Faults : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell().reset();
        port_library().reset();
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path()));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(config.file("data")));
        ui::set_error_dialogs(&dialogs);
        add_catalogue_columns(grid);
        lekta::testing::write_file(tests.file("t1.bmd"), a_test(1));
        lekta::testing::write_file(tests.file("t2.bmd"), a_test(2));
    }
    void TearDown() override
    {
        ui::reset_error_display();
        port_library().reset();
        shell().reset();
        qunsetenv("XDG_DATA_HOME");
    }

    MainFormOptions options()
    {
        MainFormOptions o;
        o.dialogs = &dialogs;
        o.port_library_path = q(lekta::testing::bin_dir()) + "/libgetnumcom.so";
        o.open_settings = [] { return std::make_unique<QtSettingsStore>(); };
        o.help_file = q(config.file("help.html"));
        return o;
    }
    std::string settings_file() const { return config.path() + "/Veltrask/LEKTA.conf"; }
    void write_settings_file(const std::string& text)
    {
        std::filesystem::create_directories(config.path() + "/Veltrask");
        lekta::testing::write_file(settings_file(), {text.begin(), text.end()});
    }
    void load(const std::string& dir) { load_fil(grid, dialogs, q(dir) + "/"); }
    QStringList messages() const { return dialogs.texts(); }

    TempDir config, tests, out;
    ui::ScriptedDialogs dialogs;  // unanswered questions take their first button
    ui::Grid grid;
};

struct SilentProgress : output::ExportProgress {
    void begin(const QString&) override {}
    void set_maximum(int) override {}
    void set_position(int) override {}
    void end() override {}
};

}  // namespace

// A working folder the program may not read: the start completes with an
// empty catalogue and says why; once readable, "Обновить" lists it.
TEST_F(Faults, UnreadableWorkingDirectory)
{
    write_settings_file("[1.0]\nWorkDir=" + tests.path() + "/\nDefault_dir=" + out.path() + "\n");
    ASSERT_EQ(::chmod(tests.path().c_str(), 0), 0);
    {
        WithoutPermissionOverride as_a_user;
        TForm1 form(options());
        EXPECT_TRUE(form.created());
        EXPECT_EQ(form.NextGrid1->RowCount(), 0);
        ASSERT_EQ(messages().size(), 1) << messages().join("|").toStdString();
        EXPECT_EQ(messages()[0], "Не удалось прочитать каталог " + q(tests.path()) + "/\r\n" +
                                     QString::fromLocal8Bit(std::strerror(EACCES)));
        ::chmod(tests.path().c_str(), 0755);
        form.N4Click();
        EXPECT_EQ(form.NextGrid1->RowCount(), 2);
    }
    ::chmod(tests.path().c_str(), 0755);
}

// The working folder is gone at the start (an unmounted share): the start
// completes and names it.
TEST_F(Faults, WorkingDirectoryGoneAtTheStart)
{
    const std::string gone = tests.path() + "/gone";
    write_settings_file("[1.0]\nWorkDir=" + gone + "/\nDefault_dir=" + out.path() + "\n");
    TForm1 form(options());
    EXPECT_TRUE(form.created());
    EXPECT_EQ(form.NextGrid1->RowCount(), 0);
    EXPECT_EQ(messages(), QStringList{"Каталог не найден " + q(gone) + "/"});
}

// The folder goes away while the catalogue shows it: opening a row says the
// file is not there, the export still stores the rows shown, and "Обновить"
// says the folder is gone.
TEST_F(Faults, WorkingDirectoryGoneWhileListed)
{
    const std::string dir = tests.path() + "/share";
    std::filesystem::create_directory(dir);
    lekta::testing::write_file(dir + "/a.bmd", a_test(1));
    lekta::testing::write_file(dir + "/b.bmd", a_test(2));
    load(dir);
    ASSERT_EQ(grid.RowCount(), 2);
    std::filesystem::remove_all(dir);

    grid.SelectRow(1);
    int started = 0;
    open_for_graph(grid, dialogs, [&] { ++started; });
    EXPECT_EQ(started, 0);
    ASSERT_EQ(messages().size(), 1);
    EXPECT_EQ(messages()[0], "Ошибка чтения " + q(dir) +
                                 "/b.bmd\rФайл не существует или открыт другой программой");

    SilentProgress progress;
    const QString stored = output::exp2excel(output::GridTexts(grid), progress,
                                             {q(out.path()), &dialogs, {}});
    EXPECT_TRUE(QFile::exists(stored));

    dialogs.clear();
    load(dir);
    EXPECT_EQ(grid.RowCount(), 0);
    EXPECT_EQ(messages(), QStringList{"Каталог не найден " + q(dir) + "/"});
}

// The program started from a folder that was removed since (its current
// directory is gone): a first run takes it as the default folder, and the
// export says it cannot store there instead of failing silently.
TEST_F(Faults, StartedInAFolderThatIsGone)
{
    const int here = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(here, 0);
    const std::string gone = out.path() + "/started-here";
    std::filesystem::create_directory(gone);
    ASSERT_EQ(::chdir(gone.c_str()), 0);
    std::filesystem::remove(gone);
    write_settings_file("[1.0]\nWorkDir=" + tests.path() + "/\n");
    {
        TForm1 form(options());
        EXPECT_TRUE(form.created());
        EXPECT_EQ(form.NextGrid1->RowCount(), 2);
        TForm9 form9;
        output::Excel1Click(output::GridTexts(*form.NextGrid1), form9,
                            {shell().default_dir, &dialogs, {}});
    }
    ASSERT_EQ(::fchdir(here), 0);
    ::close(here);
    EXPECT_EQ(messages(), QStringList{"Книга не сохранена: папка по умолчанию не задана."});
}

// Settings files that are not what the program wrote: bytes that are no
// INI text at all, a file cut off in the middle of a line, a colour that
// is not a number. None crashes the start; what can be read is taken.
TEST_F(Faults, DamagedSettingsFile)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 256);
    write_settings_file(garbage);
    {
        dialogs.answer_button(0);  // "Выберите рабочий каталог c файлами *.bmd"
        dialogs.answer_path(q(tests.path()));  // the folder dialog
        TForm1 form(options());
        EXPECT_TRUE(form.created());
        EXPECT_EQ(form.NextGrid1->RowCount(), 2);
        form.close();
    }
    // The folder asked for is stored over the damaged bytes, and said to be
    // stored: no false "could not store" message.
    EXPECT_EQ(messages(), (QStringList{"Выберите рабочий каталог c файлами *.bmd",
                                       "Выбранный каталог = " + q(tests.path())}));
    EXPECT_EQ(QSettings(q(settings_file()), QSettings::IniFormat).value("1.0/WorkDir").toString(),
              q(tests.path()) + "/");
    shell().reset();
    dialogs.clear();

    // Readable values among damaged lines are taken, the rest written back.
    write_settings_file("[1.0]\nWorkDir=" + tests.path() + "/\n\x01\x02 junk\n[\nline=4\n\xff=\n");
    {
        TForm1 form(options());
        EXPECT_TRUE(form.created());
        EXPECT_EQ(form.NextGrid1->RowCount(), 2);
        shell().line_width = "6";
        form.close();
    }
    EXPECT_TRUE(messages().isEmpty()) << messages().join("|").toStdString();
    EXPECT_EQ(QSettings(q(settings_file()), QSettings::IniFormat).value("1.0/line").toString(),
              "6");
    shell().reset();
    dialogs.clear();

    write_settings_file("[1.0]\nDefault_dir=" + out.path() + "\nWorkDir=" + tests.path() +
                        "/\nline=3\nColor_F=2");
    {
        TForm1 form(options());
        EXPECT_TRUE(form.created());
        EXPECT_EQ(form.NextGrid1->RowCount(), 2);
        EXPECT_EQ(shell().color_f, 2);
        EXPECT_EQ(shell().line_width, "3");
        EXPECT_TRUE(messages().isEmpty()) << messages().join("|").toStdString();
    }
    shell().reset();
    dialogs.clear();

    const std::string bad_colour = "[1.0]\nWorkDir=" + tests.path() + "/\nColor_F=\xff\xfe\n";
    write_settings_file(bad_colour);
    {
        TForm1 form(options());
        EXPECT_FALSE(form.created());
        EXPECT_EQ(messages().size(), 1);
        form.close();
    }
    // A start that failed wrote nothing back: the operator's file is as it was.
    EXPECT_EQ(lekta::testing::read_file(settings_file()),
              std::vector<unsigned char>(bad_colour.begin(), bad_colour.end()));
}

// A settings file the program may read but not write (a locked-down
// profile): the start reads it without asking, closing says once that the
// settings could not be stored, and the file keeps its contents.
TEST_F(Faults, SettingsThatCannotBeWritten)
{
    const std::string text = "[1.0]\nDefault_dir=" + out.path() + "\nWorkDir=" + tests.path() +
                             "/\nline=2\n";
    write_settings_file(text);
    ASSERT_EQ(::chmod(settings_file().c_str(), 0444), 0);
    ASSERT_EQ(::chmod((config.path() + "/Veltrask").c_str(), 0555), 0);
    {
        WithoutPermissionOverride as_a_user;
        TForm1 form(options());
        EXPECT_TRUE(form.created());
        EXPECT_TRUE(messages().isEmpty()) << messages().join("|").toStdString();
        EXPECT_EQ(form.NextGrid1->RowCount(), 2);
        shell().line_width = "7";
        form.N11Click();
        EXPECT_EQ(messages(), QStringList{"Не удалось сохранить настройки в файл " +
                                          QtSettingsStore::location()});
        EXPECT_EQ(shell().line_width, "7");
    }
    ::chmod((config.path() + "/Veltrask").c_str(), 0755);
    EXPECT_EQ(lekta::testing::read_file(settings_file()),
              std::vector<unsigned char>(text.begin(), text.end()));
}

// Twenty thousand entries named like tests: most are good, some damaged in
// every way a file can be, some unreadable, some folders, some links to
// nothing. Every good test gets its row, every damaged file is named in one
// message, every file that cannot be opened is asked about once.
TEST_F(Faults, TwentyThousandFilesSomeUnreadableOrDamaged)
{
    const std::string dir = out.path() + "/big";
    std::filesystem::create_directory(dir);
    const std::vector<unsigned char> good = a_test(3, 20);
    // The good tests are links to one file outside the folder: the folder
    // lists them as entries of their own, and making them costs no writing.
    const std::string good_file = out.path() + "/good";
    lekta::testing::write_file(good_file, good);
    std::vector<unsigned char> bad_shape = good;
    bad_shape[9] = 7;
    std::vector<unsigned char> bad_mode = good;
    bad_mode[7] = 5;
    const std::vector<std::vector<unsigned char>> damaged = {
        bad_shape, bad_mode, {1, 2, 3, 4, 5}, {good.begin(), good.begin() + 16}, {}};
    int expected_rows = 0, expected_damaged = 0, expected_questions = 0;
    char name[32];
    for (int i = 0; i < 20000; ++i) {
        std::snprintf(name, sizeof name, "/t%05d.bmd", i);
        const std::string path = dir + name;
        if (i % 50 == 7) {
            lekta::testing::write_file(path, damaged[static_cast<size_t>(i / 50) % damaged.size()]);
            ++expected_damaged;
        } else if (i % 97 == 11) {
            lekta::testing::write_file(path, good);
            ::chmod(path.c_str(), 0);
            ++expected_questions;
        } else if (i % 401 == 5) {
            std::filesystem::create_directory(path);
            ++expected_questions;
        } else if (i % 503 == 9) {
            std::filesystem::create_symlink(dir + "/nowhere", path);
            ++expected_questions;
        } else {
            std::filesystem::create_hard_link(good_file, path);
            ++expected_rows;
        }
    }
    {
        WithoutPermissionOverride as_a_user;
        load(dir);
    }
    EXPECT_EQ(grid.RowCount(), expected_rows);
    int questions = 0, damaged_messages = 0;
    for (const auto& s : dialogs.shown()) {
        if (s.text.startsWith("Ошибка открытия "))
            ++questions;
        else if (s.text.startsWith("Повреждённые файлы не включены в каталог:")) {
            ++damaged_messages;
            EXPECT_EQ(s.text.count(".bmd — "), expected_damaged);
        }
    }
    EXPECT_EQ(questions, expected_questions);
    EXPECT_EQ(damaged_messages, 1);
    // Restored permissions, so the folder can be removed.
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all);
}

// The catalogue listed a test, and before the operator opened it the file
// was cut short, replaced, removed or made unreadable. The open reads what
// is there now: no crash, the warning where the file cannot be read, and a
// loader that starts reads its points within the buffer.
TEST_F(Faults, TestFileChangedBetweenScanAndOpen)
{
    for (const char* n : {"cut.bmd", "cut5.bmd", "empty.bmd", "replaced.bmd", "gone.bmd",
                          "folder.bmd", "pipe.bmd", "locked.bmd"})
        lekta::testing::write_file(tests.file(n), a_test(9, 200));
    load(tests.path());
    ASSERT_EQ(grid.RowCount(), 10);
    auto row_of = [&](const char* n) {
        for (int r = 0; r < grid.RowCount(); ++r)
            if (grid.Cell(0, r) == n)
                return r;
        return -1;
    };
    struct Outcome {
        int started = 0;
        QStringList messages;
    };
    auto open = [&](const char* n) {
        dialogs.clear();
        Outcome o;
        grid.SelectRow(row_of(n));
        open_for_graph(grid, dialogs, [&] { ++o.started; });
        o.messages = dialogs.texts();
        return o;
    };
    const QString cannot_read = "\rФайл не существует или открыт другой программой";

    // Cut after its header: the loader starts; the count it finds in the
    // cut tail points past the records, and reading stays in the buffer.
    ::truncate(tests.file("cut.bmd").c_str(), 100);
    Outcome o = open("cut.bmd");
    EXPECT_EQ(o.started, 1);
    EXPECT_TRUE(o.messages.isEmpty());
    EXPECT_EQ(test_buffer().size(), 100);
    const std::int32_t count = point_count();
    std::int32_t read = 0;
    try {
        for (; read < count; ++read)
            point_record(read);
    } catch (const RangeError&) {}
    EXPECT_LE(read, static_cast<std::int32_t>((kTestBufferSize - 28) / 16));

    // Cut inside its header: the absent bytes read as spaces, so the test
    // has no curve as far as its header says.
    ::truncate(tests.file("cut5.bmd").c_str(), 5);
    o = open("cut5.bmd");
    EXPECT_EQ(o.started, 0);
    EXPECT_EQ(o.messages, QStringList{"Испытание не имеет график"});
    ::truncate(tests.file("empty.bmd").c_str(), 0);
    EXPECT_EQ(open("empty.bmd").messages, QStringList{"Испытание не имеет график"});

    // Replaced by another test: the new one opens.
    const std::vector<unsigned char> other = a_test(42, 30);
    lekta::testing::write_file(tests.file("replaced.bmd.new"), other);
    std::filesystem::rename(tests.file("replaced.bmd.new"), tests.file("replaced.bmd"));
    o = open("replaced.bmd");
    EXPECT_EQ(o.started, 1);
    EXPECT_EQ(read_byte(kSeries), 42);
    EXPECT_EQ(test_buffer().size(), static_cast<std::int32_t>(other.size()));

    // Gone, a folder, a pipe or unreadable: the read warning, nothing starts.
    std::filesystem::remove(tests.file("gone.bmd"));
    std::filesystem::remove(tests.file("folder.bmd"));
    std::filesystem::create_directory(tests.file("folder.bmd"));
    std::filesystem::remove(tests.file("pipe.bmd"));
    ASSERT_EQ(::mkfifo(tests.file("pipe.bmd").c_str(), 0644), 0);
    ::chmod(tests.file("locked.bmd").c_str(), 0);
    for (const char* n : {"gone.bmd", "folder.bmd", "pipe.bmd", "locked.bmd"}) {
        WithoutPermissionOverride as_a_user;
        o = open(n);
        EXPECT_EQ(o.started, 0) << n;
        EXPECT_EQ(o.messages, QStringList{"Ошибка чтения " + q(tests.file(n)) + cannot_read}) << n;
    }
    // The rows stay: nothing was taken from the catalogue.
    EXPECT_EQ(grid.RowCount(), 10);
}

// A disk that fills up while the workbook is written: the export says the
// workbook was not stored and why, leaves no partial file, and once there
// is room again the same catalogue exports.
TEST_F(Faults, DiskFullWhenExporting)
{
    lekta::testing::SmallDisk disk(256 * 1024);
    if (!disk.ok())
        GTEST_SKIP() << disk.why();
    for (int i = 0; i < 300; ++i)
        lekta::testing::write_file(tests.file("s" + std::to_string(i) + ".bmd"),
                                   a_test(static_cast<std::uint8_t>(i)));
    load(tests.path());
    const int rows = grid.RowCount();
    lekta::testing::fill_disk(disk.path() + "/filler");

    TForm9 form9;
    const output::ApplicationOptions options{q(disk.path()), &dialogs, {}};
    output::Excel1Click(output::GridTexts(grid), form9, options);
    ASSERT_EQ(messages().size(), 1) << messages().join("|").toStdString();
    EXPECT_TRUE(messages()[0].startsWith("Книга не записана")) << messages()[0].toStdString();
    EXPECT_TRUE(messages()[0].contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << messages()[0].toStdString();
    EXPECT_EQ(QDir(q(disk.path())).entryList(QDir::Files | QDir::Hidden), QStringList{"filler"});
    EXPECT_EQ(grid.RowCount(), rows);

    std::filesystem::remove(disk.path() + "/filler");
    dialogs.clear();
    output::Excel1Click(output::GridTexts(grid), form9, options);
    EXPECT_EQ(messages(),
              QStringList{"Книга сохранена в файл " + q(disk.path()) + "/ЛЕКТА-ЗИВ8.xlsx"});
}

// The same without a mount: a limit on the size of files this process may
// write stands in for the full disk (the write fails with "File too large").
TEST_F(Faults, FileSizeLimitWhenExporting)
{
    for (int i = 0; i < 300; ++i)
        lekta::testing::write_file(tests.file("s" + std::to_string(i) + ".bmd"),
                                   a_test(static_cast<std::uint8_t>(i)));
    load(tests.path());
    TForm9 form9;
    const output::ApplicationOptions options{q(out.path()), &dialogs, {}};
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    output::Excel1Click(output::GridTexts(grid), form9, options);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    ASSERT_EQ(messages().size(), 1) << messages().join("|").toStdString();
    EXPECT_TRUE(messages()[0].startsWith("Книга не записана")) << messages()[0].toStdString();
    EXPECT_TRUE(messages()[0].contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
        << messages()[0].toStdString();
    EXPECT_TRUE(QDir(q(out.path())).entryList(QDir::Files | QDir::Hidden).isEmpty());

    dialogs.clear();
    output::Excel1Click(output::GridTexts(grid), form9, options);
    EXPECT_EQ(messages(),
              QStringList{"Книга сохранена в файл " + q(out.path()) + "/ЛЕКТА-ЗИВ8.xlsx"});
}
