// TcpTransport: an IPv4 TCP socket in blocking steps (create, bind, connect), each of which
// reports errno so that the network thread can name the step that failed. Connect and
// every wait poll a wake pipe as well, so Shutdown ends them from another thread.
#pragma once

#include <atomic>
#include <cstdint>

#include "net/Transport.h"
#include "net/WakePipe.h"

namespace zel {

class TcpTransport : public Transport {
public:
    TcpTransport() = default;
    ~TcpTransport() override;

    // Each returns 0 or an errno value.
    int Create();
    int BindAny();
    // `address` in host byte order.
    int Connect(uint32_t address, uint16_t port);

    ssize_t Read(char* buffer, size_t size) override;
    ssize_t Write(std::string_view bytes) override;
    void Shutdown() override;
    // The wake pipe, for other waits of the same attempt (the name lookup).
    int WakeFd() const { return wake_.ReadFd(); }
    bool ShutDown() const { return shutDown_.load(); }

private:
    // Polls the socket for `events` and the wake pipe: 0 when ready, else a negative errno.
    int WaitFor(short events);

    std::atomic<int> fd_{-1};
    WakePipe wake_;
    std::atomic<bool> shutDown_{false};
};

}  // namespace zel
