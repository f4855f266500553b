// Runs `zel --headless` with the given standard input and collects what it wrote, or on
// pipes that the test types into and reads from while it runs.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "TempFolder.h"
#include "WaitUntil.h"

namespace zel::test {

struct HeadlessRun {
    std::string out;
    std::string error;
    int status = -1;
};

inline std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// `arguments` follow --headless on the command line. `environment` changes the client's
// environment: "NAME=value" sets a variable, a bare "NAME" removes it.
inline HeadlessRun RunZelHeadless(const std::string& input,
                                  const std::vector<std::string>& arguments = {},
                                  const std::vector<std::string>& environment = {})
{
    const TempFolder folder("zel-headless");
    const std::filesystem::path& dir = folder.Path();
    std::ofstream(dir / "in", std::ios::binary) << input;
    std::string command = "env";
    for (const auto& variable : environment)
        if (variable.find('=') == std::string::npos) command += " -u " + variable;
    for (const auto& variable : environment)
        if (variable.find('=') != std::string::npos) command += " '" + variable + "'";
    command += " " + std::string(ZEL_BINARY) + " --headless";
    for (const auto& argument : arguments) command += " '" + argument + "'";
    command += " < " + (dir / "in").string() + " > " + (dir / "out").string() + " 2> " +
               (dir / "err").string();
    HeadlessRun run;
    run.status = std::system(command.c_str());
    run.out = ReadWholeFile(dir / "out");
    run.error = ReadWholeFile(dir / "err");
    return run;
}

// `zel --headless` with its standard input and output on pipes of the test's, standard error
// dropped. Killed if the test leaves before it ends.
class PipedClient {
public:
    PipedClient()
    {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0) return;
        if (pipe2(out, O_CLOEXEC) != 0) {
            close(in[0]);
            close(in[1]);
            return;
        }
        const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        child_ = fork();
        if (child_ == 0) {  // only async-signal-safe calls until exec
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            execl(ZEL_BINARY, ZEL_BINARY, "--headless", static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int fd : {in[0], out[1], null}) close(fd);
        input_ = in[1];
        output_ = out[0];
    }
    ~PipedClient()
    {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        CloseInput();
        if (output_ >= 0) close(output_);
    }
    PipedClient(const PipedClient&) = delete;
    PipedClient& operator=(const PipedClient&) = delete;

    bool Started() const { return child_ > 0; }
    bool Type(std::string_view text)
    {
        while (!text.empty()) {
            const ssize_t n = write(input_, text.data(), text.size());
            if (n <= 0) return false;
            text.remove_prefix(size_t(n));
        }
        return true;
    }
    // The end of the typed input.
    void CloseInput()
    {
        if (input_ >= 0) close(input_);
        input_ = -1;
    }
    // Reads until `text` occurs `count` times in all it wrote; false when it did not in time.
    bool WaitForCount(std::string_view text, size_t count)
    {
        const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
        while (CountOf(text) < count)
            if (std::chrono::steady_clock::now() >= deadline || !ReadSome(100)) return false;
        return true;
    }
    size_t CountOf(std::string_view text) const
    {
        size_t count = 0;
        for (size_t at = out.find(text); at != std::string::npos; at = out.find(text, at + 1))
            ++count;
        return count;
    }
    // Ends the input, reads to the end and returns the exit status; -1 if the client did not
    // end in time.
    int Finish()
    {
        CloseInput();
        if (child_ <= 0) return -1;
        const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
        while (std::chrono::steady_clock::now() < deadline && ReadSome(100)) {
        }
        int status = 0;
        if (!WaitUntil([&] { return waitpid(child_, &status, WNOHANG) == child_; })) return -1;
        child_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string out;  // all it wrote so far

private:
    // False at the end of its output; true when more came or nothing within the timeout.
    bool ReadSome(int milliseconds)
    {
        pollfd fd{output_, POLLIN, 0};
        if (const int ready = poll(&fd, 1, milliseconds); ready <= 0)
            return ready == 0 || errno == EINTR;
        char buffer[4096];
        const ssize_t n = read(output_, buffer, sizeof buffer);
        if (n <= 0) return false;
        out.append(buffer, size_t(n));
        return true;
    }

    pid_t child_ = -1;
    int input_ = -1;
    int output_ = -1;
};

}  // namespace zel::test
