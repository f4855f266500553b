// TcpTransport: an IPv4 TCP socket opened in blocking steps (create, bind, connect), each of
// which reports errno so that the network thread can name the step that failed. Connect and
// every wait poll a wake pipe as well, so Shutdown ends them from another thread; WaitReady
// polls a second one, which Wake signals. Reads and TryWrite try the socket first and poll
// only when it has nothing to give or no room.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "net/Transport.h"
#include "net/WakePipe.h"

namespace zel {

class TcpTransport : public Transport {
public:
    TcpTransport() = default;
    ~TcpTransport() override;

    // Create, BindAny and Connect in turn.
    int Open(uint32_t address, uint16_t port, Step& failed) override;
    // Each returns 0 or an errno value.
    int Create();
    int BindAny();
    // `address` in host byte order.
    int Connect(uint32_t address, uint16_t port);

    int WaitReadable(int milliseconds) override;
    int WaitReady(bool forWrite, int milliseconds) override;
    ssize_t Read(char* buffer, size_t size) override;
    ssize_t TryWrite(std::string_view bytes) override;
    ssize_t Write(std::string_view bytes) override;
    void Wake() override { wakeWait_.Signal(); }
    void Shutdown() override;
    int WakeFd() const override { return wake_.ReadFd(); }
    bool ShutDown() const { return shutDown_.load(); }

private:
    // Polls the socket for `events`, the wake pipe and, when `wakeable`, the pipe of Wake for
    // at most `milliseconds` (negative: without limit): the Ready bits, 0 when the time
    // passed, else a negative errno value.
    int WaitFor(short events, int milliseconds = -1, bool wakeable = false);

    std::atomic<int> fd_{-1};
    WakePipe wake_;      // Shutdown
    WakePipe wakeWait_;  // Wake
    std::atomic<bool> shutDown_{false};
};

// The connection's default TransportFactory.
std::shared_ptr<Transport> MakeTcpTransport();

}  // namespace zel
