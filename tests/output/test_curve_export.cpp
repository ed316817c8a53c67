#include "analysis/result_comparison.h"
#include "output/curve_export.h"
#include "output/export_fixture.h"
#include "output/xlsx_reader.h"

using namespace lekta;
using namespace lekta::output;
using lekta::testing::read_xlsx;
using lekta::testing::VectorTable;
using lekta::testing::XlsxSheet;

namespace {

class CurveExport : public lekta::testing::ExportTest {
protected:
    lekta::testing::ScopedSeparator comma{","};

    static VectorTable standard()  // F, H Δ, no H Δe
    {
        VectorTable t;
        t.rows = {{"0,5", "0,1", ""}, {"1,25", "0,2", ""}, {"2", "0,35", ""}};
        return t;
    }
    static VectorTable extensometer()
    {
        VectorTable t;
        t.rows = {{"0,5", "0,1", "0,01"}, {"1,25", "0,2", "0,02"}, {"2", "0,35", "0,045"}};
        return t;
    }
    static double number(const XlsxSheet& s, int row, int column)
    {
        const auto* c = s.cell(row, column);
        EXPECT_TRUE(c && !c->text) << "row " << row << " column " << column;
        return c && !c->text ? c->number : -1e300;
    }
    static QString text(const XlsxSheet& s, int row, int column)
    {
        const auto* c = s.cell(row, column);
        return c && c->text ? c->string : QString("<none>");
    }
};

TEST_F(CurveExport, OnlineLayoutWithItsChartFromTheUsedRange)
{
    for (bool with_he : {false, true}) {
        lekta::testing::TempDir folder;
        ApplicationOptions o{QString::fromStdString(folder.path()), &dialogs, {}};
        const VectorTable table = with_he ? extensometer() : standard();
        const QString path = excelgo({table, 24350, with_he ? 21100 : 0}, o);
        const auto file = read_xlsx(path.toStdString());
        ASSERT_EQ(file.sheets.size(), 2u);
        const auto& s = file.sheets[0];
        EXPECT_EQ(s.name, "ЛЕКТА-ЗИВ8");
        EXPECT_EQ(file.sheets[1].name, "Диаграмма1");
        const QStringList headers = {"H Δ, мм", "Усилие F, кН ", "H Δe, мм", " Ft, кН ",
                                     " F0.2, кН "};
        for (int c = 1; c <= 5; ++c)
            EXPECT_EQ(text(s, 2, c), headers[c - 1]);
        EXPECT_NEAR(s.widths.at(1), 20.71, 0.01);
        EXPECT_NEAR(s.widths.at(2), 20.71, 0.01);
        EXPECT_TRUE(file.style(s.row_styles.at(1)).bold);
        EXPECT_EQ(file.style(s.row_styles.at(1)).size, 14);
        EXPECT_EQ(number(s, 3, 1), 0.1);
        EXPECT_EQ(number(s, 3, 2), 0.5);
        EXPECT_EQ(number(s, 5, 1), 0.35);
        EXPECT_EQ(number(s, 5, 2), 2);
        EXPECT_EQ(number(s, 3, 4), 24.35);
        EXPECT_EQ(number(s, 3, 5), with_he ? 21.1 : 0);
        EXPECT_FALSE(s.cell(4, 4));
        if (with_he) {
            EXPECT_EQ(number(s, 5, 3), 0.045);
        } else {
            EXPECT_FALSE(s.cell(3, 3));
        }

        // The chart was made before C, D3 and E3 were written: x is H Δ and
        // the one series is F, named by row 2.
        const auto& chart = *file.sheets[1].chart;
        EXPECT_EQ(chart.kind, "scatterChart");
        EXPECT_EQ(chart.scatter_style, "smoothMarker");
        ASSERT_EQ(chart.series.size(), 1u);
        EXPECT_EQ(chart.series[0].x_ref, "'ЛЕКТА-ЗИВ8'!$A$3:$A$5");
        EXPECT_EQ(chart.series[0].y_ref, "'ЛЕКТА-ЗИВ8'!$B$3:$B$5");
        EXPECT_EQ(chart.series[0].name_ref, "'ЛЕКТА-ЗИВ8'!$B$2");
        EXPECT_EQ(chart.series[0].marker, "none");
        ASSERT_EQ(chart.axes.size(), 2u);
        EXPECT_EQ(chart.axes[0].title, "Перемещение Δ, мм");
        EXPECT_EQ(chart.axes[1].title, "Усилие F, кН");
        EXPECT_EQ(chart.axes[0].title_size, 1200);
        EXPECT_EQ(chart.axes[1].title_size, 1200);
        EXPECT_FALSE(chart.legend);
    }
}

TEST_F(CurveExport, GraphLayoutOfAStandardTestHasTheFirstChartOnly)
{
    VectorTable table = standard();
    table.rows.insert(table.rows.begin() + 1, {"9", "", ""});  // no H Δ: takes no sheet row
    const QString path = excelgo2({table, "Образец 7, серия 1", 24.35, 21.1}, options());
    const auto file = read_xlsx(path.toStdString());
    ASSERT_EQ(file.sheets.size(), 2u);
    const auto& s = file.sheets[0];
    EXPECT_EQ(text(s, 1, 2), "Образец 7, серия 1");
    EXPECT_EQ(text(s, 2, 6), "H Δ, мм");
    EXPECT_EQ(text(s, 2, 7), "F, кН  ");
    EXPECT_EQ(text(s, 2, 8), "Ft, кН  ");
    EXPECT_NEAR(s.widths.at(1), 10.71, 0.01);
    EXPECT_NEAR(s.widths.at(2), 10.71, 0.01);
    const double h[] = {0.1, 0.2, 0.35}, f[] = {0.5, 1.25, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(number(s, 3 + i, 6), h[i]);
        EXPECT_EQ(number(s, 3 + i, 7), f[i]);
        EXPECT_EQ(number(s, 3 + i, 8), 24.35);
    }
    EXPECT_EQ(s.last_row(), 5);
    for (int r = 2; r <= 5; ++r)
        for (int c : {1, 2, 3, 4, 5})
            EXPECT_FALSE(s.cell(r, c)) << r << "," << c;

    const auto& chart = *file.sheets[1].chart;
    ASSERT_EQ(chart.series.size(), 2u);  // the curve and its Ft line
    EXPECT_EQ(chart.series[0].x_ref, "'ЛЕКТА-ЗИВ8'!$F$3:$F$5");
    EXPECT_EQ(chart.series[0].y_ref, "'ЛЕКТА-ЗИВ8'!$G$3:$G$5");
    EXPECT_EQ(chart.series[1].y_ref, "'ЛЕКТА-ЗИВ8'!$H$3:$H$5");
    EXPECT_EQ(chart.axes[0].title, "H Δ, мм");
    EXPECT_EQ(chart.axes[1].title, "F, кН");

    // A test without an Ft (compression): no level rather than 0, and the curve alone.
    const auto no_ft = read_xlsx(excelgo2({table, "", std::nullopt, 0}, options()).toStdString());
    for (int r = 3; r <= 5; ++r)
        EXPECT_FALSE(no_ft.sheets[0].cell(r, 8)) << r;
    EXPECT_EQ(no_ft.sheets[1].chart->series.size(), 1u);
}

TEST_F(CurveExport, GraphLayoutOfAnExtensometerTestHasBothCharts)
{
    VectorTable table = extensometer();
    table.rows.push_back({"3", "", "0,05"});  // skipped: its H Δ text is empty
    const QString path = excelgo2({table, "", 24.35, 21.1}, options());
    const auto file = read_xlsx(path.toStdString());
    ASSERT_EQ(file.sheets.size(), 3u);
    const auto& s = file.sheets[0];
    EXPECT_FALSE(s.cell(1, 2));  // a title without lines
    EXPECT_EQ(text(s, 2, 2), "H Δe, мм ");
    EXPECT_EQ(text(s, 2, 3), "F, кН ");
    EXPECT_EQ(text(s, 2, 4), "F0.2, кН  ");
    const double he[] = {0.01, 0.02, 0.045}, f[] = {0.5, 1.25, 2};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(number(s, 3 + i, 2), he[i]);
        EXPECT_EQ(number(s, 3 + i, 3), f[i]);
        EXPECT_EQ(number(s, 3 + i, 4), 21.1);
    }
    EXPECT_EQ(s.last_row(), 5);
    const auto& second = *file.sheets[2].chart;
    EXPECT_EQ(file.sheets[2].name, "Диаграмма2");
    ASSERT_EQ(second.series.size(), 2u);
    EXPECT_EQ(second.series[0].x_ref, "'ЛЕКТА-ЗИВ8'!$B$3:$B$5");
    EXPECT_EQ(second.series[1].y_ref, "'ЛЕКТА-ЗИВ8'!$D$3:$D$5");
    EXPECT_EQ(second.axes[0].title, "H Δe, мм");
    EXPECT_EQ(second.axes[1].title, "F, кН");
    EXPECT_EQ(file.sheets[1].chart->series[0].x_ref, "'ЛЕКТА-ЗИВ8'!$F$3:$F$5");
}

