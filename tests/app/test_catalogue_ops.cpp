// Opening a test for the graph, deleting rows or files, aligning columns.
#include "app/catalogue_columns.h"
#include "app/catalogue_loader.h"
#include "app/catalogue_ops.h"
#include "app/delete_form.h"
#include "app/shell_state.h"
#include "app/trash.h"
#include "support/bmd_bytes.h"
#include "support/test_support.h"
#include "testfile/buffer.h"
#include "testfile/fields.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lekta;
using lekta::testing::RawTest;
using lekta::testing::TempDir;

namespace {

class CatalogueOps : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell().reset();
        add_catalogue_columns(grid);
        ui::set_error_dialogs(&dialogs);
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data_home.path()));
    }
    void TearDown() override
    {
        ui::reset_error_display();
        shell().reset();
        qunsetenv("XDG_DATA_HOME");
    }
    void put(const std::string& name, const RawTest& t)
    {
        lekta::testing::write_file(dir.file(name), t.bytes());
    }
    void load() { load_fil(grid, dialogs, QString::fromStdString(dir.path()) + "/"); }
    int row_of(const QString& name) const
    {
        for (int r = 0; r < grid.RowCount(); ++r)
            if (grid.Cell(0, r) == name)
                return r;
        return -1;
    }
    QStringList names() const
    {
        QStringList out;
        for (int r = 0; r < grid.RowCount(); ++r)
            out << grid.Cell(0, r);
        return out;
    }
    QStringList files() const
    {
        return QDir(QString::fromStdString(dir.path())).entryList(QDir::Files, QDir::Name);
    }

    TempDir dir, data_home;
    ui::Grid grid;
    ui::ScriptedDialogs dialogs;
    int started = 0;
    std::function<void()> start = [this] { ++started; };
};

}  // namespace

TEST_F(CatalogueOps, OpenRefusesWithoutARowAMissingFileOrACurve)
{
    RawTest curve;
    curve.points = {{0, 0, 0}, {1000, 10, 0}};
    RawTest no_curve;
    no_curve.no_curve = 1;
    no_curve.shape = 3;
    put("a.bmd", curve);
    put("b.bmd", no_curve);
    put("c.bmd", curve);
    load();

    open_for_graph(grid, dialogs, start);
    EXPECT_EQ(dialogs.texts(), QStringList{"Стройка не выбрана"});
    EXPECT_EQ(shell().opened_row, -1);

    dialogs.clear();
    grid.SelectRow(row_of("b.bmd"));
    open_for_graph(grid, dialogs, start);
    EXPECT_EQ(dialogs.texts(), QStringList{"Испытание не имеет график"});
    EXPECT_EQ(read_byte(kNoCurve), 1);  // the buffer keeps the file

    // A file gone since the scan: the read warning with its single button.
    dialogs.clear();
    ::unlink(dir.file("c.bmd").c_str());
    grid.SelectRow(row_of("c.bmd"));
    open_for_graph(grid, dialogs, start);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const auto& w = dialogs.shown()[0];
    EXPECT_EQ(w.title, "Warning");
    EXPECT_EQ(w.buttons, QStringList{"&Yes"});
    EXPECT_EQ(w.text, "Ошибка чтения " + QString::fromStdString(dir.path()) + "/c.bmd" + QChar(13) +
                          "Файл не существует или открыт другой программой");
    EXPECT_EQ(started, 0);

    dialogs.clear();
    grid.SelectRow(row_of("a.bmd"));
    open_for_graph(grid, dialogs, start);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(started, 1);
    EXPECT_EQ(shell().opened_row, row_of("a.bmd"));
    EXPECT_EQ(shell().current_file, QString::fromStdString(dir.file("a.bmd")));
    EXPECT_EQ(point_count(), 2);
}

