#pragma once
// A window timer as the link protocol sees it: enabled or not, with an
// interval; it ticks only while enabled with an interval above 0. start()
// counts afresh from now; a changed interval does too.
#include "online/link_interfaces.h"

#include <QTimer>
#include <functional>

namespace lekta {

class WindowTimer : public LinkTimer {
public:
    explicit WindowTimer(std::function<void()> on_tick, QObject* parent = nullptr);
    ~WindowTimer() override;
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;

    void start(int interval_ms) override;
    void stop() override;
    bool running() const override { return enabled_ && interval_ > 0; }
    void set_interval(int interval_ms) override;
    int interval() const override { return interval_; }
    bool enabled() const { return enabled_; }

private:
    void update();

    QTimer* timer_;
    std::function<void()> on_tick_;
    bool enabled_ = false;
    int interval_ = 1000;
};

}  // namespace lekta
