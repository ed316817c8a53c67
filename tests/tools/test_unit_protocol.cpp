// The simulated unit's side of the link: encoding, response layout, broken
// responses, the session's answers, and the curves it plays.
#include "lib/pseudo_terminal.h"
#include "lib/unit_curve.h"
#include "lib/unit_protocol.h"
#include "support/bmd_bytes.h"
#include "support/test_support.h"

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace lekta::tools;

namespace {

// Reads a response the way the workstation does: the data block between the
// first 'S' and the first 'T', the result block after the 'T'.
struct Decoded {
    std::vector<int> data;  // pair values, unchecked
    std::vector<int> result;
    bool last = false;
};

int pair_value(char lo, char hi)
{
    return (hi - '0') * 16 + (lo - '0');
}

std::optional<Decoded> decode(const std::string& r, std::size_t result_bytes)
{
    const auto s = r.find('S'), t = r.find('T');
    if (s == std::string::npos || t == std::string::npos || t < s || (t - s - 1) % 2 != 0)
        return std::nullopt;
    Decoded d;
    for (std::size_t i = s + 1; i + 1 < t; i += 2)
        d.data.push_back(pair_value(r[i], r[i + 1]));
    if (t + 2 * result_bytes >= r.size() + 1)
        return std::nullopt;
    for (std::size_t k = 0; k < result_bytes; ++k)
        d.result.push_back(pair_value(r[t + 1 + 2 * k], r[t + 2 + 2 * k]));
    d.last = r.find('V') != std::string::npos;
    return d;
}

std::int32_t i32(const std::vector<int>& b, std::size_t o)
{
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b[o]) | static_cast<std::uint32_t>(b[o + 1]) << 8 |
        static_cast<std::uint32_t>(b[o + 2]) << 16 | static_cast<std::uint32_t>(b[o + 3]) << 24);
}

std::vector<UnitPoint> points_of(const Decoded& d)
{
    std::vector<UnitPoint> out;
    const int n = d.data[0] + 256 * d.data[1];
    for (int k = 0; k < n; ++k)
        out.push_back({i32(d.data, 2 + 12 * k), i32(d.data, 6 + 12 * k), i32(d.data, 10 + 12 * k)});
    return out;
}

UnitCurve small_curve(std::size_t n)
{
    UnitCurve c;
    for (std::size_t i = 0; i < n; ++i)
        c.points.push_back({static_cast<std::int32_t>(1000 * i), static_cast<std::int32_t>(10 * i),
                            static_cast<std::int32_t>(i)});
    c.yield_load = 4000;
    c.yield_index = 3;
    c.proof_load = 6000;
    c.proof_index = 6;
    return c;
}

}  // namespace

TEST(UnitEncoding, OneRecordWithoutExtensometerAsTheUnitSendsIt)
{
    const std::vector<UnitPoint> one{{12500, 2000, kNoExtensometer}};
    const std::vector<std::uint8_t> block = data_block(one);
    EXPECT_EQ(block, (std::vector<std::uint8_t>{0x01, 0x00, 0xD4, 0x30, 0x00, 0x00, 0xD0, 0x07,
                                                0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00}));
    EXPECT_EQ(encode_bytes(block), "10"
                                   "00"
                                   "4="
                                   "03"
                                   "00"
                                   "00"
                                   "0="
                                   "70"
                                   "00"
                                   "00"
                                   "??"
                                   "??"
                                   "??"
                                   "00");
    // Low nibble first, every nibble '0' + n.
    EXPECT_EQ(encode_bytes({0xF0, 0x0F, 0xA5}), "0??05:");
}

TEST(UnitEncoding, NegativeValuesAreTwosComplement)
{
    const auto d = decode(data_response(UnitType::Z, {{-5, -1, 0}}, -7, 0, false), 4);
    ASSERT_TRUE(d);
    EXPECT_EQ(points_of(*d)[0].f, -5);
    EXPECT_EQ(points_of(*d)[0].h, -1);
    EXPECT_EQ(i32(d->result, 0), -7);
}

