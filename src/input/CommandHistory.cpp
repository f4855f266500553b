#include "input/CommandHistory.h"

namespace zel {

bool CommandHistory::Add(std::string_view line)
{
    const std::optional<size_t> cursor = cursor_;
    cursor_.reset();
    const size_t reference = cursor.value_or(lines_.size() - 1);
    const bool onLast = lines_.empty() || reference + 1 == lines_.size();
    if (!lines_.empty() && onLast && lines_[reference] == line) return false;
    // The recalled entry goes first, so a full list stays full.
    if (cursor && !onLast) lines_.erase(lines_.begin() + std::ptrdiff_t(*cursor));
    Trim(total_ - 1);
    lines_.emplace_back(line);
    return true;
}

void CommandHistory::SetTotalSize(int32_t total)
{
    total_ = total < 1 ? 1 : size_t(total);
    Trim(total_);
}

void CommandHistory::SetCursor(std::optional<size_t> index)
{
    cursor_ = index && *index < lines_.size() ? index : std::nullopt;
}

void CommandHistory::Trim(size_t keep)
{
    while (lines_.size() > keep) {
        lines_.pop_front();
        if (cursor_) cursor_ = *cursor_ == 0 ? std::nullopt : std::optional(*cursor_ - 1);
    }
}

}  // namespace zel
