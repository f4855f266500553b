// Transport: the byte stream under the telnet layer. The network thread opens and reads; any
// thread writes; Shutdown from any thread makes a blocked open, wait, read or write return at
// once. A plain TCP socket is the only transport today; another (TLS over TCP) takes its
// place through the connection's TransportFactory, unchanged for everything above it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

namespace zel {

class Transport {
public:
    // The step of Open that failed, for the report that names it.
    enum class Step : uint8_t { Create, Bind, Connect };

    virtual ~Transport() = default;
    // Opens the stream to `address` (IPv4, host byte order) and `port`: 0, or an errno value
    // with `failed` set to the step that failed.
    virtual int Open(uint32_t address, uint16_t port, Step& failed) = 0;
    // Waits at most `milliseconds` (negative: without limit) until a Read would not block:
    // 1 when it would (data, the peer's close or an error is ready), 0 when the time passed,
    // a negative errno value on failure or after Shutdown.
    virtual int WaitReadable(int milliseconds) = 0;
    // Waits for data and reads at most `size` bytes: the count, 0 when the peer closed, or
    // a negative errno value on failure or after Shutdown.
    virtual ssize_t Read(char* buffer, size_t size) = 0;
    // Writes all of `bytes`: the count, or a negative errno value.
    virtual ssize_t Write(std::string_view bytes) = 0;
    virtual void Shutdown() = 0;
    // A descriptor that becomes readable at Shutdown, for other waits of the same attempt
    // (the name lookup); -1 when there is none.
    virtual int WakeFd() const = 0;
};

// Makes the transport of each connection attempt.
using TransportFactory = std::function<std::shared_ptr<Transport>()>;

}  // namespace zel
