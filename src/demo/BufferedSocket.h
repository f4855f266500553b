// BufferedSocket: one connected TCP socket and the bytes received on it but not yet taken.
// The server side of LoopbackServer, and the client side of tests that talk to a server.
// Every wait is a poll with a timeout. Not thread-safe: one thread drives it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "demo/Socket.h"

namespace zel::demo {

class BufferedSocket {
public:
    BufferedSocket() = default;
    // Takes a connected socket and makes it non-blocking.
    explicit BufferedSocket(Fd socket);
    // Connects to host:port; an unconnected socket on failure or timeout (errno says why).
    static BufferedSocket Connect(const std::string& host, uint16_t port,
                                  std::chrono::milliseconds timeout = std::chrono::seconds(30));

    bool Connected() const { return bool(socket_); }
    // All bytes. False when the peer is gone or stops reading for 30 seconds. What the peer
    // sends meanwhile is collected, so a peer that writes too cannot deadlock the send.
    bool Send(std::string_view bytes);

    // Received bytes accumulate in a buffer; these take from its front.
    // Until count bytes are there or timeout; returns what arrived (up to count).
    std::string Receive(size_t count, std::chrono::milliseconds timeout);
    // Up to and including marker; on timeout (or end of file) all that arrived.
    std::string ReceiveUntil(std::string_view marker, std::chrono::milliseconds timeout);
    // Everything arriving within duration (returns early at end of file).
    std::string ReceiveFor(std::chrono::milliseconds duration);
    // True once the peer has closed its side (end of file or reset); what it sent before
    // stays in the buffer. False on timeout or when not connected.
    bool WaitForClose(std::chrono::milliseconds timeout);

    // Orderly close (FIN). Unread bytes are read first, as they would turn it into a reset.
    void Close();
    // Abortive close: SO_LINGER 0, so the peer sees a reset.
    void Reset();
    // Sends FIN but keeps reading.
    void ShutdownWrite();

private:
    // Reads what is available now; false once the peer closed or failed.
    bool ReadAvailable();
    // Waits until deadline for more bytes; false on timeout or once the peer closed.
    bool ReadMore(Clock::time_point deadline);
    std::string Take(size_t count);

    Fd socket_;
    bool peerClosed_ = false;
    std::string buffer_;
};

}  // namespace zel::demo
