// The link protocol engine against a fake port, fake timers and a fake
// window, fed with responses built the way the unit encodes them.
#include "common/number_text.h"
#include "online/link_protocol.h"
#include "support/recording_link_view.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace lekta {
namespace {

struct FakePort : LinkPort {
    void set_port_name(const std::string& n) override { name = n; }
    std::string port_name() const override { return name; }
    bool connect() override
    {
        ++connects;
        if (connect_result)
            open = true;
        return connect_result;
    }
    void disconnect() override
    {
        ++disconnects;
        open = false;
    }
    bool send_char(char16_t c) override
    {
        sent.push_back(static_cast<char>(c));
        return true;
    }
    std::string name, sent;
    bool open = false, connect_result = true;
    int connects = 0, disconnects = 0;
};

struct FakeTimer : LinkTimer {
    void start(int ms) override
    {
        enabled = true;
        ms_ = ms;
        ++starts;
    }
    void stop() override { enabled = false; }
    bool running() const override { return enabled && ms_ > 0; }
    void set_interval(int ms) override { ms_ = ms; }
    int interval() const override { return ms_; }
    bool enabled = false;
    int ms_ = 1000, starts = 0;
};

using FakeView = testing::RecordingLinkView;

// The unit's encoding: two characters per byte, low nibble first, '0' + n.
std::string encode(const std::vector<std::uint8_t>& bytes)
{
    std::string s;
    for (std::uint8_t b : bytes) {
        s += char('0' + (b & 0x0F));
        s += char('0' + (b >> 4));
    }
    return s;
}

void put32(std::vector<std::uint8_t>& v, std::int32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<std::uint8_t>(std::uint32_t(x) >> (8 * i)));
}

struct Rec {
    std::int32_t f, h, he = LinkProtocol::kNoExtensometer;
};

std::vector<std::uint8_t> block(const std::vector<Rec>& recs)
{
    std::vector<std::uint8_t> b{std::uint8_t(recs.size() & 0xFF), std::uint8_t(recs.size() >> 8)};
    for (const Rec& r : recs) {
        put32(b, r.f);
        put32(b, r.h);
        put32(b, r.he);
    }
    return b;
}

// 'P', 'S', data block, 'T', result block (Ft, and F0.2 for a type Y unit).
std::string response(const std::vector<Rec>& recs, std::int32_t ft = 0, std::int32_t f02 = 0,
                     bool type_y = true)
{
    std::vector<std::uint8_t> r;
    put32(r, ft);
    if (type_y)
        put32(r, f02);
    return "PS" + encode(block(recs)) + "T" + encode(r);
}

class LinkProtocolTest : public ::testing::Test {
protected:
    LinkProtocolTest() : link(std::make_unique<LinkProtocol>(port, t1, t2, t3, view)) {}

    void feed(const std::string& chunk)
    {
        link->CommPortDriver1ReceiveData(reinterpret_cast<const unsigned char*>(chunk.data()),
                                         static_cast<std::uint32_t>(chunk.size()));
    }
    // Window shown, the unit answers 'Y', the retry sends 'D'.
    void identify(const std::string& type = "Y")
    {
        link->FormCreate();
        link->start("\\\\.\\COM5");
        feed(type);
        link->Timer1Timer();
    }
    const LinkState& st() const { return link->state(); }

    testing::ScopedSeparator comma{","};
    FakePort port;
    FakeTimer t1, t2, t3;
    FakeView view;
    std::unique_ptr<LinkProtocol> link;
};

