#include "net/TcpTransport.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace zel {

std::shared_ptr<Transport> MakeTcpTransport()
{
    return std::make_shared<TcpTransport>();
}

TcpTransport::~TcpTransport()
{
    if (fd_ >= 0) close(fd_);
}

int TcpTransport::Open(uint32_t address, uint16_t port, Step& failed)
{
    failed = Step::Create;
    if (int error = Create(); error != 0) return error;
    failed = Step::Bind;
    if (int error = BindAny(); error != 0) return error;
    failed = Step::Connect;
    return Connect(address, port);
}

int TcpTransport::Create()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return errno;
    fd_.store(fd);
    // A Shutdown that came first is applied to the new socket as well.
    if (shutDown_.load()) shutdown(fd, SHUT_RDWR);
    // Urgent data stays in the stream instead of ending the wait as an exception.
    const int on = 1;
    setsockopt(fd_, SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
    return 0;
}

int TcpTransport::BindAny()
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    return ::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 ? 0 : errno;
}

int TcpTransport::Connect(uint32_t address, uint16_t port)
{
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr.s_addr = htonl(address);
    remote.sin_port = htons(port);
    // Non-blocking while connecting, so that Shutdown can end a connect that hangs.
    const int flags = fcntl(fd_, F_GETFL);
    fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    int error = 0;
    if (connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            const int wait = WaitFor(POLLOUT);
            error = wait < 0 ? -wait : 0;
            if (error == 0) {
                socklen_t length = sizeof error;
                if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
            }
        }
    }
    fcntl(fd_, F_SETFL, flags);
    return error;
}

int TcpTransport::WaitFor(short events, int milliseconds, bool wakeable)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
    for (;;) {
        if (shutDown_.load()) return -ECANCELED;
        int timeout = -1;
        if (milliseconds >= 0) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            timeout = int(std::max<decltype(left)>(left, 0));
        }
        // poll skips a negative descriptor: a pipe that could not be made, or Wake's unasked.
        pollfd fds[3] = {{fd_, events, 0},
                         {wake_.ReadFd(), POLLIN, 0},
                         {wakeable ? wakeWait_.ReadFd() : -1, POLLIN, 0}};
        const int n = poll(fds, 3, timeout);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -errno;
        }
        if (fds[1].revents || shutDown_.load()) return -ECANCELED;
        const short got = fds[0].revents;
        if (got & POLLNVAL) return -EBADF;
        // An error or hang-up is ready for either side: the read or write reports it.
        constexpr short kEnd = POLLERR | POLLHUP;
        int ready = 0;
        if ((events & POLLIN) && (got & (POLLIN | kEnd))) ready |= kReadable;
        if ((events & POLLOUT) && (got & (POLLOUT | kEnd))) ready |= kWritable;
        if (fds[2].revents) {
            wakeWait_.Drain();
            ready |= kWoken;
        }
        if (ready != 0) return ready;
        if (n == 0 && timeout >= 0) return 0;
    }
}

int TcpTransport::WaitReadable(int milliseconds)
{
    const int wait = WaitFor(POLLIN, milliseconds);
    return wait > 0 ? 1 : wait;
}

int TcpTransport::WaitReady(bool forWrite, int milliseconds)
{
    return WaitFor(short(POLLIN | (forWrite ? POLLOUT : 0)), milliseconds, true);
}

ssize_t TcpTransport::Read(char* buffer, size_t size)
{
    for (;;) {
        if (shutDown_.load()) return -ECANCELED;
        const ssize_t n = recv(fd_, buffer, size, MSG_DONTWAIT);
        if (n >= 0) return n;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (const int wait = WaitFor(POLLIN); wait < 0) return wait;
        } else if (errno != EINTR) {
            return -errno;
        }
    }
}

ssize_t TcpTransport::TryWrite(std::string_view bytes)
{
    for (;;) {
        const ssize_t n = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0) return n;
        if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
        if (errno != EINTR) return -errno;
    }
}

ssize_t TcpTransport::Write(std::string_view bytes)
{
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = TryWrite(bytes.substr(written));
        if (n < 0) return n;
        written += size_t(n);
        if (n == 0) {
            if (const int wait = WaitFor(POLLOUT); wait < 0) return wait;
        }
    }
    return ssize_t(written);
}

// Every wait polls the wake pipe, so the socket itself is left alone: the connection's last
// queued bytes may still go out through TryWrite, and the close follows with the transport.
void TcpTransport::Shutdown()
{
    shutDown_.store(true);
    wake_.Signal();
}

}  // namespace zel