// The results from the curve in J to M: every cell A to H, its style, the
// widths and both charts as without them; each value rounded as the panel
// shows it or the reason it is absent, the unit's value, the difference.
TEST_F(CurveExport, ResultsFromTheCurveBesideTheCurveColumns)
{
    using analysis::Quantity;
    analysis::CurveResults computed;
    for (Quantity q : analysis::quantities())
        computed[q].absence = analysis::Absence::NoYieldPoint;
    computed[Quantity::Fm] = {2.0004, analysis::Absence::None, {}};
    computed[Quantity::Rm] = {101.86543, analysis::Absence::None, {}};
    computed[Quantity::Fp02] = {1.2345, analysis::Absence::None, {}};
    computed.elastic = {205.34, 0.99987, 23, 0.1, 0.4, analysis::Absence::None};
    const analysis::ComparedResults results = analysis::compare_with_stored(
        computed, {0, 1.3, 100, 2.5, 1.25, 0}, false);

    lekta::testing::TempDir plain_dir;
    const QString plain_path = excelgo2({extensometer(), "Серия-1", 24.35, 21.1},
                                        {QString::fromStdString(plain_dir.path()), &dialogs, {}});
    const auto plain = read_xlsx(plain_path.toStdString());
    const auto file = read_xlsx(
        excelgo2({extensometer(), "Серия-1", 24.35, 21.1, &results}, options()).toStdString());
    ASSERT_EQ(file.sheets.size(), 3u);
    const auto& s = file.sheets[0];
    const auto& p = plain.sheets[0];
    for (const auto& [at, cell] : s.cells) {
        if (at.second >= 10)
            continue;
        const auto* c = p.cell(at.first, at.second);
        ASSERT_TRUE(c) << at.first << "," << at.second;
        EXPECT_TRUE(c->text == cell.text && c->number == cell.number && c->string == cell.string);
        EXPECT_EQ(plain.style(c->style).bold, file.style(cell.style).bold);
        EXPECT_EQ(plain.style(c->style).number_format, file.style(cell.style).number_format);
    }
    // J to M: the caption, 4 headers, 9 names and values, 5 stored values, 2 differences, E and R².
    EXPECT_EQ(s.cells.size(), p.cells.size() + 1 + 4 + 9 + 9 + 5 + 2 + 4);
    EXPECT_EQ(s.widths, p.widths);
    for (std::size_t k = 1; k < 3; ++k)
        EXPECT_EQ(file.sheets[k].chart->series[1].y_ref, plain.sheets[k].chart->series[1].y_ref);

    EXPECT_EQ(text(s, 1, 10), "Результаты по кривой");
    EXPECT_EQ(text(s, 2, 13), "Разница, %");
    EXPECT_EQ(text(s, 3, 10), "Fm, кН");
    EXPECT_EQ(number(s, 3, 11), 2);
    EXPECT_EQ(text(s, 4, 10), "Rm, МПа (δв)");
    EXPECT_EQ(number(s, 4, 11), 101.865);
    EXPECT_EQ(number(s, 4, 12), 100);
    EXPECT_EQ(number(s, 4, 13), 1.87);
    EXPECT_EQ(text(s, 7, 10), "FeL, кН (Fт)");
    EXPECT_EQ(text(s, 7, 11), "нет площадки текучести");
    EXPECT_EQ(number(s, 7, 12), 1.3);  // the unit's value beside an absent one
    EXPECT_EQ(number(s, 9, 13), -1.24);
    EXPECT_EQ(number(s, 10, 12), 0);  // no difference from a stored 0
    EXPECT_FALSE(s.cell(10, 13));
    EXPECT_EQ(text(s, 12, 10), "E, ГПа");
    EXPECT_EQ(number(s, 12, 11), 205.3);
    EXPECT_EQ(text(s, 13, 10), "R² (E по 10–40 % Rp0.2, 23 точки)");
    EXPECT_EQ(number(s, 13, 11), 0.9999);
}

