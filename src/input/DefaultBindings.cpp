// The key bindings a client window starts with.
#include "input/BindingMap.h"
#include "input/InternalActions.h"

namespace zel {
namespace {

using namespace key;
using A = InternalAction;

struct DefaultBinding {
    KeyCode key;
    InternalAction action;
    const char* description;
};

// CONTROL+RETURN inserts a hard newline, so EXEC_EMPTY has no key.
// clang-format off
constexpr DefaultBinding kDefaults[] = {
    {kReturn, A::Exec, "Executes the content of the input window"},
    {kControl | kUp, A::ScrollLineUp, "Scrolls the output/buffer window one line up"},
    {kControl | kDown, A::ScrollLineDown, "Scrolls the output/buffer window one line down"},
    {kControl | kPageUp, A::ScrollPageUp, "Scrolls the output/buffer window one page up"},
    {kControl | kPageDown, A::ScrollPageDown, "Scrolls the output/buffer window one page down"},
    {kControl | kHome, A::ScrollToTop, "Scrolls the output/buffer window to the top"},
    {kControl | kEnd, A::ScrollToBottom, "Scrolls the output/buffer window to the bottom"},
    {kControl | kLeft, A::ScrollColumnsLeft,
     "Scrolls the output/buffer window 8 columns to the left"},
    {kControl | kRight, A::ScrollColumnsRight,
     "Scrolls the output/buffer window 8 columns to the right"},
    {kScrollLock, A::ScrollToggle, "Toggles the buffer window"},
    {kAlt | kDown, A::ScrollSizeInc, "Increases the buffer window size"},
    {kAlt | kUp, A::ScrollSizeDec, "Decreases the buffer window size"},
    {kUp, A::HistLineUp, "Moves the history cursor one line up"},
    {kDown, A::HistLineDown, "Moves the history cursor one line down"},
    {kPageUp, A::HistPageUp, "Moves the history cursor one page up"},
    {kPageDown, A::HistPageDown, "Moves the history cursor one page down"},
    {kAlt | kInsert, A::CompletionAdd, "Adds the word under the cursor to the completion list"},
    {kAlt | kDelete, A::CompletionDel,
     "Removes the word under the cursor from the completion list"},
    {kTab, A::CompletionNext, "Next completion"},
    {kShift | kTab, A::CompletionPrev, "Previous completion"},
    {kControl | 'X', A::ClipCut, ""},
    {kShift | kDelete, A::ClipCut, ""},
    {kControl | 'C', A::ClipCopy, ""},
    {kControl | kInsert, A::ClipCopy, ""},
    {kControl | 'V', A::ClipPaste, ""},
    {kShift | kInsert, A::ClipPaste, ""},
    {kDelete, A::Del, ""},
    {kEscape, A::Clear, "Clears the input window"},
    {kControl | 'A', A::SelectAll, "Selects all text in the input window"},
    {kControl | 'Q', A::SelectNone, "Clears the current selection of the input window"},
    {kInsert, A::Insert, ""},
    {kControl | kSpace, A::HardSpace, "Inserts a hard space"},
    {kControl | kReturn, A::HardReturn, "Inserts a hard newline"},
    {kAlt | Function(4), A::Quit, "Quits ZE"},
    {kAlt | kReturn, A::Fullscreen, "Toggle fullscreen mode"},
    {kControl | kTab, A::ForceKeycode, "Forces the next key pressed to be showns as a key code"},
};

// ALT+1 to ALT+8 open the setup pages, ALT+SHIFT+1 to ALT+SHIFT+8 a new item on them.
constexpr const char* kSetupPages[] = {
    "Edit current aliases", "Edit current key bindings", "Edit current tab-completions",
    "Edit current syntaxes", "Edit current actions", "Edit current timers",
    "Edit current variables", "Edit current scripts",
};
constexpr const char* kSetupNewItems[] = {
    "Add a new alias", "Add a new key binding", "Add a new tab-completion", "Add a new syntax",
    "Add a new action", "Add a new timer", "Add a new variable", "Add a new scripts",
};
// clang-format on

void Bind(BindingMap& map, KeyCode key, int action, const char* description)
{
    map.Set(key, KeyBinding{BindingKind::Action, std::string(ActionName(action)), uint8_t(action),
                            description});
}

}  // namespace

BindingMap DefaultBindings()
{
    BindingMap map;
    for (const DefaultBinding& d : kDefaults) Bind(map, d.key, int(d.action), d.description);
    for (int page = 0; page < 8; ++page) {
        Bind(map, kAlt | KeyCode('1' + page), int(A::SetupAliases) + page, kSetupPages[page]);
        Bind(map, kAlt | kShift | KeyCode('1' + page), int(A::SetupNewAlias) + page,
             kSetupNewItems[page]);
    }
    return map;
}

}  // namespace zel
