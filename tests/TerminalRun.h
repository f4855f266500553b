// `zel --headless --plain` (line mode) on a pseudo-terminal of its own: what a player at a
// terminal types and sees.
#pragma once

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WaitUntil.h"

namespace zel::test {

// The client on a terminal of its own, with the given changes to its environment.
class Terminal {
public:
    explicit Terminal(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), "env");
        arguments.insert(arguments.end(), {ZEL_BINARY, "--headless", "--plain"});
        std::vector<char*> argv;
        for (std::string& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        child_ = forkpty(&master_, nullptr, nullptr, nullptr);
        if (child_ == 0) {
            execvp("env", argv.data());
            _exit(127);
        }
        EXPECT_GT(child_, 0);
    }
    ~Terminal()
    {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        if (master_ >= 0) close(master_);
    }
    void Type(const std::string& text)
    {
        EXPECT_EQ(write(master_, text.data(), text.size()), ssize_t(text.size()));
    }
    // Reads until `text` shows after what earlier waits found; false when it did not in time.
    bool WaitFor(const std::string& text)
    {
        for (auto deadline = std::chrono::steady_clock::now() + kWaitLimit;;) {
            if (size_t at = shown.find(text, found_); at != std::string::npos) {
                found_ = at + text.size();
                return true;
            }
            if (std::chrono::steady_clock::now() >= deadline || !ReadSome(100)) return false;
        }
    }
    // Reads what the client shows for a while: only for checking that something does not
    // show, where there is nothing to wait for.
    void Watch(std::chrono::milliseconds duration)
    {
        for (auto end = std::chrono::steady_clock::now() + duration;
             std::chrono::steady_clock::now() < end;)
            ReadSome(10);
    }
    // Reads to the end and returns the exit status; -1 if the client did not end in time.
    int Finish()
    {
        while (ReadSome(int(std::chrono::milliseconds(kWaitLimit).count()))) {
        }
        int status = 0;
        const bool ended = WaitUntil([&] { return waitpid(child_, &status, WNOHANG) == child_; });
        if (!ended) return -1;  // the destructor kills it
        child_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string shown;

private:
    // False at the end of output or when nothing came within the timeout.
    bool ReadSome(int milliseconds)
    {
        pollfd fd{master_, POLLIN, 0};
        if (poll(&fd, 1, milliseconds) <= 0) return false;
        char buffer[4096];
        ssize_t n = read(master_, buffer, sizeof buffer);
        if (n <= 0) return false;
        shown.append(buffer, size_t(n));
        return true;
    }

    int master_ = -1;
    pid_t child_ = -1;
    size_t found_ = 0;
};

}  // namespace zel::test
