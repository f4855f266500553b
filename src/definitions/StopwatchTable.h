// StopwatchTable: numbered start times, from `watch start` to `watch stop`. Times come from
// the steady clock, so changes of the wall clock never make an elapsed time negative or
// jump. `watch` runs on the user-interface thread and on the network thread (actions), so
// the table guards itself with its own mutex; nothing else is taken while it is held.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace zel {

class StopwatchTable {
public:
    using Clock = std::chrono::steady_clock;

    // Starts the stopwatch, or restarts it when it runs.
    void Start(int32_t id, Clock::time_point now)
    {
        std::scoped_lock lock(mutex_);
        starts_[id] = now;
    }
    // Removes the stopwatch and returns the whole milliseconds since its start, or nothing
    // when none runs under `id`. 64 bits: a stopwatch left running for weeks does not wrap.
    std::optional<int64_t> Stop(int32_t id, Clock::time_point now)
    {
        std::scoped_lock lock(mutex_);
        auto it = starts_.find(id);
        if (it == starts_.end()) return std::nullopt;
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - it->second);
        starts_.erase(it);
        return std::max<int64_t>(0, elapsed.count());
    }
    size_t Size() const
    {
        std::scoped_lock lock(mutex_);
        return starts_.size();
    }

private:
    mutable std::mutex mutex_;
    std::map<int32_t, Clock::time_point> starts_;
};

}  // namespace zel