TEST_F(LinkProtocolTest, WorkedExampleOneRecordWithoutExtensometer)
{
    identify();
    ASSERT_EQ(port.sent, "ZD");
    const std::string data = "10004=0300000=700000??????00";
    ASSERT_EQ(data, encode(block({{12500, 2000}})));
    feed("PS" + data + "T" + encode(std::vector<std::uint8_t>(8, 0)));

    EXPECT_EQ(view.labels[1], "F,кН = 12,5");
    EXPECT_EQ(view.labels[2], "H Δ,мм = 2");
    EXPECT_EQ(view.labels.count(3), 0u);
    EXPECT_EQ(view.labels.count(4), 0u);  // Ft = 0 and F0.2 = 0 draw no lines
    EXPECT_EQ(view.labels.count(5), 0u);
    EXPECT_EQ(view.record_count, "1");
    EXPECT_FALSE(view.panel2);
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve), (std::vector<LinkPoint>{{2, 12.5}}));
    EXPECT_TRUE(view.pts(LinkSeries::ExtensometerCurve).empty());
    EXPECT_TRUE(view.pts(LinkSeries::FtLine).empty());
    EXPECT_TRUE(view.pts(LinkSeries::F02Line).empty());
    ASSERT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(view.rows[0].f, "12,5");
    EXPECT_EQ(view.rows[0].h, "2");
    EXPECT_FALSE(view.rows[0].has_he);
    EXPECT_EQ(st().point_row_counter, 1);
    EXPECT_TRUE(t2.running());
    EXPECT_EQ(t2.interval(), 500);
    EXPECT_FALSE(t3.running());
}

TEST_F(LinkProtocolTest, RecordsWithResultsAndExtensometer)
{
    identify();
    view.axes[1].bottom_min = 0.1;
    // F = -5 shows as 0; the panel follows the last record; Label3 keeps the
    // last extensometer reading.
    feed(response({{-5, 1000, 25}, {3000, 2000, 50}, {4000, 3000}}, 1500, 2500));
    EXPECT_FALSE(view.panel2);
    EXPECT_EQ(view.rows[0].f, "0");
    EXPECT_EQ(view.rows[1].he, "0,005");
    EXPECT_EQ(view.labels[1], "F,кН = 4");
    EXPECT_EQ(view.labels[3], "H Δe,мм = 0,005");
    EXPECT_EQ(view.labels[4], "Ft,кН = 1,5");
    EXPECT_EQ(view.labels[5], "F0.2,кН = 2,5");
    EXPECT_EQ(view.pts(LinkSeries::ExtensometerCurve),
              (std::vector<LinkPoint>{{0.0025, 0}, {0.005, 3}}));
    // Both result lines from the chart's bottom minimum to the curve's largest X.
    EXPECT_EQ(view.pts(LinkSeries::FtLine), (std::vector<LinkPoint>{{0, 1.5}, {3, 1.5}}));
    EXPECT_EQ(view.pts(LinkSeries::F02Line), (std::vector<LinkPoint>{{0.1, 2.5}, {0.005, 2.5}}));
    // One call per series and one for the rows.
    EXPECT_EQ(view.add_calls[LinkSeries::LoadCurve], 1);
    EXPECT_EQ(view.row_calls, 1);

    // The next response's points follow; an extensometer reading shows the panel.
    link->Timer2Timer();
    feed(response({{5000, 4000, 60}}, 1500, 0));
    EXPECT_TRUE(view.panel2);
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve).size(), 4u);
    EXPECT_EQ(view.pts(LinkSeries::FtLine).size(), 4u);
    EXPECT_EQ(view.pts(LinkSeries::F02Line).size(), 2u);  // F0.2 = 0 adds nothing
    EXPECT_EQ(st().point_row_counter, 4);
}

TEST_F(LinkProtocolTest, NoRecordsChangesOnlyTheCount)
{
    identify();
    feed(response({}, 1500, 2500));
    EXPECT_EQ(view.record_count, "0");
    EXPECT_TRUE(view.labels.empty());
    EXPECT_TRUE(view.series.empty());
    EXPECT_EQ(view.axis_sets, 0);
    EXPECT_TRUE(t2.running());
}

