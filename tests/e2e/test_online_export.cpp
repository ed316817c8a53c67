// "Экспорт" of the online window after a live test: the unit simulator plays
// a type Y test through the real window to its end, the window's export
// stores the workbook, and the stored file holds what the unit sent.
#include "online/online_command.h"
#include "online/online_state.h"
#include "online/port_dialog.h"
#include "online/receive.h"
#include "output/curve_export.h"
#include "output/text_table.h"
#include "output/xlsx_reader.h"
#include "played_test.h"
#include "support/test_support.h"
#include "support/unit_simulator.h"
#include "ui/chart.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/grid.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

namespace lekta {
namespace {

using namespace testing;
using tools::UnitPoint;

class OnlineExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        online_state().reset();
        ui::set_error_dialogs(&dialogs);
    }
    void TearDown() override
    {
        ui::reset_error_display();
        online_state().reset();
    }

    ui::ScriptedDialogs dialogs;
    TempDir dir;      // the played test
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

    auto form2 = std::make_unique<TForm2>(dialogs);
    auto form10 = std::make_unique<TForm10>(dialogs, *form2);
    form2->session().protocol().set_watchdog_interval(15000);  // as the other window sessions
    // Wired as the program entry wires it, with the test's default directory.
    form2->commands.export_curve = [&] {
        const output::GridTexts table(*form2->NextGrid1);
        const LinkState& link = form2->session().protocol().state();
        output::N3Click(output::OnlineExportSource{table, link.Ft, link.F02},
                        {QString::fromStdString(exports.path()), &dialogs, {}});
    };

    bool exported = false;
    OnlineCommand c{dialogs, *form2, *form10, [&sim] { return std::vector<std::string>{sim.path()}; },
                    [&] {
                        // Once the test is over, "Экспорт" while the window is
                        // still shown, then "Выход".
                        QTimer watcher;
                        QElapsedTimer clock;
                        clock.start();
                        QObject::connect(&watcher, &QTimer::timeout, form2.get(), [&] {
                            const bool over =
                                form2->Chart1->Title().Text() == kCompleted && !form2->Timer2().running();
                            if (over && !exported) {
                                exported = true;
                                form2->N3->trigger();
                            }
                            if (over || clock.elapsed() > 40000)
                                form2->N4->trigger();
                        });
                        watcher.start(20);
                        return form2->exec();
                    },
                    {},
                    {}};
    N40Click(c);
    ASSERT_TRUE(exported) << "title: " << form2->Chart1->Title().Text().toStdString();

    const QStringList stored = QDir(QString::fromStdString(exports.path())).entryList(QDir::Files);
    ASSERT_EQ(stored, QStringList{"ЛЕКТА-ЗИВ8.xlsx"});
    const std::string path = exports.file("ЛЕКТА-ЗИВ8.xlsx");
    // The operator is told where it went, and it is opened.
    ASSERT_FALSE(dialogs.shown().empty());
    EXPECT_TRUE(dialogs.texts().back().contains("ЛЕКТА-ЗИВ8.xlsx")) << dialogs.texts().back().toStdString();

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
    EXPECT_EQ(number(s, 3, 4), static_cast<double>(static_cast<long double>(test.curve.yield_load) / 1000));
    EXPECT_EQ(number(s, 3, 5), static_cast<double>(static_cast<long double>(test.curve.proof_load) / 1000));

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
