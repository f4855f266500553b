// zel --headless end to end: lines on standard input, output lines on standard output, to a
// pipe as the buffer's bytes and to a terminal in colour.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "HeadlessRun.h"
#include "demo/LoopbackServer.h"

namespace {

struct Result {
    std::vector<std::string> lines;  // standard output, after the banner
    std::string error;               // standard error
};

Result RunHeadless(const std::string& input)
{
    const zel::test::HeadlessRun run = zel::test::RunZelHeadless(input);
    EXPECT_EQ(run.status, 0);
    Result result;
    std::istringstream out(run.out);
    std::string line;
    bool banner = true;
    while (std::getline(out, line)) {
        if (!banner) result.lines.push_back(line);
        if (line == "Happy hunting!") {
            std::getline(out, line);  // the empty line after the banner
            banner = false;
        }
    }
    result.error = run.error;
    return result;
}

TEST(Headless, GreetsThenRunsEachLineAsTyped)
{
    Result r = RunHeadless("north\n|echo hi\\n\n|xyz\n|help he\n");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"north", "Not connected", "hi",
                                                 "Unrecognised command: 'xyz'", "", "HELP he",
                                                 "|help [command]",
                                                 "shows help on keyboard shortcuts and internal "
                                                 "commands"}));
    EXPECT_EQ(r.error, "");
}

TEST(Headless, FirstLineIsTheGreetingFollowedByTheBanner)
{
    const std::string text = zel::test::RunZelHeadless("").out;
    EXPECT_EQ(text.rfind("Good ", 0), 0u);
    EXPECT_NE(text.find(" - you are running an alpha version of ZEL, a MUD client.\n\n"),
              std::string::npos);
}

TEST(Headless, PipeOutputKeepsTheBuffersBytes)
{
    Result r = RunHeadless("|receive caf\xE9 \\e[1\\;31mred\\e[0m\\n\n|receive open");
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_EQ(r.lines[0], "caf\xE9 red");
    EXPECT_EQ(r.lines[1], "open");  // a line never ended is written when the client stops
}

TEST(Headless, QuitStopsAndChangedSettingsAreReported)
{
    Result r = RunHeadless("|alias add k kill\n|quit\nnorth\n");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"ALIAS {k} --> {kill} added"}));
    EXPECT_EQ(r.error, "zel: changed settings were not saved\n");
    r = RunHeadless("|qui\nnorth\n");
    EXPECT_EQ(r.lines, (std::vector<std::string>{"You have to type |quit, no more, no less!"}));
    EXPECT_EQ(r.error, "");
}

TEST(Headless, SurvivesHostileInput)
{
    std::string input(1 << 20, 'x');  // a megabyte without a line end
    input += "\n";
    for (int c = 0; c < 256; ++c) input += char(c);
    input += "\n{{{;}}};\\;$;|;!\n|echo done\\n\n";
    Result r = RunHeadless(input);
    ASSERT_FALSE(r.lines.empty());
    EXPECT_EQ(r.lines.back(), "done");
}

// One step of a terminal session: once the terminal shows `waitFor`, type `then`.
struct TerminalStep {
    std::string waitFor;
    std::string then;
};

// Runs the client on a terminal, types `input`, then the steps in order, and returns all
// that the terminal showed. A client still running after a silence is killed.
std::string RunInTerminal(const std::string& input, int* exitStatus,
                          std::vector<TerminalStep> steps = {})
{
    int master = -1;
    pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
    if (child < 0) return {};
    if (child == 0) {
        setenv("COLORTERM", "truecolor", 1);  // colours as they are, whatever runs the tests
        setenv("LC_ALL", "C.UTF-8", 1);       // a UTF-8 terminal
        execl(ZEL_BINARY, ZEL_BINARY, "--headless", "--plain", static_cast<char*>(nullptr));
        _exit(127);
    }
    EXPECT_EQ(write(master, input.data(), input.size()), ssize_t(input.size()));
    std::string output;
    char buffer[4096];
    const auto silence = std::chrono::milliseconds(zel::test::kWaitLimit);
    for (;;) {
        pollfd fd{master, POLLIN, 0};
        if (poll(&fd, 1, int(silence.count())) <= 0) break;
        ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) break;
        output.append(buffer, size_t(n));
        size_t done = 0;
        while (done < steps.size() && output.find(steps[done].waitFor) != std::string::npos) {
            const std::string& then = steps[done++].then;
            EXPECT_EQ(write(master, then.data(), then.size()), ssize_t(then.size()));
        }
        steps.erase(steps.begin(), steps.begin() + ptrdiff_t(done));
    }
    EXPECT_TRUE(steps.empty()) << "still waiting for " << steps.front().waitFor;
    if (!steps.empty()) kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(master);
    *exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

// A terminal gets UTF-8 and the runs' colours; the terminal's own colours stand in for
// the window's defaults.
TEST(Headless, TerminalOutputIsDecodedAndColoured)
{
    int status = -1;
    std::string output =
        RunInTerminal("|receive caf\xC3\xA9 \\e[1\\;31mred\\e[0m plain\\n\n|quit\n", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(output.find("Good "), std::string::npos);
    EXPECT_NE(output.find("caf\xC3\xA9 \x1b[0;1;38;2;192;0;0mred\x1b[0m plain"), std::string::npos)
        << output;
}

// Typed on a UTF-8 terminal, café goes out in the server's set and comes back as café.
TEST(Headless, TerminalTypesAndShowsCharacters)
{
    for (const bool utf8 : {false, true}) {
        zel::demo::LoopbackServer server;
        const std::string connect = "|connect 127.0.0.1 " + std::to_string(server.Port()) + "\n";
        const std::string wire = utf8 ? "caf\xC3\xA9" : "caf\xE9";
        std::thread peer([&] {
            if (!server.Accept()) return;
            server.Send("hello\r\n");
            const std::string line = server.ReceiveUntil("\r\n");
            server.Send((line == wire + "\r\n" ? "you said " : "wrong: ") + line);
        });
        int status = -1;
        const std::string output =
            RunInTerminal((utf8 ? "|option encoding UTF-8\n" : "") + connect, &status,
                          {{"hello", "caf\xC3\xA9\n"}, {"said", "|quit\nn\n"}});
        peer.join();
        EXPECT_NE(output.find("you said caf\xC3\xA9"), std::string::npos) << utf8 << output;
    }
}

// On a terminal, quitting with changed settings asks; cancelling goes on.
TEST(Headless, TerminalQuitAsksBeforeLosingSettings)
{
    int status = -1;
    std::string output =
        RunInTerminal("|variable add m here\n|quit\nc\n|echo still $m\\n\n|quit\nn\n", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(output.find("Save them before quitting?"), std::string::npos) << output;
    EXPECT_NE(output.find("still here"), std::string::npos) << output;
    EXPECT_NE(output.find("changed settings were not saved"), std::string::npos) << output;
}

}  // namespace