TEST_F(LinkProtocolTest, AxisRescaling)
{
    identify();
    feed(response({{10000, 10000}, {20000, 40000}}));
    EXPECT_TRUE(view.axes[0].manual);
    EXPECT_EQ(view.axes[0].bottom_max, 50);  // below 50 mm the maximum stays
    EXPECT_DOUBLE_EQ(view.axes[0].left_max, 21);
    EXPECT_DOUBLE_EQ(view.axes[0].bottom_min, 9.5);
    EXPECT_DOUBLE_EQ(view.axes[0].left_min, 10 - 1);  // margin from the largest Y
    // An empty extensometer curve: left 0 … 1, bottom minimum 0.
    EXPECT_EQ(view.axes[1].left_max, 1);
    EXPECT_EQ(view.axes[1].left_min, 0);
    EXPECT_EQ(view.axes[1].bottom_min, 0);

    link->Timer2Timer();
    feed(response({{5000, 60000, 20000}}));
    EXPECT_DOUBLE_EQ(view.axes[0].bottom_max, 63);
    EXPECT_DOUBLE_EQ(view.axes[0].left_min, 5 - 1);
    EXPECT_DOUBLE_EQ(view.axes[1].bottom_max, 2.1);
    EXPECT_DOUBLE_EQ(view.axes[1].left_max, 5.25);
    EXPECT_EQ(view.axes[1].bottom_min, 0);  // a single point: largest X is not above smallest X
    EXPECT_DOUBLE_EQ(view.axes[1].left_min, 5 - 0.25);

    // The smallest X decides whether the left minimum leaves zero, not the smallest Y.
    link->Timer2Timer();
    feed(response({{1000, 0}}));
    EXPECT_EQ(view.axes[0].left_min, 0);
    EXPECT_EQ(view.axes[0].bottom_min, 0);
}

// Extensometer readings all below zero get the mirror of the range above
// zero; a single one ends at zero. The minimum is lowered before the maximum.
TEST_F(LinkProtocolTest, ExtensometerReadingsBelowZeroGetARangeBelowZero)
{
    identify();
    feed(response({{5000, 1000, -6}}));
    EXPECT_DOUBLE_EQ(view.axes[1].bottom_min, -0.0006 * 1.05);
    EXPECT_EQ(view.axes[1].bottom_max, 0);
    link->Timer2Timer();
    feed(response({{6000, 1200, -5}}));
    EXPECT_DOUBLE_EQ(view.axes[1].bottom_min, -0.0006 * 1.05);
    EXPECT_DOUBLE_EQ(view.axes[1].bottom_max, -0.0005 * 0.95);
    EXPECT_DOUBLE_EQ(view.axes[1].left_max, 6.3);
    EXPECT_EQ(view.axes[1].left_min, 0);
}

TEST_F(LinkProtocolTest, TypeZLatchWinsAndKeepsTheOlderF02)
{
    identify();
    feed(response({{1000, 1000}}, 2000, 3000));
    EXPECT_EQ(st().F02, 3000);
    link->Timer2Timer();
    feed("Z");  // a type Z reply seen once: 4-byte result blocks from now on
    EXPECT_TRUE(st().type_z_latch && st().type_y_latch);
    feed(response({{1000, 1000}}, 4000, 0, false));
    EXPECT_EQ(st().Ft, 4000);
    EXPECT_EQ(st().F02, 3000);
    EXPECT_EQ(view.labels[5], "F0.2,кН = 3");
}

