// connect, disconnect, the network thread's reports and the wire, against a loopback server.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <fstream>
#include <future>
#include <set>
#include <sstream>
#include <stdexcept>

#include "NetTestClient.h"
#include "RecordingConnectionClient.h"
#include "WaitUntil.h"
#include "engine/RecordingObserver.h"
#include "net/Connection.h"

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
    EXPECT_TRUE(WaitUntil([&] { return !t.client.Connected(); }));
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
    EXPECT_EQ(t.server.Receive(9), "raw bytes");
    EXPECT_EQ(t.client.GetConnection().BytesSent(), 7 + 17 + 9);
    // Local echo shows what was sent.
    EXPECT_NE(t.Output().find("north\n"), std::string::npos);
}

TEST(Connection, DisconnectClosesAndASecondOneSaysNotConnected)
{
    NetTestClient t;
    ASSERT_TRUE(t.Connect());
    // A server that accepts and never sends: the receive is blocked, and ends at once (a
    // receive that is not woken never ends).
    const auto elapsed = TimeOf([&] { t.Run("|disconnect"); });
    EXPECT_LT(elapsed, 10s);
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
    // The close waits for the network thread that ended by itself: a second report would be
    // out by then.
    t.client.CloseConnection();
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

    // Whether a socket other than the fillers is sending its SYN to this listener: a connect
    // that hangs, found in the kernel's table of IPv4 sockets.
    bool AnotherConnectWaits() const
    {
        std::set<unsigned long> fillers;
        for (int fd : fillers_) {
            struct stat status {};
            if (fstat(fd, &status) == 0) fillers.insert(status.st_ino);
        }
        std::ifstream table("/proc/net/tcp");
        std::string line;
        std::getline(table, line);  // the heading
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout;
            unsigned long inode = 0;
            fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
                timeout >> inode;
            const size_t colon = remote.find(':');
            if (colon == std::string::npos || state != "02") continue;  // 02: SYN_SENT
            if (std::stoi(remote.substr(colon + 1), nullptr, 16) == port_ && !fillers.count(inode))
                return true;
        }
        return false;
    }

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
    // The lookup is over once the SYN is out.
    const auto done = [&] { return attempt.wait_for(0s) == std::future_status::ready; };
    ASSERT_TRUE(WaitUntil([&] { return full.AnotherConnectWaits() || done(); })) << t.Output();
    if (done()) {
        ASSERT_NE(t.Output().find("Unable to connect to 127.0.0.1"), std::string::npos)
            << t.Output();
        GTEST_SKIP() << "this kernel refuses at once instead of dropping the SYN";
    }
    EXPECT_GT(t.client.GetConnection().ConnectingCount(), 0);
    t.Run("|disconnect");
    EXPECT_TRUE(t.Output().ends_with("Connecting... try again\n")) << t.Output();
    // A connect that is not woken ends only when the kernel gives up, minutes later.
    const auto elapsed = TimeOf([&] { t.client.CloseConnection(); });
    EXPECT_LT(elapsed, 10s);
    ASSERT_EQ(attempt.wait_for(kWaitLimit), std::future_status::ready) << t.Output();
    EXPECT_TRUE(t.WaitForOutput("Unable to connect to 127.0.0.1 (127.0.0.1) on port "))
        << t.Output();
    EXPECT_EQ(t.client.GetConnection().ConnectingCount(), 0);
    EXPECT_FALSE(t.client.Connected());
}