TEST(UnitResponse, LayoutForBothUnitTypes)
{
    const std::vector<UnitPoint> pts{{100, 20, 3}, {200, 40, kNoExtensometer}};
    const std::string y = data_response(UnitType::Y, pts, 150000, 140000, false);
    ASSERT_EQ(y.substr(0, 2), "PS");
    const auto t = y.find('T');
    EXPECT_EQ(t, 2 + 2 * (2 + 24));
    EXPECT_EQ(y.size(), t + 1 + 16);  // Ft and F0.2, no 'V'
    const auto dy = decode(y, 8);
    ASSERT_TRUE(dy);
    EXPECT_EQ(points_of(*dy), pts);
    EXPECT_EQ(i32(dy->result, 0), 150000);
    EXPECT_EQ(i32(dy->result, 4), 140000);
    EXPECT_FALSE(dy->last);

    const std::string z = data_response(UnitType::Z, pts, 150000, 140000, true);
    EXPECT_EQ(z.size(), z.find('T') + 1 + 8 + 1);  // Ft only, then 'V'
    EXPECT_EQ(z.back(), 'V');
    const auto dz = decode(z, 4);
    ASSERT_TRUE(dz);
    EXPECT_EQ(i32(dz->result, 0), 150000);
    EXPECT_TRUE(dz->last);

    // Data characters never look like a marker.
    for (std::size_t i = 2; i < y.find('T'); ++i)
        EXPECT_TRUE(y[i] >= '0' && y[i] <= '?') << i;

    // An empty response still carries its count.
    const auto empty = decode(data_response(UnitType::Y, {}, 0, 0, true), 8);
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->data, (std::vector<int>{0, 0}));
}

TEST(UnitResponse, EachMalformationBreaksTheResponseAsNamed)
{
    const std::vector<UnitPoint> pts{{12500, 2000, kNoExtensometer},
                                     {13000, 2100, kNoExtensometer}};
    const std::string good = data_response(UnitType::Y, pts, 0, 0, false);

    const std::string odd = data_response(UnitType::Y, pts, 0, 0, false, Malformation::OddLength);
    ASSERT_NE(odd.find('T'), std::string::npos);
    EXPECT_EQ((odd.find('T') - odd.find('S') - 1) % 2, 1u);

    const std::string no_t = data_response(UnitType::Y, pts, 0, 0, false, Malformation::NoT);
    EXPECT_EQ(no_t.find('T'), std::string::npos);
    EXPECT_NE(no_t.find('S'), std::string::npos);

    const std::string t_first = data_response(UnitType::Y, pts, 0, 0, false,
                                              Malformation::TBeforeS);
    ASSERT_NE(t_first.find('S'), std::string::npos);
    EXPECT_LT(t_first.find('T'), t_first.find('S'));
    EXPECT_EQ(t_first.size(), good.size());

    const std::string bad = data_response(UnitType::Y, pts, 0, 0, false, Malformation::BadPair);
    const auto db = decode(bad, 8);
    ASSERT_TRUE(db);
    int outside = 0;
    for (int v : db->data)
        outside += v < 0 || v > 255;
    EXPECT_EQ(outside, 1);

    const auto dc = decode(
        data_response(UnitType::Y, pts, 0, 0, false, Malformation::CountPastBlock), 8);
    ASSERT_TRUE(dc);
    const std::size_t n = static_cast<std::size_t>(dc->data[0] + 256 * dc->data[1]);
    EXPECT_EQ(n, 3u);
    EXPECT_GT(2 + 12 * n, dc->data.size());

    EXPECT_EQ(parse_malformation("odd-length"), Malformation::OddLength);
    EXPECT_EQ(parse_malformation("no-t"), Malformation::NoT);
    EXPECT_EQ(parse_malformation("t-before-s"), Malformation::TBeforeS);
    EXPECT_EQ(parse_malformation("bad-pair"), Malformation::BadPair);
    EXPECT_EQ(parse_malformation("count-past-block"), Malformation::CountPastBlock);
    EXPECT_FALSE(parse_malformation("odd"));
}

