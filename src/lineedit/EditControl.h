// EditControl: the one-line text control an input line edits through. Text is UTF-8; the
// selection and the caret are byte offsets at character boundaries. The desktop window
// implements it over its line-edit widget (converting offsets to the widget's positions);
// TextEditControl.h is the plain in-memory one the terminal draws.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "input/KeyCode.h"

namespace zel {

// Characters the input line holds at most: the command buffer's size. Longer text is cut.
constexpr size_t kInputCapacity = 4095;

class EditControl {
public:
    virtual ~EditControl() = default;

    virtual std::string Text() const = 0;
    // The selection [start, end), empty when start == end; the caret is at one of its ends.
    virtual size_t SelectionStart() const = 0;
    virtual size_t SelectionEnd() const = 0;
    virtual size_t Caret() const = 0;
    // Selects from `anchor` to `caret` (either order); equal offsets place the caret with
    // nothing selected. Offsets beyond the text are taken as its end.
    virtual void Select(size_t anchor, size_t caret) = 0;
    // Replaces the selection by `text`, keeping the whole within kInputCapacity characters;
    // the caret ends after the inserted text, nothing selected.
    virtual void ReplaceSelection(std::string_view text) = 0;
    // The clipboard, as the host has it.
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void Paste() = 0;
    // True when a Control or Alt combination has an editing meaning in this control (Ctrl-K
    // in the terminal, say): the input line then leaves such an unbound key to the control
    // instead of inserting its name. A bound key always acts as bound.
    virtual bool OwnsKey(KeyCode) const { return false; }

    // Replaces the whole text; caret at the end, nothing selected.
    void SetText(std::string_view text);
    // Everything selected, caret at the end.
    void SelectAll();
    // Caret at the end, nothing selected.
    void SelectNone();
    bool HasSelection() const { return SelectionStart() != SelectionEnd(); }
};

}  // namespace zel
