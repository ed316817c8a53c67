#include "app/catalogue_columns.h"
#include "app/catalogue_dir.h"
#include "app/catalogue_loader.h"
#include "app/catalogue_texts.h"
#include "app/shell_state.h"
#include "common/number_text.h"
#include "support/bmd_bytes.h"
#include "support/test_support.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace lekta;
using lekta::testing::RawTest;
using lekta::testing::TempDir;

namespace {

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell().reset();
        add_catalogue_columns(grid);
        ui::set_error_dialogs(&dialogs);
    }
    void TearDown() override
    {
        ui::reset_error_display();
        shell().reset();
    }

    void put(const std::string& name, const RawTest& t)
    {
        lekta::testing::write_file(dir.file(name), t.bytes());
    }
    void put_raw(const std::string& name, std::vector<unsigned char> b)
    {
        lekta::testing::write_file(dir.file(name), b);
    }
    QString folder() const { return QString::fromStdString(dir.path()) + "/"; }
    QStringList names() const
    {
        QStringList out;
        for (int r = 0; r < grid.RowCount(); ++r)
            out << grid.Cell(0, r);
        return out;
    }
    QString cell(int c, int r) const { return grid.Cell(c, r); }

    lekta::testing::ScopedSeparator comma{","};
    TempDir dir;
    ui::Grid grid;
    ui::ScriptedDialogs dialogs;
};

RawTest round_bar()
{
    RawTest t;
    t.series = 12;
    t.test_no = 3;
    t.shape = 0;
    t.size1 = 100;
    t.rate = 125;
    t.area = 785;
    t.yield_stress = 305123;
    t.yield_load = 12345;
    t.tensile_strength = 450000;
    t.breaking_load = 30000;
    t.points = {{0, 0, 0}, {12345, 100, 0}};
    return t;
}

}  // namespace

TEST_F(Catalogue, RowTextsOfATensionTestUnderBothSeparators)
{
    put("bar.bmd", round_bar());
    ASSERT_TRUE(read_test_file(dir.file("bar.bmd")));
    CatalogueRow row = catalogue_row("bar.bmd");
    const std::array<std::string, 17> expected = {
        "bar.bmd", "12",   "3",    "05.03.2012", "09:05:00", "Растяжение",
        "Круг",    "d 10", "78,5", "12,5 МПа/с", "305,123",  "12,345",
        "450",     "30",   "",     "",           ""};
    EXPECT_EQ(row.cells, expected);
    EXPECT_FALSE(row.extensometer);

    number_format().decimal_separator = ".";
    row = catalogue_row("bar.bmd");
    EXPECT_EQ(row.cells[8], "78.5");
    EXPECT_EQ(row.cells[9], "12.5 МПа/с");
    EXPECT_EQ(row.cells[11], "12.345");
}

TEST_F(Catalogue, SpecimenAndResultColumnsByShapeModeAndCurve)
{
    RawTest strip = round_bar();
    strip.shape = 1;
    strip.size1 = 200;
    strip.size2 = 35;
    put("strip.bmd", strip);
    ASSERT_TRUE(read_test_file(dir.file("strip.bmd")));
    EXPECT_EQ(catalogue_row("strip.bmd").cells[7], "20x3,5");

    RawTest rebar = round_bar();
    rebar.shape = 2;
    rebar.size1 = 125;
    put("rebar.bmd", rebar);
    ASSERT_TRUE(read_test_file(dir.file("rebar.bmd")));
    EXPECT_EQ(catalogue_row("rebar.bmd").cells[7], "d 12,5");

    // Compression with a curve: only the breaking load among the results.
    RawTest comp = round_bar();
    comp.mode = 1;
    put("comp.bmd", comp);
    ASSERT_TRUE(read_test_file(dir.file("comp.bmd")));
    auto c = catalogue_row("comp.bmd").cells;
    EXPECT_EQ(c[5], "Сжатие");
    EXPECT_EQ(c[10] + c[11] + c[12], "");
    EXPECT_EQ(c[13], "30");

    // Shape 3 without curve: "-" for the size, a rate in мм/мин or кН/с, no area.
    RawTest nc = round_bar();
    nc.shape = 3;
    nc.no_curve = 1;
    nc.mode = 1;
    nc.rate = 50;
    put("nc.bmd", nc);
    ASSERT_TRUE(read_test_file(dir.file("nc.bmd")));
    c = catalogue_row("nc.bmd").cells;
    EXPECT_EQ(c[7], "-");
    EXPECT_EQ(c[8], "");
    EXPECT_EQ(c[9], "5 мм/мин");
    nc.mode = 0;
    put("nc.bmd", nc);
    ASSERT_TRUE(read_test_file(dir.file("nc.bmd")));
    c = catalogue_row("nc.bmd").cells;
    EXPECT_EQ(c[9], "5 кН/с");
    EXPECT_EQ(c[10], "");  // no curve, no yield values

    // no_curve 1 on another shape, or above 1: nothing in 7 to 9.
    RawTest odd = round_bar();
    odd.no_curve = 2;
    put("odd.bmd", odd);
    ASSERT_TRUE(read_test_file(dir.file("odd.bmd")));
    c = catalogue_row("odd.bmd").cells;
    EXPECT_EQ(c[7] + c[8] + c[9], "");

    // Shape 3 with a curve: no size text but rate and area.
    RawTest spec3 = round_bar();
    spec3.shape = 3;
    put("s3.bmd", spec3);
    ASSERT_TRUE(read_test_file(dir.file("s3.bmd")));
    c = catalogue_row("s3.bmd").cells;
    EXPECT_EQ(c[7], "");
    EXPECT_EQ(c[8], "78,5");
}

