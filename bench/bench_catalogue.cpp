// Building the catalogue of 2,000 realistic test files with a warm page
// cache, against the I/O floor: a bare loop that opens each file and reads
// only its header and its tail.
#include "app/catalogue_columns.h"
#include "app/catalogue_loader.h"
#include "app/shell_state.h"
#include "support/widget_bench_main.h"
#include "ui/dialogs.h"
#include "ui/grid.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string g_dir;
std::vector<std::string> g_paths;
constexpr int kFiles = 2000;

void make_files(const char* argv0)
{
    const std::string bin = std::filesystem::path(argv0).parent_path().string();
    g_dir = (std::filesystem::temp_directory_path() / "lekta-bench-catalogue").string();
    std::filesystem::remove_all(g_dir);
    std::filesystem::create_directories(g_dir);
    const std::string cmd = bin + "/lekta_make_samples --count " + std::to_string(kFiles) +
                            " --seed 7 " + g_dir + " >/dev/null";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "cannot run %s\n", cmd.c_str());
        std::exit(1);
    }
    for (const auto& e : std::filesystem::directory_iterator(g_dir))
        g_paths.push_back(e.path().string());
}

// The floor: open, read the 28 header bytes, read the tail, close.
void io_floor()
{
    unsigned char head[28], tail[32];
    for (const std::string& p : g_paths) {
        const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        ::fstat(fd, &st);
        benchmark::DoNotOptimize(::read(fd, head, sizeof head));
        benchmark::DoNotOptimize(
            ::pread(fd, tail, sizeof tail, st.st_size - static_cast<off_t>(sizeof tail)));
        ::close(fd);
    }
}

struct Catalogue {
    Catalogue()
    {
        lekta::add_catalogue_columns(grid);
        grid.resize(1400, 800);
        grid.show();
    }
    void load() { lekta::load_fil(grid, dialogs, QString::fromStdString(g_dir) + "/"); }
    lekta::ui::Grid grid;
    lekta::ui::ScriptedDialogs dialogs;
};

void BM_IoFloor(benchmark::State& state)
{
    io_floor();
    for (auto _ : state)
        io_floor();
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(g_paths.size()));
}
BENCHMARK(BM_IoFloor)->Unit(benchmark::kMillisecond);

void BM_LoadFil(benchmark::State& state)
{
    Catalogue c;
    c.load();
    for (auto _ : state) {
        c.load();
        QApplication::processEvents();  // the grid repaints what the load changed
    }
    if (c.grid.RowCount() != kFiles)
        state.SkipWithError("not every file was listed");
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_LoadFil)->Unit(benchmark::kMillisecond);

// Both in one run, best of several, so the ratio is read off one line.
void BM_RatioToFloor(benchmark::State& state)
{
    Catalogue c;
    c.load();
    double best_load = 1e9, best_floor = 1e9;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        io_floor();
        best_floor = std::min(best_floor, t.nsecsElapsed() / 1e9);
        t.restart();
        c.load();
        QApplication::processEvents();
        best_load = std::min(best_load, t.nsecsElapsed() / 1e9);
    }
    state.counters["files_per_s"] = kFiles / best_load;
    state.counters["floor_files_per_s"] = kFiles / best_floor;
    state.counters["ratio_to_floor"] = best_load / best_floor;
}
BENCHMARK(BM_RatioToFloor)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    const char* program = argv[0];
    return lekta::bench::run_widget_benchmarks(
        argc, argv, [program] { make_files(program); }, [] { std::filesystem::remove_all(g_dir); });
}
