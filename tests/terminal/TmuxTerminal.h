// `zel --headless` full-screen in a tmux pane of its own: what a player at a terminal sees
// (capture-pane) and types (send-keys). Each terminal has its own tmux server, socket and
// working folder. The pane's shell records `stty -a` before and after the client, its exit
// status and its process id, then stays so the screen can still be read.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HeadlessRun.h"
#include "TempFolder.h"
#include "WaitUntil.h"

namespace zel::test {

// The output of a shell command.
inline std::string CommandOutput(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, pipe)) > 0) out.append(chunk, n);
        pclose(pipe);
    }
    return out;
}

inline std::string Quoted(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class TmuxTerminal {
public:
    explicit TmuxTerminal(const std::vector<std::string>& arguments, int columns = 100,
                          int rows = 30, const std::string& term = "tmux-256color")
        : folder_("zel-tmux")
    {
        static std::atomic<int> count{0};
        socket_ = "zel-test-" + std::to_string(getpid()) + "-" + std::to_string(count++);
        const std::string dir = folder_.Path().string();
        std::string zel = "exec " + std::string(ZEL_BINARY) + " --headless";
        for (const std::string& argument : arguments) zel += " " + Quoted(argument);
        std::ofstream(folder_.Path() / "run.sh")
            << "cd " << Quoted(dir) << "\n"
            << "export LC_ALL=C.UTF-8\n"
            << "stty -a > stty.before\n"
            << "sh -c 'echo $$ > zel.pid; " << zel << "'\n"
            << "code=$?; stty -a > stty.after\n"
            << "echo $code > status.new && mv status.new status\n"
            << "exec sleep 600\n";
        std::ofstream(folder_.Path() / "tmux.conf") << "set -g default-terminal " << term << "\n"
                                                    << "set -g escape-time 0\n";
        Tmux("-f " + Quoted(dir + "/tmux.conf") + " new-session -d -x " + std::to_string(columns) +
             " -y " + std::to_string(rows) + " " + Quoted("sh " + dir + "/run.sh"));
    }
    ~TmuxTerminal() { Tmux("kill-server"); }
    TmuxTerminal(const TmuxTerminal&) = delete;
    TmuxTerminal& operator=(const TmuxTerminal&) = delete;

    std::string Tmux(const std::string& command) const
    {
        return CommandOutput("tmux -u -L " + socket_ + " " + command + " 2>/dev/null");
    }
    // The pane's text, a line for each row.
    std::string Screen() const { return Tmux("capture-pane -p"); }
    std::vector<std::string> Rows() const
    {
        std::vector<std::string> rows;
        std::string screen = Screen();
        for (size_t at = 0; at < screen.size();) {
            size_t end = screen.find('\n', at);
            if (end == std::string::npos) end = screen.size();
            rows.push_back(screen.substr(at, end - at));
            at = end + 1;
        }
        return rows;
    }
    // Waits for the text on the screen; on failure the screen is shown.
    ::testing::AssertionResult WaitForScreen(const std::string& text) const
    {
        if (WaitUntil([&] { return Screen().find(text) != std::string::npos; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "not shown: " << text << "\n" << Screen();
    }
    // Text typed as it stands; keys by tmux's names ("Enter", "Up", "F5", "C-c").
    void Type(const std::string& text) const { Tmux("send-keys -l " + Quoted(text)); }
    void Keys(const std::string& names) const { Tmux("send-keys " + names); }
    void Resize(int columns, int rows) const
    {
        Tmux("resize-window -x " + std::to_string(columns) + " -y " + std::to_string(rows));
    }

    pid_t ClientPid() const
    {
        pid_t pid = 0;
        WaitUntil([&] {
            std::ifstream(folder_.Path() / "zel.pid") >> pid;
            return pid > 0;
        });
        return pid;
    }
    // The client's exit status once it has ended; -1 when it did not end in time.
    int WaitForExit() const
    {
        int status = -1;
        WaitUntil([&] {
            std::ifstream(folder_.Path() / "status") >> status;
            return status >= 0;
        });
        return status;
    }
    std::string SttyBefore() const { return ReadWholeFile(folder_.Path() / "stty.before"); }
    std::string SttyAfter() const { return ReadWholeFile(folder_.Path() / "stty.after"); }
    const std::filesystem::path& Folder() const { return folder_.Path(); }

private:
    TempFolder folder_;
    std::string socket_;
};

}  // namespace zel::test
