#include "net/Connection.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <optional>

#include "net/HostLookup.h"
#include "net/ReceivedBytes.h"
#include "net/TcpTransport.h"

namespace zel {
namespace {

constexpr char kNotConnected[] = "Not connected";
constexpr char kUnableToStartThread[] = "Unable to start network thread : %d\n";
constexpr char kUnableToLookup[] = "Unable to lookup host %s : %d\n";
constexpr char kUnableToCreate[] = "Unable to create socket : %d\n";
constexpr char kUnableToBind[] = "Unable to bind local socket : %d\n";
constexpr char kUnableToConnect[] = "Unable to connect to %s (%s) on port %d : %d\n";
constexpr char kClosed[] = "Connection to %s (%s) on port %d closed\n";
constexpr char kNetworkError[] = "Network thread error : %s\n";
constexpr char kSendQueueFull[] = "Send queue full : the server is not reading\n";
constexpr char kUnknownError[] = "unknown exception";

template <typename... Arguments>
std::string Format(const char* format, Arguments... arguments)
{
    char buffer[1024];
    const int n = std::snprintf(buffer, sizeof buffer, format, arguments...);
    return std::string(buffer, std::clamp(n, 0, int(sizeof buffer) - 1));
}

}  // namespace

Connection::Connection(ConnectionClient& client, TransportFactory makeTransport)
    : client_(client), makeTransport_(makeTransport ? std::move(makeTransport) : MakeTcpTransport)
{
}

Connection::~Connection()
{
    Close();
    if (thread_.joinable()) thread_.join();
}

bool Connection::OnNetworkThread() const
{
    return threadId_.load() == std::this_thread::get_id();
}

std::shared_ptr<Transport> Connection::CurrentTransport()
{
    std::scoped_lock lock(transportMutex_);
    return transport_;
}

void Connection::Open(std::string_view host, int32_t port)
{
    if (threadExists_.load()) return;
    // A thread that ended by itself has printed its report; it is gone or about to be.
    if (thread_.joinable()) thread_.join();
    host_.assign(host.substr(0, 511));
    port_ = port;
    ResetSignals();
    std::shared_ptr<Transport> transport = makeTransport_();
    if (!transport) {
        BecomeIdle();
        return;
    }
    {
        std::scoped_lock lock(transportMutex_);
        transport_ = transport;
    }
    threadExists_ = true;
    try {
        thread_ = std::thread(&Connection::Run, this, transport);
    } catch (const std::system_error& error) {
        client_.ConnectionReport(OutputFormat::System,
                                 Format(kUnableToStartThread, error.code().value()));
        BecomeIdle();
        return;
    }
    opening_ = true;
    const Signal outcome = WaitForSignal(true);
    opening_ = false;
    if (outcome == kConnected) {
        client_.ConnectionStatusChanged(Format("%s:%d", host_.c_str(), port_));
        return;
    }
    thread_.join();
    BecomeIdle();
}

void Connection::Close()
{
    if (OnNetworkThread() || opening_.load()) {
        if (auto transport = CurrentTransport()) transport->Shutdown();
        return;
    }
    if (!threadExists_.load()) {
        // A thread that ended by itself may still be printing its report: let it finish.
        if (thread_.joinable()) thread_.join();
        return;
    }
    if (auto transport = CurrentTransport()) transport->Shutdown();
    WaitForSignal(false);
    thread_.join();
    BecomeIdle();
}

void Connection::BecomeIdle()
{
    {
        std::scoped_lock lock(transportMutex_);
        transport_.reset();
    }
    socketOpen_ = false;
    connectingCount_ = 0;
    threadExists_ = false;
    ResetSignals();
    client_.ConnectionStatusChanged(kNotConnected);
}

void Connection::RaiseSignal(Signal signal)
{
    {
        std::scoped_lock lock(signalMutex_);
        signals_ |= signal;
    }
    signalChanged_.notify_all();
}

Connection::Signal Connection::WaitForSignal(bool connectedToo)
{
    std::unique_lock lock(signalMutex_);
    const int wanted = kFinished | (connectedToo ? kConnected : 0);
    signalChanged_.wait(lock, [&] { return (signals_ & wanted) != 0; });
    // Connected wins a tie.
    const Signal signal = (signals_ & wanted & kConnected) ? kConnected : kFinished;
    signals_ &= ~signal;
    return signal;
}

void Connection::ResetSignals()
{
    std::scoped_lock lock(signalMutex_);
    signals_ = 0;
}

// Network thread. Nothing may leave it: an exception is reported, and the attempt ends as
// if the connection had failed or closed.
void Connection::Run(std::shared_ptr<Transport> transport)
{
    threadId_ = std::this_thread::get_id();
    ++connectingCount_;
    Outcome outcome;
    try {
        Connect(transport, outcome);
    } catch (const std::exception& exception) {
        outcome.error = exception.what();
    } catch (...) {
        outcome.error = kUnknownError;
    }
    socketOpen_ = false;
    {
        std::scoped_lock lock(transportMutex_);
        transport_.reset();
    }
    transport.reset();  // closes the socket
    --connectingCount_;
    threadId_ = std::thread::id();
    RaiseSignal(kFinished);
    // The waiting thread is released before the report asks for the output.
    try {
        if (!outcome.error.empty()) {
            client_.ConnectionReport(OutputFormat::Error,
                                     Format(kNetworkError, outcome.error.c_str()));
        }
        if (outcome.sendQueueFull) client_.ConnectionReport(OutputFormat::Error, kSendQueueFull);
        if (!outcome.report.empty()) client_.ConnectionReport(OutputFormat::System, outcome.report);
        if (outcome.opened) {
            client_.ConnectionStateChanged(ConnectionClient::ConnectionChange::Closed,
                                           Format("%s:%d", host_.c_str(), port_));
        }
        client_.SwitchServerEcho(false);
    } catch (...) {
        // Nothing is left to report it with.
    }
}

// Looks up, connects and receives; leaves the one report of the attempt in `outcome`. An
// exception while receiving ends the connection as a close does.
void Connection::Connect(const std::shared_ptr<Transport>& transportPointer, Outcome& outcome)
{
    Transport& transport = *transportPointer;
    uint32_t address = 0;
    if (int lookupError = LookupHost(host_, transport.WakeFd(), address); lookupError != 0) {
        outcome.report = Format(kUnableToLookup, host_.c_str(), lookupError);
        return;
    }
    addressText_ = Format("%d.%d.%d.%d", int(address >> 24), int((address >> 16) & 255),
                          int((address >> 8) & 255), int(address & 255));
    // A port beyond 16 bits is refused rather than cut to another port.
    Transport::Step failed = Transport::Step::Connect;
    const int openError =
        (port_ < 0 || port_ > 65535) ? EINVAL : transport.Open(address, uint16_t(port_), failed);
    if (openError != 0) {
        switch (failed) {
            case Transport::Step::Create:
                outcome.report = Format(kUnableToCreate, openError);
                break;
            case Transport::Step::Bind:
                outcome.report = Format(kUnableToBind, openError);
                break;
            case Transport::Step::Connect:
                outcome.report =
                    Format(kUnableToConnect, host_.c_str(), addressText_.c_str(), port_, openError);
                break;
        }
        return;
    }

    bytesReceived_ = bytesSent_ = linesReceived_ = 0;
    connectTime_ = std::chrono::steady_clock::now();
    OpenSendQueue(transportPointer);
    socketOpen_ = true;
    --connectingCount_;
    outcome.opened = true;
    RaiseSignal(kConnected);
    try {
        client_.ConnectionStateChanged(ConnectionClient::ConnectionChange::Opened,
                                       Format("%s:%d", host_.c_str(), port_));
        ReceiveLoop(transport);
    } catch (const std::exception& exception) {
        outcome.error = exception.what();
    } catch (...) {
        outcome.error = kUnknownError;
    }
    outcome.sendQueueFull = CloseSendQueue(transport);
    threadExists_ = false;
    ++connectingCount_;
    outcome.report = Format(kClosed, host_.c_str(), addressText_.c_str(), port_);
}

void Connection::ReceiveLoop(Transport& transport)
{
    using Clock = std::chrono::steady_clock;
    ReceiveChannel& channel = *this;
    auto path = std::make_unique<ReceivedBytes>(client_, channel);
    auto buffer = std::make_unique<char[]>(kReadSize);
    // The line wait starts with the first wait after the read that left a line held; a wait
    // that a write or a wake ends early leaves the rest of it to the next.
    std::optional<Clock::time_point> lineWaitEnd;
    while (!writeFailed_) {
        int timeout = -1;
        if (path->HoldsLine()) {
            if (!lineWaitEnd) {
                timeout = std::max(client_.LineWaitMilliseconds(), 0);
                lineWaitEnd = Clock::now() + std::chrono::milliseconds(timeout);
            } else {
                const auto left =
                    std::chrono::ceil<std::chrono::milliseconds>(*lineWaitEnd - Clock::now());
                timeout = int(std::max<decltype(left)::rep>(left.count(), 0));
            }
        }
        const int ready = transport.WaitReady(!Unsent().empty(), timeout);
        if (ready < 0) break;
        if (ready == 0) {
            path->LineWaitPassed();
            lineWaitEnd.reset();
            continue;
        }
        if (ready & Transport::kReadable) {
            const ssize_t n = transport.Read(buffer.get(), kReadSize);
            if (n <= 0) break;
            bytesReceived_.fetch_add(int32_t(n), std::memory_order_relaxed);
            lineWaitEnd.reset();
            path->Read(std::string_view(buffer.get(), size_t(n)));
        }
        if (ready & (Transport::kWritable | Transport::kWoken)) WriteQueued(transport);
    }
    path->EndOfStream();
}

void Connection::OpenSendQueue(std::shared_ptr<Transport> transport)
{
    sending_.clear();
    sentFrom_ = 0;
    writeFailed_ = false;
    std::scoped_lock lock(sendMutex_);
    sendQueue_ = SendQueue{};
    sendQueue_.open = true;
    sendQueue_.transport = std::move(transport);
}

bool Connection::CloseSendQueue(Transport& transport)
{
    bool full = false;
    {
        std::scoped_lock lock(sendMutex_);
        sendQueue_.open = false;
        full = sendQueue_.full;
    }
    // Lines typed just before a disconnect or quit reach a server that reads; waiting for
    // one that does not would hold up the close.
    if (!full) WriteQueued(transport);
    std::string().swap(sending_);
    sentFrom_ = 0;
    SendQueue closed;
    {
        std::scoped_lock lock(sendMutex_);
        std::swap(closed, sendQueue_);
    }
    return full;
}

int Connection::Enqueue(std::string_view bytes, bool counted)
{
    std::shared_ptr<Transport> transport;
    bool wake = false, full = false;
    {
        std::scoped_lock lock(sendMutex_);
        SendQueue& queue = sendQueue_;
        if (queue.full) return -ENOBUFS;
        if (!queue.open || !queue.transport) return -ENOTCONN;
        transport = queue.transport;
        if (bytes.size() > kSendQueueLimit - queue.size) {
            // The server has stopped reading: what it has not taken is dropped.
            full = queue.full = true;
            queue.size -= queue.bytes.size();
            std::string().swap(queue.bytes);
        } else {
            // The network thread waits for no write while the queue is empty.
            wake = queue.size == 0 && !bytes.empty();
            queue.bytes.append(bytes);
            queue.size += bytes.size();
            // Counted before the network thread can write them.
            if (counted) bytesSent_.fetch_add(int32_t(bytes.size()), std::memory_order_relaxed);
        }
    }
    if (full) {
        // The network thread ends, and reports it.
        transport->Shutdown();
        return -ENOBUFS;
    }
    if (OnNetworkThread()) {
        WriteQueued(*transport);
    } else if (wake) {
        transport->Wake();
    }
    return 0;
}

ssize_t Connection::SendToServer(std::string_view bytes)
{
    if (const int error = Enqueue(bytes, true); error < 0) return error;
    return ssize_t(bytes.size());
}

void Connection::SendProtocol(std::string_view bytes)
{
    Enqueue(bytes, false);
}

size_t Connection::QueuedBytes() const
{
    std::scoped_lock lock(sendMutex_);
    return sendQueue_.size;
}

std::string_view Connection::Unsent()
{
    if (sentFrom_ == sending_.size()) {
        sentFrom_ = 0;
        sending_.clear();
        // The memory of a burst goes back once it is written.
        if (sending_.capacity() > kReadSize) std::string().swap(sending_);
        std::scoped_lock lock(sendMutex_);
        sending_.swap(sendQueue_.bytes);
    }
    return std::string_view(sending_).substr(sentFrom_);
}

void Connection::WriteQueued(Transport& transport)
{
    if (writeFailed_) return;
    for (std::string_view unsent = Unsent(); !unsent.empty(); unsent = Unsent()) {
        const ssize_t n = transport.TryWrite(unsent);
        if (n < 0) {
            writeFailed_ = true;
            return;
        }
        sentFrom_ += size_t(n);
        {
            std::scoped_lock lock(sendMutex_);
            sendQueue_.size -= size_t(n);
        }
        if (size_t(n) < unsent.size()) return;  // full: the wait says when it takes more
    }
}

void Connection::CountSent(int32_t bytes)
{
    bytesSent_.fetch_add(bytes, std::memory_order_relaxed);
}

int32_t Connection::CountLine()
{
    return linesReceived_.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace zel
