// Transport: the byte stream under the telnet layer. The network thread opens, waits, reads
// and writes; Shutdown from any thread makes a blocked open, wait, read or write return at
// once (TryWrite still writes what goes without waiting), and Wake from any thread ends a
// wait. A plain TCP socket is the only transport today; another (TLS over TCP) takes its
// place through the connection's TransportFactory, unchanged for everything above it: the
// transport decides what its reads and writes wait for.
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
    // What WaitReady found, as bits.
    static constexpr int kReadable = 1, kWritable = 2, kWoken = 4;

    virtual ~Transport() = default;
    // Opens the stream to `address` (IPv4, host byte order) and `port`: 0, or an errno value
    // with `failed` set to the step that failed.
    virtual int Open(uint32_t address, uint16_t port, Step& failed) = 0;
    // Waits at most `milliseconds` (negative: without limit) until a Read would not block:
    // 1 when it would (data, the peer's close or an error is ready), 0 when the time passed,
    // a negative errno value on failure or after Shutdown.
    virtual int WaitReadable(int milliseconds) = 0;
    // Waits at most `milliseconds` (negative: without limit) until a Read would not block,
    // or, with `forWrite`, until TryWrite would take bytes, or until Wake: the bits of what
    // holds, 0 when the time passed, a negative errno value on failure or after Shutdown.
    // The default suits a transport whose Read waits by itself and whose writes never block.
    virtual int WaitReady(bool forWrite, int milliseconds);
    // Waits for data and reads at most `size` bytes: the count, 0 when the peer closed, or
    // a negative errno value on failure or after Shutdown.
    virtual ssize_t Read(char* buffer, size_t size) = 0;
    // Writes what it can of `bytes` without waiting, also after Shutdown: the count (0 when
    // nothing fits now), or a negative errno value. The default writes all through Write.
    virtual ssize_t TryWrite(std::string_view bytes) { return Write(bytes); }
    // Writes all of `bytes`, waiting while the peer takes none: the count, or a negative errno
    // value. The connection writes through TryWrite only.
    virtual ssize_t Write(std::string_view bytes) = 0;
    // Ends a WaitReady in progress, or the next one, with kWoken. Any thread.
    virtual void Wake() {}
    virtual void Shutdown() = 0;
    // A descriptor that becomes readable at Shutdown, for other waits of the same attempt
    // (the name lookup); -1 when there is none.
    virtual int WakeFd() const = 0;
};

inline int Transport::WaitReady(bool forWrite, int milliseconds)
{
    if (forWrite) return kWritable;
    if (milliseconds < 0) return kReadable;
    const int wait = WaitReadable(milliseconds);
    return wait > 0 ? kReadable : wait;
}

// Makes the transport of each connection attempt.
using TransportFactory = std::function<std::shared_ptr<Transport>()>;

}  // namespace zel
