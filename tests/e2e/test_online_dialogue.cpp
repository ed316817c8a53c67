// Whole online dialogues: the real serial port object, window timers and
// protocol engine against the unit simulator program on a pseudo-terminal,
// from identification to the end of the test.
#include "online/link_session.h"
#include "played_test.h"
#include "support/recording_link_view.h"
#include "support/test_support.h"
#include "support/unit_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace lekta {
namespace {

using testing::RecordingLinkView;
using testing::TempDir;
using testing::UnitSimulator;
using testing::wait_until;
using namespace testing;  // the played test and what the window shows of it
using tools::UnitPoint;

class OnlineDialogue : public ::testing::Test {
protected:
    bool completed() const { return view.title == kCompleted; }
    // The window is created, then shown, once the unit is there: the
    // watchdog's clock starts only now, however long the set-up took. Its
    // period is the program's only where the watchdog is under test: on a
    // loaded machine the kernel may hold a pseudo-terminal's bytes back for
    // seconds, which a serial line at 57600 baud never does.
    void begin(const UnitSimulator& sim, int watchdog_ms = kPatientWatchdog)
    {
        session.protocol().set_watchdog_interval(watchdog_ms);
        session.FormCreate();
        session.protocol().start(sim.port_name());
    }
    static constexpr int kPatientWatchdog = 15000;

    RecordingLinkView view;
    LinkSession session{view};
    TempDir dir;
};

TEST_F(OnlineDialogue, TypeYUnitPlaysAWholeTestWithExtensometerAndBothYieldLoads)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Extensometer, 420, true);
    ASSERT_FALSE(test.curve.points.empty());
    ASSERT_NE(test.curve.yield_load, 0);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "70", "--exit-after-v"});
    ASSERT_FALSE(sim.path().empty());

    begin(sim);
    EXPECT_TRUE(session.CommPortDriver1().Connected());
    EXPECT_TRUE(session.Timer1().running());
    ASSERT_TRUE(wait_until([&] { return completed(); }, 30000)) << "title: " << view.title;

    const std::vector<UnitPoint>& pts = test.curve.points;
    const UnitPoint& last = pts.back();
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve), completed_curve_of(pts));
    EXPECT_EQ(view.pts(LinkSeries::ExtensometerCurve), extensometer_curve_of(pts));

    ASSERT_EQ(view.rows.size(), pts.size());
    for (std::size_t i = 0; i < pts.size(); ++i) {
        EXPECT_EQ(view.rows[i].f, kn(std::max(pts[i].f, 0))) << i;
        EXPECT_EQ(view.rows[i].has_he, pts[i].he != tools::kNoExtensometer) << i;
    }
    EXPECT_EQ(view.record_count, std::to_string(pts.size() - (pts.size() - 1) / 70 * 70));
    EXPECT_EQ(view.labels[1], "F,кН = " + kn(std::max(last.f, 0)));
    EXPECT_EQ(view.labels[4], "Ft,кН = " + kn(test.curve.yield_load));
    if (test.curve.proof_load != 0) {
        EXPECT_EQ(view.labels[5], "F0.2,кН = " + kn(test.curve.proof_load));
    }

    // The Ft line reaches the right edge of the chart at the end.
    const auto& ft_line = view.pts(LinkSeries::FtLine);
    ASSERT_FALSE(ft_line.empty());
    EXPECT_EQ(ft_line.back().x, view.axes[0].bottom_max);
    EXPECT_EQ(ft_line.back().y,
              static_cast<double>(static_cast<long double>(test.curve.yield_load) / 1000));

    EXPECT_FALSE(session.CommPortDriver1().Connected());
    // The final poll tick finds no new response and stops the poll.
    EXPECT_TRUE(wait_until([&] { return !session.Timer2().running(); }, 2000));
    EXPECT_TRUE(wait_until([&] { return sim.exited(); }, 3000));
}

// Responses far longer than one poll of the port carries reach the engine in
// many chunks; each is drawn once, whole, and the dialogue goes on.
TEST_F(OnlineDialogue, ResponsesSpanningManyChunksAreDrawnWhole)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 6000, false);
    ASSERT_EQ(test.curve.points.size(), 6000u);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "1500"});
    ASSERT_FALSE(sim.path().empty());

    begin(sim);
    ASSERT_TRUE(wait_until([&] { return completed(); }, 40000)) << "title: " << view.title;

    const std::vector<UnitPoint>& pts = test.curve.points;
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve), completed_curve_of(pts));
    EXPECT_EQ(view.add_calls[LinkSeries::LoadCurve], 5);  // four responses and the final drop
    EXPECT_EQ(view.rows.size(), pts.size());
    // A standard test carries no extensometer readings.
    EXPECT_FALSE(view.panel2);
    EXPECT_TRUE(view.pts(LinkSeries::ExtensometerCurve).empty());
    EXPECT_EQ(view.labels[4], "Ft,кН = " + kn(test.curve.yield_load));
    EXPECT_EQ(view.record_count, "1500");
}

