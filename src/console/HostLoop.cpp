#include "console/HostLoop.h"

#include <algorithm>
#include <future>

namespace zel {

void HostLoop::Begin()
{
    loopThread_ = std::this_thread::get_id();
    running_ = true;
}

void HostLoop::End()
{
    {
        std::scoped_lock lock(timersMutex_);
        timers_.Clear();
    }
    running_ = false;
}

void HostLoop::RunOnLoop(const std::function<void()>& call)
{
    if (!Queues()) {
        call();
        return;
    }
    std::promise<void> done;
    {
        std::scoped_lock lock(postedMutex_);
        posted_.push_back([&] {
            call();
            done.set_value();
        });
    }
    Wake();
    done.get_future().wait();
}

void HostLoop::Post(std::function<void()> call)
{
    if (!Queues()) {
        call();
        return;
    }
    {
        std::scoped_lock lock(postedMutex_);
        posted_.push_back(std::move(call));
    }
    Wake();
}

void HostLoop::RunPosted()
{
    if (wake_.Valid()) wake_.Drain();
    std::deque<std::function<void()>> calls;
    {
        std::scoped_lock lock(postedMutex_);
        calls.swap(posted_);
    }
    for (auto& call : calls) call();
}

void HostLoop::StartTimer(int id, int milliseconds)
{
    {
        std::scoped_lock lock(timersMutex_);
        timers_.Start(id, milliseconds, WindowTimerSchedule::Clock::now());
    }
    // The loop may be asleep with a timeout computed before this timer existed.
    if (!OnLoopThread()) Wake();
}

void HostLoop::StopTimer(int id)
{
    std::scoped_lock lock(timersMutex_);
    timers_.Stop(id);
}

int HostLoop::PollTimeout(int limit)
{
    std::scoped_lock lock(timersMutex_);
    const int untilDue = timers_.MillisecondsUntilDue(WindowTimerSchedule::Clock::now());
    if (untilDue < 0) return limit;
    return limit < 0 ? untilDue : std::min(limit, untilDue);
}

std::optional<int> HostLoop::TakeDueTimer(WindowTimerSchedule::Clock::time_point now)
{
    std::scoped_lock lock(timersMutex_);
    return timers_.TakeDue(now);
}

}  // namespace zel