TEST_F(CurveExport, NothingToExportIsSaidAndNoApplicationStarts)
{
    VectorTable empty;
    N3Click(OnlineExportSource{empty, 0, 0}, options());
    N3Click(GraphExportSource{empty, "", 0, 0}, options());
    VectorTable no_h;
    no_h.rows = {{"1", "", ""}, {"2", "", ""}};
    N3Click(GraphExportSource{no_h, "", 0, 0}, options());
    EXPECT_EQ(messages(), QStringList(3, "Нет данных для экспорта!"));
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(CurveExport, CommandsStoreAndSayWhereOrShowTheFailure)
{
    const VectorTable table = standard();
    N3Click(OnlineExportSource{table, 0, 0}, options());
    N3Click(GraphExportSource{table, "", 1, 1}, options());
    EXPECT_EQ(messages(), QStringList({"Книга сохранена в файл " + QString::fromStdString(stored()),
                                       "Книга сохранена в файл " +
                                           QString::fromStdString(stored("ЛЕКТА-ЗИВ8 (2).xlsx"))}));
    EXPECT_EQ(opened().size(), 2);
    const auto online = read_xlsx(stored());
    EXPECT_EQ(online.sheets[0].cell(3, 4)->number, 0);  // no Ft reported yet

    dialogs.clear();
    VectorTable bad = standard();
    bad.rows[2][0] = "2.5.1";
    N3Click(OnlineExportSource{bad, 0, 0}, options());
    N3Click(GraphExportSource{bad, "", 0, 0}, options());
    EXPECT_EQ(messages(), QStringList(2, "'2.5.1' is not a valid floating point value"));
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_EQ(files().size(), 2);
}

}  // namespace
