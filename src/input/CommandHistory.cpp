#include "input/CommandHistory.h"

namespace zel {

void CommandHistory::Add(std::string_view line)
{
    lines_.emplace_back(line);
    Trim();
}

void CommandHistory::SetTotalSize(int32_t total)
{
    total_ = total < 1 ? 1 : size_t(total);
    Trim();
}

void CommandHistory::Trim()
{
    while (lines_.size() > total_) lines_.pop_front();
}

}  // namespace zel
