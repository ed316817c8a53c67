// "Экспорт" of the online window after a live test: the unit simulator plays
// a type Y test through the real window to its end, the window's export
// stores the workbook, and the stored file holds what the unit sent.
#include "online_window_session.h"
#include "output/curve_export.h"
#include "output/text_table.h"
#include "output/xlsx_reader.h"
#include "played_test.h"
#include "ui/grid.h"

#include <QAction>
#include <QDir>
#include <gtest/gtest.h>

#include <limits>

namespace lekta {
namespace {

using namespace testing;
using tools::UnitPoint;

class OnlineExport : public OnlineWindowSession {
protected:
    TempDir exports;  // the default directory the workbook goes to
};

// The number a stored cell holds; NaN where there is none or it is a text.
double number(const XlsxSheet& s, int row, int column)
{
    const XlsxCell* c = s.cell(row, column);
    return c && !c->text ? c->number : std::numeric_limits<double>::quiet_NaN();
}

TEST_F(OnlineExport, ExportAfterALiveTypeYTestStoresTheUnitsPointsAndLoads)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Extensometer, 420, true);
    ASSERT_FALSE(test.curve.points.empty());
    ASSERT_NE(test.curve.yield_load, 0);
    ASSERT_NE(test.curve.proof_load, 0);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "70", "--exit-after-v"});
    ASSERT_FALSE(sim.path().empty());

    create_windows();
    // Wired as the program entry wires it, with the test's default directory.
    form2->commands.export_curve = [&] {
        const output::GridTexts table(*form2->NextGrid1);
        const LinkState& link = form2->session().protocol().state();
        output::N3Click(output::OnlineExportSource{table, link.Ft, link.F02},
                        {QString::fromStdString(exports.path()), &dialogs, {}});
    };

    // Once the test is over, "Экспорт" while the window is still shown, then "Выход".
    bool exported = false;
    run_online(
        sim,
        [&] {
            const bool over = test_over();
            if (over && !exported) {
                exported = true;
                form2->N3->trigger();
            }
            return over;
        },
        40000);
    ASSERT_TRUE(exported) << "title: " << form2->Chart1->Title().Text().toStdString();

    const QStringList stored = QDir(QString::fromStdString(exports.path())).entryList(QDir::Files);
    ASSERT_EQ(stored, QStringList{"ЛЕКТА-ЗИВ8.xlsx"});
    const std::string path = exports.file("ЛЕКТА-ЗИВ8.xlsx");
    // The operator is told where it went, and it is opened.
    ASSERT_FALSE(dialogs.shown().empty());
    EXPECT_TRUE(dialogs.texts().back().contains("ЛЕКТА-ЗИВ8.xlsx"))
        << dialogs.texts().back().toStdString();

    const XlsxFile file = read_xlsx(path);
    ASSERT_EQ(file.sheets.size(), 2u);
    const XlsxSheet& s = file.sheets[0];
    EXPECT_EQ(s.name, "ЛЕКТА-ЗИВ8");
    EXPECT_FALSE(s.chart_sheet);
    EXPECT_TRUE(file.sheets[1].chart_sheet);
    ASSERT_TRUE(file.sheets[1].chart.has_value());

    // One data row per point the unit sent, in its order.
    const std::vector<UnitPoint>& pts = test.curve.points;
    const int n = static_cast<int>(pts.size());
    ASSERT_EQ(s.last_row(), n + 2);
    for (int i = 0; i < n; ++i) {
        const UnitPoint& p = pts[static_cast<std::size_t>(i)];
        const int row = 3 + i;
        ASSERT_EQ(number(s, row, 1), curve_point(p).x) << "row " << row;
        ASSERT_EQ(number(s, row, 2), curve_point(p).y) << "row " << row;
        if (p.he == tools::kNoExtensometer) {
            ASSERT_EQ(s.cell(row, 3), nullptr) << "row " << row;
        } else {
            ASSERT_EQ(number(s, row, 3), extensometer_point(p).x) << "row " << row;
        }
    }
    EXPECT_EQ(number(s, 3, 4),
              static_cast<double>(static_cast<long double>(test.curve.yield_load) / 1000));
    EXPECT_EQ(number(s, 3, 5),
              static_cast<double>(static_cast<long double>(test.curve.proof_load) / 1000));

    // The one chart: F against H Δ over every row.
    const XlsxChart& chart = *file.sheets[1].chart;
    ASSERT_EQ(chart.series.size(), 1u);
    const QString last = QString::number(n + 2);
    EXPECT_EQ(chart.series[0].x_ref, "'ЛЕКТА-ЗИВ8'!$A$3:$A$" + last);
    EXPECT_EQ(chart.series[0].y_ref, "'ЛЕКТА-ЗИВ8'!$B$3:$B$" + last);
    EXPECT_TRUE(wait_until([&] { return sim.exited(); }, 3000));
}

}  // namespace
}  // namespace lekta