TEST_F(LinkProtocolTest, IdentificationRetry)
{
    link->start("\\\\.\\COM5");
    EXPECT_EQ(port.name, "\\\\.\\COM5");
    EXPECT_EQ(port.sent, "Z");
    EXPECT_TRUE(t1.running());
    EXPECT_EQ(t1.interval(), 1000);

    link->Timer1Timer();  // silence: reopen and ask again
    EXPECT_EQ(port.sent, "ZZ");
    EXPECT_EQ(port.disconnects, 1);
    EXPECT_EQ(port.connects, 2);
    EXPECT_TRUE(t1.running());

    feed("Z");  // a type Z unit is asked 'Z' again
    link->Timer1Timer();
    EXPECT_EQ(port.sent, "ZZZ");
    EXPECT_FALSE(view.panel2);

    feed("Y");
    EXPECT_TRUE(view.panel2);
    feed("0");  // the 'Y' must be in the most recent chunk
    link->Timer1Timer();
    EXPECT_EQ(port.sent, "ZZZZ");

    feed("Y");
    link->Timer1Timer();
    EXPECT_EQ(port.sent, "ZZZZD");
    EXPECT_EQ(st().last_command, u'D');
    EXPECT_FALSE(t1.running());
}

// The watchdog runs from the window's creation; the identification's 'D'
// restarts it, so its first tick comes 3 s after the 'D', not at a moment
// set by when the window was created (between the 'D' and the answer's
// first byte it would let go of the port and end the test unseen).
TEST_F(LinkProtocolTest, DataRequestAfterIdentificationRestartsTheWatchdog)
{
    link->FormCreate();
    ASSERT_EQ(t3.starts, 1);
    link->start("COM1");
    feed("Y");
    link->Timer1Timer();
    ASSERT_EQ(port.sent, "ZD");
    EXPECT_EQ(t3.starts, 2);
    EXPECT_TRUE(t3.running());
    EXPECT_EQ(t3.interval(), 3000);
    // A unit that never answers the 'D' is let go 3 s later, as after a poll's 'D'.
    link->Timer3Timer();
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(t3.running());
}

// Fifteen retries without a byte from the unit: the window is told once,
// the port is let go and nothing more is sent. Anything received starts the
// count afresh, so a type Z unit is asked for ever.
TEST_F(LinkProtocolTest, SilentUnitIsGivenUpAfterFifteenRetries)
{
    link->start("COM1");
    for (int i = 0; i < 10; ++i)
        link->Timer1Timer();
    feed("Z");
    for (int i = 0; i < 14; ++i)
        link->Timer1Timer();
    EXPECT_EQ(view.not_found, 0);
    EXPECT_EQ(port.sent, std::string(25, 'Z'));
    EXPECT_TRUE(t1.running());

    link->Timer1Timer();
    EXPECT_EQ(view.not_found, 1);
    EXPECT_EQ(port.sent, std::string(25, 'Z'));
    EXPECT_FALSE(t1.running());
    EXPECT_FALSE(port.open);

    // The next show counts afresh.
    link->start("COM1");
    for (int i = 0; i < 14; ++i)
        link->Timer1Timer();
    EXPECT_EQ(view.not_found, 1);
}

TEST_F(LinkProtocolTest, LatestMarkerInAChunkDecides)
{
    link->start("COM1");
    feed("PZ");
    EXPECT_FALSE(st().p_in_chunk);
    feed("ZP");
    EXPECT_TRUE(st().p_in_chunk);
    EXPECT_FALSE(st().z_in_chunk);
    feed("0");
    EXPECT_FALSE(st().p_in_chunk);  // during identification only the latest chunk counts
}

TEST_F(LinkProtocolTest, ChunkWhileIdentifyingIsNeverProcessed)
{
    link->start("COM1");
    feed("Y" + response({{1000, 1000}}));
    EXPECT_FALSE(t1.running());  // the 'S' stops the retry
    EXPECT_TRUE(view.record_count.empty());
    EXPECT_TRUE(view.series.empty());
}

TEST_F(LinkProtocolTest, EndMidChunk)
{
    identify();
    const std::string r = response({{1000, 1000}});
    feed(r.substr(0, 10) + "E" + r.substr(10));
    EXPECT_EQ(view.title, "Испытание закончено!");
    EXPECT_EQ(st().received_count, 0u);
    EXPECT_TRUE(view.record_count.empty());
    EXPECT_TRUE(view.series.empty());
}

