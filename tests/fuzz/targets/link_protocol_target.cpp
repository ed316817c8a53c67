// The link protocol engine under a script of chunks, passing time and window
// events (link_script.h): a fake clock fires the three timers when due, a
// fake port takes the commands, a fake window checks what it is given.
//
// What must hold, whatever arrives on the line:
// - the receive count never leaves the receive buffer, and only 'Z' and 'D'
//   go out;
// - each response shows as many table rows as curve points, in one call
//   each, and every row's texts read back as its point's values; the
//   extensometer curve gets exactly the rows with an H Δe;
// - labels, record counts and axis ends are numbers that read back, finite;
// - the row counter equals the rows the table got since the window was shown.
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/link_script.h"

#include "common/number_text.h"
#include "lib/unit_protocol.h"
#include "online/link_protocol.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace lekta::fuzz {

namespace {

using namespace link_script;

struct Clock {
    long long now = 0;
};

// A window timer on the fake clock: a start or a changed interval counts
// afresh from now, as WindowTimer does.
struct FakeTimer : LinkTimer {
    explicit FakeTimer(Clock& c) : clock(c) {}
    void start(int ms) override
    {
        interval_ms = ms;
        enabled = true;
        due = clock.now + ms;
    }
    void stop() override { enabled = false; }
    bool running() const override { return enabled && interval_ms > 0; }
    void set_interval(int ms) override
    {
        if (ms == interval_ms)
            return;
        interval_ms = ms;
        due = clock.now + ms;
    }
    int interval() const override { return interval_ms; }

    Clock& clock;
    bool enabled = false;
    int interval_ms = 1000;
    long long due = 0;
};

struct FakePort : LinkPort {
    void set_port_name(const std::string& n) override
    {
        if (!open)
            name = n;
    }
    std::string port_name() const override { return name; }
    bool connect() override
    {
        if (!fails)
            open = true;
        return open;
    }
    void disconnect() override { open = false; }
    bool send_char(char16_t c) override
    {
        LEKTA_FUZZ_CHECK(c == u'Z' || c == u'D', "sent %u", static_cast<unsigned>(c));
        return open;
    }
    std::string name;
    bool open = false, fails = false;
};

double read_back(const std::string& text)
{
    try {
        return parse_number(text);
    } catch (const ConvertError&) {
        LEKTA_FUZZ_CHECK(false, "'%s' is not a number", text.c_str());
    }
    return 0;
}

bool close_to(double a, double b)
{
    return std::fabs(a - b) <= 1e-12 * std::max(std::fabs(a), std::fabs(b)) + 1e-300;
}

// The online window as the engine sees it, keeping only what the checks
// need: extents, the points of the response being shown, row counts.
struct CheckingView : LinkView {
    struct Extent {
        bool empty = true;
        SeriesExtent e;
    };

