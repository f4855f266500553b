#include "lineedit/InputLine.h"

#include <mutex>

#include "base/Utf8.h"
#include "engine/ClientWindow.h"
#include "input/InternalActions.h"
#include "input/KeyNames.h"
#include "lineedit/CommandAtCaret.h"
#include "lineedit/KeyInput.h"

namespace zel {
namespace {

using A = InternalAction;

constexpr int kClearOn = 2;

// The first kInputCapacity characters.
std::string_view CutToCapacity(std::string_view text)
{
    size_t at = 0;
    for (size_t n = 0; n < kInputCapacity && at < text.size(); ++n) at = NextCharacter(text, at);
    return text.substr(0, at);
}

}  // namespace

InputLine::InputLine(ClientWindow& client, EditControl& edit, bool useBindings)
    : client_(client), edit_(edit), useBindings_(useBindings)
{
}

bool InputLine::KeyPress(KeyCode code)
{
    if (code != 0 && IsModifierKey(code)) return true;
    if (forceKeyCode_) {
        forceKeyCode_ = false;
        cycling_ = false;
        InsertText(KeyName(code));
        return true;
    }
    if (PerformBinding(code)) return true;

    if (IsOrdinaryTyping(code) || edit_.OwnsKey(code)) {
        cycling_ = false;
        const bool afterExecution = showsExecuted_;
        showsExecuted_ = false;
        const KeyCode k = code & key::kKeyMask;
        if (k == key::kReturn || k == key::kEscape) return true;
        // The first keystroke after an execution replaces the executed command.
        if (afterExecution && !changed_ && client_.GetOptions().clearMode != kClearOn) {
            edit_.SelectAll();
            changed_ = true;
        }
        textBeforeTyping_ = edit_.Text();
        return false;
    }
    cycling_ = false;
    InsertText(KeyName(code));
    return true;
}

void InputLine::KeyReachedControl()
{
    if (edit_.Text() != textBeforeTyping_) changed_ = true;
}

bool InputLine::PerformBinding(KeyCode code)
{
    KeyBinding binding;
    if (useBindings_) {
        std::scoped_lock lock(client_.DefinitionLock());
        const KeyBinding* found = client_.Bindings().Find(code);
        if (!found) return false;
        binding = *found;
    } else {
        binding.kind = BindingKind::Action;
        if (code == key::kReturn)
            binding.action = uint8_t(A::Exec);
        else if (code == key::kEscape)
            binding.action = uint8_t(A::Clear);
        else if (code == (key::kControl | key::kTab))
            binding.action = uint8_t(A::ForceKeycode);
        else
            return false;
    }
    const bool completing =
        binding.kind == BindingKind::Action && (binding.action == uint8_t(A::CompletionNext) ||
                                                binding.action == uint8_t(A::CompletionPrev));
    if (!completing) cycling_ = false;
    switch (binding.kind) {
        case BindingKind::Exec:
            Execute(client_.EngineToUtf8(binding.command));
            break;
        case BindingKind::Insert:
            InsertText(client_.EngineToUtf8(binding.command));
            PostDeselect();
            break;
        case BindingKind::Action:
            if (PerformAction(binding.action)) PostDeselect();
            break;
    }
    return true;
}

bool InputLine::IsOwnAction(int action)
{
    switch (A(action)) {
        case A::Exec:
        case A::CompletionNext:
        case A::CompletionPrev:
        case A::ClipCut:
        case A::ClipCopy:
        case A::ClipPaste:
        case A::Del:
        case A::Clear:
        case A::SelectAll:
        case A::SelectNone:
        case A::Insert:
        case A::HardSpace:
        case A::HardReturn:
        case A::HardTab:
        case A::ForceKeycode:
            return action > 0 && action < 256;
        default:
            return false;
    }
}

bool InputLine::PerformAction(int action)
{
    if (PerformOwnAction(action)) return true;
    client_.PerformInternalAction(action);
    return false;
}

bool InputLine::PerformOwnAction(int action)
{
    if (!IsOwnAction(action)) return false;
    if (A(action) != A::Exec) showsExecuted_ = false;
    switch (A(action)) {
        case A::Exec:
            Execute();
            break;
        case A::CompletionNext:
        case A::CompletionPrev:
            CompletionStep(A(action) == A::CompletionNext);
            break;
        case A::ClipCut:
            edit_.Cut();
            changed_ = true;
            break;
        case A::ClipCopy:
            edit_.Copy();
            break;
        case A::ClipPaste:
            edit_.Paste();
            changed_ = true;
            break;
        case A::Del:
            if (!edit_.HasSelection()) {
                const std::string text = edit_.Text();
                edit_.Select(edit_.Caret(), NextCharacter(text, edit_.Caret()));
            }
            edit_.ReplaceSelection({});
            changed_ = true;
            break;
        case A::Clear:
            if (edit_.Text().empty())
                client_.PerformInternalAction(int(A::Escape));
            else
                edit_.SetText({});
            break;
        case A::SelectAll:
            edit_.SelectAll();
            break;
        case A::SelectNone:
            edit_.SelectNone();
            break;
        case A::HardSpace:
            InsertText("\\ ");
            break;
        case A::HardReturn:
            InsertText("\\r\\n");
            break;
        case A::HardTab:
            InsertText("\\t");
            break;
        case A::ForceKeycode:
            forceKeyCode_ = true;
            break;
        default:  // INSERT: nothing
            break;
    }
    return true;
}

void InputLine::Execute(std::optional<std::string_view> utf8Text)
{
    const int mode = client_.GetOptions().clearMode;
    std::string buffer;
    if (utf8Text)
        buffer = CutToCapacity(*utf8Text);
    else if (mode == kClearOn || changed_)
        buffer = CutToCapacity(edit_.Text());
    // else: RETURN on the unchanged executed command sends an empty one.
    if (mode == kClearOn)
        edit_.SetText({});
    else
        edit_.SelectAll();
    showsExecuted_ = true;
    changed_ = false;
    cycling_ = false;
    client_.ExecuteLine(client_.Utf8ToEngine(buffer), true, true);
    if (executed_) executed_();
}

void InputLine::CompletionStep(bool forward)
{
    const std::string text = edit_.Text();
    const CommandAtCaret at = FindCommandAtCaret(text, edit_.Caret(), client_.Chars());
    const std::string current = client_.Utf8ToEngine(at.TextIn(text));
    if (!cycling_) cyclePrefix_ = current;

    std::optional<std::string> found;
    {
        std::scoped_lock lock(client_.DefinitionLock());
        const auto& entries = client_.Completions().Entries();
        auto it = entries.lower_bound(current);
        if (forward) {
            const auto skipDisabled = [&] {
                while (it != entries.end() && it->second.disabled) ++it;
            };
            skipDisabled();
            if ((current.empty() || cycling_) && it != entries.end()) {
                ++it;
                skipDisabled();
            }
        } else if (!cycling_) {
            // A new cycle backwards starts at the last entry with the prefix.
            it = entries.lower_bound(current);
            while (it != entries.end() && it->first.starts_with(current)) ++it;
        }
        if (!forward) {
            do {
                if (it == entries.begin()) {
                    it = entries.end();
                    break;
                }
                --it;
            } while (it->second.disabled);
        }
        if (it != entries.end() && it->first.starts_with(cyclePrefix_)) found = it->first;
    }
    if (found) {
        edit_.Select(at.start, at.end);
        edit_.ReplaceSelection(client_.EngineToUtf8(*found));
        changed_ = true;
    } else {
        client_.GetHost().Beep(0xFFFFFFFF);
        edit_.Select(at.end, at.end);
    }
    cycling_ = true;
}

std::string InputLine::EngineText() const
{
    return client_.Utf8ToEngine(edit_.Text());
}

void InputLine::SetEngineText(std::string_view text)
{
    cycling_ = false;
    edit_.SetText(client_.EngineToUtf8(text));
}

void InputLine::InsertEngineText(std::string_view text)
{
    InsertText(client_.EngineToUtf8(text));
}

void InputLine::InsertText(std::string_view text)
{
    edit_.ReplaceSelection(text);
    changed_ = true;
}

void InputLine::PostDeselect()
{
    client_.PerformInternalAction(int(A::HistDeselect));
}

}  // namespace zel
