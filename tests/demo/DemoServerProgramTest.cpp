// The zel-demo-server program: serving until a signal, the one-client send modes with their
// report, the stream file, and its options.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "DemoClient.h"
#include "HeadlessRun.h"
#include "demo/MudStream.h"

extern char** environ;

namespace zel::demo {
namespace {

using namespace std::chrono_literals;

// The program running with its standard output on a pipe; killed if the test leaves early.
class Program {
public:
    explicit Program(std::vector<std::string> args)
    {
        args.insert(args.begin(), ZEL_DEMO_SERVER);
        int fds[2];
        EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        out_.Reset(fds[0]);
        Fd write(fds[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, write.Get(), STDOUT_FILENO);
        // The signals the program waits for must reach it even if ours are ignored.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t signals;
        sigemptyset(&signals);
        sigaddset(&signals, SIGINT);
        sigaddset(&signals, SIGTERM);
        posix_spawnattr_setsigdefault(&attributes, &signals);
        sigemptyset(&signals);
        posix_spawnattr_setsigmask(&attributes, &signals);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, &attributes, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    ~Program()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // The next line of its standard output, without the line end; empty on timeout or end.
    std::string ReadLine(std::chrono::milliseconds timeout = test::kWaitLimit)
    {
        const auto deadline = Clock::now() + timeout;
        for (;;) {
            if (const size_t end = pending_.find('\n'); end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return line;
            }
            pollfd p{out_.Get(), POLLIN, 0};
            char bytes[256];
            ssize_t n = 0;
            if (::poll(&p, 1, PollTimeout(deadline)) <= 0 ||
                (n = ::read(out_.Get(), bytes, sizeof bytes)) <= 0)
                return {};
            pending_.append(bytes, size_t(n));
        }
    }

    // The port of its first line, "listening on 127.0.0.1:PORT"; 0 if it is not that.
    uint16_t ListeningPort()
    {
        const std::string line = ReadLine();
        unsigned port = 0;
        int end = 0;
        const bool matches =
            std::sscanf(line.c_str(), "listening on 127.0.0.1:%5u%n", &port, &end) == 1 &&
            size_t(end) == line.size() && port < 65536;
        EXPECT_TRUE(matches) << line;
        return matches ? uint16_t(port) : 0;
    }

    void Signal(int signal) { ::kill(pid_, signal); }

    // Its exit status; -1 if it did not end within timeout (it is then killed).
    int Wait(std::chrono::milliseconds timeout = test::kWaitLimit)
    {
        int status = 0;
        if (!zel::test::WaitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) != 0; }, timeout))
            return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t pid_ = -1;
    Fd out_;
    std::string pending_;
};

TEST(DemoServerProgram, ServesTheWorldUntilASignal)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        Program server({});
        const uint16_t port = server.ListeningPort();
        ASSERT_NE(port, 0);
        test::DemoClient client(port);
        EXPECT_TRUE(client.LogIn("tester").ends_with(test::Prompt("Tester", "Square")));
        server.Signal(signal);
        EXPECT_EQ(server.Wait(), 0) << strsignal(signal);
        EXPECT_TRUE(client.socket.WaitForClose(test::kWaitLimit));
    }
}

TEST(DemoServerProgram, SendsOneClientAStreamAndReportsTheSpeed)
{
    const auto file =
        std::filesystem::temp_directory_path() / ("zel-demo-stream-" + std::to_string(getpid()));
    Program writer({"--write-stream", file.string(), "1"});
    ASSERT_EQ(writer.Wait(), 0);
    const std::string expected = GenerateMudStream(1 << 20);
    EXPECT_EQ(zel::test::ReadWholeFile(file), expected);

    const std::vector<std::string> modes[] = {{"--send-file", file.string()},
                                              {"--send-generated", "1"}};
    for (const auto& mode : modes) {
        Program server(mode);
        const uint16_t port = server.ListeningPort();
        ASSERT_NE(port, 0);
        BufferedSocket client = BufferedSocket::Connect("127.0.0.1", port);
        EXPECT_TRUE(client.WaitForClose(test::kWaitLimit))
            << "the server shuts down its side at the end";
        EXPECT_TRUE(client.Receive(expected.size() + 1, 0ms) == expected) << mode[0];
        // Nothing marks when a report would have come: a short look. It also keeps the time
        // measured long enough for the report's rounded figures to agree.
        EXPECT_EQ(server.ReadLine(200ms), "") << "no report before the client closes";
        client.Close();
        const std::string report = server.ReadLine();
        size_t bytes = 0;
        double seconds = 0, speed = 0;
        int end = 0;
        EXPECT_EQ(std::sscanf(report.c_str(), "bytes=%zu seconds=%lf MBps=%lf%n", &bytes, &seconds,
                              &speed, &end),
                  3)
            << report;
        EXPECT_EQ(size_t(end), report.size()) << report;
        EXPECT_EQ(bytes, expected.size());
        EXPECT_GT(seconds, 0.0);
        EXPECT_NEAR(speed, double(bytes) / (1 << 20) / seconds, 0.1 + speed / 1000) << report;
        EXPECT_EQ(server.Wait(), 0);
    }
    std::filesystem::remove(file);
}

TEST(DemoServerProgram, ChecksItsOptions)
{
    const struct {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"--help"}, 0},
        {{"--port"}, 2},
        {{"--port", "65536"}, 2},
        {{"--port", "12x"}, 2},
        {{"--send-generated", "0"}, 2},
        {{"--write-stream", "/dev/null"}, 2},
        {{"--send-file", "a", "--send-generated", "1"}, 2},
        {{"--host", "10.0.0.1", "--send-generated", "1"}, 2},
        {{"--colour", "red"}, 2},
        {{"--send-file", "/nonexistent/stream"}, 1},
        {{"--host", "localhost"}, 1},
    };
    for (const auto& c : cases) {
        Program program(c.args);
        EXPECT_EQ(program.Wait(), c.status) << testing::PrintToString(c.args);
    }
}

}  // namespace
}  // namespace zel::demo
