// Host: what the core asks of the user interface. The Qt main window and the headless
// console implement it; tests use a recording fake. Every call comes from the core on the
// thread named beside it; a host that must act on its own thread uses RunOnUiThread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "placement/WindowPlacement.h"
#include "process/ExternalProgram.h"

namespace zel {

// The answer to a close request made while settings are unsaved.
enum class QuitChoice { SaveAndQuit, DontSave, DontQuit };

class Host {
public:
    virtual ~Host() = default;

    // Status bar part 0..4 (connection, time, bytes in, bytes out, scroll position).
    virtual void SetStatusText(int part, std::string_view text) = 0;
    // Options or prompt visibility changed: place the children again.
    virtual void LayoutChildren() = 0;
    // Window timers: id 1 is the status bar, 2 and 3 the tip, 100 and up the user's timers.
    // Starting a running id restarts its count with the new interval. Any thread that runs
    // command lines may call these, holding OutputLock and DefinitionLock: they must not wait
    // for the user-interface thread. Expiries go to ClientWindow::OnWindowTimer on that thread.
    virtual void StartWindowTimer(int id, int milliseconds) = 0;
    virtual void StopWindowTimer(int id) = 0;

    // Message beep of the given type; 0xFFFFFFFF is the simple beep.
    virtual void Beep(uint32_t type) = 0;
    virtual void FlashCaption(bool on) = 0;
    // Posts a close request; the host later calls ClientWindow::HandleCloseRequest.
    virtual void RequestClose() = 0;
    // Close handling: settings are unsaved. `fileName` holds the proposed name and may be
    // edited by the user.
    virtual QuitChoice AskSaveSettings(std::string& fileName) = 0;
    // Close handling: settings are saved; true to quit.
    virtual bool AskQuit() = 0;
    // The desktop's size in pixels; none without a desktop (console, tests), and then the
    // window rectangle is neither loaded nor stored. User-interface thread.
    virtual std::optional<DesktopSize> GetDesktopSize() = 0;
    // The main window's rectangle now; none when it is minimized or there is no window.
    // User-interface thread.
    virtual std::optional<WindowRect> GetWindowRect() = 0;
    // Asks for a file to open: a desktop host shows its file-open dialog with `filter`
    // (description and pattern pairs, each part ended by '|', the list by a second '|') and
    // `defaultExtension`. None when cancelled. User-interface thread.
    virtual std::optional<std::string> AskOpenFileName(std::string_view filter,
                                                       std::string_view defaultExtension) = 0;
    // Shows a text file, read-only or editable: in a viewer window of the host's own, or with
    // the external viewer or editor (process/ExternalProgram.h). A file that cannot be opened
    // shows nothing and is not reported. The failure of a program that could not be started
    // is returned, for the caller to report. Any thread that runs command lines, possibly
    // holding OutputLock and DefinitionLock.
    virtual std::optional<StartFailure> ShowFile(const std::string& fileName, bool editable) = 0;

    // Prompt line text and whether it is shown.
    virtual void SetPromptLine(std::string_view text, bool shown) = 0;
    // Input line.
    virtual std::string InputText() = 0;
    virtual void SetInputText(std::string_view text) = 0;
    virtual void InsertInputText(std::string_view text) = 0;
    // Server echo: on shows the input line's text as stars, selected; off empties it.
    virtual void SetInputPasswordMode(bool on) = 0;
    virtual void SetClearMode(int mode) = 0;
    // History list: a line was added, or the selection is to be cleared.
    virtual void HistoryAdded(std::string_view line) = 0;
    virtual void ClearHistorySelection() = 0;
    // Tip window.
    virtual void ShowTip(std::string_view text) = 0;
    virtual void HideTip() = 0;
    // The setup dialog, when open, shows the tables as they now are.
    virtual void RefreshSetupDialog() = 0;
    // Output views: font or colours changed, repaint both.
    virtual void SetOutputFont(std::string_view face, int height, int width, int weight) = 0;
    virtual void SetOutputCellSize(int height, int width) = 0;
    virtual void SetOutputColors(uint32_t backColor, uint32_t textColor) = 0;
    virtual void RepaintOutput() = 0;
    // The user-interface part of an internal action (input/InternalActions.h): scrolling,
    // history browsing, completion, clipboard, setup pages, fullscreen and the like. Called
    // for every named action after the core's part (ClientWindow::PerformInternalAction); a
    // host ignores the codes it has no part in. User-interface thread.
    virtual void PerformUiAction(int action) = 0;
    // Runs `call` on the user-interface thread and waits for it (at once when already there).
    virtual void RunOnUiThread(const std::function<void()>& call) = 0;
    // Queues `call` for the user-interface thread and returns at once (at once when
    // already there).
    virtual void PostToUiThread(std::function<void()> call) = 0;
};

// A host that does nothing: a base for hosts and fakes that need only a few calls.
class NullHost : public Host {
public:
    void SetStatusText(int, std::string_view) override {}
    void LayoutChildren() override {}
    void StartWindowTimer(int, int) override {}
    void StopWindowTimer(int) override {}
    void Beep(uint32_t) override {}
    void FlashCaption(bool) override {}
    void RequestClose() override {}
    QuitChoice AskSaveSettings(std::string&) override { return QuitChoice::DontSave; }
    bool AskQuit() override { return true; }
    std::optional<DesktopSize> GetDesktopSize() override { return std::nullopt; }
    std::optional<WindowRect> GetWindowRect() override { return std::nullopt; }
    std::optional<std::string> AskOpenFileName(std::string_view, std::string_view) override
    {
        return std::nullopt;
    }
    std::optional<StartFailure> ShowFile(const std::string&, bool) override { return std::nullopt; }
    void SetPromptLine(std::string_view, bool) override {}
    std::string InputText() override { return {}; }
    void SetInputText(std::string_view) override {}
    void InsertInputText(std::string_view) override {}
    void SetInputPasswordMode(bool) override {}
    void SetClearMode(int) override {}
    void HistoryAdded(std::string_view) override {}
    void ClearHistorySelection() override {}
    void ShowTip(std::string_view) override {}
    void HideTip() override {}
    void RefreshSetupDialog() override {}
    void SetOutputFont(std::string_view, int, int, int) override {}
    void SetOutputCellSize(int, int) override {}
    void SetOutputColors(uint32_t, uint32_t) override {}
    void RepaintOutput() override {}
    void PerformUiAction(int) override {}
    void RunOnUiThread(const std::function<void()>& call) override { call(); }
    void PostToUiThread(std::function<void()> call) override { call(); }
};

}  // namespace zel
