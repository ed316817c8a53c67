// The online window's real view: the largest data response the unit can
// send (5,461 records) decoded by the engine into the window's labels, point
// table and both charts, then drawn. The window is shown at 1600 × 900; a
// response counts as drawn once the event loop has painted what it changed
// (the chart's paints, and the table's for the first response, are counted).
// Time per response; the poll comes every 500 ms and the target is 5 ms
// whatever the curve's length.
#include "chart/chart.h"
#include "chart/chart_view.h"
#include "online/link_protocol.h"
#include "online/receive.h"
#include "support/link_bench.h"
#include "support/widget_bench_main.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

#include <QApplication>
#include <QEvent>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace lekta;
using bench::encode;
using bench::NullPort;
using bench::PlainTimer;

constexpr int kRecords = 5461;

// Response `index` of a long test of 12 largest responses: the travel goes
// on growing from one response to the next (so the bottom axis widens with
// each), the load rises and falls over the whole test, the extensometer
// reads over its first half.
std::string response(int index)
{
    constexpr int total = 12 * kRecords;
    std::string r = "PS";
    encode(kRecords, 2, r);
    for (int k = 0; k < kRecords; ++k) {
        const std::int64_t i = std::int64_t(index) * kRecords + k;
        const std::int32_t h = std::int32_t(i * 2);  // 2 µm a record, 131 mm in all
        const std::int32_t f = std::int32_t(60000 - (i - 40000) * (i - 40000) / 30000);
        const std::int32_t he = i < total / 2 ? std::int32_t(i * 3) : LinkProtocol::kNoExtensometer;
        encode(std::uint32_t(f), 4, r);
        encode(std::uint32_t(h), 4, r);
        encode(std::uint32_t(he), 4, r);
    }
    r += 'T';
    encode(21500, 4, r);
    encode(19800, 4, r);
    return r;
}

// Counts the paints of a widget.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
    int paints = 0;
};

// The window with the engine driven directly, without port or timers.
struct Rig {
    Rig() : form(dialogs), link(port, t1, t2, t3, form)
    {
        form.Chart1->View()->viewport()->installEventFilter(&chart_paints);
        form.NextGrid1->viewport()->installEventFilter(&table_paints);
        for (int i = 0; i < 12; ++i)
            responses.push_back(response(i));
        form.setWindowState(Qt::WindowNoState);
        form.show();
        // The window's own dialogue (its port, its timers) stays out of it:
        // the engine below drives the window's view.
        form.session().protocol().stop_on_close();
        form.Timer3().stop();
        QApplication::processEvents();
        // After the show: the platform may have placed the window at its own size.
        form.setGeometry(0, 0, 1600, 900);
        QApplication::processEvents();
    }
    // A fresh online run up to the first 'D', with empty curves and table.
    void prepare()
    {
        form.clear_point_table();
        form.clear_main_curves(true);
        form.LineSeries1->Clear();
        form.FastLineSeries1->Clear();
        link.start("bench");
        const unsigned char y = 'Y';
        link.CommPortDriver1ReceiveData(&y, 1);
        link.Timer1Timer();
        drawn();
    }
    void feed(const std::string& r, std::size_t from, std::size_t size)
    {
        link.CommPortDriver1ReceiveData(reinterpret_cast<const unsigned char*>(r.data()) + from,
                                        static_cast<std::uint32_t>(size));
    }
    // The queued chart updates and layouts done and what they changed
    // painted, as the event loop does it (the paints are counted, so a
    // response that was not drawn does not pass for a quick one).
    void drawn()
    {
        QApplication::processEvents();
        QApplication::sendPostedEvents();
    }
    // Before a timed response: the paints so far.
    void mark()
    {
        chart_paints_before = chart_paints.paints;
        table_paints_before = table_paints.paints;
    }
    // The chart always changes; the table's visible rows only with the
    // first response (later rows land below them).
    bool painted(bool table_visible_rows) const
    {
        return chart_paints.paints > chart_paints_before &&
               (!table_visible_rows || table_paints.paints > table_paints_before);
    }
    bool shown(int responses_shown) const
    {
        return form.isVisible() && painted(responses_shown == 1) &&
               form.NextGrid1->RowCount() == responses_shown * kRecords &&
               form.Series1->Count() == responses_shown * kRecords &&
               form.Series1->DrawnCount() > 0 && form.LineSeries1->DrawnCount() > 0;
    }

