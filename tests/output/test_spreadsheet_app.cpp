#include "output/copy_store.h"
#include "output/export_fixture.h"
#include "output/number_format_code.h"
#include "output/spreadsheet_app.h"
#include "output/xlsx_reader.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

using namespace lekta;
using namespace lekta::output;
using lekta::testing::read_xlsx;

namespace {

class SpreadsheetApp : public lekta::testing::ExportTest {
protected:
    // A workbook with a little of everything the exports write.
    Workbook& fill(Application& app)
    {
        Workbook& book = app.Workbooks().Add(kWorksheetTemplate);
        Worksheet& s = book.WorkSheets(1);
        s.Name("Данные");
        s.Columns(2).ColumnWidth(20);
        s.Columns(2).NumberFormat("ДД/ММ/ГГГГ Ч:ММ:СС");
        s.Rows(1).Font().Bold(true);
        s.Rows(1).Font().Color(16711680);
        s.Rows(1).Font().Size(14);
        s.Cells(1, 2) = QString("заголовок");
        s.Cells(2, 1) = QString("x");
        s.Cells(2, 2) = QString("y");
        s.Cells(3, 1) = 1.5;
        s.Cells(3, 2).Value = -2.25;
        s.Cells(4, 1) = 7;
        s.Cells(4, 2) = QString("");  // stays empty
        return book;
    }
};

TEST_F(SpreadsheetApp, CallsOnWhatDoesNotExistFailAsTheServerWould)
{
    Application app(options());
    EXPECT_THROW(app.Workbooks(1), SpreadsheetError);
    EXPECT_THROW(app.ActiveWorkbook(), SpreadsheetError);
    EXPECT_THROW(app.Workbooks().Add(-4108), SpreadsheetError);
    Workbook& book = app.Workbooks().Add(kWorksheetTemplate);
    EXPECT_EQ(&book, &app.Workbooks(1));
    EXPECT_THROW(book.WorkSheets(2), SpreadsheetError);
    EXPECT_THROW(book.WorkSheets("нет такого"), SpreadsheetError);
    Worksheet& sheet = book.WorkSheets(1);
    for (const char* bad : {"", "F3:", "3F", "F0", "XFE1", "A1048577", "A1:B2:C3", "A 1"})
        EXPECT_THROW(sheet.Range(bad), SpreadsheetError) << bad;
    EXPECT_EQ(sheet.Range("$H$10:f3").Address(), "F3:H10");
    EXPECT_THROW(sheet.Cells(0, 1) = 1.0, SpreadsheetError);
    EXPECT_THROW(sheet.Columns(16385), SpreadsheetError);
    for (const char* bad : {"", "a/b", "x[1]", "'q", "0123456789012345678901234567890Z"})
        EXPECT_THROW(sheet.Name(bad), SpreadsheetError) << bad;

    Chart& chart = book.Charts().Add();
    EXPECT_EQ(&book.ActiveSheet(), &chart);
    EXPECT_THROW(chart.ChartType(4), SpreadsheetError);
    EXPECT_THROW(chart.SetSourceData(sheet.Range("A1:B2"), 1), SpreadsheetError);
    EXPECT_THROW(chart.Axes().Item(3), SpreadsheetError);
    EXPECT_THROW(chart.Axes().Item(kValueAxis).AxisTitle(), SpreadsheetError);  // HasTitle is off
    EXPECT_THROW(book.ActiveSheet().UsedRange(), SpreadsheetError);
    EXPECT_THROW(book.ActiveSheet().Range("A1"), SpreadsheetError);
    EXPECT_THROW(chart.Name("лист1"), SpreadsheetError);  // names are unique without regard to case
    EXPECT_EQ(book.WorkSheets(1).Name(), "Лист1");

    Application other(options());
    Workbook& foreign = other.Workbooks().Add(kWorksheetTemplate);
    EXPECT_THROW(chart.SetSourceData(foreign.WorkSheets(1).Range("A1:B2"), kPlotByColumns),
                 SpreadsheetError);

    app.Quit();
    EXPECT_THROW(app.Workbooks(), SpreadsheetError);
    EXPECT_THROW(app.Visible(true), SpreadsheetError);
}

TEST_F(SpreadsheetApp, UsedRangeIsTheDataBlockWithItsCaptions)
{
    Application app(options());
    Worksheet& s = app.Workbooks().Add(kWorksheetTemplate).WorkSheets(1);
    EXPECT_EQ(s.UsedRange().Address(), "A1");
    s.Cells(1, 2) = QString("title");
    s.Cells(2, 1) = QString("a");
    s.Cells(2, 5) = QString("e");
    EXPECT_EQ(s.UsedRange().Address(), "A1:E2");  // texts only: all of them
    s.Cells(3, 1) = 1.0;
    s.Cells(5, 3) = 2.0;
    // The numbers span A3:C5, the captions above them add row 2; the title
    // and the caption over column E, which holds no number, do not count.
    EXPECT_EQ(s.UsedRange().Address(), "A2:C5");
    s.Cells(3, 5) = 0.0;
    EXPECT_EQ(s.UsedRange().Address(), "A2:E5");
}

TEST(NumberFormatCode, RussianCodesBecomeTheFileSpelling)
{
    EXPECT_EQ(file_number_format("ДД/ММ/ГГГГ Ч:ММ:СС"), "DD/MM/YYYY H:MM:SS");
    EXPECT_EQ(file_number_format("дд.мм.гг ч:мм"), "dd.mm.yy h:mm");
    EXPECT_EQ(file_number_format("ГГГГ \"год\" \\Д 0,00"), "YYYY \"год\" \\Д 0,00");
    EXPECT_EQ(file_number_format("0.000"), "0.000");
}

TEST_F(SpreadsheetApp, StoresAReadableWorkbookInEitherWriterModeUnderEitherRegionalSetting)
{
    // The C library's numbers follow the regional settings; the file's must not.
    lekta::testing::ScopedCLocale russian("ru_RU.UTF-8");
    for (bool constant : {true, false}) {
        lekta::testing::TempDir folder;
        ApplicationOptions o{QString::fromStdString(folder.path()), &dialogs, {constant}};
        Application app(o);
        fill(app).SaveCopyAs("книга");
        const QString path = QString::fromStdString(folder.file("книга.xlsx"));
        EXPECT_EQ(app.stored_copy(), path);

        const auto file = read_xlsx(path.toStdString());
        ASSERT_EQ(file.sheets.size(), 1u);
        const auto& s = file.sheets[0];
        EXPECT_EQ(s.name, "Данные");
        ASSERT_TRUE(s.cell(1, 2));
        EXPECT_EQ(s.cell(1, 2)->string, "заголовок");
        EXPECT_TRUE(s.cell(3, 1) && !s.cell(3, 1)->text && s.cell(3, 1)->number == 1.5);
        EXPECT_TRUE(s.cell(3, 2) && s.cell(3, 2)->number == -2.25);
        EXPECT_TRUE(s.cell(4, 1) && s.cell(4, 1)->number == 7);
        EXPECT_FALSE(s.cell(4, 2));
        EXPECT_NEAR(s.widths.at(2), 20.71,
                    0.01);  // 20 characters and the cell padding, as the file counts
        // The title row's font on its cell, with the column's number format.
        const auto& title = file.style(s.cell(1, 2)->style);
        EXPECT_TRUE(title.bold);
        EXPECT_EQ(title.size, 14);
        EXPECT_EQ(title.color.right(6), "0000FF");
        EXPECT_EQ(title.number_format, "DD/MM/YYYY H:MM:SS");
        EXPECT_TRUE(file.style(s.row_styles.at(1)).bold);
        // A cell outside the title row keeps only the column's format.
        const auto& plain = file.style(s.cell(2, 2)->style);
        EXPECT_FALSE(plain.bold);
        EXPECT_EQ(plain.number_format, "DD/MM/YYYY H:MM:SS");
        EXPECT_EQ(file.style(s.cell(2, 1)->style).number_format, "");
    }
}

TEST_F(SpreadsheetApp, NeverReplacesAStoredFileAndLeavesNoTemporaryFile)
{
    lekta::testing::write_file(stored(), {'o', 'l', 'd'});
    QStringList paths;
    for (int i = 0; i < 2; ++i) {
        Application app(options());
        fill(app).SaveCopyAs("ЛЕКТА-ЗИВ8");
        paths << app.stored_copy();
    }
    EXPECT_EQ(lekta::testing::read_file(stored()), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(paths, QStringList({QString::fromStdString(stored("ЛЕКТА-ЗИВ8 (2).xlsx")),
                                  QString::fromStdString(stored("ЛЕКТА-ЗИВ8 (3).xlsx"))}));
    EXPECT_EQ(files(),
              QStringList({"ЛЕКТА-ЗИВ8 (2).xlsx", "ЛЕКТА-ЗИВ8 (3).xlsx", "ЛЕКТА-ЗИВ8.xlsx"}));
    EXPECT_EQ(read_xlsx(stored("ЛЕКТА-ЗИВ8 (3).xlsx")).sheets.at(0).name, "Данные");
    // The copy is an ordinary document, not a private temporary file.
    struct stat st;
    ASSERT_EQ(::stat(stored("ЛЕКТА-ЗИВ8 (2).xlsx").c_str(), &st), 0);
    EXPECT_EQ(
        st.st_mode & 0044, 0044 & ~[] {
            mode_t m = ::umask(0);
            ::umask(m);
            return m;
        }());
}

TEST_F(SpreadsheetApp, MissingOrUnwritableDefaultDirectoryIsNamedAndNothingIsStored)
{
    const QString missing = QString::fromStdString(dir.file("нет"));
    Application app({missing, &dialogs, {}});
    Workbook& book = fill(app);
    try {
        book.SaveCopyAs("ЛЕКТА-ЗИВ8");
        FAIL() << "stored into a missing folder";
    } catch (const SpreadsheetError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  "Книга не сохранена: папка по умолчанию «" + missing + "» не существует.");
    }
    EXPECT_TRUE(app.stored_copy().isEmpty());
    EXPECT_TRUE(files().isEmpty());

    // Root writes into a read-only folder all the same; /sys refuses new files even to root.
    lekta::testing::TempDir locked;
    ::chmod(locked.path().c_str(), 0555);
    QString unwritable = QString::fromStdString(locked.path());
    if (::access(locked.path().c_str(), W_OK) == 0)
        unwritable = "/sys";
    Application app2({unwritable, &dialogs, {}});
    try {
        fill(app2).SaveCopyAs("ЛЕКТА-ЗИВ8");
        FAIL() << "stored into " << unwritable.toStdString();
    } catch (const SpreadsheetError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  "Книга не сохранена: в папку по умолчанию «" + unwritable + "» нельзя записать.");
    }
    EXPECT_FALSE(QFile::exists(unwritable + "/ЛЕКТА-ЗИВ8.xlsx"));

