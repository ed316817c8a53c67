// The chart layer on a 1600 × 900 chart, offscreen: a whole 64,000-point
// curve replaced and painted the first time, one repaint, one zoom step, and
// a live response of 5,461 points appended to a 60,000-point curve; beside
// them bare QtCharts (a line series replaced in one call) painting the same
// curve, as the floor. Targets: a repaint and a zoom step well inside one
// 60 Hz frame (16 ms), the append within 5 ms.
#include "chart/chart.h"
#include "lib/sample_tests.h"
#include "support/widget_bench_main.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QValueAxis>
#include <benchmark/benchmark.h>
#include <cmath>
#include <vector>

namespace {

using namespace lekta::ui;

constexpr int kCurvePoints = 63996;
constexpr int kLongCurve = 60000;
constexpr int kResponse = 5461;

// A realistic test from the sample generator: a 12 mm rebar in tension,
// with the sensor noise of the instrument. X = H Δ in mm, Y = F in kN.
std::vector<ChartPoint> test_curve(int n, std::uint64_t seed = 1)
{
    lekta::tools::SampleSpecimen s;
    s.kind = lekta::tools::SampleKind::Tension;
    s.shape = 2;
    s.material = lekta::tools::Material::A500C;
    s.size1_mm = 12;
    s.points = n;
    s.seed = seed;
    const lekta::tools::BmdTest t = lekta::tools::synthesize_test(s);
    std::vector<ChartPoint> out;
    out.reserve(t.points.size());
    for (const auto& p : t.points)
        out.push_back({p.h / 1000.0, p.f / 1000.0});
    return out;
}

// The graph window's chart: curve, reference line, automatic axes. With
// `direct` the chart paints its series itself (the online window's live charts).
struct GraphChart {
    explicit GraphChart(bool direct = false)
    {
        if (direct)
            chart.SetSeriesDrawing(SeriesDrawing::Direct);
        chart.resize(1600, 900);
        chart.LeftAxis().SetTitle("F, кН");
        chart.BottomAxis().SetTitle("Δ ,мм ");
        chart.Title().SetText("Серия-12 №-3 Круг-10 мм.  Ft=40 кН.");
        curve = chart.AddSeries(SeriesKind::Line);
        curve->SetColor(255);
        curve->SetLineWidth(3);
        line = chart.AddSeries(SeriesKind::FastLine);
        line->SetColor(16711680);
        chart.show();
        QApplication::processEvents();
    }
    Chart chart;
    ChartSeries* curve;
    ChartSeries* line;
};

void BM_ReplaceAndFirstPaint(benchmark::State& state)
{
    GraphChart g;
    const std::vector<ChartPoint> curves[2] = {test_curve(kCurvePoints),
                                               test_curve(kCurvePoints, 2)};
    int k = 0;
    for (auto _ : state) {
        g.curve->ReplacePoints(curves[k ^= 1]);
        g.line->Clear();
        g.line->AddXY(g.curve->MinXValue(), 30);
        g.line->AddXY(g.curve->MaxXValue(), 30);
        g.chart.Repaint();
    }
    state.counters["drawn"] = g.curve->DrawnCount();
}
BENCHMARK(BM_ReplaceAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_Repaint(benchmark::State& state)
{
    GraphChart g;
    g.curve->ReplacePoints(test_curve(kCurvePoints));
    g.chart.Repaint();
    for (auto _ : state)
        g.chart.Repaint();
}
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond);

void BM_ZoomStep(benchmark::State& state)
{
    GraphChart g;
    g.curve->ReplacePoints(test_curve(kCurvePoints));
    g.chart.Repaint();
    const double w = g.curve->MaxXValue();
    const double h = g.curve->MaxYValue();
    const QRectF zooms[2] = {QRectF(QPointF(0.05 * w, 0.4 * h), QPointF(0.4 * w, 0.9 * h)),
                             QRectF(QPointF(0.1 * w, 0.5 * h), QPointF(0.7 * w, 1.0 * h))};
    int k = 0;
    for (auto _ : state) {
        g.chart.ZoomRect(zooms[k ^= 1]);
        g.chart.Repaint();
    }
}
BENCHMARK(BM_ZoomStep)->Unit(benchmark::kMillisecond);

// The online window's main chart: manual axes that the engine widens after
// each response to the largest X and Y plus 5 %.
void append_response(benchmark::State& state, bool widen, bool paint, bool direct = false)
{
    GraphChart g(direct);
    const std::vector<ChartPoint> all = test_curve(kLongCurve + kResponse);
    const std::vector<ChartPoint> head(all.begin(), all.begin() + kLongCurve);
    const std::vector<ChartPoint> response(all.begin() + kLongCurve, all.end());
    g.chart.BottomAxis().SetMinMax(0, all.back().x * 1.2);
    g.chart.LeftAxis().SetMinMax(-0.2, g.curve->MaxYValue() + 100);
    for (auto _ : state) {
        state.PauseTiming();
        g.curve->ReplacePoints(head);
        g.chart.Repaint();
        state.ResumeTiming();
        g.curve->AppendPoints(response);
        if (widen) {
            g.chart.BottomAxis().SetMaximum(g.curve->MaxXValue() * 1.05);
            g.chart.LeftAxis().SetMaximum(g.curve->MaxYValue() * 1.05);
        }
        if (paint)
            g.chart.Repaint();
        else
            g.chart.Refresh();
    }
    state.counters["drawn"] = g.curve->DrawnCount();
}

// The ranges move with every response while the curve grows.
void BM_AppendResponseAxesWidened(benchmark::State& state)
{
    append_response(state, true, true);
}
BENCHMARK(BM_AppendResponseAxesWidened)->Unit(benchmark::kMillisecond);

// The ranges stay (the bottom axis keeps its 50 mm until the curve reaches it).
void BM_AppendResponseSameRange(benchmark::State& state)
{
    append_response(state, false, true);
}
BENCHMARK(BM_AppendResponseSameRange)->Unit(benchmark::kMillisecond);

// The same without the repaint: the points taken in, thinned and handed to
// the drawing library.
void BM_AppendResponseAxesWidenedNoPaint(benchmark::State& state)
{
    append_response(state, true, false);
}
BENCHMARK(BM_AppendResponseAxesWidenedNoPaint)->Unit(benchmark::kMillisecond);

void BM_AppendResponseSameRangeNoPaint(benchmark::State& state)
{
    append_response(state, false, false);
}
BENCHMARK(BM_AppendResponseSameRangeNoPaint)->Unit(benchmark::kMillisecond);

// The same with the chart painting its series itself (SeriesDrawing::Direct).
void BM_DirectAppendResponseAxesWidened(benchmark::State& state)
{
    append_response(state, true, true, true);
}
BENCHMARK(BM_DirectAppendResponseAxesWidened)->Unit(benchmark::kMillisecond);

void BM_DirectAppendResponseSameRange(benchmark::State& state)
{
    append_response(state, false, true, true);
}
BENCHMARK(BM_DirectAppendResponseSameRange)->Unit(benchmark::kMillisecond);

void BM_DirectRepaint(benchmark::State& state)
{
    GraphChart g(true);
    g.curve->ReplacePoints(test_curve(kCurvePoints));
    g.chart.Repaint();
    for (auto _ : state)
        g.chart.Repaint();
}
BENCHMARK(BM_DirectRepaint)->Unit(benchmark::kMillisecond);

// Bare QtCharts: every point in one line series, replaced in one call.
struct BareChart {
    BareChart()
    {
        chart = new QChart;
        chart->legend()->hide();
        chart->setAnimationOptions(QChart::NoAnimation);
        series = new QLineSeries;
        QPen pen(Qt::red);
        pen.setWidth(3);
        series->setPen(pen);
        chart->addSeries(series);
        auto* x = new QValueAxis;
        auto* y = new QValueAxis;
        chart->addAxis(x, Qt::AlignBottom);
        chart->addAxis(y, Qt::AlignLeft);
        series->attachAxis(x);
        series->attachAxis(y);
        x->setRange(0, 60);
        y->setRange(0, 70);
        view = new QChartView(chart);
        view->setRenderHint(QPainter::Antialiasing, false);
        view->resize(1600, 900);
        view->show();
        QApplication::processEvents();
    }
    ~BareChart() { delete view; }
    QChart* chart;
    QLineSeries* series;
    QChartView* view;
};

QList<QPointF> as_qt(const std::vector<ChartPoint>& points)
{
    QList<QPointF> out;
    out.reserve(static_cast<qsizetype>(points.size()));
    for (const ChartPoint& p : points)
        out.append(QPointF(p.x, p.y));
    return out;
}

void BM_BareQtChartsReplaceAndFirstPaint(benchmark::State& state)
{
    BareChart b;
    const QList<QPointF> curves[2] = {as_qt(test_curve(kCurvePoints)),
                                      as_qt(test_curve(kCurvePoints, 2))};
    int k = 0;
    for (auto _ : state) {
        b.series->replace(curves[k ^= 1]);
        b.view->viewport()->repaint();
    }
}
BENCHMARK(BM_BareQtChartsReplaceAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_BareQtChartsRepaint(benchmark::State& state)
{
    BareChart b;
    b.series->replace(as_qt(test_curve(kCurvePoints)));
    b.view->viewport()->repaint();
    for (auto _ : state)
        b.view->viewport()->repaint();
}
BENCHMARK(BM_BareQtChartsRepaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return lekta::bench::run_widget_benchmarks(argc, argv);
}
