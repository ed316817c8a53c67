// The largest data response the unit can send (5,461 records) decoded and
// shown: the engine's work plus a view whose curves are real chart series in
// a shown chart view and whose point table is a list of text rows. Time per
// response; the poll comes every 500 ms and the target is under 5 ms.
#include "online/link_protocol.h"
#include "support/link_bench.h"
#include "support/widget_bench_main.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QString>
#include <QValueAxis>
#include <algorithm>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace lekta;
using bench::encode;
using bench::NullPort;
using bench::PlainTimer;

// Two charts with their series, as the online window builds them; extents
// kept as points arrive so no response rescans a whole curve.
class ChartView : public LinkView {
public:
    ChartView()
    {
        for (int c = 0; c < 2; ++c) {
            charts[c] = new QChart;
            bottom[c] = new QValueAxis;
            left[c] = new QValueAxis;
            charts[c]->addAxis(bottom[c], Qt::AlignBottom);
            charts[c]->addAxis(left[c], Qt::AlignLeft);
            views[c] = std::make_unique<QChartView>(charts[c]);
            views[c]->resize(800, 600);
            views[c]->show();
        }
        bottom[0]->setRange(0, 50);
        left[0]->setRange(-0.2, 20);
        for (int s = 0; s < 4; ++s) {
            series[s] = new QLineSeries;
            QChart* chart = charts[s < 2 ? 0 : 1];
            chart->addSeries(series[s]);
            series[s]->attachAxis(bottom[s < 2 ? 0 : 1]);
            series[s]->attachAxis(left[s < 2 ? 0 : 1]);
        }
    }

    void clear()
    {
        for (int s = 0; s < 4; ++s) {
            series[s]->clear();
            extents[s] = {};
        }
        rows.clear();
    }

    void set_extensometer_chart_visible(bool v) override { panel2 = v; }
    void set_main_chart_title(const std::string& t) override
    {
        charts[0]->setTitle(QString::fromStdString(t));
    }
    void set_label(int i, const std::string& t) override { labels[i] = QString::fromStdString(t); }
    void set_record_count_text(const std::string& t) override
    {
        record_count = QString::fromStdString(t);
    }

    void add_points(LinkSeries s, const std::vector<LinkPoint>& pts) override
    {
        const int i = int(s);
        QList<QPointF> all = series[i]->points();
        const bool was_empty = all.isEmpty();
        all.reserve(all.size() + qsizetype(pts.size()));
        SeriesExtent& e = extents[i];
        for (const LinkPoint& p : pts) {
            if (was_empty && all.isEmpty())
                e = {p.x, p.x, p.y, p.y};
            e.min_x = std::min(e.min_x, p.x);
            e.max_x = std::max(e.max_x, p.x);
            e.min_y = std::min(e.min_y, p.y);
            e.max_y = std::max(e.max_y, p.y);
            all.append(QPointF(p.x, p.y));
        }
        series[i]->replace(all);
    }
    SeriesExtent extent(LinkSeries s) const override { return extents[int(s)]; }

    double bottom_minimum(LinkChart c) const override { return bottom[int(c)]->min(); }
    double bottom_maximum(LinkChart c) const override { return bottom[int(c)]->max(); }
    void set_bottom_minimum(LinkChart c, double v) override { bottom[int(c)]->setMin(v); }
    void set_bottom_maximum(LinkChart c, double v) override { bottom[int(c)]->setMax(v); }
    void set_left_minimum(LinkChart c, double v) override { left[int(c)]->setMin(v); }
    void set_left_maximum(LinkChart c, double v) override { left[int(c)]->setMax(v); }
    void set_manual_left_minimum_bottom_maximum(LinkChart) override {}

    void unit_not_found() override {}
    void link_lost() override {}
    void add_rows(const std::vector<PointRow>& r) override
    {
        rows.reserve(rows.size() + r.size());
        for (const PointRow& row : r)
            rows.push_back({QString::fromStdString(row.f), QString::fromStdString(row.h),
                            row.has_he ? QString::fromStdString(row.he) : QString()});
    }

    std::array<QChart*, 2> charts{};
    std::array<QValueAxis*, 2> bottom{}, left{};
    std::array<std::unique_ptr<QChartView>, 2> views;
    std::array<QLineSeries*, 4> series{};
    std::array<SeriesExtent, 4> extents{};
    std::vector<std::array<QString, 3>> rows;
    std::map<int, QString> labels;
    QString record_count;
    bool panel2 = false;
};

// A realistic curve: load rising and falling over 60 mm, extensometer
// readings on the first half.
std::string largest_response()
{
    constexpr int n = 5461;
    std::string r = "PS";
    encode(n, 2, r);
    for (int k = 0; k < n; ++k) {
        const std::int32_t h = k * 11;
        const std::int32_t f = 40000 - (k - 3000) * (k - 3000) / 300;
        const std::int32_t he = k < n / 2 ? k * 3 : LinkProtocol::kNoExtensometer;
        encode(std::uint32_t(f), 4, r);
        encode(std::uint32_t(h), 4, r);
        encode(std::uint32_t(he), 4, r);
    }
    r += 'T';
    encode(21500, 4, r);
    encode(19800, 4, r);
    return r;
}

