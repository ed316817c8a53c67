// The protocol's window timers over Qt's timer: enabled and interval as two
// settings, a zero interval counting as stopped.
#include "online/window_timer.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace lekta {
namespace {

TEST(WindowTimerTest, TicksOnlyWhileEnabledWithAnInterval)
{
    int ticks = 0;
    WindowTimer t([&] { ++ticks; });
    EXPECT_FALSE(t.running());
    EXPECT_EQ(t.interval(), 1000);

    t.set_interval(20);  // a stopped timer stays stopped
    EXPECT_FALSE(t.running());
    testing::pump_events(80);
    EXPECT_EQ(ticks, 0);

    t.start(20);
    EXPECT_TRUE(t.running());
    ASSERT_TRUE(testing::wait_until([&] { return ticks >= 3; }, 2000));

    // Interval 0 is stopped, though enabled: no busy ticking.
    t.set_interval(0);
    EXPECT_TRUE(t.enabled());
    EXPECT_FALSE(t.running());
    const int at_zero = ticks;
    testing::pump_events(80);
    EXPECT_EQ(ticks, at_zero);

    t.set_interval(20);  // enabled again with an interval: ticks resume
    ASSERT_TRUE(testing::wait_until([&] { return ticks > at_zero; }, 2000));
    t.stop();
    const int at_stop = ticks;
    testing::pump_events(80);
    EXPECT_EQ(ticks, at_stop);
}

TEST(WindowTimerTest, StartCountsAfreshFromNow)
{
    int ticks = 0;
    WindowTimer t([&] { ++ticks; });
    t.start(500);
    // Restarted every 100 ms, a 500 ms timer never comes due.
    for (int i = 0; i < 4; ++i) {
        testing::pump_events(100);
        t.start(500);
    }
    EXPECT_EQ(ticks, 0);
    ASSERT_TRUE(testing::wait_until([&] { return ticks == 1; }, 2000));
}

TEST(WindowTimerTest, ATickThatStopsTheTimerIsTheLast)
{
    int ticks = 0;
    WindowTimer* self = nullptr;
    WindowTimer t([&] {
        ++ticks;
        self->stop();
    });
    self = &t;
    t.start(10);
    ASSERT_TRUE(testing::wait_until([&] { return ticks == 1; }, 2000));
    testing::pump_events(60);
    EXPECT_EQ(ticks, 1);
    EXPECT_FALSE(t.running());
}

}  // namespace
}  // namespace lekta
