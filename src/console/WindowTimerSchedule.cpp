// WindowTimerSchedule: due times of the periodic window timers; see the header.
#include "console/WindowTimerSchedule.h"

#include <algorithm>
#include <climits>

namespace zel {

void WindowTimerSchedule::Start(int id, int milliseconds, Clock::time_point now)
{
    const Clock::duration period = std::chrono::milliseconds(std::max(milliseconds, 1));
    timers_[id] = Timer{period, now + period};
}

std::optional<WindowTimerSchedule::Clock::time_point> WindowTimerSchedule::NextDue() const
{
    std::optional<Clock::time_point> next;
    for (const auto& [id, timer] : timers_)
        if (!next || timer.due < *next) next = timer.due;
    return next;
}

int WindowTimerSchedule::MillisecondsUntilDue(Clock::time_point now) const
{
    const auto next = NextDue();
    if (!next) return -1;
    if (*next <= now) return 0;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - now).count();
    return int(std::min<decltype(wait)>(wait, INT_MAX));
}

std::optional<int> WindowTimerSchedule::TakeDue(Clock::time_point now)
{
    auto earliest = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (it->second.due <= now &&
            (earliest == timers_.end() || it->second.due < earliest->second.due))
            earliest = it;
    if (earliest == timers_.end()) return std::nullopt;
    Timer& timer = earliest->second;
    timer.due += timer.period;
    if (timer.due <= now) timer.due = now + timer.period;
    return earliest->first;
}

}  // namespace zel
