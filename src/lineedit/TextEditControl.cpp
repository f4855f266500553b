#include "lineedit/TextEditControl.h"

#include <algorithm>

#include "base/Utf8.h"

namespace zel {
namespace {

bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// `at` clamped to the text and moved back to the start of its character.
size_t Boundary(std::string_view text, size_t at)
{
    at = std::min(at, text.size());
    while (at > 0 && at < text.size() && IsContinuation(text[at])) --at;
    return at;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t';
}

// Letters, digits and every non-ASCII character make words for the word moves.
bool IsWordByte(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') ||
           (u >= 'A' && u <= 'Z') || u == '_';
}

// The first `count` characters of the text.
std::string_view FirstCharacters(std::string_view text, size_t count)
{
    size_t at = 0;
    for (size_t n = 0; n < count && at < text.size(); ++n) at = NextCharacter(text, at);
    return text.substr(0, at);
}

}  // namespace

void TextEditControl::Select(size_t anchor, size_t caret)
{
    anchor_ = Boundary(text_, anchor);
    caret_ = Boundary(text_, caret);
}

void TextEditControl::ReplaceSelection(std::string_view text)
{
    const size_t start = SelectionStart();
    const size_t end = SelectionEnd();
    const size_t kept = CharacterCount(text_) - CharacterCount(text_.substr(start, end - start));
    const size_t room = kept >= kInputCapacity ? 0 : kInputCapacity - kept;
    // Four bytes a character at most: a huge paste is cut before it is examined.
    const std::string valid = ValidUtf8(text.substr(0, std::min(text.size(), room * 4)));
    const std::string_view inserted = FirstCharacters(valid, room);
    text_.replace(start, end - start, inserted);
    anchor_ = caret_ = start + inserted.size();
}

void TextEditControl::Cut()
{
    Copy();
    ReplaceSelection({});
}

void TextEditControl::Copy()
{
    if (HasSelection())
        clipboard_ = text_.substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

void TextEditControl::Paste()
{
    ReplaceSelection(clipboard_);
}

bool TextEditControl::OwnsKey(KeyCode code) const
{
    switch (code) {
        case key::kControl | 'K':
        case key::kControl | 'U':
        case key::kControl | 'W':
        case key::kAlt | 'B':
        case key::kAlt | 'F':
        case key::kAlt | key::kLeft:
        case key::kAlt | key::kRight:
        case key::kAlt | key::kShift | key::kLeft:
        case key::kAlt | key::kShift | key::kRight:
        case key::kAlt | key::kBackspace:
            return true;
        default:
            return false;
    }
}

void TextEditControl::MoveTo(size_t at, bool extend)
{
    caret_ = at;
    if (!extend) anchor_ = at;
}

void TextEditControl::MoveLeft(bool extend)
{
    if (HasSelection() && !extend)
        MoveTo(SelectionStart(), false);
    else
        MoveTo(PreviousCharacter(text_, caret_), extend);
}

void TextEditControl::MoveRight(bool extend)
{
    if (HasSelection() && !extend)
        MoveTo(SelectionEnd(), false);
    else
        MoveTo(NextCharacter(text_, caret_), extend);
}

void TextEditControl::MoveHome(bool extend)
{
    MoveTo(0, extend);
}

void TextEditControl::MoveEnd(bool extend)
{
    MoveTo(text_.size(), extend);
}

void TextEditControl::WordLeft(bool extend)
{
    size_t at = caret_;
    while (at > 0 && !IsWordByte(text_[at - 1])) --at;
    while (at > 0 && IsWordByte(text_[at - 1])) --at;
    MoveTo(Boundary(text_, at), extend);
}

void TextEditControl::WordRight(bool extend)
{
    size_t at = caret_;
    while (at < text_.size() && !IsWordByte(text_[at])) ++at;
    while (at < text_.size() && IsWordByte(text_[at])) ++at;
    MoveTo(at, extend);
}

void TextEditControl::RemoveRange(size_t from, size_t to, bool kill)
{
    if (!HasSelection()) Select(from, to);
    if (kill)
        Cut();
    else
        ReplaceSelection({});
}

void TextEditControl::DeleteForward()
{
    RemoveRange(caret_, NextCharacter(text_, caret_), false);
}

void TextEditControl::Backspace()
{
    RemoveRange(PreviousCharacter(text_, caret_), caret_, false);
}

void TextEditControl::KillToEnd()
{
    RemoveRange(caret_, text_.size(), true);
}

void TextEditControl::KillToStart()
{
    RemoveRange(0, caret_, true);
}

void TextEditControl::DeleteWordBack()
{
    size_t at = caret_;
    while (at > 0 && IsSpace(text_[at - 1])) --at;
    while (at > 0 && !IsSpace(text_[at - 1])) --at;
    RemoveRange(at, caret_, true);
}

bool TextEditControl::EditKey(KeyCode code)
{
    const bool shift = (code & key::kShift) != 0;
    const KeyCode modifiers = code & ~key::kKeyMask & ~key::kShift;
    const KeyCode k = code & key::kKeyMask;
    if (modifiers == 0) {
        switch (k) {
            case key::kLeft:
                MoveLeft(shift);
                return true;
            case key::kRight:
                MoveRight(shift);
                return true;
            case key::kHome:
                MoveHome(shift);
                return true;
            case key::kEnd:
                MoveEnd(shift);
                return true;
            case key::kBackspace:
                if (!shift) Backspace();
                return !shift;
            case key::kDelete:
                if (!shift) DeleteForward();
                return !shift;
            default:
                return false;
        }
    }
    if (!OwnsKey(code)) return false;
    switch (code & ~key::kShift) {
        case key::kControl | 'K':
            KillToEnd();
            break;
        case key::kControl | 'U':
            KillToStart();
            break;
        case key::kControl | 'W':
        case key::kAlt | key::kBackspace:
            DeleteWordBack();
            break;
        case key::kAlt | 'B':
        case key::kAlt | key::kLeft:
            WordLeft(shift);
            break;
        default:  // ALT+F, ALT+RIGHT
            WordRight(shift);
            break;
    }
    return true;
}

}  // namespace zel
