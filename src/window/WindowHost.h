// WindowHost: the core's Host for the desktop window. Calls that may come from any thread
// (status texts, prompt line, layout, timers, beeps, output style, the input line) are run
// at once on the user-interface thread and queued from any other, never waited for: their
// callers may hold OutputLock or PromptLock, which the user-interface thread takes too.
// Questions that need an answer (dialogs, the window's rectangle) belong to the
// user-interface thread; off it they answer from what is known without waiting (no file,
// the rectangle last seen, the input text last seen).
//
// Window timers are one QTimer per id, created, started and stopped on the user-interface
// thread in the order the calls were made, from whichever thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "engine/Host.h"
#include "window/WindowDialogs.h"

class QTimer;

namespace zel {

class ClientWindow;
class MainWindow;

class WindowHost : public QObject, public Host {
    Q_OBJECT

public:
    // Dialogs default to the real ones; a test gives its own.
    explicit WindowHost(std::unique_ptr<WindowDialogs> dialogs = nullptr);
    ~WindowHost() override;

    // The window that user-interface calls go to, from now on. User-interface thread.
    void Attach(ClientWindow& client, MainWindow& window);
    // Stops every timer; later calls that need the window do nothing.
    void Detach();
    bool OnUiThread() const;
    // True when the window timer with that id runs. User-interface thread.
    bool TimerActive(int id) const;
    int TimerInterval(int id) const;

    // --- Host ---
    void SetStatusText(int part, std::string_view text) override;
    void LayoutChildren() override;
    void StartWindowTimer(int id, int milliseconds) override;
    void StopWindowTimer(int id) override;
    void Beep(uint32_t type) override;
    void FlashCaption(bool on) override;
    void RequestClose() override;
    QuitChoice AskSaveSettings(std::string& fileName) override;
    bool AskQuit() override;
    std::optional<DesktopSize> GetDesktopSize() override;
    std::optional<WindowRect> GetWindowRect() override;
    std::optional<std::string> AskOpenFileName(std::string_view filter,
                                               std::string_view defaultExtension) override;
    std::optional<StartFailure> ShowFile(const std::string& fileName, bool editable) override;
    void SetPromptLine(std::string_view text, bool shown) override;
    std::string InputText() override;
    void SetInputText(std::string_view text) override;
    void InsertInputText(std::string_view text) override;
    void SetInputPasswordMode(bool on) override;
    void SetClearMode(int) override {}  // the input line reads the option when it acts
    void HistoryAdded(std::string_view line) override;
    void ClearHistorySelection() override;
    void ShowTip(std::string_view text) override;
    void HideTip() override;
    void RefreshSetupDialog() override {}  // there is no setup dialog
    void SetOutputFont(std::string_view face, int height, int width, int weight) override;
    void SetOutputCellSize(int height, int width) override;
    void SetOutputColors(uint32_t backColor, uint32_t textColor) override;
    void RepaintOutput() override;
    void PerformUiAction(int action) override;
    void RunOnUiThread(const std::function<void()>& call) override;
    void PostToUiThread(std::function<void()> call) override;

private:
    // Runs `call` with the window now when on the user-interface thread, else queues it; a
    // call finding no window does nothing.
    void WithWindow(std::function<void(MainWindow&)> call);
    void Queue(std::function<void()> call);
    void TimerCall(int id, int milliseconds);  // milliseconds < 0 stops
    // The rectangle and the input text, kept for questions from other threads.
    void Remember();

    std::unique_ptr<WindowDialogs> dialogs_;
    ClientWindow* client_ = nullptr;
    QPointer<MainWindow> window_;
    std::atomic<bool> attached_{false};
    std::map<int, QTimer*> timers_;  // user-interface thread

    mutable std::mutex seenMutex_;  // innermost
    std::string seenInput_;         // engine form
    std::optional<WindowRect> seenRect_;
    std::optional<DesktopSize> desktop_;
};

}  // namespace zel
