#include "app/catalogue_columns.h"
#include "output/catalogue_export.h"
#include "output/export_fixture.h"
#include "output/export_progress.h"
#include "output/xlsx_reader.h"

#include "ui/grid.h"

#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>

using namespace lekta;
using namespace lekta::output;
using lekta::testing::read_xlsx;

namespace {

struct RecordedProgress : ExportProgress {
    QStringList labels;
    int maximum = -100, ends = 0;
    std::vector<int> positions;
    void begin(const QString& label) override { labels << label; }
    void set_maximum(int m) override { maximum = m; }
    void set_position(int p) override { positions.push_back(p); }
    void end() override { ++ends; }
};

class CatalogueExport : public lekta::testing::ExportTest {
protected:
    CatalogueExport() { add_catalogue_columns(grid); }

    // One catalogue row: the texts the loader writes, results with the
    // regional separator.
    int add(const QString& file, const QString& series, std::vector<QString> results)
    {
        const int row = grid.AddRow();
        const QStringList texts = {file,         series, "7",  "12.03.2024",     "10:15:00",
                                   "Растяжение", "Круг", "10", "78" + sep + "5", "2" + sep + "5"};
        for (int c = 0; c < texts.size(); ++c)
            grid.SetCell(c, row, texts[c]);
        for (size_t i = 0; i < results.size(); ++i)
            grid.SetCell(10 + static_cast<int>(i), row, results[i]);
        return row;
    }

    lekta::testing::ScopedSeparator comma{","};
    const QString sep = ",";
    ui::Grid grid;
    GridTexts texts{grid};
};

TEST_F(CatalogueExport, SheetHoldsTitleRowHeadersAndEveryRowAsTextsAndNumbers)
{
    add("a1.bmd", "1", {"305,5", "24", "450,25", "35,4", "50", "21,1", "270"});
    add("a2.bmd", "2", {});            // a test without results
    grid.SetColumnVisible(14, false);  // extensometer columns hidden: exported all the same
    grid.SetColumnVisible(15, false);
    grid.SetColumnVisible(16, false);
    RecordedProgress progress;
    const QString path = exp2excel(texts, progress, options());
    EXPECT_EQ(path, QString::fromStdString(stored()));
    EXPECT_EQ(progress.labels, QStringList{"Экспорт ..."});
    EXPECT_EQ(progress.maximum, 1);
    EXPECT_EQ(progress.positions, (std::vector<int>{0, 0, 1}));
    EXPECT_GE(progress.ends, 1);
    EXPECT_EQ(opened(), QStringList{path});

    const auto file = read_xlsx(stored());
    ASSERT_EQ(file.sheets.size(), 1u);
    const auto& s = file.sheets[0];
    EXPECT_EQ(s.name, "ЛЕКТА-ЗИВ8");
    const QStringList headers = {"Имя Файла",
                                 "Серия",
                                 "№",
                                 "Дата/Время",
                                 "Режим",
                                 "Форма образца",
                                 "Размер, мм",
                                 "Площадь S, мм.кв ",
                                 "Скорость нагружения, мм/с",
                                 "Предел текучести бт, мПа",
                                 "Нагрузка текучести Ft, кН",
                                 "Предел прочности бв, мПа",
                                 "Разрушающая нагрузка Fв, кН",
                                 "База экстензометра, мм",
                                 "Нагрузка текучести, условная F0.2, кН",
                                 "Предел текучести, условный б0.2, мм"};
    for (int c = 1; c <= 16; ++c) {
        ASSERT_TRUE(s.cell(2, c)) << c;
        EXPECT_EQ(s.cell(2, c)->string, headers[c - 1]);
        EXPECT_TRUE(file.style(s.cell(2, c)->style).bold);
        EXPECT_NEAR(s.widths.at(c), 20.71, 0.01) << c;
        EXPECT_FALSE(s.cell(1, c));  // the title row stays empty
    }
    EXPECT_FALSE(s.cell(2, 17));
    const auto& title = file.style(s.row_styles.at(1));
    EXPECT_TRUE(title.bold);
    EXPECT_EQ(title.color, "FF0000FF");
    EXPECT_EQ(title.size, 14);
    EXPECT_TRUE(file.style(s.row_styles.at(2)).bold);
    EXPECT_EQ(file.style(s.column_styles.at(4)).number_format, "DD/MM/YYYY H:MM:SS");

    const QStringList row3 = {"a1.bmd", "1",    "7",  "12.03.2024 / 10:15:00", "Растяжение", "Круг",
                              "10",     "78,5", "2,5"};
    for (int c = 1; c <= 9; ++c) {
        ASSERT_TRUE(s.cell(3, c) && s.cell(3, c)->text) << c;
        EXPECT_EQ(s.cell(3, c)->string, row3[c - 1]);
    }
    const double numbers[] = {305.5, 24, 450.25, 35.4, 50, 21.1, 270};
    for (int c = 10; c <= 16; ++c) {
        ASSERT_TRUE(s.cell(3, c) && !s.cell(3, c)->text) << c;
        EXPECT_EQ(s.cell(3, c)->number, numbers[c - 10]);
    }
    EXPECT_EQ(s.cell(4, 1)->string, "a2.bmd");
    for (int c = 10; c <= 16; ++c)
        EXPECT_FALSE(s.cell(4, c)) << "empty result text must leave the cell empty, column " << c;
    EXPECT_EQ(s.last_row(), 4);
}

TEST_F(CatalogueExport, OneRowAndASortedGridInItsDisplayedOrder)
{
    add("b.bmd", "2", {"1"});
    RecordedProgress one;
    exp2excel(texts, one, options());
    EXPECT_EQ(one.maximum, 0);
    EXPECT_EQ(read_xlsx(stored()).sheets[0].last_row(), 3);

    add("c.bmd", "1", {"2"});
    add("a.bmd", "3", {"3"});
    emit grid.horizontalHeader()->sectionClicked(0);  // by file name
    RecordedProgress sorted;
    const QString path = exp2excel(texts, sorted, options());
    EXPECT_TRUE(path.endsWith("ЛЕКТА-ЗИВ8 (2).xlsx"));
    const auto s = read_xlsx(path.toStdString()).sheets[0];
    EXPECT_EQ(s.cell(3, 1)->string, "a.bmd");
    EXPECT_EQ(s.cell(4, 1)->string, "b.bmd");
    EXPECT_EQ(s.cell(5, 1)->string, "c.bmd");
    EXPECT_EQ(s.cell(3, 10)->number, 3);  // the whole row moved, not only its name
}

TEST_F(CatalogueExport, CommandDoesNothingForAnEmptyCatalogueAndNamesTheFileOtherwise)
{
    QMainWindow main;
    TForm9 form(&main);
    Excel1Click(texts, form, options());
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(files().isEmpty());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Label1->text(), "");