struct Rig {
    Rig() : link(port, t1, t2, t3, view), response(largest_response()) { link.FormCreate(); }
    // A fresh online run up to the first 'D', with empty curves.
    void prepare()
    {
        view.clear();
        link.start("bench");
        const unsigned char y = 'Y';
        link.CommPortDriver1ReceiveData(&y, 1);
        link.Timer1Timer();
    }
    void feed(std::size_t from, std::size_t size)
    {
        link.CommPortDriver1ReceiveData(reinterpret_cast<const unsigned char*>(response.data()) +
                                            from,
                                        static_cast<std::uint32_t>(size));
    }
    NullPort port;
    PlainTimer t1, t2, t3;
    ChartView view;
    LinkProtocol link;
    std::string response;
};

// The response in one chunk: the work of the event that completes it.
void BM_LargestResponse(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        state.PauseTiming();
        rig.prepare();
        QApplication::processEvents();
        state.ResumeTiming();
        rig.feed(0, rig.response.size());
    }
    if (rig.view.record_count != QStringLiteral("5461") || rig.view.series[0]->count() != 5461 ||
        rig.view.rows.size() != 5461)
        state.SkipWithError("the response was not shown whole");
    state.SetItemsProcessed(state.iterations() * 5461);
}
BENCHMARK(BM_LargestResponse)->Unit(benchmark::kMillisecond);

// The same response as the port delivers it at 57600 baud, 288 bytes every
// 50 ms: the sum over all its chunks, the waiting ones included.
void BM_LargestResponseInChunks(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        state.PauseTiming();
        rig.prepare();
        QApplication::processEvents();
        state.ResumeTiming();
        for (std::size_t p = 0; p < rig.response.size(); p += 288)
            rig.feed(p, std::min<std::size_t>(288, rig.response.size() - p));
    }
    if (rig.view.record_count != QStringLiteral("5461"))
        state.SkipWithError("the response was not shown");
}
BENCHMARK(BM_LargestResponseInChunks)->Unit(benchmark::kMillisecond);

// The twelfth response of a long test: the curve already holds 11 responses.
void BM_LargestResponseOntoLongCurve(benchmark::State& state)
{
    Rig rig;
    for (auto _ : state) {
        state.PauseTiming();
        rig.prepare();
        for (int i = 0; i < 11; ++i) {
            rig.feed(0, rig.response.size());
            rig.link.Timer2Timer();
        }
        QApplication::processEvents();
        state.ResumeTiming();
        rig.feed(0, rig.response.size());
    }
    if (rig.view.series[0]->count() != 12 * 5461)
        state.SkipWithError("the responses were not all shown");
}
BENCHMARK(BM_LargestResponseOntoLongCurve)->Unit(benchmark::kMillisecond);

// The engine alone, into a view that only keeps the points and rows: what
// the decoding and the texts cost apart from the charts.
struct PlainView : LinkView {
    void set_extensometer_chart_visible(bool) override {}
    void set_main_chart_title(const std::string&) override {}
    void set_label(int, const std::string&) override {}
    void set_record_count_text(const std::string& t) override { record_count = t; }
    void add_points(LinkSeries s, const std::vector<LinkPoint>& p) override
    {
        auto& v = series[int(s)];
        v.insert(v.end(), p.begin(), p.end());
    }
    SeriesExtent extent(LinkSeries) const override { return {}; }
    double bottom_minimum(LinkChart) const override { return 0; }
    double bottom_maximum(LinkChart) const override { return 50; }
    void set_bottom_minimum(LinkChart, double) override {}
    void set_bottom_maximum(LinkChart, double) override {}
    void set_left_minimum(LinkChart, double) override {}
    void set_left_maximum(LinkChart, double) override {}
    void set_manual_left_minimum_bottom_maximum(LinkChart) override {}
    void add_rows(const std::vector<PointRow>& r) override
    {
        rows.insert(rows.end(), r.begin(), r.end());
    }
    void unit_not_found() override {}
    void link_lost() override {}
    std::array<std::vector<LinkPoint>, 4> series;
    std::vector<PointRow> rows;
    std::string record_count;
};

void BM_EngineAlone(benchmark::State& state)
{
    NullPort port;
    PlainTimer t1, t2, t3;
    PlainView view;
    LinkProtocol link(port, t1, t2, t3, view);
    const std::string r = largest_response();
    const unsigned char y = 'Y';
    link.start("bench");
    link.CommPortDriver1ReceiveData(&y, 1);
    link.Timer1Timer();
    for (auto _ : state) {
        for (auto& v : view.series)
            v.clear();
        view.rows.clear();
        link.CommPortDriver1ReceiveData(reinterpret_cast<const unsigned char*>(r.data()),
                                        std::uint32_t(r.size()));
        link.Timer2Timer();
    }
    if (view.record_count != "5461")
        state.SkipWithError("the response was not shown");
}
BENCHMARK(BM_EngineAlone)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return lekta::bench::run_widget_benchmarks(argc, argv);
}
