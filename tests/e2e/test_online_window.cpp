// A live session through the real online window: "Он-лайн" finds the
// simulated unit through the port lookup's answer, the window is shown
// modally, and the unit plays a whole test into its table, labels and charts.
#include "app/port_library.h"
#include "chart/chart.h"
#include "online_window_session.h"
#include "played_test.h"
#include "ui/grid.h"

#include <QElapsedTimer>
#include <QLabel>
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace lekta {
namespace {

using namespace testing;
using tools::UnitPoint;

std::vector<LinkPoint> points_of(const ui::ChartSeries& s)
{
    std::vector<LinkPoint> out;
    for (const ui::ChartPoint& p : s.Points())
        out.push_back({p.x, p.y});
    return out;
}

TEST_F(OnlineWindowSession, TypeYUnitPlaysAWholeTestIntoTheTableLabelsAndBothCharts)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Extensometer, 420, true);
    ASSERT_FALSE(test.curve.points.empty());
    ASSERT_NE(test.curve.yield_load, 0);
    ASSERT_NE(test.curve.proof_load, 0);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "70", "--exit-after-v"});
    ASSERT_FALSE(sim.path().empty());

    std::size_t live_rows = 0, live_extensometer = 0;
    run_online(
        sim,
        [&] {
            const int rows = form2->NextGrid1->RowCount();
            if (rows > 0 && rows < 420 && live_rows == 0) {
                // Mid-test: the chart grows with the table, both charts drawn.
                live_rows = static_cast<std::size_t>(form2->Series1->Count());
                live_extensometer = static_cast<std::size_t>(form2->LineSeries1->Count());
            }
            return test_over();
        },
        40000);
    ASSERT_TRUE(shown);
    ASSERT_EQ(form2->Chart1->Title().Text().toStdString(), kCompleted);
    EXPECT_EQ(dialogs.texts().size(), 1);  // the checklist, nothing else
    EXPECT_EQ(online_state().chosen_port_name, sim.port_name());
    EXPECT_GT(live_rows, 0u);
    EXPECT_GT(live_extensometer, 0u);

    const std::vector<UnitPoint>& pts = test.curve.points;
    EXPECT_EQ(points_of(*form2->Series1), completed_curve_of(pts));
    EXPECT_EQ(points_of(*form2->LineSeries1), extensometer_curve_of(pts));

    ASSERT_EQ(form2->NextGrid1->RowCount(), static_cast<int>(pts.size()));
    for (std::size_t i = 0; i < pts.size(); ++i) {
        const int r = static_cast<int>(i);
        ASSERT_EQ(form2->NextGrid1->Cell(0, r).toStdString(), kn(std::max(pts[i].f, 0))) << i;
        ASSERT_EQ(form2->NextGrid1->Cell(1, r).toStdString(), mm(std::max(pts[i].h, 0))) << i;
        ASSERT_EQ(form2->NextGrid1->Cell(2, r).toStdString(),
                  pts[i].he == tools::kNoExtensometer ? std::string() : ext_mm(pts[i].he))
            << i;
    }

    const UnitPoint& last = pts.back();
    EXPECT_EQ(form2->Label1->text().toStdString(), "F,кН = " + kn(std::max(last.f, 0)));
    EXPECT_EQ(form2->Label2->text().toStdString(), "H Δ,мм = " + mm(std::max(last.h, 0)));
    const auto last_ext = std::find_if(pts.rbegin(), pts.rend(), [](const UnitPoint& p) {
        return p.he != tools::kNoExtensometer;
    });
    ASSERT_NE(last_ext, pts.rend());
    EXPECT_EQ(form2->Label3->text().toStdString(), "H Δe,мм = " + ext_mm(last_ext->he));
    EXPECT_EQ(form2->Label4->text().toStdString(), "Ft,кН = " + kn(test.curve.yield_load));
    EXPECT_EQ(form2->Label5->text().toStdString(), "F0.2,кН = " + kn(test.curve.proof_load));
    EXPECT_EQ(form2->StaticText7->text().toStdString(),
              std::to_string(pts.size() - (pts.size() - 1) / 70 * 70));
    EXPECT_EQ(form2->StaticText2->text(), "Ожидание готовности прибора ...");

    // The Ft line runs at Ft and reaches the right edge at the end; the
    // F0.2 line runs at F0.2.
    const double ft = static_cast<double>(static_cast<long double>(test.curve.yield_load) / 1000);
    const double f02 = static_cast<double>(static_cast<long double>(test.curve.proof_load) / 1000);
    ASSERT_GT(form2->Series2->Count(), 0);
    for (const ui::ChartPoint& p : form2->Series2->Points())
        EXPECT_EQ(p.y, ft);
    EXPECT_EQ(form2->Series2->Points().back().x, form2->Chart1->BottomAxis().Maximum());
    ASSERT_GT(form2->FastLineSeries1->Count(), 0);
    for (const ui::ChartPoint& p : form2->FastLineSeries1->Points())
        EXPECT_EQ(p.y, f02);
    // Both charts' limits take in their whole curves.
    EXPECT_GE(form2->Chart1->LeftAxis().Maximum(), form2->Series1->MaxYValue());
    EXPECT_GE(form2->Chart1->BottomAxis().Maximum(), form2->Series1->MaxXValue());
    EXPECT_GE(form2->Chart2->LeftAxis().Maximum(), form2->LineSeries1->MaxYValue());
    EXPECT_GE(form2->Chart2->BottomAxis().Maximum(), form2->LineSeries1->MaxXValue());

    EXPECT_FALSE(form2->isVisible());
    EXPECT_FALSE(form2->CommPortDriver1().Connected());
    EXPECT_TRUE(wait_until([&] { return sim.exited(); }, 3000));
}

