// CommandHistory: the lines typed by the user, newest last, bounded by the total size of
// `option history`. The file "history.zel" and the list widget come with the input line.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace zel {

class CommandHistory {
public:
    void Add(std::string_view line);
    // Keeps at most `total` lines (at least one); older ones are dropped.
    void SetTotalSize(int32_t total);
    const std::deque<std::string>& Lines() const { return lines_; }

private:
    void Trim();
    std::deque<std::string> lines_;
    size_t total_ = 1000;
};

}  // namespace zel