// An 'E' that cuts a response short ends the dialogue: the watchdog must not
// take the half-received response for one to ask again, and nothing the
// unit sends afterwards brings the dialogue back.
TEST_F(LinkProtocolTest, EndInsideAResponseIsTheLastWord)
{
    identify();
    feed(response({{1000, 1000}}, 1500, 2500));
    link->Timer2Timer();
    ASSERT_EQ(port.sent, "ZDD");
    const std::string r = response({{2000, 2000}}, 1500, 2500);
    feed(r.substr(0, 12));
    feed("E");
    EXPECT_FALSE(link->response_pending());
    EXPECT_TRUE(port.open);  // the port stays open until a running timer lets it go
    for (int tick = 0; tick < 3; ++tick) {
        if (t3.running())
            link->Timer3Timer();
        if (t2.running())
            link->Timer2Timer();
    }
    EXPECT_EQ(port.sent, "ZDD");
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(t2.running());
    EXPECT_FALSE(t3.running());

    // A unit that talks on regardless changes nothing.
    port.connect();
    feed(response({{3000, 3000}}, 1500, 2500) + "V");
    link->Timer2Timer();
    EXPECT_EQ(view.title, "Испытание закончено!");
    EXPECT_EQ(view.rows.size(), 1u);
    EXPECT_EQ(port.sent, "ZDD");

    // The next show starts afresh.
    link->start("COM5");
    feed("Y");
    link->Timer1Timer();
    feed(response({{4000, 4000}}));
    EXPECT_EQ(view.rows.size(), 2u);
}

// An 'E' between a shown response and the next poll: the poll lets go of
// the port instead of sending 'D'.
TEST_F(LinkProtocolTest, EndBeforeThePollStopsIt)
{
    identify();
    feed(response({{1000, 1000}}, 1500, 2500));
    ASSERT_TRUE(t2.running());
    feed("E");
    link->Timer2Timer();
    EXPECT_EQ(port.sent, "ZD");
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(t2.running());
    EXPECT_EQ(view.title, "Испытание закончено!");
    EXPECT_EQ(view.lost, 0);
}

TEST_F(LinkProtocolTest, Poll)
{
    identify();
    feed(response({{7000, 3000}}, 1000));
    link->Timer2Timer();  // no 'V': ask again
    EXPECT_EQ(port.sent, "ZDD");
    EXPECT_FALSE(t2.running());
    EXPECT_TRUE(t3.running());
    EXPECT_EQ(t3.interval(), 3000);
    EXPECT_EQ(st().received_count, 0u);
    EXPECT_FALSE(st().p_in_chunk);

    feed(response({{8000, 4000}}, 1000) + "V");
    link->Timer2Timer();
    EXPECT_EQ(view.title, "Испытание завершено !!!");
    EXPECT_FALSE(port.open);
    EXPECT_EQ(port.sent, "ZDD");
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve).back(), (LinkPoint{4, 0}));
    EXPECT_EQ(view.pts(LinkSeries::FtLine).back(), (LinkPoint{50, 1}));
    EXPECT_TRUE(t2.running());
    link->Timer2Timer();  // nothing came since: the poll stops
    EXPECT_FALSE(t2.running());
    EXPECT_EQ(view.lost, 0) << "a completed test is no lost link";
}

TEST_F(LinkProtocolTest, PollWithoutAnswerClosesThePort)
{
    identify();
    feed("Y" + response({{1000, 1000}}).substr(1));  // a bare 'Y' reply carries no 'P'
    EXPECT_TRUE(t2.running());
    link->Timer2Timer();
    EXPECT_FALSE(t2.running());
    EXPECT_FALSE(port.open);
    EXPECT_EQ(port.sent, "ZD");
    // The window is told, once, and keeps the rows it has.
    EXPECT_EQ(view.lost, 1);
    EXPECT_EQ(view.rows.size(), 1u);
    link->Timer3Timer();
    EXPECT_EQ(view.lost, 1);
}