TEST_F(Catalogue, ExtensometerRowFillsTheLastThreeColumns)
{
    RawTest e = round_bar();
    e.mode = 2;
    e.gauge_base = 5000;
    e.proof_load = 11500;
    e.proof_stress = 290500;
    put("ext.bmd", e);
    ASSERT_TRUE(read_test_file(dir.file("ext.bmd")));
    const CatalogueRow row = catalogue_row("ext.bmd");
    EXPECT_TRUE(row.extensometer);
    EXPECT_EQ(row.cells[10], "305,123");
    EXPECT_EQ(row.cells[13], "30");
    EXPECT_EQ(row.cells[14], "50");
    EXPECT_EQ(row.cells[15], "11,5");
    EXPECT_EQ(row.cells[16], "290,5");
}

TEST_F(Catalogue, ListsInCaseInsensitiveNameOrderWhateverTheExtensionCase)
{
    put("b.BMD", round_bar());
    put("A.bmd", round_bar());
    put("c.Bmd", round_bar());
    put("notes.txt", round_bar());
    put("x.bmd.bak", round_bar());
    load_fil(grid, dialogs, folder());
    EXPECT_EQ(names(), (QStringList{"A.bmd", "b.BMD", "c.Bmd"}));
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(shell().catalogue_dir, folder());
    EXPECT_EQ(shell().current_file, folder() + "c.Bmd");
    // Rebuilding replaces the rows rather than adding to them.
    load_fil(grid, dialogs, folder());
    EXPECT_EQ(grid.RowCount(), 3);
}

TEST_F(Catalogue, UnopenableFileAsksAndYesSkipsNoStops)
{
    put("a.bmd", round_bar());
    ::mkdir(dir.file("b.bmd").c_str(), 0755);  // matches the pattern but cannot be read as a file
    put("c.bmd", round_bar());

    dialogs.answer_button(0);  // "&Yes"
    load_fil(grid, dialogs, folder());
    EXPECT_EQ(names(), (QStringList{"a.bmd", "c.bmd"}));
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const auto& q = dialogs.shown()[0];
    EXPECT_EQ(q.title, "Warning");
    EXPECT_EQ(q.buttons, (QStringList{"&Yes", "&No"}));
    EXPECT_EQ(q.text, "Ошибка открытия " + folder() + "b.bmd" + QChar(13) + "Пропустить файл?");

    dialogs.clear();
    grid.SetColumnVisible(14, true);
    dialogs.answer_button(1);  // "&No"
    load_fil(grid, dialogs, folder());
    EXPECT_EQ(names(), (QStringList{"a.bmd"}));
    // The scan ended early: the extensometer columns were not touched.
    EXPECT_TRUE(grid.ColumnVisible(14));
}