// A unit that names itself type Z is only ever asked for its type again:
// the program starts the data dialogue after a 'Y' alone.
TEST_F(OnlineDialogue, TypeZUnitIsAskedForItsTypeAgainAndAgain)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 100, false);
    UnitSimulator sim({"--type", "Z", "--file", test.path});
    ASSERT_FALSE(sim.path().empty());

    view.panel2 = true;
    begin(sim);
    testing::pump_events(2600);
    EXPECT_FALSE(view.panel2);
    EXPECT_TRUE(view.rows.empty());
    EXPECT_TRUE(view.title.empty());
    EXPECT_EQ(session.protocol().state().last_command, u'Z');
    EXPECT_TRUE(session.Timer1().running());
    EXPECT_TRUE(session.CommPortDriver1().Connected());
    EXPECT_TRUE(session.protocol().state().type_z_latch);
    session.protocol().stop_on_close();
    EXPECT_FALSE(session.Timer1().running());
}

// A broken response in the middle of a test is dropped; the unit is asked
// again and the rest of the test arrives, here with every response split
// over two writes.
TEST_F(OnlineDialogue, MalformedResponseIsDroppedAndTheTestGoesOn)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 200, false);
    ASSERT_EQ(test.curve.points.size(), 200u);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "50", "--malformed",
                       "bad-pair", "--malformed-at", "2", "--split"});
    ASSERT_FALSE(sim.path().empty());

    begin(sim);
    ASSERT_TRUE(wait_until([&] { return completed(); }, 30000)) << "title: " << view.title;

    std::vector<UnitPoint> shown(test.curve.points.begin(), test.curve.points.begin() + 50);
    shown.insert(shown.end(), test.curve.points.begin() + 100, test.curve.points.end());
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve), completed_curve_of(shown));
    EXPECT_EQ(view.rows.size(), 150u);
}

// A unit that stops answering: the watchdog closes the port three seconds
// after the unanswered 'D' and the window keeps what it shows.
TEST_F(OnlineDialogue, SilentUnitIsLetGoByTheWatchdog)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 300, false);
    UnitSimulator sim(
        {"--type", "Y", "--file", test.path, "--points", "100", "--silent-after", "2"});
    ASSERT_FALSE(sim.path().empty());

    begin(sim, LinkProtocol::kTimer3Interval);
    ASSERT_TRUE(wait_until([&] { return view.rows.size() == 200; }, 10000)) << view.rows.size();
    ASSERT_TRUE(wait_until([&] { return !session.CommPortDriver1().Connected(); }, 6000));
    EXPECT_FALSE(session.Timer3().running());
    EXPECT_FALSE(session.Timer2().running());
    EXPECT_EQ(view.rows.size(), 200u);
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve).size(), 200u);
    EXPECT_TRUE(view.title.empty());
    EXPECT_FALSE(sim.exited());
}

// The unit ends the test with 'E': the title says so and the watchdog lets
// go of the port.
TEST_F(OnlineDialogue, UnitEndingTheTestShowsItInTheTitle)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 300, false);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "100", "--end-after", "1"});
    ASSERT_FALSE(sim.path().empty());

    begin(sim, LinkProtocol::kTimer3Interval);
    ASSERT_TRUE(wait_until([&] { return view.title == "Испытание закончено!"; }, 10000));
    EXPECT_EQ(view.rows.size(), 100u);
    ASSERT_TRUE(wait_until([&] { return !session.CommPortDriver1().Connected(); }, 6000));
}

// Closing the window mid-test closes the port and stops the retry and the
// poll; a second run on the same window starts again from the unit's first point.
TEST_F(OnlineDialogue, CloseMidTestThenASecondRun)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 400, false);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "100"});
    ASSERT_FALSE(sim.path().empty());

    begin(sim);
    ASSERT_TRUE(wait_until([&] { return view.rows.size() >= 100; }, 10000));
    session.protocol().stop_on_close();
    EXPECT_FALSE(session.CommPortDriver1().Connected());
    EXPECT_FALSE(session.Timer1().running());
    EXPECT_FALSE(session.Timer2().running());
    const std::size_t rows_at_close = view.rows.size();
    testing::pump_events(1200);
    EXPECT_EQ(view.rows.size(), rows_at_close);

    // The window empties its table and curve before the next run.
    view.rows.clear();
    view.series.clear();
    session.protocol().start(sim.port_name());
    ASSERT_TRUE(wait_until([&] { return completed(); }, 30000)) << "title: " << view.title;
    EXPECT_EQ(view.rows.size(), 400u);
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve).front(), curve_point(test.curve.points.front()));
}

}  // namespace
}  // namespace lekta
