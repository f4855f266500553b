// Transport: the byte stream under the telnet layer. The network thread reads; any thread
// writes; Shutdown from any thread makes a blocked read, write or connect return at once.
// A plain TCP socket is the only transport today; others (TLS) take its place unchanged.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string_view>

namespace zel {

class Transport {
public:
    virtual ~Transport() = default;
    // Waits for data and reads at most `size` bytes: the count, 0 when the peer closed, or
    // a negative errno value on failure or after Shutdown.
    virtual ssize_t Read(char* buffer, size_t size) = 0;
    // Writes all of `bytes`: the count, or a negative errno value.
    virtual ssize_t Write(std::string_view bytes) = 0;
    virtual void Shutdown() = 0;
};

}  // namespace zel
