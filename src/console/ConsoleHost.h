// ConsoleHost: the host of `zel --headless`. Each line read from the input runs as a line
// typed in the input line with Enter; every line that enters the output buffer is written
// to the output as it is ended. Its loop waits on the input, on calls posted from other
// threads and for the next window timer, so the client keeps working between typed lines.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "console/HostLoop.h"
#include "console/TerminalCharset.h"
#include "console/TerminalText.h"
#include "display/OutputBuffer.h"
#include "engine/Host.h"

namespace zel {

class ClientWindow;

class ConsoleHost : public NullHost, private OutputBuffer::Listener {
public:
    // Reads lines from `inputFd`, writes output to `outputFd` and questions and notes to
    // `errorFd`. A terminal output gets colours.
    ConsoleHost(int inputFd, int outputFd, int errorFd);

    // Starts the client with the program's command line and runs until end of input or
    // quitting. Returns the process exit code.
    int Run(ClientWindow& client, std::string_view commandLine);

    void Beep(uint32_t type) override;
    void RequestClose() override;
    QuitChoice AskSaveSettings(std::string& fileName) override;
    bool AskQuit() override { return true; }
    // A terminal input is asked for the name; any other cancels.
    std::optional<std::string> AskOpenFileName(std::string_view filter,
                                               std::string_view defaultExtension) override;
    // With terminal input and output, the loop's own thread runs the program in the
    // foreground and waits, holding its output back meanwhile; otherwise it starts detached.
    std::optional<StartFailure> ShowFile(const std::string& fileName, bool editable) override;
    void RunOnUiThread(const std::function<void()>& call) override { loop_.RunOnLoop(call); }
    void PostToUiThread(std::function<void()> call) override { loop_.Post(std::move(call)); }
    // A terminal input stops echoing typed characters while the server hides them.
    void SetInputPasswordMode(bool on) override;
    // Any thread: timers run on the loop's thread, as window timers run on the window's.
    void StartWindowTimer(int id, int milliseconds) override { loop_.StartTimer(id, milliseconds); }
    void StopWindowTimer(int id) override { loop_.StopTimer(id); }

private:
    void LineEnded(uint64_t number, const OutputLine& line) override;
    void Appended() override { FlushOutput(); }
    void FlushOutput();
    void Write(int fd, std::string_view bytes);
    void HoldOutput();
    void ReleaseOutput(const std::string& program);
    void WriteOpenLine();
    bool ReadInput();
    void RunInputLines();
    bool AskLine(std::string_view question, std::string& answer);
    void RunDueTimers();

    int inputFd_, outputFd_, errorFd_;
    bool inputIsTerminal_, outputIsTerminal_;
    const ColorDepth colorDepth_ = TerminalColorDepth();  // of a terminal output, at start
    const TerminalCharset charset_;                       // of a terminal, from the locale
    ClientWindow* client_ = nullptr;
    bool closeRequested_ = false;  // the loop's thread only
    bool echoHidden_ = false;
    std::string input_;
    HostLoop loop_;
    // Ended lines wait here until the append that ended them finishes: one write per block.
    std::string outputBuffer_;
    // While a program has the terminal, ended lines are held in outputBuffer_ (OutputLock).
    bool outputHeld_ = false;
    size_t droppedLines_ = 0;
};

}  // namespace zel
