// The program never writes, changes or creates a test file: after the
// catalogue is built, every test is opened for the graph and the catalogue is
// exported, every entry of the folder has the bytes, size, modification and
// change time and inode it had, and nothing was added. Deleting with "Файл"
// takes exactly the chosen files and nothing else.
#include "app/catalogue_columns.h"
#include "app/catalogue_loader.h"
#include "app/catalogue_ops.h"
#include "app/delete_form.h"
#include "app/shell_state.h"
#include "app/trash.h"
#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"
#include "output/catalogue_export.h"
#include "output/export_progress.h"
#include "output/text_table.h"
#include "reliability/fault_support.h"
#include "support/test_support.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace lekta;
using lekta::testing::TempDir;

namespace {

class NeverWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell().reset();
        add_catalogue_columns(grid);
        ui::set_error_dialogs(&dialogs);
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data_home.path()));
        make_folder();
    }
    void TearDown() override
    {
        ui::reset_error_display();
        shell().reset();
        qunsetenv("XDG_DATA_HOME");
    }

    // A laboratory folder as operators keep them: the demo tests (every
    // kind, the largest a file may hold), damaged files, a write-protected
    // test, names in another code page, in capitals and hidden, a folder
    // and a pipe named like tests, a link to a test, and other files.
    void make_folder()
    {
        for (const tools::NamedTest& t : tools::demo_tests())
            ASSERT_TRUE(tools::write_bmd(dir.file(t.name), t.test));
        for (const tools::NamedFile& f : tools::damaged_files())
            ASSERT_TRUE(tools::write_bytes(dir.file(f.name), f.bytes));
        tools::SampleFolder more(7);
        for (const char* name :
             {"protected.bmd", "\xCE\xE1\xF0\xE0\xE7\xE5\xF6 1.bmd", "UPPER.BMD", ".hidden.bmd"})
            ASSERT_TRUE(tools::write_bmd(dir.file(name), more.next().test));
        ASSERT_EQ(::chmod(dir.file("protected.bmd").c_str(), 0444), 0);
        ASSERT_EQ(::mkdir(dir.file("folder.bmd").c_str(), 0755), 0);
        ASSERT_EQ(::mkfifo(dir.file("pipe.bmd").c_str(), 0644), 0);
        ASSERT_EQ(::symlink("UPPER.BMD", dir.file("link.bmd").c_str()), 0);
        lekta::testing::write_file(dir.file("notes.txt"), {'n', 'o', 't', 'e', 's'});
    }

    int row_of(const std::string& name) const
    {
        for (int r = 0; r < grid.RowCount(); ++r)
            if (grid.RowKey(r).toStdString() == name)
                return r;
        return -1;
    }

    TempDir dir, out, data_home;
    ui::Grid grid;
    ui::ScriptedDialogs
        dialogs;  // unanswered questions take their first button: "&Yes", skip the file
};

struct SilentProgress : output::ExportProgress {
    void begin(const QString&) override {}
    void set_maximum(int) override {}
    void set_position(int) override {}
    void end() override {}
};

}  // namespace

TEST_F(NeverWrite, CatalogueOpeningAndExportLeaveEveryFileAsItWas)
{
    const lekta::testing::FolderState before = lekta::testing::folder_state(dir.path());

    load_fil(grid, dialogs, QString::fromStdString(dir.path()) + "/");
    const int tests = static_cast<int>(tools::demo_tests().size()) +
                      5;  // and the four above, and the link
    ASSERT_EQ(grid.RowCount(), tests) << dialogs.texts().join("\n").toStdString();

    // Every test opened for the graph; the loader that would take the buffer
    // does nothing here.
    int started = 0;
    for (int r = 0; r < grid.RowCount(); ++r) {
        grid.SelectRow(r);
        open_for_graph(grid, dialogs, [&] { ++started; });
    }
    EXPECT_GT(started, 0);

    // Both ways into a workbook, stored in another folder.
    SilentProgress progress;
    const output::ApplicationOptions options{QString::fromStdString(out.path()), &dialogs, {}};
    EXPECT_FALSE(output::exp2excel(output::GridTexts(grid), progress, options).isEmpty());
    TForm9 form9;
    output::Excel1Click(output::GridTexts(grid), form9, options);

    EXPECT_EQ(lekta::testing::folder_changes(before, lekta::testing::folder_state(dir.path())), "");
}

// An operator whose default folder is the test folder itself gets the
// workbook there, and nothing else: no temporary file is left, no test
// is touched.
TEST_F(NeverWrite, ExportIntoTheTestFolderAddsOnlyTheWorkbook)
{
    load_fil(grid, dialogs, QString::fromStdString(dir.path()) + "/");
    const lekta::testing::FolderState before = lekta::testing::folder_state(dir.path());
    TForm9 form9;
    output::Excel1Click(output::GridTexts(grid), form9,
                        {QString::fromStdString(dir.path()), &dialogs, {}});
    EXPECT_EQ(lekta::testing::folder_changes(before, lekta::testing::folder_state(dir.path())),
              "added: ЛЕКТА-ЗИВ8.xlsx\n");
}

// "Файл" takes the chosen tests (a write-protected one and one named in the
// Windows code page among them) into the trash with their bytes, and leaves
// every other entry of the folder as it was.
TEST_F(NeverWrite, DeletingFilesTakesExactlyTheChosenOnes)
{
    load_fil(grid, dialogs, QString::fromStdString(dir.path()) + "/");
    const std::string cp1251 = "\xCE\xE1\xF0\xE0\xE7\xE5\xF6 1.bmd";
    const std::vector<std::string> chosen = {"protected.bmd", cp1251, tools::kLargestDemoName};
    std::map<std::string, std::vector<unsigned char>> bytes;
    for (const std::string& name : chosen) {
        const int r = row_of(name);
        ASSERT_GE(r, 0) << name;
        grid.SelectRow(r, true);
        bytes[name] = lekta::testing::read_file(dir.file(name));
    }
    const lekta::testing::FolderState before = lekta::testing::folder_state(dir.path());
    const int rows = grid.RowCount();

    delete_rows_or_files(grid, dialogs, kDeleteFiles);

    EXPECT_EQ(grid.RowCount(), rows - 3);
    std::string expected;
    for (const auto& [name, state] : before)
        if (bytes.count(name))
            expected += "gone: " + name + "\n";
    EXPECT_EQ(lekta::testing::folder_changes(before, lekta::testing::folder_state(dir.path())),
              expected);
    for (const auto& [name, b] : bytes)
        EXPECT_EQ(lekta::testing::read_file(home_trash_dir() + "/files/" + name), b) << name;
}
