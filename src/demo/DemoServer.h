// DemoServer: serves the demo world over TCP, a thread for accepting and one per connection.
// Listening starts in the constructor; Stop (or the destructor) wakes every thread, closes
// every connection and joins the threads.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <thread>

#include "demo/DemoWorld.h"
#include "demo/Socket.h"

namespace zel::demo {

class DemoServer {
public:
    // More clients than this are told that the world is full and closed.
    static constexpr size_t kMaximumClients = 64;

    // Listens on host (dotted IPv4) and port (0 = ephemeral); throws std::runtime_error.
    explicit DemoServer(const std::string& host = "127.0.0.1", uint16_t port = 0);
    DemoServer(const DemoServer&) = delete;
    DemoServer& operator=(const DemoServer&) = delete;
    ~DemoServer();

    uint16_t Port() const { return port_; }
    void Stop();

private:
    class Connection;
    void AcceptLoop();           // on the accept thread
    void Reap(bool waitForAll);  // joins finished connections (all of them when asked)

    DemoWorld world_;
    Fd listen_;
    uint16_t port_;
    Signal stop_;
    // Touched by the accept thread only, and by Stop once that thread has ended.
    std::list<std::unique_ptr<Connection>> connections_;
    std::thread acceptThread_;
};

}  // namespace zel::demo