    add("a.bmd", "1", {});
    Excel1Click(texts, form, options());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Label1->text(), "Экспорт ...");
    EXPECT_EQ(messages(),
              QStringList{"Книга сохранена в файл " + QString::fromStdString(stored())});
    EXPECT_EQ(files(), QStringList{"ЛЕКТА-ЗИВ8.xlsx"});
}

TEST_F(CatalogueExport, TextThatIsNoNumberEndsTheExportWithNothingStored)
{
    add("a.bmd", "1", {"12"});
    add("b.bmd", "1", {"1", "", "abc"});
    QMainWindow main;
    TForm9 form(&main);
    Excel1Click(texts, form, options());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(messages(), QStringList{"'abc' is not a valid floating point value"});
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(CatalogueExport, StoringFailureClosesTheWindowAndIsShown)
{
    add("a.bmd", "1", {});
    QMainWindow main;
    TForm9 form(&main);
    ApplicationOptions o = options();
    o.default_dir = QString::fromStdString(dir.file("пропала"));
    Excel1Click(texts, form, o);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(messages(), QStringList{"Книга не сохранена: папка по умолчанию «" + o.default_dir +
                                      "» не существует."});
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(CatalogueExport, ProgressWindowIsCentredOnTheMainWindow)
{
    QMainWindow main;
    main.setGeometry(100, 100, 1000, 600);
    TForm9 form(&main);
    form.begin("Экспорт ...");
    EXPECT_EQ(form.size(), QSize(425, 64));
    EXPECT_EQ(form.Label1->font().pixelSize(), 20);
    EXPECT_EQ(form.Label1->font().family(), "Arial");
    EXPECT_LT(form.Label1->geometry().bottom(), form.ProgressBar1->geometry().top());
    EXPECT_LE((form.frameGeometry().center() - main.frameGeometry().center()).manhattanLength(), 2);
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    if (qEnvironmentVariableIsSet("LEKTA_SAVE_PICTURES"))
        form.grab().save(qEnvironmentVariable("LEKTA_SAVE_PICTURES") + "/form9.png");
    form.end();
    EXPECT_FALSE(form.isVisible());
}

}  // namespace
