// HostLoop: the part of a host's event loop that other threads reach: calls posted to the
// loop's thread, window timers, and a wake pipe that ends the loop's wait. The host polls
// WakeFd with its own descriptors, for at most PollTimeout, then calls RunPosted and hands
// each TakeDueTimer id to ClientWindow::OnWindowTimer.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "console/WindowTimerSchedule.h"
#include "net/WakePipe.h"

namespace zel {

class HostLoop {
public:
    // The calling thread becomes the loop's thread; from now on other threads' calls queue.
    void Begin();
    // Calls run at once again, on whatever thread makes them; timers are stopped.
    void End();
    bool OnLoopThread() const { return std::this_thread::get_id() == loopThread_; }

    // Readable while calls wait or a Wake is pending.
    int WakeFd() const { return wake_.ReadFd(); }
    void Wake() { wake_.Signal(); }
    // Runs `call` on the loop's thread and waits for it; at once on that thread or when the
    // loop is not running.
    void RunOnLoop(const std::function<void()>& call);
    // Queues `call` for the loop's thread; at once on that thread or when not running.
    void Post(std::function<void()> call);
    // Drains the wake pipe and runs the calls queued so far.
    void RunPosted();

    // Any thread, never waiting for the loop's thread.
    void StartTimer(int id, int milliseconds);
    void StopTimer(int id);
    // `limit` in milliseconds (-1 for none), shortened to the next timer's expiry.
    int PollTimeout(int limit);
    // The next timer due at `now` (see WindowTimerSchedule::TakeDue).
    std::optional<int> TakeDueTimer(WindowTimerSchedule::Clock::time_point now);

private:
    bool Queues() const { return running_ && !OnLoopThread() && wake_.Valid(); }

    WakePipe wake_;
    std::thread::id loopThread_;
    std::atomic<bool> running_{false};
    std::mutex postedMutex_;  // innermost
    std::deque<std::function<void()>> posted_;
    std::mutex timersMutex_;  // innermost
    WindowTimerSchedule timers_;
};

}  // namespace zel
