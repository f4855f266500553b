// LoopbackServer: a small real TCP server on 127.0.0.1 for tests and the benchmark server. It
// accepts one client at a time, sends bytes to it and collects what it sends back. Every wait
// is a poll with a timeout, so a misbehaving client can fail a test but never hang it. Not
// thread-safe: one thread drives it.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "demo/BufferedSocket.h"
#include "demo/Socket.h"

namespace zel::demo {

class LoopbackServer {
public:
    // Binds 127.0.0.1 on an ephemeral port and listens; throws std::runtime_error on failure.
    LoopbackServer();
    // A fixed port (0 = ephemeral).
    explicit LoopbackServer(uint16_t port);
    LoopbackServer(LoopbackServer&&) = default;
    LoopbackServer& operator=(LoopbackServer&&) = default;
    ~LoopbackServer() = default;

    uint16_t Port() const { return port_; }

    // Takes one client (closing any earlier one and dropping what it sent); false on timeout.
    bool Accept(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    // All bytes to the accepted client; see BufferedSocket::Send.
    bool Send(std::string_view bytes) { return client_.Send(bytes); }

    // Received bytes accumulate in a buffer; these take from its front.
    // Until count bytes are there or timeout; returns what arrived (up to count).
    std::string Receive(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        return client_.Receive(count, timeout);
    }
    // Up to and including marker; on timeout (or end of file) all that arrived.
    std::string ReceiveUntil(std::string_view marker,
                             std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        return client_.ReceiveUntil(marker, timeout);
    }
    // Everything arriving within duration (returns early at end of file).
    std::string ReceiveFor(std::chrono::milliseconds duration)
    {
        return client_.ReceiveFor(duration);
    }
    // True once the client has closed its side (end of file or reset); what it sent before
    // stays in the buffer. False on timeout or with no client.
    bool WaitForClose(std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        return client_.WaitForClose(timeout);
    }

    // Orderly close of the accepted client (FIN).
    void CloseClient() { client_.Close(); }
    // Abortive close: SO_LINGER 0, so the client sees a reset.
    void ResetClient() { client_.Reset(); }
    // Sends FIN but keeps reading, so the client can still send and close.
    void ShutdownWrite() { client_.ShutdownWrite(); }
    // Closes the listening socket: later connects are refused.
    void StopListening() { listen_.Reset(); }

private:
    Fd listen_;
    uint16_t port_ = 0;
    BufferedSocket client_;
};

}  // namespace zel::demo
