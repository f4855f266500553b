#include "console/ConsoleHost.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "base/FileDescriptor.h"
#include "base/Utf8.h"
#include "console/HostQuestions.h"
#include "console/TerminalText.h"
#include "engine/ClientWindow.h"

namespace zel {
namespace {

constexpr char kNotSaved[] = "zel: changed settings were not saved\n";
constexpr char kNoFileName[] = "zel: no file name given; settings not saved, not quitting\n";
constexpr char kDroppedLines[] = " lines of output were dropped while ";
// Output held while a program has the terminal is kept to this many bytes.
constexpr size_t kHeldOutputLimit = 4 << 20;
constexpr size_t kReadSize = 4096;
// At the end of a piped input the client stays while connected; this is how often it looks.
constexpr int kConnectedPollMilliseconds = 100;

}  // namespace

ConsoleHost::ConsoleHost(int inputFd, int outputFd, int errorFd)
    : inputFd_(inputFd),
      outputFd_(outputFd),
      errorFd_(errorFd),
      inputIsTerminal_(isatty(inputFd)),
      outputIsTerminal_(isatty(outputFd))
{
}

int ConsoleHost::Run(ClientWindow& client, std::string_view commandLine)
{
    client_ = &client;
    loop_.Begin();
    {
        std::scoped_lock lock(client.OutputLock());
        client.Output().AddListener(this);
    }
    winsize size{};
    if (outputIsTerminal_ && ioctl(outputFd_, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        client.SetViewSize(size.ws_col, size.ws_row);
    client.Start(commandLine);

    bool inputOpen = true;
    for (;;) {
        RunInputLines();
        // A script piped in may end while its session goes on: the client stays until the
        // server ends the connection.
        const bool waitForServer = !inputOpen && !inputIsTerminal_ && client.Connected();
        if (closeRequested_ || (!inputOpen && !waitForServer)) {
            closeRequested_ = false;
            // A refused close goes on; at the end of a file or pipe there is nothing to go on with.
            if (client.HandleCloseRequest() || (!inputOpen && !inputIsTerminal_)) break;
            continue;
        }
        pollfd fds[2] = {{loop_.WakeFd(), POLLIN, 0}, {inputFd_, POLLIN, 0}};
        const int timeout = loop_.PollTimeout(waitForServer ? kConnectedPollMilliseconds : -1);
        if (poll(fds, inputOpen ? 2 : 1, timeout) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents & POLLIN) loop_.RunPosted();
        if (inputOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) inputOpen = ReadInput();
        RunDueTimers();
    }
    // Calls posted while the connection closes still run here, on the loop's thread.
    client.CloseConnection();
    loop_.End();
    loop_.RunPosted();
    SetInputPasswordMode(false);
    std::scoped_lock lock(client.OutputLock());
    WriteOpenLine();
    FlushOutput();
    client.Output().RemoveListener(this);
    return 0;
}

// Reads what is there; false at end of input, when a last unended line is completed.
bool ConsoleHost::ReadInput()
{
    char chunk[kReadSize];
    ssize_t n = read(inputFd_, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
    if (n <= 0) {
        if (!input_.empty() && input_.back() != '\n') input_ += '\n';
        return false;
    }
    input_.append(chunk, size_t(n));
    return true;
}

// Runs the complete lines read so far, stopping when a close is requested. Each line leaves
// the input before it runs, so that a command that asks a question reads the next one.
void ConsoleHost::RunInputLines()
{
    while (!closeRequested_) {
        size_t end = input_.find('\n');
        if (end == std::string::npos) break;
        // The input line holds no more than a command line; the rest of a long line is cut.
        std::string line = input_.substr(0, std::min(end, kLineCapacity));
        input_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Typed on a terminal: characters in its set; from a pipe: the engine's bytes.
        if (inputIsTerminal_) line = client_->Utf8ToEngine(charset_.ToUtf8(line));
        client_->ExecuteLine(line, true, true);
    }
    // An endless line without a line end is cut as it arrives, never kept whole.
    if (input_.size() > kLineCapacity && input_.find('\n') == std::string::npos)
        input_.erase(kLineCapacity, std::string::npos);
}

void ConsoleHost::LineEnded(uint64_t, const OutputLine& line)
{
    if (outputIsTerminal_) {
        std::string shown;
        AppendTerminalLine(shown, client_->Output(), line, client_->Formats().view, colorDepth_);
        outputBuffer_ += charset_.FromUtf8(shown);
    } else {
        // A pipe or file gets the engine's bytes, as the server sent them under the default.
        const std::string_view text = line.Text();
        if (IsAscii(text))
            outputBuffer_.append(text);
        else
            outputBuffer_ += client_->Utf8ToEngine(text);
        outputBuffer_ += '\n';
    }
}

void ConsoleHost::FlushOutput()
{
    if (outputHeld_) {
        droppedLines_ += DropOldestLines(outputBuffer_, kHeldOutputLimit);
        return;
    }
    Write(outputFd_, outputBuffer_);
    outputBuffer_.clear();
}

// The last line, when it was never ended, is written when the client stops.
void ConsoleHost::WriteOpenLine()
{
    const OutputBuffer& out = client_->Output();
    const OutputLine* last = out.Line(out.End() - 1);
    if (last && !last->Ended() && last->Length() > 0) LineEnded(out.End() - 1, *last);
}

void ConsoleHost::Write(int fd, std::string_view bytes)
{
    WriteAll(fd, bytes);  // a closed output is not the client's failure
}

void ConsoleHost::Beep(uint32_t)
{
    if (outputIsTerminal_) Write(outputFd_, "\a");
}

// An action's `quit` asks from the network thread: the flag belongs to the loop's thread,
// and the posted call wakes the loop at once.
void ConsoleHost::RequestClose()
{
    PostToUiThread([this] { closeRequested_ = true; });
}

bool ConsoleHost::AskLine(std::string_view question, std::string& answer)
{
    Write(errorFd_, question);
    answer.clear();
    // The answer is the next line of input, which may have been read already.
    for (;;) {
        if (size_t end = input_.find('\n'); end != std::string::npos) {
            answer = input_.substr(0, std::min(end, kNameCapacity));
            input_.erase(0, end + 1);
            if (!answer.empty() && answer.back() == '\r') answer.pop_back();
            return true;
        }
        // At the end of input a last unended line has been given its line end.
        if (!ReadInput() && input_.find('\n') == std::string::npos) return false;
    }
}

std::optional<std::string> ConsoleHost::AskOpenFileName(std::string_view, std::string_view)
{
    std::string name;
    if (!inputIsTerminal_ || !loop_.OnLoopThread() || !AskLine(kFileQuestion, name) || name.empty())
        return std::nullopt;
    return name;
}

std::optional<StartFailure> ConsoleHost::ShowFile(const std::string& fileName, bool editable)
{
    ProgramWords words = editable ? TextEditor() : TextViewer();
    words.push_back(FileArgument(fileName));
    // Only the loop's own thread hands the terminal over, and only a terminal can be shared.
    if (!inputIsTerminal_ || !outputIsTerminal_ || !loop_.OnLoopThread())
        return StartDetached(words);
    HoldOutput();
    std::optional<StartFailure> failure = RunInForeground(words);
    ReleaseOutput(words[0]);
    return failure;
}

// Holding starts and ends under OutputLock, so that no line is half written or half held.
void ConsoleHost::HoldOutput()
{
    std::scoped_lock lock(client_->OutputLock());
    outputHeld_ = true;
}

void ConsoleHost::ReleaseOutput(const std::string& program)
{
    std::scoped_lock lock(client_->OutputLock());
    outputHeld_ = false;
    if (droppedLines_ > 0) {
        Write(errorFd_,
              "zel: " + std::to_string(droppedLines_) + kDroppedLines + program + " ran\n");
        droppedLines_ = 0;
    }
    FlushOutput();
}

QuitChoice ConsoleHost::AskSaveSettings(std::string& fileName)
{
    if (!inputIsTerminal_) {
        Write(errorFd_, kNotSaved);
        return QuitChoice::DontSave;
    }
    std::string answer;
    if (!AskLine(std::string(kSaveQuestion) + ": ", answer) || answer.empty())
        return QuitChoice::DontQuit;
    switch (answer[0]) {
        case 'y':
        case 'Y': {
            std::string name;
            std::string question = kSaveFileQuestion;
            if (!fileName.empty()) question += "[" + fileName + "] ";
            if (AskLine(question, name) && !name.empty()) fileName = name;
            // Saving was asked for: without a name the client stays rather than lose them.
            if (fileName.empty()) {
                Write(errorFd_, kNoFileName);
                return QuitChoice::DontQuit;
            }
            return QuitChoice::SaveAndQuit;
        }
        case 'n':
        case 'N':
            Write(errorFd_, kNotSaved);
            return QuitChoice::DontSave;
        default:
            return QuitChoice::DontQuit;
    }
}

void ConsoleHost::SetInputPasswordMode(bool on)
{
    termios mode{};
    if (!inputIsTerminal_ || on == echoHidden_ || tcgetattr(inputFd_, &mode) != 0) return;
    echoHidden_ = on;
    if (on) {
        mode.c_lflag &= tcflag_t(~ECHO);
    } else {
        mode.c_lflag |= ECHO;
    }
    tcsetattr(inputFd_, TCSANOW, &mode);
}

// Each timer due when the pass begins runs once, earliest first. A command may start, stop or
// delete timers (its own too) and may take longer than a period; either way the loop reads
// input between passes.
void ConsoleHost::RunDueTimers()
{
    const auto now = WindowTimerSchedule::Clock::now();
    while (!closeRequested_) {
        const std::optional<int> id = loop_.TakeDueTimer(now);
        if (!id) break;
        client_->OnWindowTimer(*id);
    }
}

}  // namespace zel