TEST(Connection, QuittingDuringABlockedReceiveReturnsPromptly)
{
    demo::LoopbackServer server;
    ThreadSafeHost host;
    auto client = std::make_unique<ClientWindow>(host, AllModules());
    client->ExecuteLine("|connect 127.0.0.1 " + std::to_string(server.Port()), false, false);
    ASSERT_TRUE(server.Accept());
    // A receive that is not woken never ends.
    const auto elapsed = TimeOf([&] { client.reset(); });
    EXPECT_LT(elapsed, 10s);
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

// A transport that plays a script: each step is one read, or (empty) a pause in which a
// wait for readability runs out. At the end of the script the peer closes.
class ScriptedTransport : public Transport {
public:
    explicit ScriptedTransport(std::deque<std::string> steps) : steps_(std::move(steps)) {}
    int Open(uint32_t, uint16_t, Step& failed) override
    {
        failed = failStep_;
        return failError_;
    }
    int WaitReadable(int milliseconds) override
    {
        std::scoped_lock lock(mutex_);
        waits_.push_back(milliseconds);
        if (!steps_.empty() && steps_.front().empty()) {
            steps_.pop_front();
            return 0;
        }
        return 1;
    }
    ssize_t Read(char* buffer, size_t size) override
    {
        std::scoped_lock lock(mutex_);
        while (!steps_.empty() && steps_.front().empty()) steps_.pop_front();
        if (steps_.empty()) return 0;
        std::string& step = steps_.front();
        const size_t n = std::min(size, step.size());
        step.copy(buffer, n);
        step.erase(0, n);
        if (step.empty()) steps_.pop_front();
        return ssize_t(n);
    }
    ssize_t Write(std::string_view bytes) override
    {
        std::scoped_lock lock(mutex_);
        written_ += bytes;
        return ssize_t(bytes.size());
    }
    void Shutdown() override {}
    int WakeFd() const override { return -1; }

    void FailOpen(Step step, int error)
    {
        failStep_ = step;
        failError_ = error;
    }
    std::vector<int> Waits()
    {
        std::scoped_lock lock(mutex_);
        return waits_;
    }
    std::string Written()
    {
        std::scoped_lock lock(mutex_);
        return written_;
    }

private:
    std::mutex mutex_;
    std::deque<std::string> steps_;
    std::vector<int> waits_;
    std::string written_;
    Step failStep_ = Step::Connect;
    int failError_ = 0;
};

// Waits until the log holds `kind` (a connection's last entry says it closed).
bool WaitForEntry(RecordingConnectionClient& client, std::string_view kind)
{
    return WaitUntil([&] {
        for (const auto& entry : client.Entries())
            if (entry.kind == kind) return true;
        return false;
    });
}

TEST(Connection, TheNetworkThreadWaitsTheLineWaitOnlyForAnUnendedLine)
{
    RecordingConnectionClient client;
    client.lineWait = 75;
    auto transport = std::make_shared<ScriptedTransport>(std::deque<std::string>{
        "Hello\r\nHP:4", "2\r\n", "prompt> ", "", "more\r\n\xff\xfd\x03", "cut\x1b[1"});
    Connection connection(client, [&] { return transport; });
    connection.Open("127.0.0.1", 4000);
    ASSERT_TRUE(WaitForEntry(client, "closed"));
    connection.Close();
    // A line cut by a read is joined; the pause shows the prompt; the end shows the last
    // unended line and drops the sequence it cut off. (The status of the open may come
    // before or after the first text.)
    EXPECT_EQ(client.Log("status"),
              "opened:127.0.0.1:4000|text:Hello%0D%0AHP:42%0D%0Aprompt> more%0D%0Acut|"
              "report:Connection to 127.0.0.1 (127.0.0.1) on port 4000 closed%0A|"
              "closed:127.0.0.1:4000");
    // A wait only where a line was held: after the first, third and last reads.
    EXPECT_EQ(transport->Waits(), (std::vector<int>{75, 75, 75}));
    EXPECT_EQ(transport->Written(), "\xff\xfc\x03");
    // Every byte is logged as it was read, in order.
    std::string logged;
    for (const auto& entry : client.Entries())
        if (entry.kind == "log") logged += entry.text;
    EXPECT_EQ(logged,
              "Hello\r\nHP:42\r\nprompt> more\r\n\xff\xfd\x03"
              "cut\x1b[1");
    EXPECT_EQ(connection.BytesReceived(), int32_t(logged.size()));
    EXPECT_EQ(connection.LinesReceived(), 3);
}

TEST(Connection, ATransportFromTheFactoryNamesTheStepThatFailed)
{
    RecordingConnectionClient client;
    auto transport = std::make_shared<ScriptedTransport>(std::deque<std::string>{});
    Connection connection(client, [&] { return transport; });
    transport->FailOpen(Transport::Step::Bind, 98);
    connection.Open("127.0.0.1", 4000);
    transport->FailOpen(Transport::Step::Create, 24);
    connection.Open("127.0.0.1", 4000);
    transport->FailOpen(Transport::Step::Connect, 111);
    connection.Open("127.0.0.1", 4000);
    EXPECT_EQ(client.Log(),
              "report:Unable to bind local socket : 98%0A|status:Not connected|"
              "report:Unable to create socket : 24%0A|status:Not connected|"
              "report:Unable to connect to 127.0.0.1 (127.0.0.1) on port 4000 : 111%0A|"
              "status:Not connected");
}

TEST(Connection, AnExceptionOnTheNetworkThreadEndsTheConnectionWithAReport)
{
    RecordingConnectionClient client;
    client.throwOnText = "out of luck";
    auto transport =
        std::make_shared<ScriptedTransport>(std::deque<std::string>{"text\r\n", "never read\r\n"});
    Connection connection(client, [&] { return transport; });
    connection.Open("127.0.0.1", 4000);
    ASSERT_TRUE(WaitForEntry(client, "closed"));
    connection.Close();
    EXPECT_EQ(client.Log("status"),
              "opened:127.0.0.1:4000|error:Network thread error : out of luck%0A|"
              "report:Connection to 127.0.0.1 (127.0.0.1) on port 4000 closed%0A|"
              "closed:127.0.0.1:4000");
    EXPECT_FALSE(connection.HasSocket());
}

TEST(Connection, TheWindowPublishesConnectionChangesAndSubnegotiations)
{
    NetTestClient t;
    RecordingObserver observer;
    t.client.Events().Add(&observer);
    const std::string where = "127.0.0.1:" + std::to_string(t.server.Port());
    ASSERT_TRUE(t.Connect());
    t.server.Send(
        "\xff\xfa\xc9"
        "Core.Hello {}\xff\xf0"
        "seen\r\n");
    ASSERT_TRUE(t.WaitForOutput("seen\n"));
    t.server.CloseClient();
    ASSERT_TRUE(t.WaitForOutput(" closed\n"));
    EXPECT_TRUE(WaitUntil([&] { return observer.Events().size() >= 4; }));
    t.client.Events().Remove(&observer);
    EXPECT_EQ(observer.Events(),
              (std::vector<std::string>{"connected " + where, "sb 201 Core.Hello {}", "line seen",
                                        "closed " + where}));
}

// A host whose prompt line fails, as a user interface might.
class FailingPromptHost : public ThreadSafeHost {
public:
    void SetPromptLine(std::string_view text, bool shown) override
    {
        if (text == "boom> ") throw std::runtime_error("the prompt line failed");
        ThreadSafeHost::SetPromptLine(text, shown);
    }
};

TEST(Connection, AnExceptionInTheClientIsReportedAndTheClientGoesOn)
{
    demo::LoopbackServer server;
    FailingPromptHost host;
    ClientWindow client{host, AllModules()};
    const std::string port = std::to_string(server.Port());
    client.ExecuteLine("|prompt auto", false, false);
    client.ExecuteLine("|connect 127.0.0.1 " + port, false, false);
    ASSERT_TRUE(server.Accept());
    server.Send("fine\r\nboom> ");
    EXPECT_TRUE(server.WaitForClose());
    const std::string expected =
        "fine\nNetwork thread error : the prompt line failed\n"
        "Connection to 127.0.0.1 (127.0.0.1) on port " +
        port + " closed\n";
    std::string text;
    EXPECT_TRUE(WaitUntil([&] {
        std::scoped_lock lock(client.OutputLock());
        const OutputBuffer& out = client.Output();
        text.clear();
        for (uint64_t n = out.LineBase(); n < out.End(); ++n) {
            text.append(out.Line(n)->Text());
            if (out.Line(n)->Ended()) text += '\n';
        }
        return text.ends_with(expected);
    })) << text;
    // The client connects again as usual.
    client.ExecuteLine("|connect 127.0.0.1 " + port, false, false);
    ASSERT_TRUE(server.Accept());
    EXPECT_TRUE(client.Connected());
}

}  // namespace
}  // namespace zel::test
