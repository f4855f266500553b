// DemoServer: see DemoServer.h. A connection's thread polls its socket, its wake-up for text
// posted by other players and the server's stop signal; writes block only on the socket and
// give up when the server stops or the client stops reading.
#include "demo/DemoServer.h"

#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <exception>

namespace zel::demo {
namespace {

constexpr std::string_view kWorldFull = "The village is full. Please try again later.\r\n";
// A client that takes none of our output for this long is dropped.
constexpr auto kSendStall = std::chrono::seconds(60);
constexpr auto kCloseLinger = std::chrono::seconds(2);

}  // namespace

class DemoServer::Connection : private DemoSession::Link {
public:
    Connection(DemoWorld& world, Fd socket, int stopFd)
        : socket_(std::move(socket)), stopFd_(stopFd), session_(world, *this)
    {
        thread_ = std::thread([this] { Run(); });
    }
    ~Connection() { Join(); }

    bool Finished() const { return finished_; }
    void Join()
    {
        if (thread_.joinable()) thread_.join();
    }

private:
    // On the connection's thread. No exception leaves it.
    void Run()
    {
        try {
            Serve();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "zel-demo-server: connection: %s\n", e.what());
        }
        session_.End();
        // When the server stops, the client is not waited for.
        CloseGracefully(socket_, IsReadable(stopFd_) ? std::chrono::seconds(0) : kCloseLinger);
        finished_ = true;
    }

    void Serve()
    {
        session_.Start();
        char bytes[4096];
        while (!session_.Ended()) {
            pollfd p[3] = {
                {socket_.Get(), POLLIN, 0}, {wake_.ReadFd(), POLLIN, 0}, {stopFd_, POLLIN, 0}};
            if (::poll(p, 3, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (p[2].revents) return;
            if (p[1].revents) {
                wake_.Clear();
                session_.DeliverPosted();
            }
            if (p[0].revents) {
                const ssize_t n = ::recv(socket_.Get(), bytes, sizeof bytes, 0);
                if (n > 0)
                    session_.Feed(std::string_view(bytes, size_t(n)));
                else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
                    return;
            }
        }
    }

    bool Send(std::string_view bytes) override
    {
        return SendAll(socket_.Get(), bytes, kSendStall, stopFd_);
    }
    void Wake() override { wake_.Raise(); }

    Fd socket_;
    const int stopFd_;
    Signal wake_;
    DemoSession session_;  // after what it uses through the Link, so it goes first
    std::atomic<bool> finished_ = false;
    std::thread thread_;
};

DemoServer::DemoServer(const std::string& host, uint16_t port)
    : listen_(ListenTcp(host, port)), port_(LocalPort(listen_.Get()))
{
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

DemoServer::~DemoServer()
{
    Stop();
}

void DemoServer::Stop()
{
    stop_.Raise();
    if (acceptThread_.joinable()) acceptThread_.join();
    Reap(true);
    listen_.Reset();
}

void DemoServer::AcceptLoop()
{
    try {
        for (;;) {
            pollfd p[2] = {{listen_.Get(), POLLIN, 0}, {stop_.ReadFd(), POLLIN, 0}};
            if (::poll(p, 2, -1) < 0 && errno != EINTR) return;
            if (p[1].revents) return;
            Fd client = AcceptClient(listen_.Get());
            if (!client) continue;
            Reap(false);
            if (connections_.size() >= kMaximumClients) {
                SendAll(client.Get(), kWorldFull, std::chrono::seconds(1));
                CloseGracefully(client, std::chrono::milliseconds(100));
                continue;
            }
            connections_.push_back(
                std::make_unique<Connection>(world_, std::move(client), stop_.ReadFd()));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zel-demo-server: %s\n", e.what());
    }
}

void DemoServer::Reap(bool waitForAll)
{
    connections_.remove_if([&](const std::unique_ptr<Connection>& c) {
        if (!waitForAll && !c->Finished()) return false;
        c->Join();
        return true;
    });
}

}  // namespace zel::demo
