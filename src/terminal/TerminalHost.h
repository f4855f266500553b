// TerminalHost: the full-screen terminal host of `zel --headless` on a terminal. The output
// scrolls at the top; below it the tip, the prompt line, the input line and a status line.
// Screen and colours are ncursesw's (TerminalScreen); keys are decoded by libtermkey into
// the client's key codes (TerminalKeys), and the input line's logic is lineedit's
// InputController over a TextEditControl, so bindings act as in the window.
//
// Drawing happens on the loop's thread at most kFrameRate times a second: the output
// buffer's listener runs on the network thread under OutputLock and only marks the output
// changed and wakes the loop. A frame copies the visible lines under OutputLock, then draws
// without it. Host calls from other threads change state under stateMutex_ (innermost) or
// are posted to the loop.
#pragma once

#include <termkey.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "console/HostLoop.h"
#include "display/OutputBuffer.h"
#include "engine/Host.h"
#include "lineedit/InputController.h"
#include "lineedit/TextEditControl.h"
#include "terminal/ScreenLayout.h"
#include "terminal/TerminalKeys.h"
#include "terminal/TerminalScreen.h"
#include "terminal/TerminalSignals.h"

namespace zel {

class ClientWindow;

class TerminalHost : public NullHost, private OutputBuffer::Listener, private InputView {
public:
    static constexpr int kFrameRate = 60;

    // Takes the terminal of `inputFd` and `outputFd` (both terminals); throws when curses
    // cannot use it.
    TerminalHost(int inputFd, int outputFd);
    ~TerminalHost() override;

    // Starts the client with the program's command line and runs until it quits, the
    // terminal goes away or a signal ends it. Returns the process exit code.
    int Run(ClientWindow& client, std::string_view commandLine);

    // --- Host ---
    void SetStatusText(int part, std::string_view text) override;
    void LayoutChildren() override { MarkChanged(); }
    void StartWindowTimer(int id, int milliseconds) override;
    void StopWindowTimer(int id) override;
    void Beep(uint32_t type) override;
    void RequestClose() override;
    QuitChoice AskSaveSettings(std::string& fileName) override;
    std::optional<std::string> AskOpenFileName(std::string_view filter,
                                               std::string_view defaultExtension) override;
    std::optional<StartFailure> ShowFile(const std::string& fileName, bool editable) override;
    void SetPromptLine(std::string_view text, bool shown) override;
    std::string InputText() override;
    void SetInputText(std::string_view text) override;
    void InsertInputText(std::string_view text) override;
    void SetInputPasswordMode(bool on) override;
    void HistoryAdded(std::string_view line) override;
    void ClearHistorySelection() override { MarkChanged(); }
    void ShowTip(std::string_view text) override;
    void HideTip() override;
    void RepaintOutput() override { MarkChanged(); }
    void SetOutputColors(uint32_t, uint32_t) override { MarkChanged(); }
    void PerformUiAction(int action) override;
    void RunOnUiThread(const std::function<void()>& call) override { loop_.RunOnLoop(call); }
    void PostToUiThread(std::function<void()> call) override { loop_.Post(std::move(call)); }

private:
    using Clock = std::chrono::steady_clock;

    // --- OutputBuffer::Listener (network thread, OutputLock held) ---
    void LineEnded(uint64_t, const OutputLine&) override {}
    void Appended() override { MarkChanged(); }
    void Cleared() override { MarkChanged(); }

    // --- InputView ---
    void ShowTip(const SyntaxTip& tip) override;
    void ScheduleTipRefresh(int milliseconds) override;
    void HistoryChanged() override {}
    void HistoryCursorMoved() override { MarkChanged(); }
    void HistoryActiveChanged(bool) override {}
    int HistoryPageSize() override;

    // Any thread: something shown changed; the loop draws it with the next frame.
    void MarkChanged();
    // The loop.
    bool HandleSignals();
    // False at the end of input.
    bool ReadKeys();
    void HandleKey(const TerminalKey& key);
    // The keys a terminal user expects where the bindings leave them at their defaults.
    bool TerminalConvention(const TerminalKey& key);
    bool KeepsDefault(KeyCode code, int defaultAction);
    void TypeKey(const TerminalKey& key);
    void InputEdited();
    void Suspend();
    void RunDueTimers();
    int FrameTimeout() const;

    // Drawing.
    void Draw();
    void Relayout();
    void CopyVisibleOutput(int rows, int columns);
    void DrawOutput(int rows, int columns);
    void DrawStyledLine(int row, const std::string& engineText, TextStyle base);
    void DrawStatus(int row);
    // Returns the cursor's column.
    int DrawInput(int row);
    // Scroll-back: moves the view by `rows` (negative: back in time).
    void ScrollBy(int rows);
    int PageRows() const { return std::max(layout_.outputRows - 1, 1); }

    // Modal questions on the tip row (user-interface thread).
    std::optional<TerminalKey> AskKey(const std::string& question);
    std::optional<std::string> AskLine(const std::string& question, std::string_view initial);

    int inputFd_, outputFd_;
    TerminalSignals signals_;
    TerminalScreen screen_;
    TermKey* keys_ = nullptr;
    HostLoop loop_;
    ClientWindow* client_ = nullptr;
    TextEditControl edit_;
    std::unique_ptr<InputController> input_;

    // Loop thread only.
    ScreenLayout layout_;
    bool closeRequested_ = false;
    bool quit_ = false;
    bool ctrlCArmed_ = false;  // a Ctrl-C emptied the line: the next one on it quits
    bool passwordMode_ = false;
    std::optional<uint64_t> scrollBottom_;  // the bottom line while scrolled back
    uint32_t inputFirstCell_ = 0;
    std::optional<SyntaxTip> syntaxTip_;
    std::string question_;  // a modal question, shown in the tip row
    Clock::time_point lastFrame_{};
    // The frame's copy of the visible output rows.
    std::vector<StyledText> lines_;
    struct Row {
        size_t line;
        uint32_t begin, end;
    };
    std::vector<Row> rows_;

    // Shared with other threads; stateMutex_ is innermost.
    std::atomic<bool> changed_{true};
    std::mutex stateMutex_;
    std::string status_[5];
    std::string promptText_;  // engine form, as received
    bool promptShown_ = false;
    std::string coreTip_;
    std::string inputMirror_;  // engine form, for InputText from other threads
};

}  // namespace zel
