// Timers in zel --headless: the console host's loop fires them between input lines, while
// the input stays open and while a session outlives its piped input.
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "HeadlessRun.h"
#include "demo/LoopbackServer.h"

namespace zel::test {
namespace {

size_t CountOf(const std::string& text, const std::string& part, size_t end)
{
    size_t count = 0;
    for (size_t at = text.find(part); at < end; at = text.find(part, at + 1)) ++count;
    return count;
}

// Timer 160's command takes longer than its period; typed lines still get through.
TEST(HeadlessTimers, FireWhileInputStaysOpenAndASlowOneDoesNotStarveIt)
{
    PipedClient client;
    ASSERT_TRUE(client.Started());
    client.Type(
        "|timer add 50 10 {|variable add low 1}\n|timer start 50\n"
        "|timer add 160 1 {|sleep 40}\n|timer start 160\n"
        "|timer add 150 50 {|variable add n 1}\n|timer start 150\n");
    // The input stays open until timer 150 has fired twice.
    const std::string tick = "VARIABLE {n} --> {1} added\n";
    EXPECT_TRUE(client.WaitForCount(tick, 2)) << client.out;
    client.Type("|timer delete 150\n|echo done\\n\n");
    EXPECT_EQ(client.Finish(), 0);
    const std::string& out = client.out;
    const size_t removed = out.find("TIMER 150 removed\ndone\n");
    ASSERT_NE(removed, std::string::npos) << out;
    EXPECT_EQ(CountOf(out, tick, std::string::npos), CountOf(out, tick, removed));
    EXPECT_EQ(out.find("{low}"), std::string::npos);  // ids below 100 never run
}

TEST(HeadlessTimers, FireWhileASessionOutlivesItsPipedInput)
{
    demo::LoopbackServer server;
    auto run = std::async(std::launch::async, [&] {
        return RunZelHeadless("|timer add 150 50 {say tick}\n|timer start 150\n",
                              {"127.0.0.1", std::to_string(server.Port())});
    });
    ASSERT_TRUE(server.Accept(kWaitLimit));
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "say tick\r\n");
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "say tick\r\n");
    server.CloseClient();
    ASSERT_EQ(run.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_EQ(run.get().status, 0);
}

}  // namespace
}  // namespace zel::test