TEST_F(LinkProtocolTest, Watchdog)
{
    link->FormCreate();
    EXPECT_TRUE(t3.running());
    port.connect_result = false;
    link->Timer3Timer();  // the port does not open: keep trying
    EXPECT_TRUE(t3.running());
    port.connect_result = true;
    link->Timer3Timer();
    EXPECT_FALSE(t3.running());
    EXPECT_FALSE(port.open);
    EXPECT_EQ(view.lost, 0) << "no dialogue yet";

    identify();
    feed(response({{1000, 1000}}));
    link->Timer2Timer();
    feed("P");  // the unit answers: the watchdog waits
    link->Timer3Timer();
    EXPECT_TRUE(t3.running());
    EXPECT_TRUE(port.open);
    link->Timer2Timer();
    link->Timer3Timer();  // silence after the 'D'
    EXPECT_FALSE(t3.running());
    EXPECT_FALSE(port.open);
    EXPECT_EQ(view.lost, 1);
}

// A response spread over chunks is processed once, when its result block is
// whole, and the poll still sees its 'P'.
TEST_F(LinkProtocolTest, SplitResponse)
{
    identify();
    feed("P");
    const std::string r = response({{1000, 1000}, {2000, 2000}}, 1500, 2500).substr(1);
    feed(r.substr(0, 20));
    feed(r.substr(20, r.size() - 20 - 6));  // the 'T' and 10 of the 16 result characters
    EXPECT_TRUE(view.record_count.empty());
    EXPECT_TRUE(link->response_pending());
    feed(r.substr(r.size() - 6));
    EXPECT_EQ(view.record_count, "2");
    EXPECT_EQ(view.labels[5], "F0.2,кН = 2,5");
    feed("V");  // trailing bytes after the processed response
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve).size(), 2u);
    link->Timer2Timer();
    EXPECT_EQ(view.title, "Испытание завершено !!!");
}

TEST_F(LinkProtocolTest, LargestResponseInPollSizedChunks)
{
    identify();
    std::vector<Rec> recs;
    for (int k = 0; k < 5461; ++k)
        recs.push_back({k * 10, k * 5, k});
    const std::string r = response(recs, 1000, 2000);
    for (std::size_t p = 0; p < r.size(); p += 288) {
        const int starts = t3.starts;
        feed(r.substr(p, 288));
        if (p + 288 < r.size()) {
            ASSERT_TRUE(view.record_count.empty());
            ASSERT_GT(t3.starts, starts);  // the watchdog measures silence within the response
        }
    }
    EXPECT_EQ(view.record_count, "5461");
    EXPECT_EQ(view.add_calls[LinkSeries::LoadCurve], 1);
    EXPECT_EQ(view.pts(LinkSeries::LoadCurve).size(), 5461u);
    EXPECT_DOUBLE_EQ(view.pts(LinkSeries::ExtensometerCurve).back().x, 0.546);
    EXPECT_DOUBLE_EQ(view.pts(LinkSeries::ExtensometerCurve).back().y, 54.6);
    EXPECT_EQ(view.rows.size(), 5461u);
    link->Timer2Timer();
    EXPECT_EQ(port.sent, "ZDD");
}

struct Malformed {
    const char* name;
    std::string text;
};

class LinkProtocolMalformed : public LinkProtocolTest, public ::testing::WithParamInterface<int> {};

std::vector<Malformed> malformed_responses()
{
    const std::string good = response({{1000, 1000}}, 1500, 2500);
    const auto t = good.find('T');
    std::string bad_pair = good;
    bad_pair[3] = '/';  // low nibble -1 of a zero high nibble
    std::vector<std::uint8_t> over = block({{1000, 1000}});
    over[0] = 2;
    return {
        {"odd length", good.substr(0, t - 1) + good.substr(t)},
        {"no T", good.substr(0, t) + good.substr(t + 1)},
        {"T before S", "PT" + good.substr(t + 1) + "S" + good.substr(2, t - 2)},
        {"pair outside 0..255", bad_pair},
        {"count past block", "PS" + encode(over) + good.substr(t)},
    };
}

