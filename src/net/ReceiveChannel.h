// ReceiveChannel: what the processing of received bytes needs of the stream it reads from.
// The connection implements it over its socket; replays and fuzzers over a byte string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zel {

// One read from the stream, with room for the single bytes read later to complete a telnet
// command or an escape sequence at its end.
struct ReceiveBlock {
    static constexpr size_t kReadSize = 4096;
    static constexpr size_t kReserve = 512;
    static constexpr size_t kCapacity = kReadSize + kReserve;
    char data[kCapacity];
    size_t size = 0;
};

class ReceiveChannel {
public:
    virtual ~ReceiveChannel() = default;
    // Reads one more byte of the stream (counted as received); false when the read fails.
    virtual bool ReadByte(char& byte) = 0;
    // Sends protocol bytes (telnet replies and subnegotiations) as one write.
    virtual void SendProtocol(std::string_view bytes) = 0;
    // Adds to the count of bytes sent.
    virtual void CountSent(int32_t bytes) = 0;
    // Counts one received line feed; returns the count of this connection.
    virtual int32_t CountLine() = 0;
    // A subnegotiation of an option the client does not speak, with its payload.
    virtual void Subnegotiation(uint8_t /*option*/, std::string_view /*payload*/) {}
};

}  // namespace zel
