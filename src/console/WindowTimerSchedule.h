// WindowTimerSchedule: periodic window timers by id for a host that runs its own event loop.
// It keeps due times on a steady clock and says which timer is due; the host's loop sleeps
// until NextDue and hands each due id to ClientWindow::OnWindowTimer. No clock is read and
// no lock is taken here: the caller passes the time and guards the schedule.
#pragma once

#include <chrono>
#include <map>
#include <optional>

namespace zel {

class WindowTimerSchedule {
public:
    using Clock = std::chrono::steady_clock;

    // Sets timer `id` to expire every `milliseconds` (at least 1) from `now`; a running one
    // gets the new interval and starts counting again.
    void Start(int id, int milliseconds, Clock::time_point now);
    void Stop(int id) { timers_.erase(id); }
    void Clear() { timers_.clear(); }

    // The earliest due time, or nothing when no timer runs.
    std::optional<Clock::time_point> NextDue() const;
    // Milliseconds from `now` to NextDue, rounded up so that a wait of that long finds the
    // timer due; 0 when one is due already, -1 when none runs.
    int MillisecondsUntilDue(Clock::time_point now) const;
    // The id of the earliest timer due at `now`, whose next expiry moves on by one period.
    // Expiries missed while a slow command ran are dropped, not run in a burst: the next one
    // is then a period after `now`. Since that is later than `now`, repeated calls with the
    // same `now` return each due timer once, and a timer that its own command restarts
    // counts from its restart.
    std::optional<int> TakeDue(Clock::time_point now);

private:
    struct Timer {
        Clock::duration period;
        Clock::time_point due;
    };
    std::map<int, Timer> timers_;
};

}  // namespace zel
