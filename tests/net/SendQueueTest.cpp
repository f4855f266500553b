// Sending to a loopback server that stops reading, through typed lines and actions: no typed
// line, action or disconnect waits for the server, a queue past its limit ends the connection
// with one report, and what is queued reaches the wire in the order it was queued.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "HeadlessRun.h"
#include "NetTestClient.h"
#include "WaitUntil.h"
#include "net/Connection.h"
#include "net/Telnet.h"
#include "net/TelnetNegotiator.h"

namespace zel::test {
namespace {

// A few hundred such lines fill the socket buffers.
constexpr size_t kLineSize = 8000;
// More than the socket buffers and the queue hold together: sending stops well before.
constexpr size_t kFlood = 64 << 20;

// Line `n`: its number, then filler up to kLineSize, so that a lost, doubled or moved line
// shows on the wire.
std::string Line(size_t n)
{
    std::string line = "line " + std::to_string(n) + " ";
    line.resize(kLineSize, char('a' + n % 26));
    return line;
}

// Where `received` stops being a prefix of `expected` (npos when it is one); the streams are
// megabytes, too long to print.
size_t Mismatch(std::string_view received, std::string_view expected)
{
    for (size_t i = 0; i < received.size(); ++i)
        if (i >= expected.size() || received[i] != expected[i]) return i;
    return std::string_view::npos;
}

// The client's end of its connection to the server on `port`, among this process's
// descriptors; -1 when there is none.
int ClientSocketTo(uint16_t port)
{
    for (int fd = 0; fd < 4096; ++fd) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 &&
            peer.sin_family == AF_INET && ntohs(peer.sin_port) == port)
            return fd;
    }
    return -1;
}

// The socket takes no more for now: the network thread waits for room that a server that
// does not read never makes. Only looks; the connection's thread does the writing.
bool SocketFull(int fd)
{
    pollfd p{fd, POLLOUT, 0};
    return poll(&p, 1, 0) == 0;
}

// A thread standing in for the user-interface thread, so that the test survives a call that
// blocks. A call stuck in a write to the stalled server (the fault under test) is freed by
// the server's reset before the join.
class UiThread {
public:
    UiThread(demo::LoopbackServer& server, std::function<void()> work)
        : server_(server), thread_([this, work = std::move(work)] {
              work();
              done_ = true;
          })
    {
    }
    ~UiThread()
    {
        if (!done_) server_.ResetClient();
        thread_.join();
    }
    bool WaitDone()
    {
        return WaitUntil([&] { return done_.load(); });
    }

private:
    demo::LoopbackServer& server_;
    std::atomic<bool> done_{false};
    std::thread thread_;  // last: it starts once the rest is ready
};

// Resets the server's client at the end of a test, so that a network thread stuck in a write
// (the fault under test) lets the client close.
struct ResetAtEnd {
    ~ResetAtEnd() { server.ResetClient(); }
    demo::LoopbackServer& server;
};

TEST(SendQueue, TypedLinesAndDisconnectDoNotWaitForAServerThatStopsReading)
{
    NetTestClient t;
    ResetAtEnd reset{t.server};
    ASSERT_TRUE(t.Connect());
    const Connection& connection = t.client.GetConnection();
    const int socket = ClientSocketTo(t.server.Port());
    ASSERT_GE(socket, 0);
    std::string typed;
    bool queued = false;
    UiThread ui(t.server, [&] {
        // Until the socket is full and megabytes wait behind it.
        while (typed.size() < kFlood && t.client.Connected()) {
            if (connection.QueuedBytes() >= (2 << 20) && SocketFull(socket)) {
                queued = true;
                break;
            }
            const std::string line = Line(typed.size() / (kLineSize + 2));
            t.client.ExecuteLine(line, false, false);
            typed += line + "\r\n";
        }
        t.client.ExecuteLine("|disconnect", false, false);
    });
    ASSERT_TRUE(ui.WaitDone());
    EXPECT_TRUE(queued);
    EXPECT_FALSE(t.client.Connected());
    EXPECT_EQ(t.Count("Send queue full"), 0u);
    // What reached the server is the start of what was typed, unchanged; the close did not
    // wait for the rest (a full socket has room for less than the two megabytes queued).
    ASSERT_TRUE(t.server.WaitForClose());
    const std::string received = t.server.ReceiveFor(0ms);
    EXPECT_GT(received.size(), 0u);
    EXPECT_LT(received.size(), typed.size());
    EXPECT_EQ(Mismatch(received, typed), std::string_view::npos);
}

