// TimerTable: the user's timers, numbered records listed in ascending id order. Whether a
// timer runs is not kept here: it is the state of the host's window timer with the same
// id. The table takes no lock: its owner, ClientWindow, guards it with DefinitionLock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace zel {

// Window timer ids below this one belong to the window itself (1 the status bar, 2 and 3
// the tip); a user timer numbered below it is kept and listed but never given a window
// timer, so it cannot disturb them, and its command never runs.
constexpr int32_t kFirstUserTimerId = 100;

struct Timer {
    int32_t period = 0;  // milliseconds, greater than 0 once added
    std::string command;
    std::string description;
    bool disabled = false;
};

class TimerTable {
public:
    using Map = std::map<int32_t, Timer>;

    Timer* Find(int32_t id)
    {
        auto it = map_.find(id);
        return it == map_.end() ? nullptr : &it->second;
    }
    // The record under `id`, created empty when absent.
    Timer& Insert(int32_t id) { return map_[id]; }
    bool Erase(int32_t id) { return map_.erase(id) > 0; }
    const Map& Entries() const { return map_; }
    size_t Size() const { return map_.size(); }

private:
    Map map_;
};

}  // namespace zel
