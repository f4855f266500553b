// ReceiveChannel: what the received-bytes stages need of the stream the bytes came from:
// a way back to the server for protocol replies, and its counters. The connection
// implements it over its transport; a replay over a record of what would have been sent.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

class ReceiveChannel {
public:
    // Sends protocol bytes (telnet replies and subnegotiations) as one write.
    virtual void SendProtocol(std::string_view bytes) = 0;
    // Adds to the count of bytes sent.
    virtual void CountSent(int32_t bytes) = 0;
    // Counts one received line feed; returns the count of this connection.
    virtual int32_t CountLine() = 0;

protected:
    ~ReceiveChannel() = default;
};

}  // namespace zel
