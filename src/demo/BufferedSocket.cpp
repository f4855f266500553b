// BufferedSocket: see BufferedSocket.h.
#include "demo/BufferedSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>

namespace zel::demo {
namespace {

constexpr auto kSendStall = std::chrono::seconds(30);

}  // namespace

BufferedSocket::BufferedSocket(Fd socket) : socket_(std::move(socket))
{
    if (socket_) ::fcntl(socket_.Get(), F_SETFL, ::fcntl(socket_.Get(), F_GETFL) | O_NONBLOCK);
}

BufferedSocket BufferedSocket::Connect(const std::string& host, uint16_t port,
                                       std::chrono::milliseconds timeout)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
        errno = EINVAL;
        return {};
    }
    Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd) return {};
    if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EINPROGRESS) return {};
        pollfd p{fd.Get(), POLLOUT, 0};
        if (::poll(&p, 1, int(timeout.count())) <= 0) {
            errno = ETIMEDOUT;
            return {};
        }
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0) {
            errno = error;
            return {};
        }
    }
    return BufferedSocket(std::move(fd));
}

bool BufferedSocket::Send(std::string_view bytes)
{
    return socket_ &&
           SendAll(socket_.Get(), bytes, kSendStall, -1, [this] { return ReadAvailable(); });
}

bool BufferedSocket::ReadAvailable()
{
    char chunk[65536];
    while (socket_ && !peerClosed_) {
        const ssize_t n = ::recv(socket_.Get(), chunk, sizeof chunk, 0);
        if (n > 0) {
            buffer_.append(chunk, size_t(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return true;
        } else {
            peerClosed_ = true;  // end of file, reset or another failure
        }
    }
    return false;
}

bool BufferedSocket::ReadMore(Clock::time_point deadline)
{
    const size_t before = buffer_.size();
    while (socket_ && !peerClosed_) {
        pollfd p{socket_.Get(), POLLIN, 0};
        const int ready = ::poll(&p, 1, PollTimeout(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        ReadAvailable();
        if (buffer_.size() > before) return true;
    }
    return false;
}

std::string BufferedSocket::Take(size_t count)
{
    std::string taken = buffer_.substr(0, count);
    buffer_.erase(0, taken.size());
    return taken;
}

std::string BufferedSocket::Receive(size_t count, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (buffer_.size() < count && ReadMore(deadline)) {
    }
    return Take(count);
}

std::string BufferedSocket::ReceiveUntil(std::string_view marker, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    size_t from = 0;
    for (;;) {
        if (const size_t at = buffer_.find(marker, from); at != std::string::npos)
            return Take(at + marker.size());
        // The marker may straddle what has arrived and what is still to come.
        from = buffer_.size() >= marker.size() ? buffer_.size() - marker.size() + 1 : 0;
        if (!ReadMore(deadline)) return Take(buffer_.size());
    }
}

std::string BufferedSocket::ReceiveFor(std::chrono::milliseconds duration)
{
    const auto deadline = Clock::now() + duration;
    while (ReadMore(deadline)) {
    }
    return Take(buffer_.size());
}

bool BufferedSocket::WaitForClose(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (ReadMore(deadline)) {
    }
    return socket_ && peerClosed_;
}

void BufferedSocket::Close()
{
    if (!socket_) return;
    ::shutdown(socket_.Get(), SHUT_WR);
    ReadAvailable();
    socket_.Reset();
}

void BufferedSocket::Reset()
{
    if (!socket_) return;
    const linger abort{1, 0};
    ::setsockopt(socket_.Get(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    socket_.Reset();
}

void BufferedSocket::ShutdownWrite()
{
    if (socket_) ::shutdown(socket_.Get(), SHUT_WR);
}

}  // namespace zel::demo
