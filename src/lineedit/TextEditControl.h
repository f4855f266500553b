// TextEditControl: an EditControl kept in memory, with the editing operations a terminal
// performs itself. Every offset stays on a character boundary; invalid UTF-8 inserted is
// made valid, and the text never exceeds kInputCapacity characters. Cut, copy and the
// kill operations fill the control's own clipboard, which Paste inserts.
#pragma once

#include <string>
#include <string_view>

#include "lineedit/EditControl.h"

namespace zel {

class TextEditControl : public EditControl {
public:
    // --- EditControl ---
    std::string Text() const override { return text_; }
    size_t SelectionStart() const override { return std::min(anchor_, caret_); }
    size_t SelectionEnd() const override { return std::max(anchor_, caret_); }
    size_t Caret() const override { return caret_; }
    void Select(size_t anchor, size_t caret) override;
    void ReplaceSelection(std::string_view text) override;
    void Cut() override;
    void Copy() override;
    void Paste() override;
    // CONTROL+K, CONTROL+U, CONTROL+W, ALT+B, ALT+F, ALT+LEFT, ALT+RIGHT, ALT+BACKSPACE.
    bool OwnsKey(KeyCode code) const override;

    const std::string& Value() const { return text_; }
    size_t Anchor() const { return anchor_; }

    // Caret moves; with `extend` (Shift held) the selection's anchor stays.
    void MoveLeft(bool extend);   // one character; collapses a selection to its start
    void MoveRight(bool extend);  // one character; collapses a selection to its end
    void MoveHome(bool extend);
    void MoveEnd(bool extend);
    void WordLeft(bool extend);   // to the start of this or the previous word
    void WordRight(bool extend);  // to the end of this or the next word
    // Deletions: the selection when there is one, else the stated extent.
    void DeleteForward();   // the character after the caret (Delete)
    void Backspace();       // the character before the caret
    void KillToEnd();       // caret to end of line, into the clipboard (Ctrl-K)
    void KillToStart();     // start of line to caret, into the clipboard (Ctrl-U)
    void DeleteWordBack();  // the word before the caret, into the clipboard (Ctrl-W)

    // Performs an editing key: LEFT, RIGHT, HOME, END (SHIFT extends the selection),
    // BACKSPACE, DELETE and the keys OwnsKey names. False, changing nothing, for any other.
    bool EditKey(KeyCode code);

    const std::string& Clipboard() const { return clipboard_; }
    void SetClipboard(std::string_view text) { clipboard_ = text; }

private:
    void MoveTo(size_t at, bool extend);
    // Removes [from, to) after selecting it; `kill` keeps it in the clipboard.
    void RemoveRange(size_t from, size_t to, bool kill);

    std::string text_;
    size_t anchor_ = 0;
    size_t caret_ = 0;
    std::string clipboard_;
};

}  // namespace zel
