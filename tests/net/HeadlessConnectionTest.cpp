// zel --headless host port against a loopback server, end to end through the process.
#include <gtest/gtest.h>

#include <future>

#include "HeadlessRun.h"
#include "demo/LoopbackServer.h"

namespace zel::test {
namespace {

TEST(HeadlessConnection, APipedSessionRunsUntilTheServerCloses)
{
    demo::LoopbackServer server;
    const std::string port = std::to_string(server.Port());
    // The script ends long before the server does; the client stays for the session.
    auto run = std::async(std::launch::async, [&] {
        return RunZelHeadless("say hi\n", {"127.0.0.1", port});
    });
    ASSERT_TRUE(server.Accept(kWaitLimit));
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "say hi\r\n");
    // The open line goes out before the close's report, whether the line wait passed first
    // or the close ended it.
    server.Send("\x1b[32mYou say 'hi'\x1b[0m\r\nHP> ");
    server.CloseClient();
    ASSERT_EQ(run.wait_for(kWaitLimit), std::future_status::ready);
    const HeadlessRun result = run.get();
    EXPECT_EQ(result.status, 0);
    // A pipe gets the buffer's bytes without colour codes.
    EXPECT_NE(result.out.find("say hi\nYou say 'hi'\nHP> Connection to 127.0.0.1 (127.0.0.1) "
                              "on port " +
                              port + " closed\n"),
              std::string::npos)
        << result.out;
}

TEST(HeadlessConnection, QuitClosesTheConnection)
{
    demo::LoopbackServer server;
    auto run = std::async(std::launch::async, [&] {
        return RunZelHeadless("|connect 127.0.0.1 " + std::to_string(server.Port()) +
                              "\nlook\n|quit\n");
    });
    ASSERT_TRUE(server.Accept(kWaitLimit));
    EXPECT_EQ(server.ReceiveUntil("\r\n", kWaitLimit), "look\r\n");
    EXPECT_TRUE(server.WaitForClose(kWaitLimit));
    ASSERT_EQ(run.wait_for(kWaitLimit), std::future_status::ready);
    EXPECT_NE(run.get().out.find(" closed\n"), std::string::npos);
}

}  // namespace
}  // namespace zel::test
