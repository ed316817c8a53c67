// The main of a benchmark that needs widgets: the offscreen platform unless
// another is asked for, a QApplication, then Google Benchmark's run with
// `before` ahead of it and `after` once it is over (both optional).
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

#include <functional>

namespace lekta::bench {

inline int run_widget_benchmarks(int argc, char** argv, const std::function<void()>& before = {},
                                 const std::function<void()>& after = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (before)
        before();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    if (after)
        after();
    benchmark::Shutdown();
    return 0;
}

}  // namespace lekta::bench