TEST(SendQueue, AQueuePastItsLimitClosesTheConnectionWithOneReport)
{
    NetTestClient t;
    ResetAtEnd reset{t.server};
    const std::string port = std::to_string(t.server.Port());
    ASSERT_TRUE(t.Connect());
    const Connection& connection = t.client.GetConnection();
    size_t typed = 0;
    UiThread ui(t.server, [&] {
        while (typed < kFlood && t.client.Connected()) {
            t.client.ExecuteLine(Line(typed / (kLineSize + 2)), false, false);
            typed += kLineSize + 2;
        }
    });
    ASSERT_TRUE(ui.WaitDone());
    EXPECT_LT(typed, kFlood);
    EXPECT_FALSE(t.client.Connected());
    const std::string closed = "Connection to 127.0.0.1 (127.0.0.1) on port " + port + " closed\n";
    ASSERT_TRUE(t.WaitForOutput(closed));
    // Once, before the closing report (a line typed meanwhile may print between them).
    EXPECT_EQ(t.Count("Send queue full : the server is not reading\n"), 1u);
    const std::string output = t.Output();
    EXPECT_LT(output.find("Send queue full"), output.find(closed)) << output;
    // Accepted and never written is what the queue held when the next line would not fit.
    ASSERT_TRUE(t.server.WaitForClose());
    const size_t received = t.server.ReceiveFor(0ms).size();
    const size_t accepted = size_t(connection.BytesSent());
    ASSERT_GE(accepted, received);
    EXPECT_LE(accepted - received, Connection::kSendQueueLimit);
    EXPECT_GT(accepted - received, Connection::kSendQueueLimit - (kLineSize + 2));
    // Later lines find no connection.
    t.Run("look");
    EXPECT_TRUE(t.Output().ends_with("Not connected\n"));
}

TEST(SendQueue, AnActionSendingToAStalledServerLeavesTheOutputFree)
{
    NetTestClient t;
    ResetAtEnd reset{t.server};
    ASSERT_TRUE(t.Connect());
    const Connection& connection = t.client.GetConnection();
    const std::string answer(kLineSize, 'r');
    t.Run("|action add flood {^ping} {|send " + answer + "}");
    // Pings in batches until the actions' answers wait behind a full socket.
    std::string batch;
    for (int i = 0; i < 64; ++i) batch += "ping\r\n";
    size_t pings = 0;
    bool taken = true;
    while (taken && connection.QueuedBytes() == 0 && pings * kLineSize < kFlood) {
        ASSERT_TRUE(t.server.Send(batch));
        pings += 64;
        // Each answer is accepted at once, written or queued.
        taken = WaitUntil([&] { return size_t(connection.BytesSent()) == pings * kLineSize; });
    }
    EXPECT_TRUE(taken) << "answers accepted: " << connection.BytesSent() / kLineSize << " of "
                       << pings;
    EXPECT_GT(connection.QueuedBytes(), 0u);
    // Whatever the network thread does with its sends, the output is free.
    UiThread ui(t.server, [&] { t.client.ExecuteLine("|echo still here", false, false); });
    ASSERT_TRUE(ui.WaitDone());
    EXPECT_TRUE(t.WaitForOutput("still here"));
    ASSERT_TRUE(taken);
    EXPECT_TRUE(t.client.Connected());
    // Once the server reads, every answer arrives whole.
    std::string expected;
    for (size_t i = 0; i < pings; ++i) expected += answer;
    const std::string received = t.server.Receive(expected.size());
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_EQ(Mismatch(received, expected), std::string_view::npos);
}