TEST_P(LinkProtocolMalformed, IsDroppedAndTheDialogueGoesOn)
{
    const Malformed m = malformed_responses()[GetParam()];
    SCOPED_TRACE(m.name);
    identify();
    feed(response({{2000, 3000}}, 1000, 2000));
    link->Timer2Timer();
    const FakeView before = view;
    const LinkState old = st();

    feed(m.text);
    if (link->response_pending())  // waits for a 'T' that never comes
        link->Timer3Timer();
    EXPECT_EQ(view.record_count, before.record_count);
    EXPECT_EQ(view.labels, before.labels);
    EXPECT_EQ(view.series, before.series);
    EXPECT_EQ(view.rows.size(), before.rows.size());
    EXPECT_EQ(st().data_block, old.data_block);
    EXPECT_EQ(st().result_area, old.result_area);
    EXPECT_EQ(st().F, old.F);
    EXPECT_TRUE(t2.running());
    EXPECT_FALSE(t3.running());

    link->Timer2Timer();
    EXPECT_EQ(port.sent, "ZDDD");
    feed(response({{4000, 5000}}));
    EXPECT_EQ(view.labels[1], "F,кН = 4");
}

INSTANTIATE_TEST_SUITE_P(Kinds, LinkProtocolMalformed, ::testing::Range(0, 5));

TEST_F(LinkProtocolTest, OverflowKeepsWhatFitsUntilAReset)
{
    identify();
    feed(response({{1000, 1000}}));
    link->Timer2Timer();
    feed("P");
    const std::string zeros(100000, '0');
    for (int i = 0; i < 3; ++i)
        feed(zeros);
    EXPECT_EQ(st().received_count, LinkState::kReceiveSize);
    EXPECT_EQ(st().receive.size(), LinkState::kReceiveSize);
    feed("S");  // no room for the data block: the response is dropped
    EXPECT_FALSE(link->response_pending());
    EXPECT_EQ(view.record_count, "1");
    EXPECT_TRUE(t2.running());

    link->Timer2Timer();  // the next 'D' makes room again
    EXPECT_EQ(st().received_count, 0u);
    feed(response({{4000, 5000}}));
    EXPECT_EQ(view.labels[1], "F,кН = 4");
}

// The point table's texts are written from the integers; they must read
// exactly as the general number format writes the quotients.
TEST(LinkScaledText, MatchesNumberText)
{
    std::vector<std::int32_t> values{0,
                                     1,
                                     -1,
                                     9,
                                     10,
                                     999,
                                     1000,
                                     1001,
                                     12500,
                                     -12500,
                                     100000,
                                     2147483647,
                                     -2147483647 - 1,
                                     0x00FFFFFF};
    for (std::int64_t v = -30011; v <= 30011; v += 7)
        values.push_back(std::int32_t(v));
    for (const char* sep : {",", "."}) {
        testing::ScopedSeparator scoped(sep);
        for (std::int32_t v : values) {
            EXPECT_EQ(scaled_text(v, 3), number_text(static_cast<long double>(v) / 1000)) << v;
            EXPECT_EQ(scaled_text(v, 4), number_text(static_cast<long double>(v) / 10000)) << v;
        }
    }
}

TEST_F(LinkProtocolTest, StopSteps)
{
    identify();
    feed("PS");
    link->stop_on_exit();
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(link->response_pending());
    link->start("COM2");
    link->stop_on_close();
    EXPECT_EQ(port.name, "COM2");
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(t1.running());
    EXPECT_FALSE(t2.running());
}

}  // namespace
}  // namespace lekta
