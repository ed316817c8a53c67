// Faults on the serial line, against the unit simulator on a pseudo-terminal
// through the real port object, window timers and protocol engine: the unit
// vanishing mid-response, falling silent, babbling without markers, sending
// each kind of broken response, answering very slowly. The dialogue goes on
// or lets go of the port as its rules say, what is shown stays, the receive
// buffer never grows, and the port opens again afterwards.
#include "e2e/played_test.h"
#include "online/link_session.h"
#include "support/recording_link_view.h"
#include "support/test_support.h"
#include "support/unit_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace lekta {
namespace {

using namespace testing;
using tools::UnitPoint;

class LineFault : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Every chunk the port delivers is counted on its way to the engine,
        // and the receive count watched after it.
        TCommPortDriver& port = session.CommPortDriver1();
        auto engine = port.OnReceiveData;
        port.OnReceiveData = [this, engine](TCommPortDriver* sender, const unsigned char* data,
                                            std::uint32_t size) {
            taken += size;
            engine(sender, data, size);
            highest_count = std::max(highest_count, session.protocol().state().received_count);
        };
        receive_data = session.protocol().state().receive.data();
    }

    // As the end-to-end dialogues: a patient watchdog unless the watchdog is
    // what acts (on a loaded machine the kernel may hold a pseudo-terminal's
    // bytes back for seconds).
    static constexpr int kPatientWatchdog = 15000;
    void begin(const std::string& port_name, int watchdog_ms = kPatientWatchdog)
    {
        session.protocol().set_watchdog_interval(watchdog_ms);
        if (!created) {
            session.FormCreate();
            created = true;
        }
        session.protocol().start(port_name);
    }
    // The window empties its table and curves before each run.
    void next_run(const std::string& port_name)
    {
        view.rows.clear();
        view.series.clear();
        view.title.clear();
        begin(port_name);
    }
    bool completed() const { return view.title == kCompleted; }
    // The receive buffer is the one allocated at the start, never past its size.
    void expect_receive_buffer_unchanged() const
    {
        const LinkState& st = session.protocol().state();
        EXPECT_EQ(st.receive.size(), LinkState::kReceiveSize);
        EXPECT_EQ(st.receive.data(), receive_data);
        EXPECT_LE(highest_count, LinkState::kReceiveSize);
    }
    void expect_whole_test(const std::vector<UnitPoint>& pts)
    {
        EXPECT_EQ(view.pts(LinkSeries::LoadCurve), completed_curve_of(pts));
        EXPECT_EQ(view.rows.size(), pts.size());
    }

    RecordingLinkView view;
    LinkSession session{view};
    TempDir dir;
    bool created = false;
    std::uint64_t taken = 0;
    std::uint32_t highest_count = 0;
    const unsigned char* receive_data = nullptr;
};

// The unit goes away in the middle of a response (its program ends, the
// pseudo-terminal is gone): the watchdog drops the half response, the poll
// asks once more into the void, and the watchdog lets go of the port. What
// was shown stays; a unit attached afterwards gets a whole test.
TEST_F(LineFault, UnitVanishingMidResponse)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 300, false);
    ASSERT_EQ(test.curve.points.size(), 300u);
    auto sim = std::make_unique<UnitSimulator>(std::vector<std::string>{
        "--type", "Y", "--file", test.path, "--points", "100", "--slow", "8000", "--slow-at", "2"});
    ASSERT_FALSE(sim->path().empty());

    begin(sim->port_name(), LinkProtocol::kTimer3Interval);
    ASSERT_TRUE(wait_until([&] { return view.rows.size() == 100; }, 10000)) << view.rows.size();
    const std::vector<LinkPoint> shown = view.pts(LinkSeries::LoadCurve);
    ASSERT_TRUE(wait_until([&] { return session.protocol().response_pending(); }, 5000));
    sim.reset();  // the unit's program ends mid-response
    ASSERT_TRUE(wait_until([&] { return !session.CommPortDriver1().Connected(); }, 12000));

    EXPECT_EQ(view.rows.size(), 100u);
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve), shown);
    EXPECT_TRUE(view.title.empty());
    EXPECT_FALSE(session.Timer1().running());
    EXPECT_FALSE(session.Timer2().running());
    EXPECT_FALSE(session.protocol().response_pending());
    // Nothing reopens the port of a vanished unit.
    pump_events(1200);
    EXPECT_FALSE(session.CommPortDriver1().Connected());
    EXPECT_EQ(view.rows.size(), 100u);
    expect_receive_buffer_unchanged();

    UnitSimulator again({"--type", "Y", "--file", test.path, "--points", "100", "--exit-after-v"});
    ASSERT_FALSE(again.path().empty());
    next_run(again.port_name());
    ASSERT_TRUE(wait_until([&] { return completed(); }, 30000)) << "title: " << view.title;
    expect_whole_test(test.curve.points);
}

// A unit that stops answering: the watchdog lets go of the port, the table
// keeps its rows, nothing reopens the port by itself; a new run opens it again.
TEST_F(LineFault, UnitFallingSilentThenTheSamePortOpensAgain)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 300, false);
    UnitSimulator sim(
        {"--type", "Y", "--file", test.path, "--points", "100", "--silent-after", "1"});
    ASSERT_FALSE(sim.path().empty());

    begin(sim.port_name(), LinkProtocol::kTimer3Interval);
    ASSERT_TRUE(wait_until([&] { return view.rows.size() == 100; }, 10000)) << view.rows.size();
    ASSERT_TRUE(wait_until([&] { return !session.CommPortDriver1().Connected(); }, 8000));
    pump_events(1200);
    EXPECT_FALSE(session.CommPortDriver1().Connected());
    EXPECT_EQ(view.rows.size(), 100u);
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve).size(), 100u);
    EXPECT_TRUE(view.title.empty());

    next_run(sim.port_name());
    EXPECT_TRUE(session.CommPortDriver1().Connected());
    EXPECT_TRUE(session.Timer1().running());
    // The silent unit is asked for its type again and again; the port stays open.
    pump_events(2500);
    EXPECT_TRUE(session.CommPortDriver1().Connected());
    EXPECT_EQ(session.protocol().state().last_command, u'Z');
    EXPECT_TRUE(view.rows.empty());
    session.protocol().stop_on_close();
    EXPECT_FALSE(session.CommPortDriver1().Connected());
}

