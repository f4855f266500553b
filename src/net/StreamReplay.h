// StreamReplay: feeds a recorded stream of received bytes through the received-bytes path
// without a socket, exactly as the network thread would: in reads of at most 4096 bytes,
// with the bytes that complete a command or sequence taken from what follows. Replies
// that would go to the server are collected.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "net/IncomingText.h"
#include "net/ReceiveChannel.h"

namespace zel {

class ClientWindow;

class StreamReplay : private ReceiveChannel {
public:
    explicit StreamReplay(ClientWindow& client);
    ~StreamReplay() override;

    // Processes `stream` as consecutive reads of at most `readSize` bytes. Telnet state
    // carries on from one call to the next; a completion read at the end of `stream` fails,
    // as on a closed connection.
    void Receive(std::string_view stream, size_t readSize = ReceiveBlock::kReadSize);

    const std::string& Sent() const { return sent_; }
    int32_t BytesSent() const { return bytesSent_; }
    int32_t LinesReceived() const { return lines_; }

private:
    bool ReadByte(char& byte) override;
    void SendProtocol(std::string_view bytes) override { sent_.append(bytes); }
    void CountSent(int32_t bytes) override { bytesSent_ += bytes; }
    int32_t CountLine() override { return ++lines_; }

    std::unique_ptr<ReceiveBlock> block_;
    std::unique_ptr<IncomingText> incoming_;
    std::string_view rest_;
    std::string sent_;
    int32_t bytesSent_ = 0;
    int32_t lines_ = 0;
};

}  // namespace zel