// A type Z unit is asked for its type again and again: no data dialogue,
// the extensometer chart hidden, nothing in the table.
TEST_F(OnlineWindowSession, TypeZUnitGetsTheIdentificationDialogue)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 100, false);
    UnitSimulator sim({"--type", "Z", "--file", test.path});
    ASSERT_FALSE(sim.path().empty());

    QElapsedTimer clock;
    bool checked = false;
    run_online(
        sim,
        [&] {
            if (!clock.isValid())
                clock.start();
            if (clock.elapsed() < 2600)
                return false;
            EXPECT_FALSE(form2->Panel2->isVisibleTo(form2.get()));
            EXPECT_EQ(form2->NextGrid1->RowCount(), 0);
            EXPECT_TRUE(form2->Chart1->Title().Lines().isEmpty());
            EXPECT_EQ(form2->session().protocol().state().last_command, u'Z');
            EXPECT_TRUE(form2->session().protocol().state().type_z_latch);
            EXPECT_TRUE(form2->Timer1().running());
            EXPECT_TRUE(form2->StaticText7->text().isEmpty());
            checked = true;
            return true;
        },
        10000);
    EXPECT_TRUE(checked);
    EXPECT_FALSE(form2->Timer1().running());
    EXPECT_FALSE(form2->CommPortDriver1().Connected());
}

// The demo's set-up: the simulated unit attached under a link that the
// port-lookup library's configuration names. "Он-лайн" finds it through the
// library and plays the unit's whole test.
TEST_F(OnlineWindowSession, DemoSetUpFindsTheSimulatedUnitThroughThePortLookup)
{
    TempDir profile;
    ASSERT_EQ(::mkdir((profile.path() + "/Veltrask").c_str(), 0755), 0);
    const std::string link = dir.file("unit");
    std::ofstream(profile.path() + "/Veltrask/getnumcom.conf") << link << "\n";
    const bool had_config = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray saved_config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(profile.path()));
    UnitSimulator sim({"--link", link, "--type", "Y", "--points", "40"});
    ASSERT_FALSE(sim.path().empty());
    load_port_library(QString::fromStdString(bin_dir()) + "/libgetnumcom.so");

    run_online([] { return find_instrument_ports(); }, [&] { return test_over(); }, 40000);
    port_library().reset();
    if (had_config)
        qputenv("XDG_CONFIG_HOME", saved_config);
    else
        qunsetenv("XDG_CONFIG_HOME");

    ASSERT_TRUE(shown);
    EXPECT_EQ(online_state().chosen_port_name, "\\\\.\\" + link);
    EXPECT_EQ(form2->Chart1->Title().Text().toStdString(), kCompleted);
    const tools::UnitCurve curve = tools::synthetic_curve(true);
    EXPECT_EQ(form2->NextGrid1->RowCount(), static_cast<int>(curve.points.size()));
    EXPECT_EQ(points_of(*form2->Series1), completed_curve_of(curve.points));
    EXPECT_EQ(points_of(*form2->LineSeries1), extensometer_curve_of(curve.points));
}

}  // namespace
}  // namespace lekta
