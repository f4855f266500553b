// LoopbackServer against a plain blocking client socket: both directions, marker waits that
// straddle packets, timeouts, the client closing or resetting, the server closing, resetting
// and refusing, and a large send while the client writes as much without reading.
#include "demo/LoopbackServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "WaitUntil.h"

namespace zel::demo {
namespace {

using namespace std::chrono_literals;

// A blocking client socket; reads give up after kWaitLimit. Empty when connect fails.
Fd ConnectPlain(uint16_t port)
{
    Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const timeval timeout{test::kWaitLimit.count(), 0};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        fd.Reset();
        errno = error;
    }
    return fd;
}

void Write(const Fd& fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
        ASSERT_GT(n, 0) << std::strerror(errno);
        bytes.remove_prefix(size_t(n));
    }
}

// Reads until count bytes or end of file; errno of a failed read in `error`.
std::string Read(const Fd& fd, size_t count, int* error = nullptr)
{
    std::string out(count, '\0');
    size_t got = 0;
    while (got < count) {
        const ssize_t n = ::recv(fd.Get(), out.data() + got, count - got, 0);
        if (n <= 0) {
            if (error) *error = n < 0 ? errno : 0;
            break;
        }
        got += size_t(n);
    }
    out.resize(got);
    return out;
}

// Bytes written to fd that the peer has not acknowledged yet.
int UnacknowledgedBytes(const Fd& fd)
{
    int bytes = -1;
    ::ioctl(fd.Get(), SIOCOUTQ, &bytes);
    return bytes;
}

template <typename F>
std::chrono::milliseconds Timed(F&& f)
{
    const auto start = Clock::now();
    f();
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

TEST(DemoLoopbackServer, CarriesBytesBothWays)
{
    LoopbackServer server;
    ASSERT_NE(server.Port(), 0);
    Fd client = ConnectPlain(server.Port());
    ASSERT_TRUE(client);
    ASSERT_TRUE(server.Accept());

    ASSERT_TRUE(server.Send("hello\r\n\xff\xf9"));
    EXPECT_EQ(Read(client, 9), "hello\r\n\xff\xf9");

    Write(client, "abc\r\ndef");
    EXPECT_EQ(server.Receive(3), "abc");
    EXPECT_EQ(server.ReceiveUntil("\r\n"), "\r\n");
    EXPECT_EQ(server.ReceiveFor(100ms), "def");

    // The marker arrives in pieces, and what follows it stays for the next call.
    std::thread writer([&] {
        Write(client, "pa");
        std::this_thread::sleep_for(50ms);
        Write(client, "rt\r");
        std::this_thread::sleep_for(50ms);
        Write(client, "\nrest");
    });
    EXPECT_EQ(server.ReceiveUntil("part\r\n"), "part\r\n");
    writer.join();
    EXPECT_EQ(server.Receive(2), "re");
    EXPECT_EQ(server.Receive(100, 100ms), "st");
}

TEST(DemoLoopbackServer, WaitsEndAtTheirTimeouts)
{
    LoopbackServer server;
    EXPECT_GE(Timed([&] { EXPECT_FALSE(server.Accept(150ms)); }), 150ms);

    Fd client = ConnectPlain(server.Port());
    ASSERT_TRUE(server.Accept());
    Write(client, "partial");
    std::chrono::milliseconds took{};
    took = Timed([&] { EXPECT_EQ(server.ReceiveUntil("\n", 150ms), "partial"); });
    EXPECT_GE(took, 150ms);
    EXPECT_LT(took, 4s);  // not the default timeout of 5 seconds
    took = Timed([&] { EXPECT_EQ(server.Receive(1, 150ms), ""); });
    EXPECT_GE(took, 150ms);
    took = Timed([&] { EXPECT_EQ(server.ReceiveFor(150ms), ""); });
    EXPECT_GE(took, 150ms);
    took = Timed([&] { EXPECT_FALSE(server.WaitForClose(150ms)); });
    EXPECT_GE(took, 150ms);
}

TEST(DemoLoopbackServer, SeesTheClientCloseOrReset)
{
    LoopbackServer server;
    {
        Fd client = ConnectPlain(server.Port());
        ASSERT_TRUE(server.Accept());
        Write(client, "bye");
    }
    EXPECT_TRUE(server.WaitForClose());
    EXPECT_EQ(server.Receive(10, 100ms), "bye");  // kept after the close

    Fd client = ConnectPlain(server.Port());
    ASSERT_TRUE(server.Accept());
    const linger abort{1, 0};
    ::setsockopt(client.Get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    client.Reset();
    EXPECT_TRUE(server.WaitForClose());
    EXPECT_FALSE(server.Send("late")) << "a reset client takes nothing";
}

TEST(DemoLoopbackServer, ClosesResetsAndRefuses)
{
    LoopbackServer server;
    Fd first = ConnectPlain(server.Port());
    ASSERT_TRUE(server.Accept());
    Write(first, "unread input");  // must not turn the orderly close into a reset
    ASSERT_TRUE(server.Send("last words"));
    // Once the server's side has acknowledged the input, it is there when the close comes.
    ASSERT_TRUE(test::WaitUntil([&] { return UnacknowledgedBytes(first) == 0; }));
    server.CloseClient();
    int error = -1;
    EXPECT_EQ(Read(first, 100, &error), "last words");
    EXPECT_EQ(error, 0) << "end of file, not " << std::strerror(error);

    Fd second = ConnectPlain(server.Port());
    ASSERT_TRUE(server.Accept());
    server.ResetClient();
    EXPECT_EQ(Read(second, 1, &error), "");
    EXPECT_EQ(error, ECONNRESET);

    Fd third = ConnectPlain(server.Port());
    ASSERT_TRUE(server.Accept());
    server.ShutdownWrite();
    EXPECT_EQ(Read(third, 1, &error), "");
    EXPECT_EQ(error, 0);
    Write(third, "still heard");
    EXPECT_EQ(server.ReceiveUntil("heard"), "still heard");

    server.StopListening();
    EXPECT_FALSE(ConnectPlain(server.Port()));
    EXPECT_EQ(errno, ECONNREFUSED);
    EXPECT_FALSE(server.Accept(10ms));
}

TEST(DemoLoopbackServer, BindsTheAskedPortOrThrows)
{
    uint16_t port = 0;
    {
        LoopbackServer ephemeral;
        port = ephemeral.Port();
    }
    LoopbackServer fixed(port);
    EXPECT_EQ(fixed.Port(), port);
    EXPECT_THROW(LoopbackServer{port}, std::runtime_error);

    LoopbackServer moved = std::move(fixed);
    EXPECT_EQ(moved.Port(), port);
    Fd client = ConnectPlain(port);
    EXPECT_TRUE(moved.Accept());
}

// Each side writes more than the sockets buffer before reading: a send that did not take in
// the client's bytes meanwhile would wait forever.
TEST(DemoLoopbackServer, LargeSendWhileTheClientWritesToo)
{
    constexpr size_t kSize = 24 << 20;
    LoopbackServer server;
    Fd client = ConnectPlain(server.Port());
    ASSERT_TRUE(server.Accept());
    const std::string down(kSize, 'd');
    const std::string up(kSize, 'u');
    std::string received;
    std::thread peer([&] {
        Write(client, up);
        received = Read(client, kSize);
    });
    EXPECT_TRUE(server.Send(down));
    peer.join();
    EXPECT_EQ(received.size(), kSize);
    EXPECT_EQ(server.Receive(kSize).size(), kSize);
}

}  // namespace
}  // namespace zel::demo