    void set_extensometer_chart_visible(bool) override {}
    void set_main_chart_title(const std::string&) override {}
    void set_label(int index, const std::string& text) override
    {
        static const char* const prefixes[] = {
            "", "F,кН = ", "H Δ,мм = ", "H Δe,мм = ", "Ft,кН = ", "F0.2,кН = "};
        LEKTA_FUZZ_CHECK(index >= 1 && index <= 5, "label %d", index);
        const std::string prefix = prefixes[index];
        LEKTA_FUZZ_CHECK(text.compare(0, prefix.size(), prefix) == 0, "label %d reads '%s'", index,
                         text.c_str());
        read_back(text.substr(prefix.size()));
    }
    void set_record_count_text(const std::string& text) override
    {
        LEKTA_FUZZ_CHECK(!text.empty() && text.size() <= 5 &&
                             text.find_first_not_of("0123456789") == std::string::npos,
                         "record count '%s'", text.c_str());
    }
    void add_points(LinkSeries s, const std::vector<LinkPoint>& points) override
    {
        Extent& x = extents[s];
        for (const LinkPoint& p : points) {
            LEKTA_FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y), "a point is not finite");
            if (x.empty)
                x.e = {p.x, p.x, p.y, p.y};
            x.empty = false;
            x.e.min_x = std::min(x.e.min_x, p.x);
            x.e.max_x = std::max(x.e.max_x, p.x);
            x.e.min_y = std::min(x.e.min_y, p.y);
            x.e.max_y = std::max(x.e.max_y, p.y);
        }
        if (s == LinkSeries::LoadCurve)
            curve = points;  // a response's points, or the drop to zero that ends a completed test
        if (s == LinkSeries::ExtensometerCurve) {
            LEKTA_FUZZ_CHECK(ext_curve.empty(), "two extensometer batches for one response");
            ext_curve = points;
        }
    }
    SeriesExtent extent(LinkSeries s) const override
    {
        const auto it = extents.find(s);
        return it == extents.end() ? SeriesExtent{} : it->second.e;
    }
    double bottom_minimum(LinkChart c) const override { return axes[static_cast<int>(c)][0]; }
    double bottom_maximum(LinkChart c) const override { return axes[static_cast<int>(c)][1]; }
    void set_bottom_minimum(LinkChart c, double v) override { set_axis(c, 0, v); }
    void set_bottom_maximum(LinkChart c, double v) override { set_axis(c, 1, v); }
    void set_left_minimum(LinkChart c, double v) override { set_axis(c, 2, v); }
    void set_left_maximum(LinkChart c, double v) override { set_axis(c, 3, v); }
    void set_manual_left_minimum_bottom_maximum(LinkChart) override {}

    // The rows come after the response's curve (and extensometer curve),
    // one row per curve point, in the same order.
    // The give-up after silent retries: the window would close; the
    // engine's state is checked the same either way.
    void unit_not_found() override {}
    void link_lost() override {}
    void add_rows(const std::vector<PointRow>& rows) override
    {
        LEKTA_FUZZ_CHECK(!rows.empty(), "an empty batch of rows");
        LEKTA_FUZZ_CHECK(rows.size() == curve.size(), "%zu rows for %zu points", rows.size(),
                         curve.size());
        std::size_t with_he = 0;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const PointRow& r = rows[i];
            LEKTA_FUZZ_CHECK(close_to(read_back(r.f), curve[i].y), "row %zu F '%s' for %.17g", i,
                             r.f.c_str(), curve[i].y);
            LEKTA_FUZZ_CHECK(close_to(read_back(r.h), curve[i].x), "row %zu H '%s' for %.17g", i,
                             r.h.c_str(), curve[i].x);
            LEKTA_FUZZ_CHECK(r.has_he == !r.he.empty(), "row %zu: H Δe flag and text disagree", i);
            if (r.has_he) {
                LEKTA_FUZZ_CHECK(with_he < ext_curve.size(),
                                 "more H Δe rows than extensometer points");
                LEKTA_FUZZ_CHECK(close_to(read_back(r.he), ext_curve[with_he].x),
                                 "row %zu H Δe '%s'", i, r.he.c_str());
                LEKTA_FUZZ_CHECK(ext_curve[with_he].y == curve[i].y,
                                 "extensometer point %zu has another load", i);
                ++with_he;
            }
        }
        LEKTA_FUZZ_CHECK(with_he == ext_curve.size(), "%zu H Δe rows for %zu extensometer points",
                         with_he, ext_curve.size());
        rows_since_show += static_cast<long long>(rows.size());
        curve.clear();
        ext_curve.clear();
    }

    void set_axis(LinkChart c, int which, double v)
    {
        LEKTA_FUZZ_CHECK(std::isfinite(v), "axis end %d is not finite", which);
        axes[static_cast<int>(c)][which] = v;
    }

    std::map<LinkSeries, Extent> extents;
    std::vector<LinkPoint> curve, ext_curve;
    double axes[2][4] = {{0, 50, -0.2, 20}, {0, 50, -0.2, 20}};
    long long rows_since_show = 0;
};

class Reader {
public:
    Reader(const std::uint8_t* d, std::size_t n) : d_(d), n_(n) {}
    bool done() const { return at_ >= n_; }
    std::uint8_t byte() { return at_ < n_ ? d_[at_++] : 0; }
    std::uint16_t word()
    {
        const std::uint16_t lo = byte();
        return static_cast<std::uint16_t>(lo | byte() << 8);
    }
    std::int32_t i32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v |= std::uint32_t(byte()) << (8 * i);
        return static_cast<std::int32_t>(v);
    }
    // Up to n bytes, fewer where the input ends.
    std::string bytes(std::size_t n)
    {
        const std::size_t k = std::min(n, n_ - std::min(at_, n_));
        std::string s(reinterpret_cast<const char*>(d_ + at_), k);
        at_ += k;
        return s;
    }

private:
    const std::uint8_t* d_;
    std::size_t n_;
    std::size_t at_ = 0;
};

