#include "graph/graph_worker.h"

#include "app/main_form.h"
#include "graph/curve_loader.h"
#include "graph/graf.h"
#include "graph/open_progress.h"
#include "ui/error_display.h"
#include "ui/guarded_connect.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QThreadPool>
#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>
#include <utility>

// Every hand-over between the loader and another thread goes through Qt: a
// queued call the loader waits for, a task for the thread pool, the end of
// the thread that QThread::wait() or the finished signal reports. Qt makes
// threads wait through futexes ThreadSanitizer cannot see, so the thread
// letting go says HANDING_OVER(p) and the one taking over TAKING_OVER(p), on
// the same p. Nothing outside a ThreadSanitizer build.
#if defined(__SANITIZE_THREAD__)
#define LEKTA_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LEKTA_THREAD_SANITIZER 1
#endif
#endif
#ifdef LEKTA_THREAD_SANITIZER
#include <sanitizer/tsan_interface.h>
#define HANDING_OVER(p) __tsan_release(static_cast<void*>(p))
#define TAKING_OVER(p) __tsan_acquire(static_cast<void*>(p))
#else
#define HANDING_OVER(p) static_cast<void>(p)
#define TAKING_OVER(p) static_cast<void>(p)
#endif

namespace lekta {

namespace {
QPointer<MY> g_running;          // UI thread only
constexpr qint64 kFrameMs = 16;  // one frame of a 60 Hz screen
// Where a table freed on the thread pool changes hands: an address of its
// own, since the task reads nothing of its own before it took over.
char g_rows_to_free;
}  // namespace

MY::MY(const Windows& windows)
    : main_(windows.main), graph_(windows.graph), progress_(windows.progress)
{
    // The thread's name for debuggers.
    setObjectName(QStringLiteral("wait"));
}

MY::~MY()
{
    // The thread ended (wait() returned or finished was emitted): all it
    // did is ours now.
    TAKING_OVER(this);
}

bool MY::launch(const Windows& windows)
{
    if (MY* old = g_running) {
        if (!old->released_)
            return false;
        // Past its last step: it is only returning.
        old->wait();
        delete old;
    }
    // Closed before the thread runs, so no second request slips in.
    if (windows.main)
        windows.main->set_buffer_busy(true);
    auto* worker = new MY(windows);
    ui::connect_guarded(worker, &QThread::finished, worker, &QObject::deleteLater);
    // The finished signal's last receiver, on the loader's own thread: past
    // it the thread no longer touches the loader (the queued deleteLater
    // above reads it), and whoever deletes it takes over. It runs on the
    // loader's thread, where no error can be shown, and cannot throw.
    connect(  // plain connect: cannot throw
        worker, &QThread::finished, worker, [worker] { HANDING_OVER(worker); },
        Qt::DirectConnection);
    g_running = worker;
    worker->start();
    return true;
}

MY* MY::running()
{
    return g_running;
}

void MY::stop_running()
{
    MY* worker = g_running;
    if (!worker)
        return;
    worker->stopped_ = true;
    // Beneath us on the stack the modal hand-over still runs: it returns
    // when the window goes, and the loader then ends by itself.
    if (worker->in_modal_)
        return;
    // A hand-over already posted is dropped, which lets the loader go on.
    while (!worker->wait(5))
        QCoreApplication::removePostedEvents(worker, QEvent::MetaCall);
    delete worker;
}

bool MY::Synchronize(const std::function<void()>& step)
{
    if (stopped_)
        return false;
    // By name, so that Qt allocates and frees the call where the sanitizer
    // does not look; a functor's call object would be written here and read
    // there outside the hand-over.
    step_ = &step;
    HANDING_OVER(this);
    QMetaObject::invokeMethod(this, "hand_over", Qt::BlockingQueuedConnection);
    TAKING_OVER(this);
    step_ = nullptr;
    if (std::exception_ptr failure = std::exchange(failure_, nullptr))
        std::rethrow_exception(failure);
    return !stopped_;
}

void MY::hand_over()
{
    TAKING_OVER(this);
    // Dropped by stop_running (the call never comes) or stopped since it
    // was posted.
    if (!stopped_) {
        try {
            (*step_)();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }
    HANDING_OVER(this);
}

void MY::run()
{
    try {
        load();
    } catch (const std::exception& e) {
        fail(QString::fromUtf8(e.what()));
    } catch (...) {
        fail(QStringLiteral("Unknown error"));
    }
}

void MY::load()
{
    if (!Synchronize([this] {
            if (!progress_)
                return;
            progress_->ShowCentred();
            bar_pixels_ = std::max(1, progress_->ProgressBar1->contentsRect().width());
        }))
        return;
    if (!Synchronize([this] {
            if (main_)
                main_->set_buffer_busy(true);
        }))
        return;
    {
        // The previous test's rows (some 200,000 texts) are freed on a pool
        // thread while this one reads the next: neither the operator's
        // thread nor the load waits for it.
        auto previous = std::make_shared<std::vector<ui::GridRow>>();
        if (!Synchronize([this, &previous] {
                if (graph_)
                    *previous = graph_->EmptyTable();
            }))
            return;
        if (!previous->empty()) {
            std::function<void()> free_rows = [previous = std::move(previous)]() mutable {
                TAKING_OVER(&g_rows_to_free);
                previous.reset();
            };
            HANDING_OVER(&g_rows_to_free);
            QThreadPool::globalInstance()->start(std::move(free_rows));
        }
    }

    // The position goes over when the bar would move by a pixel, and no
    // more often than the screen shows frames: each hand-over wakes the UI
    // thread and repaints the bar, and the last point always goes over.
    int shown = -1;  // the bar's position in pixels, as handed over last
    QElapsedTimer since_shown;
    LoadedCurve curve = read_curve([&](std::int32_t i, std::int32_t n) {
        po = i;
        const int pixel = static_cast<int>(static_cast<std::int64_t>(po) * bar_pixels_ / n);
        const bool due = pixel != shown &&
                         (!since_shown.isValid() || since_shown.elapsed() >= kFrameMs);
        if (!due && po != n)
            return !stopped_.load();
        shown = pixel;
        since_shown.start();
        return Synchronize([this, n, position = po] {
            if (!progress_)
                return;
            progress_->ProgressBar1->setRange(0, n);
            progress_->ProgressBar1->setValue(position);
        });
    });
    if (stopped_)
        return;
    // The results panel's values, from the same buffer (a millisecond or
    // two on the largest test).
    curve.results = std::make_shared<const analysis::ComparedResults>(
        analysis::analyse_buffer_test());

    if (!Synchronize([this, &curve] {
            if (graph_)
                graph_->ShowCurve(curve);
        }))
        return;
    if (!Synchronize([this] {
            if (progress_)
                progress_->close();
        }))
        return;
    // The window is modal: from its showing on, nothing reaches the
    // catalogue. The catalogue is enabled once the window has been painted,
    // so the operator's window is not kept waiting for the main window's
    // repaint behind it.
    Synchronize([this] {
        struct Released {
            MY& loader;
            ~Released()
            {
                loader.in_modal_ = false;
                loader.released_ = true;
            }
        } released{*this};
        auto enable_catalogue = [main = main_] {
            if (main)
                main->set_buffer_busy(false);
        };
        if (!graph_) {
            enable_catalogue();
            return;
        }
        in_modal_ = true;
        graph_->ShowModal(enable_catalogue);
    });
}

void MY::fail(const QString& text)
{
    try {
        // Each step on its own, as far as the loader was not stopped.
        Synchronize([this] {
            if (progress_)
                progress_->close();
        }) &&
            Synchronize([this] {
                if (main_)
                    main_->set_buffer_busy(false);
            }) &&
            Synchronize([this, text] {
                released_ = true;
                ui::show_error(text);
            });
    } catch (...) {
        // Nothing is left to tell it to.
    }
}

}  // namespace lekta
