// A scripted session in zel --headless: it logs on by itself, an action answers the server
// and starts a timer, and the timer keeps sending after the script's input has ended.
#include <gtest/gtest.h>

#include <future>

#include "HeadlessRun.h"
#include "demo/LoopbackServer.h"

namespace zel::test {
namespace {

TEST(HeadlessAutomation, LogsOnFiresActionsAndTimers)
{
    demo::LoopbackServer server;
    const std::string script =
        "|session add w 127.0.0.1 " + std::to_string(server.Port()) +
        " bob {^Name} {pw} {^Pass}\n"
        "|action add greet {^([A-Z][a-z]+) waves} {say hello \\$1;|timer start 150}\n"
        "|timer add 150 50 {score}\n"
        "|connect w\n";
    auto run = std::async(std::launch::async, [&] { return RunZelHeadless(script); });
    ASSERT_TRUE(server.Accept(kWaitLimit));
    server.Send("Welcome\r\nName: ");
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "bob\r\n");
    server.Send("\r\nPass: \xff\xfb\x01");
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "pw\r\n");
    EXPECT_EQ(server.Receive(3, kWaitLimit), "\xff\xfd\x01");
    server.Send("\xff\xfc\x01\r\nFrodo waves.\r\n");
    EXPECT_EQ(server.Receive(3, kWaitLimit), "\xff\xfe\x01");
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "say hello Frodo\r\n");
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "score\r\n");
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "score\r\n");
    server.CloseClient();
    ASSERT_EQ(run.wait_for(kWaitLimit), std::future_status::ready);
    const HeadlessRun result = run.get();
    // The action's command ran where its match was, echoing the line it sent.
    EXPECT_NE(result.out.find("Frodo wavessay hello Frodo\n"), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("pw"), std::string::npos);
}

}  // namespace
}  // namespace zel::test
