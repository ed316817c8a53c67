#include "online/link_protocol.h"

#include "common/number_text.h"

#include <algorithm>
#include <cstring>

namespace lekta {

namespace {

constexpr std::uint32_t kNone =
    LinkState::kReceiveSize;  // what a search gives for an absent letter

// The unit sends each data byte as two characters, low nibble first, nibble
// n as '0' + n. A pair decoding outside 0 … 255 is not data.
inline int pair_value(const unsigned char* p)
{
    return (int(p[1]) - 0x30) * 16 + (int(p[0]) - 0x30);
}
inline bool pair_ok(const unsigned char* p)
{
    const int v = pair_value(p);
    return v >= 0 && v <= 255;
}

inline std::int32_t read_i32(const unsigned char* b)
{
    return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                                     std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
}

inline double margin(double v)
{
    return v / 100 * 5;
}

long double scaled(std::int32_t v, long double divisor)
{
    return static_cast<long double>(v) / divisor;
}

}  // namespace

// The table's texts, thousands of them per response, written straight from
// the integer: a 32-bit value over 10^decimals has at most 10 significant
// digits and no more than 4 places after the separator, so the general
// format's 15-digit rounding is exact and never turns to exponent notation.
// The result is the same text as number_text(v / 10^decimals) at a fraction
// of the cost.
std::string scaled_text(std::int32_t v, int decimals)
{
    if (v == 0)
        return "0";
    const bool negative = v < 0;
    std::uint32_t u = negative ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    char digits[16];
    int len = 0;
    while (u != 0) {
        digits[len++] = char('0' + u % 10);
        u /= 10;
    }
    while (len <= decimals)
        digits[len++] = '0';
    int last = 0;  // lowest digit kept after the separator
    while (last < decimals && digits[last] == '0')
        ++last;
    std::string out;
    out.reserve(16);
    if (negative)
        out += '-';
    for (int i = len - 1; i >= decimals; --i)
        out += digits[i];
    if (last < decimals) {
        out += number_format().decimal_separator;
        for (int i = decimals - 1; i >= last; --i)
            out += digits[i];
    }
    return out;
}

LinkProtocol::LinkProtocol(LinkPort& port, LinkTimer& timer1, LinkTimer& timer2, LinkTimer& timer3,
                           LinkView& view)
    : port_(port), timer1_(timer1), timer2_(timer2), timer3_(timer3), view_(view)
{}

void LinkProtocol::FormCreate()
{
    timer3_.start(watchdog_ms_);
}

void LinkProtocol::reset_receive_state()
{
    state_.s_seen = false;
    state_.marker_seen = false;
    restart_count();
}

// The poll or the watchdog let go of the port in the middle of the test: the
// unit fell silent after a 'D' or answered without its 'P' (a port that
// fails reads as silence). Before the first 'D', and after a 'V' or an 'E',
// letting go of the port is the dialogue's normal end.
void LinkProtocol::lose_link()
{
    LinkState& st = state_;
    if (st.last_command != u'D' || st.ended || st.completed || st.lost)
        return;
    st.lost = true;
    view_.link_lost();
}

void LinkProtocol::start(const std::string& chosen_port_name)
{
    start_prepare(chosen_port_name);
    start_dialogue();
}

void LinkProtocol::start_prepare(const std::string& chosen_port_name)
{
    std::fill(state_.receive.begin(), state_.receive.end(), 0);
    timer2_.stop();
    timer2_.set_interval(kTimer2Interval);
    chosen_port_name_ = chosen_port_name;
    port_.set_port_name(chosen_port_name_);
    reset_receive_state();
    state_.point_row_counter = 0;
    state_.ended = false;
    state_.completed = false;
    state_.lost = false;
    state_.silent_retries = 0;
    // A 'Y' left over from the previous run must not make the first retry of
    // this one send 'D' to a unit that has not answered yet.
    state_.p_in_chunk = state_.z_in_chunk = state_.y_in_chunk = false;
}

void LinkProtocol::start_dialogue()
{
    port_.connect();  // a port that does not open shows as silence; the retry reopens it
    state_.last_command = u'Z';
    port_.send_char(u'Z');
    timer1_.start(kTimer1Interval);
}

void LinkProtocol::stop_on_close()
{
    port_.set_port_name(chosen_port_name_);
    reset_receive_state();
    port_.disconnect();
    timer2_.stop();
    timer1_.stop();
}

void LinkProtocol::stop_on_exit()
{
    reset_receive_state();
    port_.disconnect();
}

std::uint32_t LinkProtocol::find_first(unsigned char letter) const
{
    const void* p = std::memchr(state_.receive.data(), letter, LinkState::kReceiveSize);
    return p ? std::uint32_t(static_cast<const unsigned char*>(p) - state_.receive.data()) : kNone;
}

// The next chunk lands at position 0 again. The bytes below received_count
// change only after this, so what was found in them stays true until then.
void LinkProtocol::restart_count()
{
    state_.received_count = 0;
    scan_ = {};
}

// Only the bytes of the current response count: beyond received_count lie
// the leftovers of older responses, whose 'S' or 'T' would be taken for the
// current one's while it is still arriving. A long response comes in
// hundreds of chunks: each search goes on from where the last one stopped.
void LinkProtocol::scan_received()
{
    const std::uint32_t count = state_.received_count;
    const unsigned char* rb = state_.receive.data();
    auto find = [&](unsigned char letter) -> std::uint32_t {
        const void* p = std::memchr(rb + scan_.searched, letter, count - scan_.searched);
        return p ? std::uint32_t(static_cast<const unsigned char*>(p) - rb) : kNone;
    };
    if (scan_.s == kNone)
        scan_.s = find('S');
    if (scan_.t == kNone)
        scan_.t = find('T');
    scan_.searched = count;
}

// Characters of the result block after the 'T': 8 for a type Z unit, 16 for
// type Y, the Z latch winning; none while no type is known (then no result
// block is read at all).
std::uint32_t LinkProtocol::result_chars() const
{
    if (state_.type_z_latch)
        return 8;
    if (state_.type_y_latch)
        return 16;
    return 0;
}

bool LinkProtocol::response_pending() const
{
    return state_.last_command == u'D' && state_.s_seen && state_.marker_seen;
}

void LinkProtocol::CommPortDriver1ReceiveData(const unsigned char* data, std::uint32_t size)
{
    LinkState& st = state_;
    if (size > 0)
        st.silent_retries = 0;
    // After an 'E' the unit has nothing more to say in this run: whatever it
    // still sends must not start the dialogue again.
    if (st.ended)
        return;
    // During identification the retry asks about the latest chunk only. After
    // a 'D' the flags gather the markers of the unit's whole reply, however
    // the port split it: a long response arrives over several chunks and its
    // last ones hold only data, and the poll must still see the reply's 'P'
    // (the poll clears P in chunk when it sends the next 'D').
    if (st.last_command != u'D')
        st.p_in_chunk = st.z_in_chunk = st.y_in_chunk = false;

    // Keep what fits; bytes beyond the buffer are dropped until a reset makes room.
    const std::uint32_t room = LinkState::kReceiveSize - st.received_count;
    const std::uint32_t stored = std::min(size, room);
    if (stored > 0)
        std::memcpy(st.receive.data() + st.received_count, data, stored);

    // Markers act as they go by, dropped bytes included: an 'E' or a 'P'
    // still reaches the dialogue when the buffer is full.
    for (std::uint32_t i = 0; i < size; ++i) {
        switch (data[i]) {
        case 'P':
            st.marker_seen = true;
            st.p_in_chunk = true;
            st.z_in_chunk = false;
            st.y_in_chunk = false;
            break;
        case 'Z':
            st.marker_seen = true;
            st.z_in_chunk = true;
            st.type_z_latch = true;
            st.p_in_chunk = false;
            view_.set_extensometer_chart_visible(false);
            break;
        case 'Y':
            st.marker_seen = true;
            st.y_in_chunk = true;
            st.type_y_latch = true;
            st.p_in_chunk = false;
            view_.set_extensometer_chart_visible(true);
            break;
        case 'S':
            st.s_seen = true;
            timer1_.stop();
            break;
        case 'E':
            // Test ended: the rest of the chunk is not looked at, nothing is
            // processed, and a response the 'E' cut short is forgotten with
            // its markers, so neither the poll nor the watchdog asks the
            // unit for anything again.
            timer1_.stop();
            reset_receive_state();
            st.p_in_chunk = st.z_in_chunk = st.y_in_chunk = false;
            st.ended = true;
            view_.set_main_chart_title("Испытание закончено!");
            return;
        default: break;
        }
    }
    st.received_count += stored;

    if (response_pending())
        try_process();
}

// A response is processed once everything its processing reads has arrived:
// the 'S', the data block, the 'T' and the result block after it, in the
// length the type latches ask for. Until then it waits, and the watchdog
// measures the silence since its latest chunk; a response that cannot
// become whole (a 'T' before the 'S', a data block longer than the block,
// a full buffer) is dropped at once.
void LinkProtocol::try_process()
{
    const std::uint32_t count = state_.received_count;
    const bool full = count >= LinkState::kReceiveSize;
    scan_received();
    const std::uint32_t s_pos = scan_.s;
    const std::uint32_t t_pos = scan_.t;
    auto wait = [&] {
        if (full)
            drop_response();
        else
            timer3_.start(watchdog_ms_);
    };

    if (s_pos == kNone)  // the 'S' went by before an 'E' reset the count, or past a full buffer
        return wait();
    if (t_pos != kNone && t_pos < s_pos)
        return drop_response();
    const std::uint32_t s = s_pos + 1;
    if (t_pos == kNone) {
        if (count - s > 2 * LinkState::kBlockSize)
            return drop_response();
        return wait();
    }
    if (count - t_pos - 1 < result_chars())
        return wait();
    if (!process_response(s, t_pos))
        drop_response();
}

// What every finished response does to the timers and flags, whether it was
// shown or dropped.
void LinkProtocol::finish_response()
{
    timer2_.stop();
    timer2_.set_interval(kTimer2Interval);
    timer3_.stop();
    state_.s_seen = false;
    state_.marker_seen = false;
}

// A malformed response changes nothing on screen and leaves the last good
// data block, results and values alone; the poll asks again as after a good one.
void LinkProtocol::drop_response()
{
    finish_response();
    timer2_.start(kTimer2Interval);
}

bool LinkProtocol::process_response(std::uint32_t s, std::uint32_t t)
{
    LinkState& st = state_;
    const unsigned char* rb = st.receive.data();

    // Check everything before anything changes.
    const std::uint32_t chars = t - s;
    if (chars % 2 != 0)
        return false;
    const std::uint32_t length = chars / 2;
    if (length < 2 || length > LinkState::kBlockSize)
        return false;
    for (std::uint32_t p = s; p < t; p += 2)
        if (!pair_ok(rb + p))
            return false;
    const std::uint32_t rchars = result_chars();
    for (std::uint32_t p = t + 1; p < t + 1 + rchars; p += 2)
        if (!pair_ok(rb + p))
            return false;
    const std::uint32_t n = std::uint32_t(pair_value(rb + s)) +
                            256 * std::uint32_t(pair_value(rb + s + 2));
    if (2 + 12 * n > length)
        return false;

    finish_response();
    for (std::uint32_t i = 0; i < length; ++i)
        st.data_block[i] = static_cast<unsigned char>(pair_value(rb + s + 2 * i));
    // A 4-byte result block leaves bytes 4-7 as an earlier 8-byte one left them.
    for (std::uint32_t i = 0; i < rchars / 2; ++i)
        st.result_area[i] = static_cast<unsigned char>(pair_value(rb + t + 1 + 2 * i));
    st.Ft = read_i32(st.result_area.data());
    st.F02 = read_i32(st.result_area.data() + 4);
    timer2_.start(kTimer2Interval);

    st.record_count = static_cast<std::uint16_t>(st.data_block[0] + 256 * st.data_block[1]);
    view_.set_record_count_text(std::to_string(st.record_count));
    if (st.record_count == 0)
        return true;
    show_records();
    return true;
}

void LinkProtocol::show_records()
{
    LinkState& st = state_;
    const std::uint32_t n = st.record_count;
    std::vector<LinkPoint> curve;
    std::vector<LinkPoint> ext_curve;
    std::vector<PointRow> rows;
    curve.reserve(n);
    rows.reserve(n);
    bool last_has_he = false;
    std::int32_t last_he = 0;

    for (std::uint32_t k = 0; k < n; ++k) {
        const unsigned char* rec = st.data_block.data() + 2 + 12 * k;
        std::int32_t f = read_i32(rec);
        std::int32_t h = read_i32(rec + 4);
        const std::int32_t he = read_i32(rec + 8);
        if (f < 0)
            f = 0;
        if (h < 0)
            h = 0;
        st.F = f;
        st.H = h;
        st.He = he;
        const long double kn = scaled(f, 1000);
        const long double mm = scaled(h, 1000);
        PointRow row;
        row.f = scaled_text(f, 3);
        row.h = scaled_text(h, 3);
        curve.push_back({static_cast<double>(mm), static_cast<double>(kn)});
        last_has_he = he != kNoExtensometer;
        if (last_has_he) {
            const long double emm = scaled(he, 10000);
            row.he = scaled_text(he, 4);
            row.has_he = true;
            last_he = he;
            ext_curve.push_back({static_cast<double>(emm), static_cast<double>(kn)});
        }
        rows.push_back(std::move(row));
    }

    // The panel follows the last record; Label3 shows the last extensometer reading.
    view_.set_extensometer_chart_visible(last_has_he);
    view_.set_label(1, "F,кН = " + number_text(scaled(st.F, 1000)));
    view_.set_label(2, "H Δ,мм = " + number_text(scaled(st.H, 1000)));
    if (!ext_curve.empty())
        view_.set_label(3, "H Δe,мм = " + number_text(scaled(last_he, 10000)));
    view_.add_points(LinkSeries::LoadCurve, curve);
    if (!ext_curve.empty())
        view_.add_points(LinkSeries::ExtensometerCurve, ext_curve);
    view_.add_rows(rows);
    st.point_row_counter += static_cast<std::int32_t>(n);

    // The result lines run from the chart's left edge to the curve's largest X.
    if (st.Ft != 0) {
        const long double ft = static_cast<long double>(st.Ft) / 1000;
        const double y = static_cast<double>(ft);
        view_.add_points(LinkSeries::FtLine, {{view_.bottom_minimum(LinkChart::Main), y},
                                              {view_.extent(LinkSeries::LoadCurve).max_x, y}});
        view_.set_label(4, "Ft,кН = " + number_text(ft));
    }
    if (st.F02 != 0) {
        const long double f02 = static_cast<long double>(st.F02) / 1000;
        const double y = static_cast<double>(f02);
        view_.add_points(LinkSeries::F02Line,
                         {{view_.bottom_minimum(LinkChart::Extensometer), y},
                          {view_.extent(LinkSeries::ExtensometerCurve).max_x, y}});
        view_.set_label(5, "F0.2,кН = " + number_text(f02));
    }
    rescale_axes();
}

// Note the left minimum: it is kept clear of zero only when the smallest X
// is above zero, and its margin comes from the largest Y.
void LinkProtocol::rescale_axes()
{
    const SeriesExtent e = view_.extent(LinkSeries::ExtensometerCurve);
    if (e.max_x < 0) {
        // Every reading below zero (an extensometer fitted the other way
        // round): the mirror of the range above zero, ending at zero for a
        // single reading. The minimum goes down first, so the range holds
        // at every step.
        view_.set_bottom_minimum(LinkChart::Extensometer, e.min_x + margin(e.min_x));
        view_.set_bottom_maximum(LinkChart::Extensometer,
                                 e.max_x > e.min_x ? e.max_x - margin(e.max_x) : 0);
        view_.set_left_maximum(LinkChart::Extensometer,
                               e.max_y > 0 ? e.max_y + margin(e.max_y) : 1);
    } else {
        if (e.max_x != 0)
            view_.set_bottom_maximum(LinkChart::Extensometer, e.max_x + margin(e.max_x));
        view_.set_left_maximum(LinkChart::Extensometer,
                               e.max_y > 0 ? e.max_y + margin(e.max_y) : 1);
        view_.set_bottom_minimum(LinkChart::Extensometer,
                                 e.max_x > e.min_x && e.min_x > 0 ? e.min_x - margin(e.min_x) : 0);
    }
    view_.set_left_minimum(LinkChart::Extensometer, e.min_x > 0 ? e.min_y - margin(e.max_y) : 0);

    const SeriesExtent c = view_.extent(LinkSeries::LoadCurve);
    view_.set_manual_left_minimum_bottom_maximum(LinkChart::Main);
    // Below 50 mm the bottom axis keeps the 50 mm the window opened with.
    if (c.max_x >= 50)
        view_.set_bottom_maximum(LinkChart::Main, c.max_x + margin(c.max_x));
    view_.set_left_maximum(LinkChart::Main, c.max_y > 0 ? c.max_y + margin(c.max_y) : 1);
    view_.set_bottom_minimum(LinkChart::Main,
                             c.max_x > c.min_x && c.min_x > 0 ? c.min_x - margin(c.min_x) : 0);
    view_.set_left_minimum(LinkChart::Main, c.min_x > 0 ? c.min_y - margin(c.max_y) : 0);
}

void LinkProtocol::Timer1Timer()
{
    timer1_.stop();
    // Nothing at all from the unit for the whole time: the window reports it
    // and closes, which stops everything else.
    if (++state_.silent_retries >= kSilentRetryLimit) {
        port_.disconnect();
        reset_receive_state();
        view_.unit_not_found();
        return;
    }
    // Reopening the port clears whatever state a silent unit left the line in.
    port_.disconnect();
    port_.set_port_name(chosen_port_name_);
    port_.connect();
    reset_receive_state();
    if (state_.y_in_chunk) {
        state_.last_command = u'D';
        port_.send_char(u'D');
        // The watchdog measures the silence after this 'D' as after every
        // other: left to tick from the window's creation, it could fall
        // between the 'D' and the first byte of the answer and let go of
        // the port before the test has begun.
        timer3_.start(watchdog_ms_);
        return;
    }
    // A unit that answers, if only with its type, is asked again without
    // limit: "Выход" ends the wait.
    state_.last_command = u'Z';
    port_.send_char(u'Z');
    timer1_.start(kTimer1Interval);
}

void LinkProtocol::Timer2Timer()
{
    LinkState& st = state_;
    if (!st.p_in_chunk || st.ended) {
        reset_receive_state();
        timer2_.stop();
        port_.disconnect();
        lose_link();
        return;
    }
    if (find_first('V') == kNone) {
        timer2_.stop();
        timer3_.start(watchdog_ms_);
        st.last_command = u'D';
        port_.send_char(u'D');
        restart_count();
        st.p_in_chunk = false;
        return;
    }
    // Test completed: the curve drops to zero at the last deformation and the
    // Ft line reaches the right edge. Timer2 keeps running; its next tick
    // finds no 'P' and stops it.
    view_.set_main_chart_title("Испытание завершено !!!");
    st.completed = true;
    port_.disconnect();
    restart_count();
    st.p_in_chunk = false;
    if (st.F != 0)
        view_.add_points(LinkSeries::LoadCurve,
                         {{static_cast<double>(static_cast<long double>(st.H) / 1000), 0.0}});
    view_.add_points(LinkSeries::FtLine,
                     {{view_.bottom_maximum(LinkChart::Main),
                       static_cast<double>(static_cast<long double>(st.Ft) / 1000)}});
}

void LinkProtocol::Timer3Timer()
{
    // A response that began but fell silent for a whole watchdog period
    // before its result block arrived will not be completed: drop it and
    // let the poll ask again.
    if (response_pending()) {
        drop_response();
        return;
    }
    if (!state_.p_in_chunk && port_.connect()) {
        reset_receive_state();
        timer3_.stop();
        port_.disconnect();
        lose_link();
    }
}

}  // namespace lekta
