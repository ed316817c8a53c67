#include "online/window_timer.h"

#include "ui/guarded_connect.h"

namespace lekta {

WindowTimer::WindowTimer(std::function<void()> on_tick, QObject* parent)
    : timer_(new QTimer(parent)), on_tick_(std::move(on_tick))
{
    timer_->setTimerType(Qt::CoarseTimer);
    ui::connect_guarded(timer_, &QTimer::timeout, timer_, [this] {
        if (running() && on_tick_)
            on_tick_();
    });
}

WindowTimer::~WindowTimer()
{
    // The QTimer may belong to a parent that outlives this object.
    timer_->disconnect();
    delete timer_;
}

void WindowTimer::start(int interval_ms)
{
    interval_ = interval_ms;
    enabled_ = true;
    update();
}

void WindowTimer::stop()
{
    enabled_ = false;
    update();
}

void WindowTimer::set_interval(int interval_ms)
{
    if (interval_ms == interval_)
        return;
    interval_ = interval_ms;
    update();
}

void WindowTimer::update()
{
    timer_->stop();
    if (running())
        timer_->start(interval_);
}

}  // namespace lekta
