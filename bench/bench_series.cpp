// A series of 50 of the largest tests a file holds (63,996 points each,
// extensometer layout) on one chart, on a 1600 × 900 offscreen screen:
// from "Построить" (the rows handed to the command) through the loader
// thread to the series window shown and its chart painted, for 10, 25 and
// 50 tests with the process's memory growth per test; one repaint, one
// zoom step and one highlight (a legend entry clicked) of the chart with
// all 50 curves. Targets: the open within 1 s, a repaint and a zoom step
// within one 60 Hz frame (16 ms), memory growing linearly with the tests.
#include "app/main_form.h"
#include "app/settings_store.h"
#include "app/shell_state.h"
#include "chart/chart.h"
#include "chart/chart_view.h"
#include "graph/open_progress.h"
#include "lib/sample_tests.h"
#include "series/series_command.h"
#include "series/series_loader.h"
#include "series/series_selector.h"
#include "series/series_window.h"
#include "support/bench_program.h"
#include "support/measure.h"
#include "support/widget_bench_main.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace lekta;
using bench::median;
using bench::process_cpu_ms;
using bench::status_kb;

constexpr int kTests = 50;

std::unique_ptr<QTemporaryDir> g_home;

// Fifty bars of one steel, each with its own scatter, as many points as an
// extensometer test holds.
void make_tests()
{
    g_home = std::make_unique<QTemporaryDir>();
    const QString dir = g_home->filePath("tests");
    QDir().mkpath(dir);
    for (int i = 0; i < kTests; ++i) {
        tools::SampleSpecimen s;
        s.kind = tools::SampleKind::Extensometer;
        s.material = tools::Material::Steel45;
        s.size1_mm = 10 + 0.02 * (i % 5);
        s.points = static_cast<int>(tools::max_points(true));
        s.series = 40;
        s.test_no = static_cast<std::uint8_t>(i + 1);
        s.seed = 4000u + static_cast<unsigned>(i);
        s.vary_material = true;
        char name[32];
        std::snprintf(name, sizeof name, "S40-%03d.bmd", i + 1);
        const tools::BmdTest t = tools::synthesize_test(s);
        if (t.points.size() != 63996 || !tools::write_bmd((dir + "/" + name).toStdString(), t)) {
            std::fprintf(stderr, "cannot write the tests\n");
            std::exit(1);
        }
    }
    bench::use_settings(*g_home, dir);
}

struct Program {
    Program()
    {
        main = bench::start_main(dialogs, kTests);
        selector = new TForm4(main.get());
        progress = new TForm7(main.get());
        main->showMaximized();
        QApplication::processEvents();
    }
    ~Program() { series::SeriesLoader::stop_running(); }

    // "Построить" on the first `count` rows; `shown` runs once the series
    // window's chart has painted; then the window closes.
    void open(int count, const std::function<void(TForm12&)>& shown)
    {
        bench::AfterPaint painted;
        QEventLoop until_painted;
        TForm12* window = nullptr;
        painted.on_paint = [&] {
            shown(*window);
            window->close();
            until_painted.quit();
        };
        std::vector<int> rows;
        for (int r = 0; r < count; ++r)
            rows.push_back(r);
        series::build_series({main.get(), selector, progress, &dialogs,
                              [&](TForm12& w) {
                                  window = &w;
                                  w.Chart1->View()->viewport()->installEventFilter(&painted);
                              }},
                             rows);
        until_painted.exec();
        QApplication::processEvents();  // the closed window goes
    }

    ui::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> main;
    TForm4* selector = nullptr;
    TForm7* progress = nullptr;
};

std::unique_ptr<Program> g_program;

Program& program()
{
    if (!g_program) {
        g_program = std::make_unique<Program>();
        g_program->open(2, [](TForm12&) {});  // warm: fonts, caches, the first layout
    }
    return *g_program;
}

void BM_BuildToPainted(benchmark::State& state)
{
    Program& p = program();
    const int count = static_cast<int>(state.range(0));
    std::vector<double> times, cpu;
    long grown_kb = 0;
    for (auto _ : state) {
        const long before = status_kb("VmRSS");
        QElapsedTimer t;
        t.start();
        const double cpu_start = process_cpu_ms();
        double ms = 0;
        p.open(count, [&](TForm12&) {
            ms = t.nsecsElapsed() / 1e6;
            cpu.push_back(process_cpu_ms() - cpu_start);
            grown_kb = std::max(grown_kb, status_kb("VmRSS") - before);
        });
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
    }
    state.counters["median_ms"] = median(times);
    // Both threads' processor time: the wall time on a machine to itself.
    state.counters["cpu_ms"] = median(cpu);
    state.counters["tests"] = count;
    // What the open window holds over the process before it, per test.
    state.counters["MiB_per_test"] = grown_kb / 1024.0 / count;
}
BENCHMARK(BM_BuildToPainted)
    ->Arg(10)
    ->Arg(25)
    ->Arg(kTests)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// Argument: the graph parameters' line width (fifty curves are drawn one
// pixel wide whatever it is).
void BM_Repaint50(benchmark::State& state)
{
    Program& p = program();
    shell().line_width = QString::number(state.range(0));
    p.open(kTests, [&](TForm12& w) {
        ui::Chart& c = *w.Chart1;
        c.Repaint();
        for (auto _ : state)
            c.Repaint();
        state.counters["curves"] = static_cast<double>(w.Tests().size());
    });
}
BENCHMARK(BM_Repaint50)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_ZoomStep50(benchmark::State& state)
{
    Program& p = program();
    shell().line_width = QString::number(state.range(0));
    p.open(kTests, [&](TForm12& w) {
        ui::Chart& c = *w.Chart1;
        const double xw = c.Series(0)->MaxXValue();
        const double h = c.Series(0)->MaxYValue();
        const QRectF zooms[2] = {QRectF(QPointF(0.05 * xw, 0.4 * h), QPointF(0.4 * xw, 0.9 * h)),
                                 QRectF(QPointF(0.1 * xw, 0.5 * h), QPointF(0.7 * xw, 1.0 * h))};
        int k = 0;
        for (auto _ : state) {
            c.ZoomRect(zooms[k ^= 1]);
            c.Repaint();
        }
    });
}
BENCHMARK(BM_ZoomStep50)->Arg(3)->Unit(benchmark::kMillisecond);

// A click on a legend entry: that curve drawn wide over the others, which
// are drawn again one pixel wide.
void BM_Highlight50(benchmark::State& state)
{
    Program& p = program();
    shell().line_width = QString::number(state.range(0));
    p.open(kTests, [&](TForm12& w) {
        int k = 0;
        for (auto _ : state) {
            w.Highlight(k ^= 1);
            w.Chart1->Repaint();
        }
    });
}
BENCHMARK(BM_Highlight50)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir screen;
    bench::use_offscreen_screen(screen.path());
    return bench::run_widget_benchmarks(
        argc, argv, [] { make_tests(); }, [] { g_program.reset(); });
}
