// Results from the curve on the longest tests a file holds: the largest demo
// test (63,996 points, a rebar with a yield plateau) read as the graph window
// reads it, and an extensometer test of as many points, where the elastic
// line's least-squares fit is iterated and the offset line crossed too. The target is well under
// one 60 Hz frame (16 ms), so the results cost nothing visible when a test opens.
#include "analysis/curve_analysis.h"
#include "analysis/test_curve.h"
#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"
#include "testfile/reader.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace lekta;
using namespace lekta::analysis;

std::string g_largest, g_extensometer;

std::string write_sample(const std::string& name, const tools::BmdTest& t)
{
    const auto dir = std::filesystem::temp_directory_path() / "lekta-bench-analysis";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / name).string();
    if (!tools::write_bmd(path, t)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

void make_files()
{
    for (const tools::NamedTest& nt : tools::demo_tests())
        if (nt.name == tools::kLargestDemoName)
            g_largest = write_sample(nt.name, nt.test);
    tools::SampleSpecimen s;
    s.kind = tools::SampleKind::Extensometer;
    s.material = tools::Material::Steel45;
    s.points = static_cast<int>(tools::max_points(true));
    s.seed = 30;
    g_extensometer = write_sample("extensometer.bmd", tools::synthesize_test(s));
}

TestCurve load(const std::string& path)
{
    if (!read_test_file(path)) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    return read_test_curve();
}

// The engine alone on points already in memory.
void BM_Analyse(benchmark::State& state, const std::string* path)
{
    const TestCurve c = load(*path);
    for (auto _ : state)
        benchmark::DoNotOptimize(analyse_curve(c.input()));
    state.counters["points"] = static_cast<double>(c.points.size());
}

// What opening a test adds: the points out of the buffer, then the engine.
void BM_ReadAndAnalyse(benchmark::State& state, const std::string* path)
{
    load(*path);
    for (auto _ : state) {
        const TestCurve c = read_test_curve();
        benchmark::DoNotOptimize(analyse_curve(c.input()));
    }
}

BENCHMARK_CAPTURE(BM_Analyse, largest_demo, &g_largest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAndAnalyse, largest_demo, &g_largest)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Analyse, extensometer, &g_extensometer)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadAndAnalyse, extensometer, &g_extensometer)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    make_files();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(std::filesystem::temp_directory_path() / "lekta-bench-analysis");
    return 0;
}
