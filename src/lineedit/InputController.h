// InputController: what a host owns for its input line. It bundles the InputLine, the
// history browser (search prefix, cursor moves, the active flag), the history file and the
// syntax tip's refresh, and talks back to the host through InputView.
//
// Wiring, all on the user-interface thread:
// - every key press of the input line goes to KeyPress; when it returns false the host lets
//   its control handle the key as typing and then calls KeyReachedControl;
// - Host::PerformUiAction forwards every code to PerformUiAction first; a false return
//   leaves the code (scrolling, setup pages, fullscreen...) to the host;
// - Host::HistoryAdded forwards to HistoryAdded (appends to the file, redraws the list);
// - Host::ClearHistorySelection: the cursor is already removed; the host redraws the list
//   (this call may come from any thread that runs command lines: post it to the UI thread);
// - Host::InputText, SetInputText, InsertInputText map to InputLine's EngineText,
//   SetEngineText, InsertEngineText; Host::SetClearMode needs nothing (the line reads the
//   option `clear` when it acts);
// - the tip timer (ScheduleTipRefresh) calls RefreshTip when it fires.
// The history itself (lines and cursor) is ClientWindow::History(). The host stops
// forwarding before it destroys the controller.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "input/KeyCode.h"
#include "lineedit/EditControl.h"
#include "lineedit/HistoryFile.h"
#include "lineedit/InputLine.h"
#include "lineedit/SyntaxTip.h"

namespace zel {

class ClientWindow;

// What the controller asks of its host.
class InputView {
public:
    virtual ~InputView() = default;
    // Shows the tip (a new one or a changed one) / hides it.
    virtual void ShowTip(const SyntaxTip& tip) = 0;
    virtual void HideTip() = 0;
    // Starts (or restarts) a one-shot timer that calls InputController::RefreshTip.
    virtual void ScheduleTipRefresh(int milliseconds) = 0;
    // The history's lines changed: redraw the list with its last entries visible.
    virtual void HistoryChanged() = 0;
    // The history cursor moved or was removed (ClientWindow::History().Cursor()): redraw the
    // list with the cursor's entry visible.
    virtual void HistoryCursorMoved() = 0;
    // Browsing began or ended: the history window takes its active or its inactive height.
    virtual void HistoryActiveChanged(bool active) = 0;
    // Lines the history window shows: the step of HIST_PAGEUP and HIST_PAGEDOWN.
    virtual int HistoryPageSize() = 0;
};

class InputController {
public:
    static constexpr int kTipDelayMilliseconds = 100;

    InputController(ClientWindow& client, EditControl& edit, InputView& view);
    InputController(const InputController&) = delete;
    InputController& operator=(const InputController&) = delete;

    // Loads the newest history lines from the file at `path` and appends recorded lines to
    // it from now on. Without a usable file the history simply has no file.
    void OpenHistoryFile(const std::string& path = kHistoryFileName);
    HistoryFile& File() { return file_; }

    // A key press of the input line: true when consumed (see InputLine::KeyPress).
    bool KeyPress(KeyCode code) { return line_.KeyPress(code); }
    // The control handled a key that KeyPress left to it: ends history browsing and
    // refreshes the tip.
    void KeyReachedControl();

    // The host's part of an internal action (Host::PerformUiAction forwards here): history
    // moves, HIST_DESELECT, HIST_RUN, COMPLETION_ADD and COMPLETION_DEL, and the input
    // line's own actions when they arrive from elsewhere. True when handled here. Every
    // code, handled or not, ends history browsing unless it is a history move.
    bool PerformUiAction(int action);

    // A line was recorded in the history (Host::HistoryAdded forwards here).
    void HistoryAdded(std::string_view line);

    // Refreshes the tip now: shown when the option `tips` is on and something matches,
    // else hidden. The tip timer calls it.
    void RefreshTip();
    // Refreshes at once when the tip is shown, else after kTipDelayMilliseconds.
    void RequestTipRefresh();

    InputLine& Line() { return line_; }
    // History browsing: active from a history move until the next other action.
    bool HistoryActive() const { return active_; }
    // Entries are filtered by this engine-form prefix while browsing.
    const std::string& SearchPrefix() const { return searchPrefix_; }

private:
    void MoveInHistory(int action);
    void EndBrowsing();
    void ChangeCompletion(bool add);

    ClientWindow& client_;
    InputView& view_;
    InputLine line_;
    HistoryFile file_;
    std::string searchPrefix_;
    bool active_ = false;
    bool tipShown_ = false;
    std::optional<SyntaxTip> lastTip_;
};

}  // namespace zel
