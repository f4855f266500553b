// TerminalSignals: the signals of a process that has taken its terminal. Resizes, suspends,
// hangups and requests to end (SIGWINCH, SIGCONT, SIGTSTP, SIGINT, SIGTERM, SIGHUP) become
// bytes on a pipe that the event loop polls; crash signals (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL, SIGABRT) give the terminal back at once, then take their default action. One
// instance at a time; it is made before curses starts, so curses installs no handlers of
// its own, and its terminal mode is the one given back.
#pragma once

#include <csignal>
#include <string>
#include <vector>

namespace zel {

class TerminalSignals {
public:
    explicit TerminalSignals(int terminalFd);
    ~TerminalSignals();
    TerminalSignals(const TerminalSignals&) = delete;
    TerminalSignals& operator=(const TerminalSignals&) = delete;

    // Readable when signals arrived.
    int Fd() const;
    // The signals that arrived since the last call, in order, repeats removed.
    std::vector<int> Take();
    // Bytes written to the terminal before its mode is restored after a crash.
    void SetRestoreSequence(std::string bytes);
    // Gives the terminal back: the restore sequence and the mode it had at the start.
    // Async-signal-safe.
    static void RestoreTerminal();
    // Stops the process as SIGTSTP's default would; returns when it is continued.
    void StopProcess();
};

}  // namespace zel
