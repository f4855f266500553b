// POSIX socket helpers of the demo programs; see Socket.h.
#include "demo/Socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace zel::demo {
namespace {

[[noreturn]] void ThrowErrno(const std::string& what)
{
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

Fd ListenTcp(const std::string& host, uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
        throw std::runtime_error("not an IPv4 address: " + host);
    Fd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd) ThrowErrno("socket");
    const int on = 1;
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        ThrowErrno("bind " + host + ":" + std::to_string(port));
    if (::listen(fd.Get(), SOMAXCONN) != 0) ThrowErrno("listen");
    return fd;
}

uint16_t LocalPort(int fd)
{
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        ThrowErrno("getsockname");
    return ntohs(address.sin_port);
}

Fd AcceptClient(int listenFd)
{
    return Fd(::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
}

Signal::Signal()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) ThrowErrno("pipe2");
    read_.Reset(fds[0]);
    write_.Reset(fds[1]);
}

void Signal::Raise()
{
    const char byte = 1;
    // A full pipe is already readable, so a failed write loses nothing.
    [[maybe_unused]] ssize_t written = ::write(write_.Get(), &byte, 1);
}

void Signal::Clear()
{
    char bytes[64];
    while (::read(read_.Get(), bytes, sizeof bytes) > 0) {
    }
}

void CloseGracefully(Fd& fd, std::chrono::milliseconds linger)
{
    if (!fd) return;
    ::shutdown(fd.Get(), SHUT_WR);
    const auto deadline = Clock::now() + linger;
    char bytes[4096];
    for (;;) {
        const ssize_t n = ::recv(fd.Get(), bytes, sizeof bytes, 0);
        if (n > 0 || (n < 0 && errno == EINTR)) continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) break;
        pollfd p{fd.Get(), POLLIN, 0};
        if (::poll(&p, 1, PollTimeout(deadline)) <= 0) break;
    }
    fd.Reset();
}

bool IsReadable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0;
}

int PollTimeout(Clock::time_point deadline)
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::clamp<decltype(left)>(left, 0, INT_MAX));
}

bool SendAll(int fd, std::string_view bytes, std::chrono::milliseconds stall, int stopFd,
             const std::function<bool()>& onReadable)
{
    bool watchReads = bool(onReadable);
    while (!bytes.empty()) {
        const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent > 0) {
            bytes.remove_prefix(size_t(sent));
            continue;
        }
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        pollfd p[2] = {{fd, short(POLLOUT | (watchReads ? POLLIN : 0)), 0}, {stopFd, POLLIN, 0}};
        const int ready = ::poll(p, stopFd >= 0 ? 2 : 1, PollTimeout(Clock::now() + stall));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0 || (p[1].revents & POLLIN)) return false;
        if (p[0].revents & (POLLERR | POLLNVAL)) return false;
        if (p[0].revents & POLLIN) watchReads = onReadable();
    }
    return true;
}

}  // namespace zel::demo