TEST_F(Catalogue, DamagedFilesGetNoRowAndAreNamedOnceAfterTheScan)
{
    put("a.bmd", round_bar());
    RawTest bad_shape = round_bar();
    bad_shape.shape = 7;
    put("b-shape.bmd", bad_shape);
    RawTest bad_mode = round_bar();
    bad_mode.mode = 5;
    put("c-mode.bmd", bad_mode);
    put_raw("d-five.bmd", {0, 0, 0, 0, 0});
    // Header complete, file too short for the tail.
    put_raw("e-short.bmd", std::vector<unsigned char>(12, 0));
    put("f.bmd", round_bar());
    load_fil(grid, dialogs, folder());
    EXPECT_EQ(names(), (QStringList{"a.bmd", "f.bmd"}));
    // The test after the damaged ones got its whole row.
    ASSERT_TRUE(read_test_file(dir.file("f.bmd")));
    const CatalogueRow f = catalogue_row("f.bmd");
    for (int c = 0; c < 17; ++c)
        EXPECT_EQ(grid.Cell(c, 1).toStdString(), f.cells[static_cast<size_t>(c)]) << c;
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const QString text = dialogs.shown()[0].text;
    for (const char* n : {"b-shape.bmd", "c-mode.bmd", "d-five.bmd", "e-short.bmd"})
        EXPECT_TRUE(text.contains(n)) << n;
    EXPECT_FALSE(text.contains("a.bmd"));
    EXPECT_TRUE(text.contains("Range check error"));
}

TEST_F(Catalogue, ExtensometerColumnsAppearWithTheFirstSuchTestAndStay)
{
    load_fil(grid, dialogs, folder());
    for (int c = 14; c < 17; ++c)
        EXPECT_FALSE(grid.ColumnVisible(c));

    TempDir ext_dir;
    RawTest e = round_bar();
    e.mode = 2;
    lekta::testing::write_file(ext_dir.file("e.bmd"), e.bytes());
    load_fil(grid, dialogs, QString::fromStdString(ext_dir.path()) + "/");
    for (int c = 14; c < 17; ++c)
        EXPECT_TRUE(grid.ColumnVisible(c));

    put("std.bmd", round_bar());
    load_fil(grid, dialogs, folder());
    EXPECT_EQ(grid.RowCount(), 1);
    for (int c = 14; c < 17; ++c)
        EXPECT_TRUE(grid.ColumnVisible(c));
}

// An unmounted share or a removed disk: said once, not shown as an empty folder.
TEST_F(Catalogue, MissingDirectoryIsNamedOnce)
{
    put("a.bmd", round_bar());
    load_fil(grid, dialogs, folder());
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_TRUE(dialogs.shown().empty());
    load_fil(grid, dialogs, folder() + "nowhere/");
    EXPECT_EQ(grid.RowCount(), 0);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].text, "Каталог не найден " + folder() + "nowhere/");
    EXPECT_EQ(shell().catalogue_dir, folder() + "nowhere/");
}

// Names copied from a Windows machine come in its code page, not UTF-8: the
// file opens by its own bytes, and the name shows decoded.
TEST_F(Catalogue, NamesThatAreNotUtf8OpenAndShowDecoded)
{
    const std::string cp1251_name =
        "\xCE\xE1\xF0\xE0\xE7\xE5\xF6 1.bmd";  // "Образец 1.bmd" in CP1251
    put(cp1251_name, round_bar());
    put("b.bmd", round_bar());
    load_fil(grid, dialogs, folder());
    EXPECT_TRUE(dialogs.shown().empty()) << dialogs.texts().join("|").toStdString();
    ASSERT_EQ(grid.RowCount(), 2);
    const int row = names().indexOf("Образец 1.bmd");
    ASSERT_GE(row, 0) << names().join("|").toStdString();
    EXPECT_EQ(grid.Cell(11, row), "12,345");
    EXPECT_EQ(catalogue_file_path(grid, row), dir.file(cp1251_name));
    EXPECT_EQ(display_name(cp1251_name), "Образец 1.bmd");
    EXPECT_EQ(display_name("обычное.bmd"), "обычное.bmd");
}

TEST_F(Catalogue, WriteProtectedTestsAreListed)
{
    put("ro.bmd", round_bar());
    ::chmod(dir.file("ro.bmd").c_str(), 0444);
    ::chmod(dir.path().c_str(), 0555);
    load_fil(grid, dialogs, folder());
    EXPECT_EQ(names(), (QStringList{"ro.bmd"}));
    EXPECT_TRUE(dialogs.shown().empty());
}
