// Connection: the one connection to a game server and the network thread that receives from
// and sends to it. Opening is synchronous for the caller (the user-interface thread waits
// for the outcome); receiving runs on the network thread until the connection ends, which
// prints exactly one closing report. Close wakes a thread blocked in a lookup, connect or
// wait at once and waits for its end. The thread reads in large blocks and pushes each
// through the received-bytes stages (ReceivedBytes); between reads it waits for the next one
// at most the line wait while an unended line is held. An exception on the thread is
// reported and ends the connection like a close.
//
// Sending never waits for the server. Every send (typed text, protocol replies, window size
// and terminal type) is appended to one queue, in the order of the calls, and only the
// network thread writes it, as fast as the transport takes it: it waits for the transport
// to be readable, or writable while bytes are queued, or woken by a send to an empty queue.
// Sends on the network thread itself (replies, actions' commands) also write at once what
// the transport takes without waiting. A server that stops reading leaves the bytes queued;
// past kSendQueueLimit the connection is closed with an error report instead of growing.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "net/ConnectionClient.h"
#include "net/ReceiveChannel.h"
#include "net/Transport.h"

namespace zel {

class Connection : private ReceiveChannel {
public:
    // The size of one read from the transport.
    static constexpr size_t kReadSize = 65536;
    // The most bytes queued for the server and not yet written: a server this far behind has
    // stopped reading, and the connection is closed rather than hold more.
    static constexpr size_t kSendQueueLimit = 4 << 20;

    // Each attempt gets its transport from `makeTransport`: TCP unless told otherwise.
    explicit Connection(ConnectionClient& client, TransportFactory makeTransport = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Starts an attempt and returns when it has succeeded or failed. Nothing when a network
    // thread exists.
    void Open(std::string_view host, int32_t port);
    // Ends the connection and waits for the network thread, also one that is ending by
    // itself; the caller holds no lock the thread needs. Of the bytes still queued, what the
    // transport takes at once goes out; the rest is dropped rather than waited for. On the network
    // thread itself, or while another thread waits in Open, it only shuts the socket: the thread
    // then ends by itself (and Open cleans up).
    void Close();

    // The counted send of typed text, queued: all of `bytes` accepted (and counted as sent),
    // or a negative errno value: -ENOTCONN when not connected, -ENOBUFS when the queue would
    // pass its limit (the connection is then closed, with one report) or has. Any thread.
    ssize_t SendToServer(std::string_view bytes);
    // An uncounted protocol send (telnet commands), queued as SendToServer. Any thread.
    void SendProtocol(std::string_view bytes) override;
    // Bytes accepted and not yet written to the transport.
    size_t QueuedBytes() const;

    bool HasSocket() const { return socketOpen_.load(); }
    // Above 0 while the network thread starts, connects, and again while it shuts down.
    int ConnectingCount() const { return connectingCount_.load(); }
    bool OnNetworkThread() const;

    int32_t BytesReceived() const { return bytesReceived_.load(std::memory_order_relaxed); }
    int32_t BytesSent() const { return bytesSent_.load(std::memory_order_relaxed); }
    int32_t LinesReceived() const { return linesReceived_.load(std::memory_order_relaxed); }
    std::chrono::steady_clock::time_point ConnectTime() const { return connectTime_; }

private:
    enum Signal { kConnected = 1, kFinished = 2 };

    // What an attempt leaves for its end.
    struct Outcome {
        std::string report;
        std::string error;    // the message of an exception that ended it
        bool opened = false;  // connected before it ended
        bool sendQueueFull = false;
    };

    // Appends to the send queue, adding to the bytes sent when `counted`: 0, or a negative
    // errno value as SendToServer.
    int Enqueue(std::string_view bytes, bool counted);
    // Network thread. The queue accepts bytes for `transport`, from empty; and then no more:
    // what the transport takes at once still goes, the rest is dropped. CloseSendQueue says
    // whether the queue had passed its limit.
    void OpenSendQueue(std::shared_ptr<Transport> transport);
    bool CloseSendQueue(Transport& transport);
    // Network thread: the bytes in hand not yet written; when none are left, the queue's.
    std::string_view Unsent();
    // Network thread: writes what the transport takes now, without waiting. A failed write
    // sets writeFailed_, which ends the receive loop.
    void WriteQueued(Transport& transport);

    void Run(std::shared_ptr<Transport> transport);
    void Connect(const std::shared_ptr<Transport>& transport, Outcome& outcome);
    void ReceiveLoop(Transport& transport);
    void RaiseSignal(Signal signal);
    // Waits for the connected or finished signal and consumes it.
    Signal WaitForSignal(bool connectedToo);
    void ResetSignals();
    // The state of Idle after a thread has ended; status bar part 0 says so.
    void BecomeIdle();
    std::shared_ptr<Transport> CurrentTransport();

    // ReceiveChannel, on the network thread.
    void CountSent(int32_t bytes) override;
    int32_t CountLine() override;

    ConnectionClient& client_;
    TransportFactory makeTransport_;
    std::string host_;
    int32_t port_ = 0;
    std::string addressText_;

    std::mutex transportMutex_;
    std::shared_ptr<Transport> transport_;  // guarded by transportMutex_
    std::thread thread_;
    std::atomic<std::thread::id> threadId_{};
    std::atomic<bool> threadExists_{false};
    std::atomic<bool> opening_{false};  // Open waits for the outcome and cleans up after it
    std::atomic<bool> socketOpen_{false};
    std::atomic<int> connectingCount_{0};

    std::mutex signalMutex_;
    std::condition_variable signalChanged_;
    int signals_ = 0;  // guarded by signalMutex_

    std::atomic<int32_t> bytesReceived_{0}, bytesSent_{0}, linesReceived_{0};
    std::chrono::steady_clock::time_point connectTime_;

    // The send queue. sendMutex_ is innermost: it is never held while calling out (to the
    // transport or the client) nor while taking another lock, so a send from a thread that
    // holds OutputLock or DefinitionLock is safe.
    mutable std::mutex sendMutex_;
    struct SendQueue {
        std::string bytes;  // not yet taken by the network thread
        size_t size = 0;    // bytes, and what the network thread took and has not written
        bool open = false;  // accepting: from the connect to the end of the receive loop
        bool full = false;  // passed its limit: accepts nothing until it is closed
        std::shared_ptr<Transport> transport;  // to wake and, when full, to shut down
    } sendQueue_;                              // guarded by sendMutex_
    // Taken from the queue, written from `sentFrom_` on. Network thread only.
    std::string sending_;
    size_t sentFrom_ = 0;
    bool writeFailed_ = false;
};

}  // namespace zel