class Session {
public:
    Session() : t1_(clock_), t2_(clock_), t3_(clock_), link_(port_, t1_, t2_, t3_, view_)
    {
        link_.FormCreate();
        show();
    }

    void run(Reader& in)
    {
        while (!in.done()) {
            switch (in.byte() % kOpCount) {
            case kChunk: feed(in.bytes(in.byte())); break;
            case kLongChunk: feed(in.bytes(std::min<std::size_t>(in.word(), 4096))); break;
            case kFlood: {
                const std::uint8_t chunks = in.byte() %
                                            80;  // up to 320 KiB: past the 256 KiB buffer
                const std::string block(4096, static_cast<char>(in.byte()));
                for (int k = 0; k < chunks; ++k)
                    feed(block);
                break;
            }
            case kAdvance: advance(in.word()); break;
            case kShow: show(); break;
            case kClose: link_.stop_on_close(); break;
            case kExit: link_.stop_on_exit(); break;
            case kPortFails: port_.fails = !port_.fails; break;
            case kResponse: response(in); break;
            }
            check();
        }
    }

private:
    void show()
    {
        link_.start("\\\\.\\COM5");
        view_.rows_since_show = 0;
        check();
    }

    void feed(const std::string& chunk)
    {
        link_.CommPortDriver1ReceiveData(reinterpret_cast<const unsigned char*>(chunk.data()),
                                         static_cast<std::uint32_t>(chunk.size()));
    }

    void response(Reader& in)
    {
        const std::uint8_t flags = in.byte();
        const std::size_t count = in.byte() % 32;
        std::vector<tools::UnitPoint> points(count);
        for (tools::UnitPoint& p : points) {
            p.f = in.i32();
            p.h = in.i32();
            p.he = in.i32();
        }
        const std::int32_t ft = in.i32(), f02 = in.i32();
        const int broken = (flags >> kMalformationShift) & 7;
        const std::string r = tools::data_response(
            flags & kTypeZ ? tools::UnitType::Z : tools::UnitType::Y, points, ft, f02,
            (flags & kLast) != 0,
            broken <= static_cast<int>(tools::Malformation::CountPastBlock)
                ? static_cast<tools::Malformation>(broken)
                : tools::Malformation::None);
        const std::size_t split = in.byte() % (r.size() + 1);
        if (split == 0) {
            feed(r);
        } else {
            feed(r.substr(0, split));
            feed(r.substr(split));
        }
    }

    // Time passes; each timer fires when due, the earliest first, as often
    // as its interval allows (a bounded number of ticks per step).
    void advance(std::uint16_t ms)
    {
        const long long until = clock_.now + ms;
        for (int ticks = 0; ticks < 64; ++ticks) {
            FakeTimer* next = nullptr;
            for (FakeTimer* t : {&t1_, &t2_, &t3_})
                if (t->running() && t->due <= until && (!next || t->due < next->due))
                    next = t;
            if (!next)
                break;
            clock_.now = next->due;
            next->due = clock_.now + next->interval_ms;
            if (next == &t1_)
                link_.Timer1Timer();
            else if (next == &t2_)
                link_.Timer2Timer();
            else
                link_.Timer3Timer();
            check();
        }
        clock_.now = until;
    }

    void check()
    {
        const LinkState& st = link_.state();
        LEKTA_FUZZ_CHECK(st.received_count <= LinkState::kReceiveSize, "received count %u",
                         st.received_count);
        LEKTA_FUZZ_CHECK(st.point_row_counter == view_.rows_since_show, "row counter %d, rows %lld",
                         st.point_row_counter, view_.rows_since_show);
        LEKTA_FUZZ_CHECK(view_.ext_curve.empty(), "extensometer points shown without their rows");
        for (const FakeTimer* t : {&t1_, &t2_, &t3_})
            LEKTA_FUZZ_CHECK(t->interval_ms == 1000 || t->interval_ms == 500 ||
                                 t->interval_ms == 3000,
                             "timer interval %d", t->interval_ms);
    }

    Clock clock_;
    FakePort port_;
    FakeTimer t1_, t2_, t3_;
    CheckingView view_;
    LinkProtocol link_;
};

}  // namespace

int link_protocol(const std::uint8_t* data, std::size_t size)
{
    Session session;
    Reader in(data, size);
    session.run(in);
    return 0;
}

}  // namespace lekta::fuzz
