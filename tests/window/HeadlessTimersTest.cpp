// Timers in zel --headless: the console host's loop fires them between input lines, while
// the input stays open and while a session outlives its piped input.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <future>
#include <string>
#include <vector>

#include "HeadlessRun.h"
#include "demo/LoopbackServer.h"

namespace zel::test {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

std::string PrintfLines(const Lines& lines)
{
    std::string command = "printf '%s\\n'";
    for (const auto& line : lines) command += " '" + line + "'";
    return command;
}

// Types `first`, keeps the input open for `pause`, types `then` and ends the input. A client
// still running 10 seconds later is killed: a fault fails the test rather than hanging it.
HeadlessRun RunWithPause(const Lines& first, const char* pause, const Lines& then)
{
    const std::string command = "{ " + PrintfLines(first) + "; sleep " + pause + "; " +
                                PrintfLines(then) + "; } | timeout 10 " + ZEL_BINARY +
                                " --headless 2>/dev/null";
    HeadlessRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

size_t CountOf(const std::string& text, const std::string& part, size_t end)
{
    size_t count = 0;
    for (size_t at = text.find(part); at < end; at = text.find(part, at + 1)) ++count;
    return count;
}

// Timer 160's command takes longer than its period; typed lines still get through.
TEST(HeadlessTimers, FireWhileInputStaysOpenAndASlowOneDoesNotStarveIt)
{
    const HeadlessRun run =
        RunWithPause({"|timer add 50 10 {|variable add low 1}", "|timer start 50",
                      "|timer add 160 1 {|sleep 40}", "|timer start 160",
                      "|timer add 150 50 {|variable add n 1}", "|timer start 150"},
                     "0.4", {"|timer delete 150", "|echo done\\n"});
    EXPECT_EQ(run.status, 0);
    const std::string tick = "VARIABLE {n} --> {1} added\n";
    const size_t removed = run.out.find("TIMER 150 removed\ndone\n");
    ASSERT_NE(removed, std::string::npos) << run.out;
    EXPECT_GE(CountOf(run.out, tick, removed), 2u) << run.out;
    EXPECT_EQ(CountOf(run.out, tick, std::string::npos), CountOf(run.out, tick, removed));
    EXPECT_EQ(run.out.find("{low}"), std::string::npos);  // ids below 100 never run
}

TEST(HeadlessTimers, FireWhileASessionOutlivesItsPipedInput)
{
    demo::LoopbackServer server;
    auto run = std::async(std::launch::async, [&] {
        return RunZelHeadless("|timer add 150 50 {say tick}\n|timer start 150\n",
                              {"127.0.0.1", std::to_string(server.Port())});
    });
    ASSERT_TRUE(server.Accept(10s));
    EXPECT_EQ(server.ReceiveUntil("\r\n"), "say tick\r\n");
    EXPECT_EQ(server.ReceiveUntil("\r\n"), "say tick\r\n");
    server.CloseClient();
    ASSERT_EQ(run.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(run.get().status, 0);
}

}  // namespace
}  // namespace zel::test