TEST(UnitSessionTest, PlaysTheCurveInSlicesAndReportsLoadsOncePassed)
{
    UnitOptions o;
    o.points_per_response = 3;
    UnitSession s(small_curve(8), o);
    EXPECT_EQ(s.on_byte('Z').writes, std::vector<std::string>{"Y"});
    EXPECT_TRUE(s.on_byte('x').writes.empty());

    std::vector<UnitPoint> all;
    std::vector<std::pair<std::int32_t, std::int32_t>> loads;
    std::vector<bool> lasts;
    for (int i = 0; i < 3; ++i) {
        const UnitReply r = s.on_byte('D');
        ASSERT_EQ(r.writes.size(), 1u);
        const auto d = decode(r.writes[0], 8);
        ASSERT_TRUE(d);
        for (const UnitPoint& p : points_of(*d))
            all.push_back(p);
        loads.emplace_back(i32(d->result, 0), i32(d->result, 4));
        lasts.push_back(d->last);
        EXPECT_FALSE(r.finished);  // not asked to exit
    }
    EXPECT_EQ(all, small_curve(8).points);
    // A load is known only once its own point has gone out: the yield point (3)
    // with the second slice, the proof point (6) with the third.
    EXPECT_EQ(loads, (std::vector<std::pair<std::int32_t, std::int32_t>>{
                         {0, 0}, {4000, 0}, {4000, 6000}}));
    EXPECT_EQ(lasts, (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(s.completed());

    // A later 'D' finds nothing new but still says the test is complete.
    const auto after = decode(s.on_byte('D').writes.at(0), 8);
    ASSERT_TRUE(after);
    EXPECT_TRUE(points_of(*after).empty());
    EXPECT_TRUE(after->last);

    // A new online run ('Z' after data) plays the test again from the start.
    s.on_byte('Z');
    const auto again = decode(s.on_byte('D').writes.at(0), 8);
    ASSERT_TRUE(again);
    EXPECT_EQ(points_of(*again).at(0), small_curve(8).points[0]);
    EXPECT_EQ(s.responses(), 1);
}

TEST(UnitSessionTest, TypeZSendsOnlyFt)
{
    UnitOptions o;
    o.type = UnitType::Z;
    o.points_per_response = 100;
    UnitSession s(small_curve(8), o);
    EXPECT_EQ(s.on_byte('Z').writes, std::vector<std::string>{"Z"});
    const std::string r = s.on_byte('D').writes.at(0);
    EXPECT_EQ(r.size(), r.find('T') + 1 + 8 + 1);
    EXPECT_EQ(i32(decode(r, 4)->result, 0), 4000);
}

TEST(UnitSessionTest, FailureModes)
{
    UnitOptions silent;
    silent.silent_after = 2;
    silent.points_per_response = 1;
    UnitSession a(small_curve(8), silent);
    EXPECT_FALSE(a.on_byte('D').writes.empty());
    EXPECT_FALSE(a.on_byte('D').writes.empty());
    EXPECT_TRUE(a.on_byte('D').writes.empty());
    EXPECT_TRUE(a.on_byte('Z').writes.empty());

    UnitOptions ends;
    ends.end_after = 1;
    UnitSession b(small_curve(8), ends);
    EXPECT_EQ(b.on_byte('D').writes.at(0).front(), 'P');
    EXPECT_EQ(b.on_byte('D').writes, std::vector<std::string>{"E"});
    EXPECT_EQ(b.on_byte('D').writes, std::vector<std::string>{"E"});

    UnitOptions broken;
    broken.malformed = Malformation::NoT;
    broken.malformed_at = 2;
    broken.points_per_response = 1;
    UnitSession c(small_curve(8), broken);
    EXPECT_NE(c.on_byte('D').writes.at(0).find('T'), std::string::npos);
    EXPECT_EQ(c.on_byte('D').writes.at(0).find('T'), std::string::npos);
    EXPECT_NE(c.on_byte('D').writes.at(0).find('T'), std::string::npos);

    UnitOptions split;
    split.split = true;
    split.exit_after_v = true;
    split.points_per_response = 8;
    UnitSession d(small_curve(8), split);
    UnitSession whole(small_curve(8), UnitOptions{.points_per_response = 8});
    const UnitReply r = d.on_byte('D');
    ASSERT_EQ(r.writes.size(), 2u);
    EXPECT_FALSE(r.writes[0].empty());
    EXPECT_FALSE(r.writes[1].empty());
    EXPECT_EQ(r.writes[0] + r.writes[1], whole.on_byte('D').writes.at(0));
    EXPECT_TRUE(r.finished);

    // A flood answers one 'D', once in the unit's life (not again after a
    // restart), with no marker in it and no point used up.
    UnitOptions flood;
    flood.flood_at = 2;
    flood.flood_bytes = 300000;
    flood.points_per_response = 4;
    UnitSession f(small_curve(8), flood);
    UnitSession plain(small_curve(8), UnitOptions{.points_per_response = 4});
    EXPECT_EQ(f.on_byte('D').writes, plain.on_byte('D').writes);
    const UnitReply babble = f.on_byte('D');
    ASSERT_EQ(babble.writes.size(), 1u);
    EXPECT_EQ(babble.writes[0].size(), 300000u);
    EXPECT_EQ(babble.writes[0].find_first_not_of("0123456789:;<=>?"), std::string::npos);
    EXPECT_EQ(f.on_byte('D').writes, plain.on_byte('D').writes);
    f.on_byte('Z');
    plain.on_byte('Z');
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(f.on_byte('D').writes, plain.on_byte('D').writes) << i;

    // A slow response: the same text in pieces, the pauses adding up to the time asked.
    UnitOptions slow;
    slow.slow_ms = 5000;
    slow.slow_at = 2;
    slow.points_per_response = 4;
    UnitSession g(small_curve(8), slow);
    UnitSession same(small_curve(8), UnitOptions{.points_per_response = 4});
    EXPECT_EQ(g.on_byte('D').writes.size(), 1u);
    same.on_byte('D');
    const UnitReply pieces = g.on_byte('D');
    ASSERT_EQ(pieces.writes.size(), 20u);
    std::string joined;
    for (const std::string& w : pieces.writes)
        joined += w;
    EXPECT_EQ(joined, same.on_byte('D').writes.at(0));
    EXPECT_NEAR(pieces.pause_ms * 19, 5000, 19);
}

TEST(UnitCurves, SyntheticTestLooksLikeATensileTest)
{
    for (bool ext : {false, true}) {
        const UnitCurve c = synthetic_curve(ext);
        ASSERT_GE(c.points.size(), 200u);
        EXPECT_EQ(c.points.front().f, 0);
        std::int32_t fmax = 0;
        std::size_t imax = 0, with_ext = 0;
        bool ext_ended = false;
        for (std::size_t i = 0; i < c.points.size(); ++i) {
            const UnitPoint& p = c.points[i];
            EXPECT_GE(p.f, 0);
            if (i > 0) {
                EXPECT_GE(p.h, c.points[i - 1].h) << i;
            }
            if (p.f > fmax) {
                fmax = p.f;
                imax = i;
            }
            if (p.he != kNoExtensometer) {
                EXPECT_FALSE(ext_ended) << "readings come back after the extensometer was removed";
                ++with_ext;
            } else {
                ext_ended = true;
            }
        }
        // Hardening beyond the yield, then necking down to the break.
        EXPECT_GT(fmax, c.yield_load * 11 / 10);
        EXPECT_LT(imax, c.points.size() - 10);
        EXPECT_LT(c.points.back().f, fmax / 2);
        ASSERT_GT(c.yield_load, 0);
        EXPECT_LT(c.yield_index, imax);
        if (ext) {
            EXPECT_GT(with_ext, 20u);
            EXPECT_LT(with_ext, c.points.size() / 2);
            EXPECT_GT(c.proof_load, 0);
            EXPECT_GT(c.proof_index, 0u);
            EXPECT_LT(c.proof_index, with_ext);
        } else {
            EXPECT_EQ(with_ext, 0u);
            EXPECT_EQ(c.proof_load, 0);
        }
    }
}

TEST(UnitCurves, FromATestFileOfEitherLayout)
{
    lekta::testing::TempDir dir;
    lekta::testing::RawTest ext;
    ext.mode = 2;
    ext.points = {{0, 0, 0}, {50000, 800, 300}, {90000, 1500, 700}, {70000, 2000, 900}};
    ext.yield_load = 60000;
    ext.proof_load = 85000;
    lekta::testing::write_file(dir.file("e.bmd"), ext.bytes());

    const UnitCurve y = curve_from_file(dir.file("e.bmd"), true);
    ASSERT_EQ(y.points.size(), 4u);
    EXPECT_EQ(y.points[2], (UnitPoint{90000, 1500, 700}));
    EXPECT_EQ(y.yield_load, 60000);
    EXPECT_EQ(y.yield_index, 2u);
    EXPECT_EQ(y.proof_load, 85000);
    EXPECT_EQ(y.proof_index, 2u);

    // A unit without extensometer sends none of the file's readings.
    const UnitCurve z = curve_from_file(dir.file("e.bmd"), false);
    EXPECT_EQ(z.points[2], (UnitPoint{90000, 1500, kNoExtensometer}));
    EXPECT_EQ(z.proof_load, 0);

    lekta::testing::RawTest std_layout;
    std_layout.points = {{0, 0, 0}, {10000, 500, 0}};
    std_layout.yield_load = 99999;  // never reached: known at the last point
    lekta::testing::write_file(dir.file("s.bmd"), std_layout.bytes());
    const UnitCurve s = curve_from_file(dir.file("s.bmd"), true);
    EXPECT_EQ(s.points[1], (UnitPoint{10000, 500, kNoExtensometer}));
    EXPECT_EQ(s.yield_index, 1u);

    lekta::testing::RawTest empty;
    lekta::testing::write_file(dir.file("n.bmd"), empty.bytes());
    EXPECT_THROW(curve_from_file(dir.file("n.bmd"), true), std::runtime_error);
    EXPECT_THROW(curve_from_file(dir.file("missing.bmd"), true), std::runtime_error);
}

namespace {

// Opens the slave as the workstation does and reads until `last` arrives
// (or nothing more comes for a long while).
class PortSide {
public:
    explicit PortSide(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {}
    ~PortSide()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool ok() const { return fd_ >= 0; }
    void send(char c) { ASSERT_EQ(::write(fd_, &c, 1), 1); }
    // Reads until `size` characters have come.
    std::string read(std::size_t size)
    {
        std::string got;
        while (got.size() < size) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0)
                break;
            char buf[512];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }

private:
    int fd_;
};

}  // namespace

TEST(UnitServing, AnswersOverAPseudoTerminalAcrossReopensAndStopsAfterTheLastResponse)
{
    PseudoTerminal pty;
    lekta::testing::TempDir dir;
    pty.make_link(dir.file("unit"));
    char target[128] = {};
    ASSERT_GT(::readlink(dir.file("unit").c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), pty.slave_path());

    UnitOptions o;
    o.points_per_response = 5;
    o.split = true;
    o.exit_after_v = true;
    const UnitCurve curve = small_curve(8);
    UnitSession session(curve, o);
    std::atomic<bool> stop{false};
    std::atomic<bool> served{false};
    std::thread server([&] {
        serve_unit(pty, session, stop, nullptr);
        served = true;
    });

    {
        PortSide port(dir.file("unit"));
        ASSERT_TRUE(port.ok());
        port.send('Z');
        EXPECT_EQ(port.read(1), "Y");
        port.send('D');
        const std::vector<UnitPoint> five(curve.points.begin(), curve.points.begin() + 5);
        const std::string expected = data_response(UnitType::Y, five, curve.yield_load, 0, false);
        EXPECT_EQ(port.read(expected.size()), expected);  // both halves, in order
    }
    // The port closed and opened again, as the workstation's retry does.
    auto again = std::make_unique<PortSide>(dir.file("unit"));
    ASSERT_TRUE(again->ok());
    again->send('D');
    // A workstation slow to read still gets the whole last response, and the
    // unit goes on until the port is closed, however long it stays open.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::vector<UnitPoint> rest(curve.points.begin() + 5, curve.points.end());
    const std::string expected = data_response(UnitType::Y, rest, curve.yield_load,
                                               curve.proof_load, true);
    EXPECT_EQ(again->read(expected.size()), expected);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(served);
    again.reset();
    server.join();  // returns by itself once the port has been closed
    EXPECT_EQ(session.responses(), 2);

    pty.remove_link();
    struct stat st {};
    EXPECT_NE(::lstat(dir.file("unit").c_str(), &st), 0);
}
