// InputLine: the input line's behaviour over an EditControl. It turns key codes into the
// bindings' effects, performs the actions that concern the line itself (executing, tab
// completion, the clipboard, clearing, selecting, hard characters, force-key-code) and
// hands every other action to ClientWindow::PerformInternalAction, whose host part reaches
// the host's Host::PerformUiAction. HIST_DESELECT is handed on the same way after the key
// presses and actions that end history browsing. User-interface thread only.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "input/KeyCode.h"
#include "lineedit/EditControl.h"

namespace zel {

class ClientWindow;

class InputLine {
public:
    // With `useBindings` off (edit controls of dialogs), RETURN executes, ESCAPE clears and
    // CONTROL+TAB forces a key code; no other binding applies.
    InputLine(ClientWindow& client, EditControl& edit, bool useBindings = true);

    // One key press: true when consumed. False means ordinary typing: the host lets its
    // control handle the key (insert its text, move the caret), then reports that with
    // InputController::KeyReachedControl.
    bool KeyPress(KeyCode code);
    // The control has handled the key KeyPress left to it: a changed text marks the line
    // changed. (InputController::KeyReachedControl calls it.)
    void KeyReachedControl();

    // Performs an internal action: the input line's own here (true), any other through
    // ClientWindow::PerformInternalAction (false).
    bool PerformAction(int action);
    // Only the input line's own actions; false, doing nothing, for another code.
    bool PerformOwnAction(int action);
    static bool IsOwnAction(int action);

    // Executes the line's text, or `utf8Text` when given (an EXEC binding): at most
    // kInputCapacity characters, converted to the engine's form and run with echo and
    // history recording. In clear mode "on" the line is emptied, otherwise selected; in
    // "off" and "mix", executing an unchanged line sends an empty command.
    void Execute(std::optional<std::string_view> utf8Text = std::nullopt);

    // One tab-completion step over the command at the caret (beeps when none matches).
    void CompletionStep(bool forward);
    // Ends a completion cycle in progress.
    void ResetCompletion() { cycling_ = false; }

    // The text in the engine's form, for Host::InputText, SetInputText and InsertInputText.
    std::string EngineText() const;
    void SetEngineText(std::string_view text);
    void InsertEngineText(std::string_view text);

    // The user typed or inserted something since the last execution. A host whose control
    // also changes by other means (a paste with the mouse) marks it with SetChanged.
    bool Changed() const { return changed_; }
    void SetChanged(bool changed) { changed_ = changed; }
    // The line holds the command just executed (set by EXEC; history moves keep it).
    bool ShowsExecutedCommand() const { return showsExecuted_; }
    // The next key press is inserted as its key name.
    bool ForcingKeyCode() const { return forceKeyCode_; }

    EditControl& Edit() { return edit_; }
    const EditControl& Edit() const { return edit_; }
    ClientWindow& Client() { return client_; }

    // Called after each execution, once the line has run (the controller clears the
    // history search prefix there).
    void SetExecutedHandler(std::function<void()> handler) { executed_ = std::move(handler); }

private:
    bool PerformBinding(KeyCode code);
    // Replaces the selection by UTF-8 text and marks the line changed.
    void InsertText(std::string_view text);
    void PostDeselect();

    ClientWindow& client_;
    EditControl& edit_;
    bool useBindings_;
    bool changed_ = false;
    bool showsExecuted_ = false;
    bool forceKeyCode_ = false;
    // Completion cycle: the engine-form prefix that started it.
    bool cycling_ = false;
    std::string cyclePrefix_;
    // The text before the control handled a typing key.
    std::string textBeforeTyping_;
    std::function<void()> executed_;
};

}  // namespace zel
