// connect, disconnect, the network thread's reports and the wire, against a loopback server.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <future>

#include "NetTestClient.h"

namespace zel::test {
namespace {

template <typename Call>
std::chrono::milliseconds TimeOf(Call call)
{
    const auto start = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
}

TEST(Connection, OpensReceivesAndReportsTheServersCloseOnce)
{
    NetTestClient t;
    const std::string port = std::to_string(t.server.Port());
    ASSERT_TRUE(t.Connect());
    EXPECT_TRUE(t.WaitForOutput("Connecting to 127.0.0.1 on port " + port + "\n"));
    EXPECT_EQ(t.host.Last("status 0"), "status 0 127.0.0.1:" + port);
    EXPECT_TRUE(t.client.Connected());

    t.server.Send("Welcome to the test\r\n");
    EXPECT_TRUE(t.WaitForOutput("Welcome to the test\n"));
    t.client.RefreshStatusBar();
    EXPECT_EQ(t.host.Last("status 2"), "status 2 I: 21");

    t.server.CloseClient();
    const std::string closed = "Connection to 127.0.0.1 (127.0.0.1) on port " + port + " closed\n";
    EXPECT_TRUE(t.WaitForOutput(closed));
    for (int i = 0; i < 100 && t.client.Connected(); ++i) std::this_thread::sleep_for(5ms);
    EXPECT_FALSE(t.client.Connected());
    // The server's close leaves the status showing where the client was.
    EXPECT_EQ(t.host.Last("status 0"), "status 0 127.0.0.1:" + port);
    t.Run("|disconnect");
    EXPECT_TRUE(t.Output().ends_with("Not connected\n"));

    // A second connection works as the first, and the report came once.
    ASSERT_TRUE(t.Connect());
    t.server.Send("again\r\n");
    EXPECT_TRUE(t.WaitForOutput("again\n"));
    EXPECT_EQ(t.Count(closed), 1u);
}

TEST(Connection, TypedLinesReachTheWireWithTheirLineEnd)
{
    NetTestClient t;
    ASSERT_TRUE(t.Connect());
    t.Run("north;say hello there");
    EXPECT_EQ(t.server.ReceiveUntil("there\r\n"), "north\r\nsay hello there\r\n");
    t.Run("|send raw bytes");
    EXPECT_EQ(t.server.Receive(9, 2s), "raw bytes");
    EXPECT_EQ(t.client.GetConnection().BytesSent(), 7 + 17 + 9);
    // Local echo shows what was sent.
    EXPECT_NE(t.Output().find("north\n"), std::string::npos);
}

TEST(Connection, DisconnectClosesAndASecondOneSaysNotConnected)
{
    NetTestClient t;
    ASSERT_TRUE(t.Connect());
    // A server that accepts and never sends: the receive is blocked, and ends at once.
    const auto elapsed = TimeOf([&] { t.Run("|disconnect"); });
    EXPECT_LT(elapsed, 1000ms);
    EXPECT_TRUE(t.server.WaitForClose());
    EXPECT_EQ(t.Count(" closed\n"), 1u);
    EXPECT_EQ(t.host.Last("status 0"), "status 0 Not connected");
    t.Run("|disconnect");
    EXPECT_TRUE(t.Output().ends_with("Not connected\n"));
    t.Run("hello");
    EXPECT_TRUE(t.Output().ends_with("hello\nNot connected\n"));
}

TEST(Connection, ANewConnectClosesTheOldOneFirst)
{
    NetTestClient t;
    ASSERT_TRUE(t.Connect());
    demo::LoopbackServer second;
    t.Run("|connect 127.0.0.1 " + std::to_string(second.Port()));
    ASSERT_TRUE(second.Accept());
    EXPECT_TRUE(t.server.WaitForClose());
    const std::string out = t.Output();
    const size_t closed = out.find("port " + std::to_string(t.server.Port()) + " closed");
    const size_t connecting = out.rfind("Connecting to");
    ASSERT_NE(closed, std::string::npos);
    EXPECT_LT(closed, connecting);
}

TEST(Connection, FailuresAreReportedOnceAndLeaveTheClientIdle)
{
    NetTestClient t;
    const std::string port = std::to_string(t.server.Port());
    t.server.StopListening();
    t.Run("|connect 127.0.0.1 " + port);
    EXPECT_TRUE(t.Output().ends_with("Connecting to 127.0.0.1 on port " + port +
                                     "\nUnable to connect to 127.0.0.1 (127.0.0.1) on port " +
                                     port + " : 111\n"));
    EXPECT_EQ(t.host.Last("status 0"), "status 0 Not connected");
    EXPECT_FALSE(t.client.Connected());

    t.Run("|connect no-such-host.invalid 4000");
    EXPECT_TRUE(t.WaitForOutput("Unable to lookup host no-such-host.invalid : "));
    t.Run("|connect 127.0.0.1 70000");
    EXPECT_TRUE(t.Output().ends_with("on port 70000 : 22\n"));

    t.Run("|connect");
    EXPECT_TRUE(t.Output().ends_with("connect <server> <port>\n"));
    t.Run("|connect mysession");
    EXPECT_TRUE(t.Output().ends_with("SESSION mysession not found\n"));
    t.Run("|connect {my world} 0");
    EXPECT_TRUE(t.Output().ends_with("SESSION my world not found\n"));
    EXPECT_EQ(t.client.GetConnection().ConnectingCount(), 0);
}

TEST(Connection, ResetAndImmediateCloseEndInTheReport)
{
    NetTestClient t;
    ASSERT_TRUE(t.Connect());
    t.server.Send("half a command \xff\xfa");
    t.server.ResetClient();
    EXPECT_TRUE(t.WaitForOutput(" closed\n"));
    EXPECT_NE(t.Output().find("half a command "), std::string::npos);

    ASSERT_TRUE(t.Connect());
    t.server.CloseClient();
    EXPECT_TRUE(t.WaitForCount(" closed\n", 2));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(t.Count(" closed\n"), 2u);
}

// A listener whose backlog is full: the kernel drops further SYNs and connect hangs.
class FullListener {
public:
    FullListener()
    {
        listen_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(listen_, 0);
        socklen_t length = sizeof address;
        getsockname(listen_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        for (int& fd : fillers_) {
            fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        }
    }
    ~FullListener()
    {
        for (int fd : fillers_) close(fd);
        close(listen_);
    }
    int Port() const { return port_; }

private:
    int listen_ = -1;
    int fillers_[4] = {};
    int port_ = 0;
};

TEST(Connection, CloseEndsAConnectAttemptThatHangs)
{
    NetTestClient t;
    FullListener full;
    auto attempt =
        std::async(std::launch::async, [&] { t.client.OpenConnection("127.0.0.1", full.Port()); });
    if (attempt.wait_for(300ms) == std::future_status::ready)
        GTEST_SKIP() << "this kernel refuses at once instead of dropping the SYN";
    EXPECT_GT(t.client.GetConnection().ConnectingCount(), 0);
    t.Run("|disconnect");
    EXPECT_TRUE(t.Output().ends_with("Connecting... try again\n"));
    const auto elapsed = TimeOf([&] { t.client.CloseConnection(); });
    EXPECT_LT(elapsed, 1000ms);
    ASSERT_EQ(attempt.wait_for(2s), std::future_status::ready);
    EXPECT_TRUE(t.WaitForOutput("Unable to connect to 127.0.0.1 (127.0.0.1) on port "));
    EXPECT_EQ(t.client.GetConnection().ConnectingCount(), 0);
    EXPECT_FALSE(t.client.Connected());
}

TEST(Connection, QuittingDuringABlockedReceiveReturnsPromptly)
{
    demo::LoopbackServer server;
    ThreadSafeHost host;
    auto client = std::make_unique<ClientWindow>(host);
    client->ExecuteLine("|connect 127.0.0.1 " + std::to_string(server.Port()), false, false);
    ASSERT_TRUE(server.Accept());
    const auto elapsed = TimeOf([&] { client.reset(); });
    EXPECT_LT(elapsed, 1000ms);
    EXPECT_TRUE(server.WaitForClose());
}

TEST(Connection, StartUpWithHostAndPortConnectsWithoutAMessage)
{
    NetTestClient t;
    t.client.Start(t.Endpoint());
    ASSERT_TRUE(t.server.Accept());
    EXPECT_TRUE(t.client.Connected());
    EXPECT_EQ(t.Count("Connecting to"), 0u);
}

}  // namespace
}  // namespace zel::test
