// CommandHistory: the lines typed by the user, newest last, bounded by the total size of
// `option history`, and the history cursor: the entry being browsed, if any. The file
// "history.zel" and the list widget come with the input line (src/lineedit/).
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace zel {

class CommandHistory {
public:
    // Records a line. The reference entry is the one under the cursor, or the last: a line
    // equal to it when it is the last is not added again. Otherwise a recalled entry (the
    // cursor on any but the last) is removed, the oldest go while the list is full, and the
    // line is appended. The cursor is removed. True when the list changed.
    bool Add(std::string_view line);
    // Keeps at most `total` lines (at least one); older ones are dropped.
    void SetTotalSize(int32_t total);
    const std::deque<std::string>& Lines() const { return lines_; }

    // The index of the entry under the cursor, or none.
    std::optional<size_t> Cursor() const { return cursor_; }
    // An index past the end removes the cursor.
    void SetCursor(std::optional<size_t> index);
    void ClearCursor() { cursor_.reset(); }

private:
    void Trim(size_t keep);
    std::deque<std::string> lines_;
    size_t total_ = 1000;
    std::optional<size_t> cursor_;
};

}  // namespace zel
