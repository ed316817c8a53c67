#include "graph/graph_worker.h"

#include "app/main_form.h"
#include "graph/curve_loader.h"
#include "graph/graf.h"
#include "graph/open_progress.h"
#include "ui/error_display.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <algorithm>
#include <exception>
#include <stdexcept>

namespace lekta {

namespace {
QPointer<MY> g_running;  // UI thread only
}

MY::MY(const Windows& windows) : main_(windows.main), graph_(windows.graph), progress_(windows.progress)
{
    // The thread's name for debuggers.
    setObjectName(QStringLiteral("wait"));
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
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
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
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        this,
        [&] {
            if (stopped_)
                return;
            try {
                step();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure)
        std::rethrow_exception(failure);
    return !stopped_;
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

    int shown = -1;  // the bar's position in pixels, as handed over last
    LoadedCurve curve = read_curve([&](std::int32_t i, std::int32_t n) {
        po = i;
        const int pixel = static_cast<int>(static_cast<std::int64_t>(po) * bar_pixels_ / n);
        if (pixel == shown && po != n)
            return !stopped_.load();
        shown = pixel;
        return Synchronize([this, n, position = po] {
            if (!progress_)
                return;
            progress_->ProgressBar1->setRange(0, n);
            progress_->ProgressBar1->setValue(position);
        });
    });
    if (stopped_)
        return;

    if (!Synchronize([this, &curve] {
            if (graph_)
                graph_->ShowCurve(std::move(curve));
        }))
        return;
    if (!Synchronize([this] {
            if (progress_)
                progress_->close();
        }))
        return;
    // Enabling the catalogue and showing the window modally happen in one
    // turn of the event loop: nothing can reach the catalogue in between.
    Synchronize([this] {
        struct Released {
            MY& loader;
            ~Released()
            {
                loader.in_modal_ = false;
                loader.released_ = true;
            }
        } released{*this};
        if (main_)
            main_->set_buffer_busy(false);
        if (!graph_)
            return;
        in_modal_ = true;
        graph_->ShowModal();
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
