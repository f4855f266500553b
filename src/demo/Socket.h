// Small POSIX socket helpers shared by the loopback test server and the demo world: an owning
// descriptor, a listening TCP socket, and waits and writes that always end.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "base/FileDescriptor.h"

namespace zel::demo {

using Clock = std::chrono::steady_clock;

// Owns one file descriptor and closes it.
using Fd = FileDescriptor;

// Binds host (dotted IPv4) and port (0 = ephemeral) and listens. The socket is non-blocking.
// Throws std::runtime_error naming the failed call and strerror(errno).
Fd ListenTcp(const std::string& host, uint16_t port);
uint16_t LocalPort(int fd);
// Accepts one pending connection as a non-blocking socket; an empty Fd when none is pending.
Fd AcceptClient(int listenFd);
// A pipe whose read end becomes readable, and stays so until Clear(), once Raise() is called:
// a wake-up that every thread polling it sees. Raise may be called from any thread.
class Signal {
public:
    Signal();
    void Raise();
    void Clear();
    int ReadFd() const { return read_.Get(); }

private:
    Fd read_, write_;
};

// Whether fd has something to read (or an end or error to report) right now.
bool IsReadable(int fd);

// Milliseconds from now to deadline for poll(): never negative, capped to fit an int.
int PollTimeout(Clock::time_point deadline);

// Ends a connection politely: sends FIN, then reads and drops what the peer still sends
// until it closes or `linger` passes, so unread input does not turn the close into a reset
// that could destroy our last words before the peer reads them.
void CloseGracefully(Fd& fd, std::chrono::milliseconds linger);

// Writes all of bytes to the non-blocking socket fd, waiting for room with poll. Ends early,
// returning false, when the peer is gone, when `stall` passes without progress, or when
// stopFd (-1 for none) becomes readable. onReadable, if given, is called whenever fd has
// data to read, so a peer that writes while we write cannot deadlock us; it returns false
// when reading is over (end of file), and fd is then watched for room only.
bool SendAll(int fd, std::string_view bytes, std::chrono::milliseconds stall, int stopFd = -1,
             const std::function<bool()>& onReadable = {});

}  // namespace zel::demo