    ui::ScriptedDialogs dialogs;
    TForm2 form;
    PaintCounter chart_paints, table_paints;
    int chart_paints_before = 0, table_paints_before = 0;
    NullPort port;
    PlainTimer t1, t2, t3;
    LinkProtocol link;
    std::vector<std::string> responses;
};

// One window for every benchmark, gone before the application object.
std::unique_ptr<Rig> g_rig;
Rig& rig()
{
    if (!g_rig)
        g_rig = std::make_unique<Rig>();
    return *g_rig;
}

// The response in one chunk: the event that completes it, and the paint.
void BM_WindowLargestResponse(benchmark::State& state)
{
    Rig& g = rig();
    for (auto _ : state) {
        state.PauseTiming();
        g.prepare();
        g.mark();
        state.ResumeTiming();
        g.feed(g.responses[0], 0, g.responses[0].size());
        g.drawn();
    }
    if (!g.shown(1))
        state.SkipWithError("the response was not shown whole");
    state.counters["plot_px"] = g.form.Chart1->PlotArea().width();
}
BENCHMARK(BM_WindowLargestResponse)->Unit(benchmark::kMillisecond);

// As the port delivers it at 57600 baud, 288 bytes a poll: the work of all
// its chunks (the turns of the event loop between them have nothing to do
// until the last one completes the response), then the drawing.
void BM_WindowLargestResponseInChunks(benchmark::State& state)
{
    Rig& g = rig();
    const std::string& r = g.responses[0];
    for (auto _ : state) {
        state.PauseTiming();
        g.prepare();
        g.mark();
        state.ResumeTiming();
        for (std::size_t p = 0; p < r.size(); p += 288)
            g.feed(r, p, std::min<std::size_t>(288, r.size() - p));
        g.drawn();
    }
    if (!g.shown(1))
        state.SkipWithError("the response was not shown whole");
}
BENCHMARK(BM_WindowLargestResponseInChunks)->Unit(benchmark::kMillisecond);

// The twelfth response of a long test: the curve holds 60,071 points and the
// table as many rows; the bottom axis widens with this response too.
void long_curve(benchmark::State& state, bool chunks)
{
    Rig& g = rig();
    const std::string& r = g.responses[11];
    for (auto _ : state) {
        state.PauseTiming();
        g.prepare();
        for (int i = 0; i < 11; ++i) {
            g.feed(g.responses[std::size_t(i)], 0, g.responses[std::size_t(i)].size());
            g.link.Timer2Timer();
        }
        g.drawn();
        g.mark();
        state.ResumeTiming();
        if (chunks) {
            for (std::size_t p = 0; p < r.size(); p += 288)
                g.feed(r, p, std::min<std::size_t>(288, r.size() - p));
            g.drawn();
        } else {
            g.feed(r, 0, r.size());
            g.drawn();
        }
    }
    if (!g.shown(12))
        state.SkipWithError("the responses were not all shown");
    state.counters["curve"] = g.form.Series1->Count();
    state.counters["drawn"] = g.form.Series1->DrawnCount();
    state.counters["plot_px"] = g.form.Chart1->PlotArea().width();
}

void BM_WindowLargestResponseOntoLongCurve(benchmark::State& state)
{
    long_curve(state, false);
}
BENCHMARK(BM_WindowLargestResponseOntoLongCurve)->Unit(benchmark::kMillisecond);

void BM_WindowLargestResponseOntoLongCurveInChunks(benchmark::State& state)
{
    long_curve(state, true);
}
BENCHMARK(BM_WindowLargestResponseOntoLongCurveInChunks)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    // The window goes before the application does.
    return lekta::bench::run_widget_benchmarks(argc, argv, {}, [] { g_rig.reset(); });
}
