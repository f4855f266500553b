// The console host's window timers on a clock the test moves by hand.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

#include "console/WindowTimerSchedule.h"

namespace zel {
namespace {

using namespace std::chrono_literals;
using Ids = std::vector<int>;
const auto t0 = WindowTimerSchedule::Clock::time_point{} + 1h;

// Every id due at `now`, in the order TakeDue gives them.
Ids TakeAll(WindowTimerSchedule& schedule, WindowTimerSchedule::Clock::time_point now)
{
    Ids ids;
    while (std::optional<int> id = schedule.TakeDue(now)) ids.push_back(*id);
    return ids;
}

TEST(TimerSchedule, PeriodGridWithoutCatchUpBursts)
{
    WindowTimerSchedule s;
    EXPECT_EQ(s.MillisecondsUntilDue(t0), -1);
    s.Start(150, 100, t0);
    EXPECT_EQ(s.MillisecondsUntilDue(t0 + 500us), 100);  // rounded up: a wait never ends early
    EXPECT_EQ(TakeAll(s, t0 + 99ms), Ids{});
    EXPECT_EQ(TakeAll(s, t0 + 100ms), Ids{150});
    EXPECT_EQ(TakeAll(s, t0 + 230ms), Ids{150});  // a late wake-up keeps the grid
    EXPECT_EQ(s.NextDue(), t0 + 300ms);
    // After a command that ran for ten periods: one run, the next a period later.
    EXPECT_EQ(TakeAll(s, t0 + 1300ms), Ids{150});
    EXPECT_EQ(s.NextDue(), t0 + 1400ms);

    // Several due: each once per pass, earliest first.
    s.Start(300, 30, t0);
    s.Start(100, 50, t0);
    s.Start(200, 10, t0);
    EXPECT_EQ(TakeAll(s, t0 + 60ms), (Ids{200, 300, 100}));
    EXPECT_EQ(s.NextDue(), t0 + 70ms);
}

TEST(TimerSchedule, RestartStopAndOddIntervals)
{
    WindowTimerSchedule s;
    s.Start(150, 100, t0);
    s.Start(150, 300, t0 + 50ms);  // a running id counts again with the new interval
    EXPECT_EQ(s.NextDue(), t0 + 350ms);
    s.Stop(150);
    s.Stop(151);
    EXPECT_EQ(TakeAll(s, t0 + 1h), Ids{});
    // Zero and negative intervals are a millisecond: never due again within one pass.
    s.Start(1, 0, t0);
    s.Start(2, -5, t0);
    EXPECT_EQ(TakeAll(s, t0 + 1ms), (Ids{1, 2}));
    s.Clear();
    s.Start(3, 2147483647, t0);
    EXPECT_EQ(s.MillisecondsUntilDue(t0), 2147483647);
}

}  // namespace
}  // namespace zel