// Sends `request` and DO 99, and waits until the counted WONT 99 is queued: the reply to
// `request` is then queued before it.
bool AskAndWait(NetTestClient& t, std::string_view request)
{
    const int32_t before = t.client.GetConnection().BytesSent();
    return t.server.Send(std::string(request) + "\xff\xfd\x63") &&
           WaitUntil([&] { return t.client.GetConnection().BytesSent() == before + 3; });
}

TEST(SendQueue, LinesAndTelnetRepliesReachTheWireInTheOrderQueued)
{
    NetTestClient t;
    ResetAtEnd reset{t.server};
    ASSERT_TRUE(t.Connect());
    const Connection& connection = t.client.GetConnection();
    const int socket = ClientSocketTo(t.server.Port());
    ASSERT_GE(socket, 0);
    const std::string wont99 = "\xff\xfc\x63";
    std::string expected;
    size_t lines = 0;
    // Typed on a thread of their own: a send that waits for the server fails the test.
    auto type = [&](std::function<bool()> more, std::string_view after = {}) {
        UiThread ui(t.server, [&] {
            while (more() && expected.size() < kFlood && t.client.Connected()) {
                const std::string line = Line(lines++);
                t.client.ExecuteLine(line, false, false);
                expected += line + "\r\n";
            }
            if (!after.empty()) t.client.ExecuteLine(after, false, false);
        });
        return ui.WaitDone();
    };

    // Lines until megabytes wait behind a full socket: what is queued next goes after them.
    ASSERT_TRUE(type([&] { return connection.QueuedBytes() < (2 << 20) || !SocketFull(socket); }));
    ASSERT_TRUE(AskAndWait(t, "\xff\xfd\x18"));  // DO TERMINAL-TYPE
    expected += "\xff\xfb\x18" + wont99;
    size_t count = 0;
    ASSERT_TRUE(type([&] { return count++ < 3; }, "|telnet naws"));
    expected += telnet::WindowSizeBytes(t.client.ViewColumns(), t.client.ViewRows());
    ASSERT_TRUE(AskAndWait(t, "\xff\xfa\x18\x01\xff\xf0"));  // SB TERMINAL-TYPE SEND
    expected += telnet::TerminalTypeBytes(TelnetNegotiator::kTerminalTypeName) + wont99;
    count = 0;
    ASSERT_TRUE(type([&] { return count++ < 2; }, "|send raw"));
    expected += "raw";

    // The server reads at last.
    const std::string received = t.server.Receive(expected.size());
    EXPECT_EQ(received.size(), expected.size());
    EXPECT_EQ(Mismatch(received, expected), std::string_view::npos);
    EXPECT_TRUE(t.client.Connected());
}

TEST(SendQueue, QuitDoesNotWaitForAServerThatStopsReading)
{
    demo::LoopbackServer server;
    const std::string port = std::to_string(server.Port());
    // More than the socket buffers take here: the last lines are still queued at the quit,
    // or, where the buffers are small, the queue passed its limit and closed the connection.
    std::string typed;
    while (typed.size() < (6 << 20)) typed += Line(typed.size() / (kLineSize + 2)) + "\r\n";
    std::string input = "|connect 127.0.0.1 " + port + "\n";
    for (size_t at = 0; at < typed.size(); at += kLineSize + 2)
        input.append(typed, at, kLineSize).append("\n");
    input += "|quit\n";
    auto run = std::async(std::launch::async, [&] { return RunZelHeadless(input); });
    ASSERT_TRUE(server.Accept(kWaitLimit));
    const bool quit = run.wait_for(kWaitLimit) == std::future_status::ready;
    if (!quit) server.ResetClient();  // frees a client stuck in a write, so that it ends
    ASSERT_TRUE(quit);
    const HeadlessRun result = run.get();
    EXPECT_NE(result.out.find("Connection to 127.0.0.1 (127.0.0.1) on port " + port + " closed\n"),
              std::string::npos);
    ASSERT_TRUE(server.WaitForClose(kWaitLimit));
    const std::string received = server.ReceiveFor(0ms);
    EXPECT_GT(received.size(), 0u);
    EXPECT_EQ(Mismatch(received, typed), std::string_view::npos);
}

}  // namespace
}  // namespace zel::test
