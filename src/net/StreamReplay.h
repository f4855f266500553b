// StreamReplay: feeds a recorded stream of received bytes through the received-bytes stages
// without a socket, as the network thread would: in reads of at most a given size (4096
// unless told), telnet and escape state carrying on from one read and one call to the next.
// Replies that would go to the server are collected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/ConnectionClient.h"
#include "net/ReceiveChannel.h"
#include "net/ReceivedBytes.h"

namespace zel {

class StreamReplay : private ReceiveChannel {
public:
    static constexpr size_t kReadSize = 4096;

    explicit StreamReplay(ConnectionClient& client);

    // Processes `stream` as consecutive reads of at most `readSize` bytes; at the end the
    // line wait passes, as when the server then says nothing more.
    void Receive(std::string_view stream, size_t readSize = kReadSize);
    // The same, but the unended line stays held, as when the next read follows at once.
    void ReceiveHeld(std::string_view stream, size_t readSize = kReadSize);
    // The line wait passed with nothing more.
    void LineWaitPassed() { path_.LineWaitPassed(); }
    // The connection ended.
    void EndOfStream() { path_.EndOfStream(); }
    bool HoldsLine() const { return path_.HoldsLine(); }

    const std::string& Sent() const { return sent_; }
    int32_t BytesSent() const { return bytesSent_; }
    int32_t LinesReceived() const { return lines_; }

private:
    void SendProtocol(std::string_view bytes) override { sent_.append(bytes); }
    void CountSent(int32_t bytes) override { bytesSent_ += bytes; }
    int32_t CountLine() override { return ++lines_; }

    std::string sent_;
    int32_t bytesSent_ = 0;
    int32_t lines_ = 0;
    ReceivedBytes path_;
};

}  // namespace zel