    Application app3({"", &dialogs, {}});
    EXPECT_THROW(fill(app3).SaveCopyAs("ЛЕКТА-ЗИВ8"), SpreadsheetError);
}

TEST_F(SpreadsheetApp, AFailedWriteLeavesNothingBehind)
{
    Application app(options());
    Workbook& book = fill(app);
    book.Charts().Add();  // never given a chart type this application draws
    EXPECT_THROW(book.SaveCopyAs("ЛЕКТА-ЗИВ8"), SpreadsheetError);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(app.stored_copy().isEmpty());
}

TEST_F(SpreadsheetApp, VisibleOpensTheStoredCopyOnly)
{
    Application app(options());
    Workbook& book = fill(app);
    app.Visible(true);
    EXPECT_TRUE(opened().isEmpty());
    book.SaveCopyAs("ЛЕКТА-ЗИВ8");
    app.Visible(true);
    EXPECT_EQ(opened(), QStringList{QString::fromStdString(stored())});
}

TEST_F(SpreadsheetApp, ChartSheetsFollowTheDataAndNameTheirSeriesFromCaptions)
{
    Application app(options());
    Workbook& book = fill(app);
    Worksheet& data = book.WorkSheets(1);
    Chart& chart = book.Charts().Add();
    chart.ChartType(kSmoothScatterNoMarkers);
    chart.SetSourceData(data.UsedRange(), kPlotByColumns);
    chart.Axes().Item(kCategoryAxis).HasTitle(true);
    chart.Axes().Item(kCategoryAxis).AxisTitle().Caption("x, мм");
    chart.Axes().Item(kCategoryAxis).AxisTitle().Font().Size(12);
    Chart& bare = book.Charts().Add();
    bare.ChartType(kSmoothScatterNoMarkers);
    bare.SetSourceData(data.Range("A3:B4"), kPlotByColumns);
    book.SaveCopyAs("ЛЕКТА-ЗИВ8");

    const auto file = read_xlsx(stored());
    ASSERT_EQ(file.sheets.size(), 3u);
    EXPECT_EQ(file.sheets[1].name, "Диаграмма1");
    EXPECT_EQ(file.sheets[2].name, "Диаграмма2");
    EXPECT_EQ(file.active_tab, 2);
    const auto& c = *file.sheets[1].chart;
    EXPECT_EQ(c.kind, "scatterChart");
    EXPECT_EQ(c.scatter_style, "smoothMarker");
    ASSERT_EQ(c.series.size(), 1u);
    EXPECT_EQ(c.series[0].name_ref, "'Данные'!$B$2");
    EXPECT_EQ(c.series[0].x_ref, "'Данные'!$A$3:$A$4");
    EXPECT_EQ(c.series[0].y_ref, "'Данные'!$B$3:$B$4");
    EXPECT_EQ(c.series[0].marker, "none");
    EXPECT_FALSE(c.legend);
    ASSERT_EQ(c.axes.size(), 2u);
    EXPECT_EQ(c.axes[0].title, "x, мм");
    EXPECT_EQ(c.axes[0].title_size, 1200);
    EXPECT_EQ(c.axes[1].title, "");
    const auto& b = *file.sheets[2].chart;
    ASSERT_EQ(b.series.size(), 1u);
    EXPECT_EQ(b.series[0].name_ref, "");
    EXPECT_EQ(b.series[0].x_ref, "'Данные'!$A$3:$A$4");
}

}  // namespace