// The line babbles: a 'D' is answered by four receive buffers' worth of the
// characters data is made of, without a single marker. The engine keeps
// what fits and drops the rest, shows nothing of it, and the receive buffer
// stays the one it was given. Closed by the operator, the same unit plays
// its whole test in the next run.
TEST_F(LineFault, LineFloodedWithBytesWithoutMarkers)
{
    constexpr std::uint32_t kFlood = 4 * LinkState::kReceiveSize;
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 300, false);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "100", "--flood-at", "2",
                       "--flood", std::to_string(kFlood), "--exit-after-v"});
    ASSERT_FALSE(sim.path().empty());
    // The port is polled five times as often as the program polls it, so
    // that what a real line would take minutes to deliver passes in seconds.
    session.CommPortDriver1().SetPollingDelay(10);

    begin(sim.port_name());
    ASSERT_TRUE(wait_until([&] { return view.rows.size() == 100; }, 10000)) << view.rows.size();
    const std::vector<LinkPoint> shown = view.pts(LinkSeries::LoadCurve);
    taken = 0;
    ASSERT_TRUE(wait_until([&] { return taken >= kFlood; }, 14000)) << taken;
    EXPECT_EQ(taken, kFlood);

    EXPECT_EQ(view.rows.size(), 100u);
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve), shown);
    EXPECT_TRUE(view.title.empty());
    EXPECT_EQ(highest_count, LinkState::kReceiveSize);  // full, and no further
    expect_receive_buffer_unchanged();
    // No 'P' came: the poll does not ask again, and the port is the
    // watchdog's to let go.
    EXPECT_FALSE(session.Timer2().running());
    EXPECT_TRUE(session.Timer3().running());
    EXPECT_TRUE(session.CommPortDriver1().Connected());

    session.protocol().stop_on_close();
    EXPECT_FALSE(session.CommPortDriver1().Connected());
    next_run(sim.port_name());
    ASSERT_TRUE(wait_until([&] { return completed(); }, 30000)) << "title: " << view.title;
    expect_whole_test(test.curve.points);
    EXPECT_TRUE(wait_until([&] { return sim.exited(); }, 3000));
}

// A response spread over eight seconds, well past the watchdog's three: it
// measures silence, not length, so the response is taken whole.
TEST_F(LineFault, ResponseSpreadOverManySeconds)
{
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 200, false);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "100", "--slow", "8000",
                       "--slow-at", "2", "--exit-after-v"});
    ASSERT_FALSE(sim.path().empty());

    begin(sim.port_name(), LinkProtocol::kTimer3Interval);
    ASSERT_TRUE(wait_until([&] { return view.rows.size() == 100; }, 10000)) << view.rows.size();
    ASSERT_TRUE(wait_until([&] { return session.protocol().response_pending(); }, 5000));
    // Longer than the watchdog's period into the response: still arriving.
    pump_events(LinkProtocol::kTimer3Interval + 1000);
    EXPECT_TRUE(session.CommPortDriver1().Connected());
    EXPECT_TRUE(session.protocol().response_pending());
    EXPECT_EQ(view.rows.size(), 100u);

    ASSERT_TRUE(wait_until([&] { return completed(); }, 20000)) << "title: " << view.title;
    expect_whole_test(test.curve.points);
    expect_receive_buffer_unchanged();
    EXPECT_TRUE(wait_until([&] { return sim.exited(); }, 3000));
}

// Each kind of broken response is dropped without a trace on screen and
// asked for again; the rest of the test arrives, and a second run on the
// same port does the same.
class BrokenResponse : public LineFault, public ::testing::WithParamInterface<const char*> {};

TEST_P(BrokenResponse, IsDroppedAndTheTestGoesOnInEachRun)
{
    const std::string kind = GetParam();
    const PlayedTest test = played_test(dir, tools::SampleKind::Tension, 200, false);
    ASSERT_EQ(test.curve.points.size(), 200u);
    UnitSimulator sim({"--type", "Y", "--file", test.path, "--points", "50", "--malformed", kind,
                       "--malformed-at", "2"});
    ASSERT_FALSE(sim.path().empty());
    // A response without its 'T' cannot be told finished: the watchdog drops it.
    const int watchdog = kind == "no-t" ? LinkProtocol::kTimer3Interval : kPatientWatchdog;

    std::vector<UnitPoint> shown(test.curve.points.begin(), test.curve.points.begin() + 50);
    shown.insert(shown.end(), test.curve.points.begin() + 100, test.curve.points.end());
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run + 1));
        view.rows.clear();
        view.series.clear();
        view.title.clear();
        begin(sim.port_name(), watchdog);
        ASSERT_TRUE(wait_until([&] { return completed(); }, 30000)) << "title: " << view.title;
        expect_whole_test(shown);
        EXPECT_FALSE(session.CommPortDriver1().Connected());
        expect_receive_buffer_unchanged();
    }
}

INSTANTIATE_TEST_SUITE_P(EachKind, BrokenResponse,
                         ::testing::Values("odd-length", "no-t", "t-before-s", "bad-pair",
                                           "count-past-block"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace lekta
