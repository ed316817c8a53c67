#include "series/series_loader.h"

#include <QProgressBar>
#include <QTimer>

#include "app/main_form.h"
#include "app/shell_state.h"
#include "graph/graph_worker.h"
#include "graph/open_progress.h"
#include "ui/error_display.h"
#include "ui/guarded_connect.h"

namespace lekta::series {

namespace {
SeriesLoader* g_running = nullptr;
}

SeriesLoader* SeriesLoader::running()
{
    return g_running;
}

bool SeriesLoader::launch(TForm1* main, TForm7* progress, std::vector<SeriesSource> sources,
                          Done done)
{
    if (shell().buffer_busy || g_running || MY::running())
        return false;
    auto* loader = new SeriesLoader(main, progress, std::move(sources), std::move(done));
    g_running = loader;
    if (main)
        main->set_buffer_busy(true);
    else
        shell().buffer_busy = true;
    if (progress) {
        progress->ProgressBar1->setRange(0, static_cast<int>(loader->sources_.size()));
        progress->ShowCentred();
    }
    ui::connect_guarded(loader, &QThread::finished, loader, [loader] { loader->finish(); });
    // The main window going (the program ends) stops the loader: nothing is shown over a window
    // that is gone.
    if (main)
        ui::connect_guarded(main, &QObject::destroyed, loader, [loader] {
            loader->main_ = nullptr;
            stop_running();
        });
    loader->timer_->start();
    loader->start();
    return true;
}

void SeriesLoader::stop_running()
{
    if (SeriesLoader* loader = g_running) {
        loader->stopped_ = true;
        loader->wait();
        loader->done_ = nullptr;
        loader->finish();
        delete loader;  // its posted deletion goes with it
    }
}

SeriesLoader::SeriesLoader(TForm1* main, TForm7* progress, std::vector<SeriesSource> sources,
                           Done done)
    : main_(main), progress_(progress), sources_(std::move(sources)), done_(std::move(done)),
      timer_(new QTimer(this))
{
    timer_->setInterval(16);
    ui::connect_guarded(timer_, &QTimer::timeout, this, [this] { show_progress(); });
}

SeriesLoader::~SeriesLoader()
{
    stopped_ = true;
    wait();
    if (g_running == this)
        g_running = nullptr;
}

void SeriesLoader::run()
{
    std::vector<SeriesTest> tests;
    tests.reserve(sources_.size());
    for (const SeriesSource& s : sources_) {
        if (stopped_)
            break;
        tests.push_back(load_series_test(s.path, s.shown));
        read_.fetch_add(1, std::memory_order_relaxed);
    }
    std::lock_guard lock(mutex_);
    tests_ = std::move(tests);
}

void SeriesLoader::show_progress()
{
    if (progress_)
        progress_->ProgressBar1->setValue(read_.load(std::memory_order_relaxed));
}

void SeriesLoader::finish()
{
    if (g_running != this)
        return;  // finished once already (stop_running, then the queued signal)
    g_running = nullptr;
    timer_->stop();
    if (progress_)
        progress_->close();
    if (main_)
        main_->set_buffer_busy(false);
    else
        shell().buffer_busy = false;
    std::vector<SeriesTest> tests;
    {
        std::lock_guard lock(mutex_);
        tests = std::move(tests_);
    }
    Done done = std::move(done_);
    deleteLater();
    if (done && !stopped_)
        done(std::move(tests));
}

}  // namespace lekta::series
