// LoopbackServer: see LoopbackServer.h.
#include "demo/LoopbackServer.h"

#include <poll.h>

#include <cerrno>

namespace zel::demo {

LoopbackServer::LoopbackServer() : LoopbackServer(0) {}

LoopbackServer::LoopbackServer(uint16_t port)
    : listen_(ListenTcp("127.0.0.1", port)), port_(LocalPort(listen_.Get()))
{
}

bool LoopbackServer::Accept(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    client_ = BufferedSocket();
    while (listen_) {
        if (Fd fd = AcceptClient(listen_.Get())) {
            client_ = BufferedSocket(std::move(fd));
            return true;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED)
            return false;
        pollfd p{listen_.Get(), POLLIN, 0};
        const int ready = ::poll(&p, 1, PollTimeout(deadline));
        if (ready == 0 || (ready < 0 && errno != EINTR)) return false;
    }
    return false;
}

}  // namespace zel::demo
