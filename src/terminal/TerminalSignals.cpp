#include "terminal/TerminalSignals.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace zel {
namespace {

constexpr int kLoopSignals[] = {SIGWINCH, SIGCONT, SIGTSTP, SIGINT, SIGTERM, SIGHUP};
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr size_t kRestoreCapacity = 256;

// What the handlers read: set before they are installed, fixed while they are.
int gTerminalFd = -1;
bool gHaveMode = false;
termios gMode{};
char gRestore[kRestoreCapacity];
volatile sig_atomic_t gRestoreLength = 0;
int gPipe[2] = {-1, -1};
struct sigaction gPrevious[std::size(kLoopSignals) + std::size(kCrashSignals)];

void OnLoopSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t n = write(gPipe[1], &byte, 1);
    errno = saved;
}

void OnCrash(int signal)
{
    TerminalSignals::RestoreTerminal();
    ::signal(signal, SIG_DFL);
    raise(signal);
}

void Install(int signal, void (*handler)(int), struct sigaction* previous)
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, previous);
}

}  // namespace

TerminalSignals::TerminalSignals(int terminalFd)
{
    gTerminalFd = terminalFd;
    gHaveMode = tcgetattr(terminalFd, &gMode) == 0;
    gRestoreLength = 0;
    if (pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) gPipe[0] = gPipe[1] = -1;
    size_t slot = 0;
    for (int signal : kLoopSignals) Install(signal, OnLoopSignal, &gPrevious[slot++]);
    for (int signal : kCrashSignals) Install(signal, OnCrash, &gPrevious[slot++]);
}

TerminalSignals::~TerminalSignals()
{
    size_t slot = 0;
    for (int signal : kLoopSignals) sigaction(signal, &gPrevious[slot++], nullptr);
    for (int signal : kCrashSignals) sigaction(signal, &gPrevious[slot++], nullptr);
    for (int& fd : gPipe) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

int TerminalSignals::Fd() const
{
    return gPipe[0];
}

std::vector<int> TerminalSignals::Take()
{
    std::vector<int> signals;
    unsigned char bytes[64];
    ssize_t n;
    while ((n = read(gPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < n; ++i) {
            if (std::find(signals.begin(), signals.end(), bytes[i]) == signals.end())
                signals.push_back(bytes[i]);
        }
    }
    return signals;
}

void TerminalSignals::SetRestoreSequence(std::string bytes)
{
    gRestoreLength = 0;
    const size_t length = std::min(bytes.size(), kRestoreCapacity);
    std::memcpy(gRestore, bytes.data(), length);
    gRestoreLength = sig_atomic_t(length);
}

void TerminalSignals::RestoreTerminal()
{
    if (gTerminalFd < 0) return;
    for (size_t done = 0, length = size_t(gRestoreLength); done < length;) {
        const ssize_t n = write(gTerminalFd, gRestore + done, length - done);
        if (n <= 0) break;
        done += size_t(n);
    }
    if (gHaveMode) tcsetattr(gTerminalFd, TCSANOW, &gMode);
}

void TerminalSignals::StopProcess()
{
    struct sigaction previous {};
    Install(SIGTSTP, SIG_DFL, &previous);
    raise(SIGTSTP);
    sigaction(SIGTSTP, &previous, nullptr);
}

}  // namespace zel