// While a loader reads the buffer, a second open must not refill it.
TEST_F(CatalogueOps, OpenIsRefusedWhileTheBufferIsInUse)
{
    RawTest first;
    first.series = 1;
    RawTest second;
    second.series = 2;
    put("a.bmd", first);
    put("b.bmd", second);
    load();
    grid.SelectRow(row_of("a.bmd"));
    open_for_graph(grid, dialogs, start);
    ASSERT_EQ(started, 1);
    shell().buffer_busy = true;
    grid.SelectRow(row_of("b.bmd"));
    open_for_graph(grid, dialogs, start);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(read_byte(kSeries), 1);
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(CatalogueOps, DeletingRowsKeepsTheFilesAndCancelChangesNothing)
{
    for (const char* n : {"a.bmd", "b.bmd", "c.bmd", "d.bmd", "e.bmd"})
        put(n, RawTest{});
    load();
    // A block selected from the bottom upwards.
    grid.SelectRow(3);
    grid.SelectRow(2, true);
    grid.SelectRow(1, true);
    delete_rows_or_files(grid, dialogs, kDeleteCancel);
    EXPECT_EQ(grid.RowCount(), 5);
    delete_rows_or_files(grid, dialogs, kDeleteRows);
    EXPECT_EQ(names(), (QStringList{"a.bmd", "e.bmd"}));
    EXPECT_EQ(files().size(), 5);
    EXPECT_TRUE(dialogs.shown().empty());
}

// Deleting files deletes exactly the chosen ones, into the trash, after the
// operator sorted the catalogue too.
TEST_F(CatalogueOps, DeletingFilesMovesExactlyTheChosenOnesToTheTrash)
{
    for (const char* n : {"a.bmd", "b.bmd", "c.bmd", "d.bmd"})
        put(n, RawTest{});
    load();
    grid.SortColumn(0, false);  // d c b a
    grid.SelectRow(row_of("c.bmd"));
    grid.SelectRow(row_of("a.bmd"), true);
    ::unlink(dir.file("a.bmd").c_str());  // already gone: its row goes without a word
    delete_rows_or_files(grid, dialogs, kDeleteFiles);
    EXPECT_EQ(names(), (QStringList{"d.bmd", "b.bmd"}));
    EXPECT_EQ(files(), (QStringList{"b.bmd", "d.bmd"}));
    EXPECT_TRUE(dialogs.shown().empty());
    const QString trash = QString::fromStdString(home_trash_dir());
    EXPECT_TRUE(QFileInfo::exists(trash + "/files/c.bmd"));
    EXPECT_TRUE(QFileInfo::exists(trash + "/info/c.bmd.trashinfo"));
}

// A file that cannot be deleted keeps its row and is named, once, with the
// others that failed; the rest go.
TEST_F(CatalogueOps, AFileThatCannotBeDeletedKeepsItsRow)
{
    for (const char* n : {"a.bmd", "b.bmd", "c.bmd", "d.bmd"})
        put(n, RawTest{});
    load();
    for (int r = 0; r < 4; ++r)
        grid.SelectRow(r, true);
    std::vector<std::string> asked;
    const FileDisposer refuse_b_and_d = [&](const std::string& path) {
        asked.push_back(path);
        const bool locked = path.ends_with("b.bmd") || path.ends_with("d.bmd");
        return locked ? DisposalResult{Disposal::Failed, "Permission denied"}
                      : dispose_of_file(path);
    };
    delete_rows_or_files(grid, dialogs, kDeleteFiles, refuse_b_and_d);
    EXPECT_EQ(names(), (QStringList{"b.bmd", "d.bmd"}));
    EXPECT_EQ(files(), (QStringList{"b.bmd", "d.bmd"}));
    EXPECT_EQ(asked, (std::vector<std::string>{dir.file("d.bmd"), dir.file("c.bmd"),
                                               dir.file("b.bmd"), dir.file("a.bmd")}));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const QString dir_text = QString::fromStdString(dir.path());
    EXPECT_EQ(dialogs.shown()[0].text, "Не удалось удалить файлы:\r\n" + dir_text +
                                           "/b.bmd — Permission denied\r\n" + dir_text +
                                           "/d.bmd — Permission denied");
}

// A deleted test can be restored from the desktop's trash: it keeps its bytes
// there, with its original path (percent-encoded, name bytes as they were).
TEST(Trash, FilesGoIntoTheTrashWithTheirOriginalPath)
{
    TempDir dir, data;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.path()));
    const std::string name = dir.file("\xCE\xE1\xF0 1.bmd");  // a CP1251 name
    lekta::testing::write_file(name, {1, 2, 3});
    lekta::testing::write_file(dir.file("same.bmd"), {4});
    const DisposalResult r = dispose_of_file(name);
    ASSERT_EQ(r.outcome, Disposal::Trashed) << r.error;
    EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(name.c_str())));
    const std::string trash = data.path() + "/Trash";
    EXPECT_EQ(lekta::testing::read_file(trash + "/files/\xCE\xE1\xF0 1.bmd"),
              (std::vector<unsigned char>{1, 2, 3}));
    const auto info = lekta::testing::read_file(trash + "/info/\xCE\xE1\xF0 1.bmd.trashinfo");
    const std::string text(info.begin(), info.end());
    EXPECT_NE(text.find("[Trash Info]\nPath=" + dir.path()), std::string::npos) << text;
    EXPECT_NE(text.find("/%CE%E1%F0%201.bmd\n"), std::string::npos) << text;
    EXPECT_NE(text.find("DeletionDate="), std::string::npos);

    // A second file of the same name gets a name of its own in the trash.
    lekta::testing::write_file(name, {9});
    ASSERT_EQ(dispose_of_file(name).outcome, Disposal::Trashed);
    EXPECT_EQ(lekta::testing::read_file(trash + "/files/\xCE\xE1\xF0 1.2.bmd"),
              (std::vector<unsigned char>{9}));
    EXPECT_EQ(dispose_of_file(dir.file("nothing.bmd")).outcome, Disposal::Missing);
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(CatalogueOps, AligningWidensNarrowColumnsAndKeepsWideOnes)
{
    grid.resize(600, 300);
    grid.show();
    grid.horizontalHeader()->resizeSection(4, 20);   // narrower than its 49
    grid.horizontalHeader()->resizeSection(6, 300);  // wider than its 71
    align_columns(grid);
    EXPECT_GE(grid.ColumnWidthOf(4), catalogue_default_width(4));
    EXPECT_GE(grid.ColumnWidthOf(6), 300);
    for (int c = 0; c < grid.ColumnCount(); ++c)
        EXPECT_TRUE(grid.Column(c).auto_size) << c;
    EXPECT_EQ(catalogue_default_width(9), 80);
}
