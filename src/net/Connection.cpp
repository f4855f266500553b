#include "net/Connection.h"

#include <arpa/inet.h>

#include <cerrno>
#include <cstdio>

#include "engine/ClientWindow.h"
#include "net/HostLookup.h"
#include "net/IncomingText.h"
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

template <typename... Arguments>
std::string Format(const char* format, Arguments... arguments)
{
    char buffer[1024];
    const int n = std::snprintf(buffer, sizeof buffer, format, arguments...);
    return std::string(buffer, std::clamp(n, 0, int(sizeof buffer) - 1));
}

}  // namespace

Connection::Connection(ClientWindow& client) : client_(client) {}

Connection::~Connection()
{
    Close();
    if (thread_.joinable()) thread_.join();
}

bool Connection::OnNetworkThread() const
{
    return threadId_.load() == std::this_thread::get_id();
}

std::shared_ptr<TcpTransport> Connection::CurrentTransport()
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
    auto transport = std::make_shared<TcpTransport>();
    {
        std::scoped_lock lock(transportMutex_);
        transport_ = transport;
    }
    threadExists_ = true;
    try {
        thread_ = std::thread(&Connection::Run, this, transport);
    } catch (const std::system_error& error) {
        client_.PrintFormatted(OutputFormat::System, kUnableToStartThread, error.code().value());
        BecomeIdle();
        return;
    }
    opening_ = true;
    const Signal outcome = WaitForSignal(true);
    opening_ = false;
    if (outcome == kConnected) {
        client_.GetHost().SetStatusText(0, Format("%s:%d", host_.c_str(), port_));
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
    client_.GetHost().SetStatusText(0, kNotConnected);
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

void Connection::Run(std::shared_ptr<TcpTransport> transport)
{
    threadId_ = std::this_thread::get_id();
    ++connectingCount_;
    const std::string report = Connect(*transport);
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
    client_.Print(OutputFormat::System, report);
    if (client_.ServerEcho()) {
        client_.SetServerEcho(false);
        client_.ServerEchoChanged();
    }
}

// Looks up, connects and receives; returns the one report of the attempt.
std::string Connection::Connect(TcpTransport& transport)
{
    uint32_t address = 0;
    if (int error = LookupHost(host_, transport.WakeFd(), address); error != 0)
        return Format(kUnableToLookup, host_.c_str(), error);
    addressText_ = Format("%d.%d.%d.%d", int(address >> 24), int((address >> 16) & 255),
                          int((address >> 8) & 255), int(address & 255));
    if (int error = transport.Create(); error != 0) return Format(kUnableToCreate, error);
    if (int error = transport.BindAny(); error != 0) return Format(kUnableToBind, error);
    // A port beyond 16 bits is refused rather than cut to another port.
    int error = (port_ < 0 || port_ > 65535) ? EINVAL : transport.Connect(address, port_);
    if (error != 0)
        return Format(kUnableToConnect, host_.c_str(), addressText_.c_str(), port_, error);

    bytesReceived_ = bytesSent_ = linesReceived_ = 0;
    connectTime_ = std::chrono::steady_clock::now();
    socketOpen_ = true;
    --connectingCount_;
    RaiseSignal(kConnected);
    ReceiveLoop(transport);
    threadExists_ = false;
    ++connectingCount_;
    return Format(kClosed, host_.c_str(), addressText_.c_str(), port_);
}

void Connection::ReceiveLoop(TcpTransport& transport)
{
    auto block = std::make_unique<ReceiveBlock>();
    ReceiveChannel& channel = *this;
    auto incoming = std::make_unique<IncomingText>(client_, channel);
    for (;;) {
        const ssize_t n = transport.Read(block->data, ReceiveBlock::kReadSize);
        if (n <= 0) return;
        bytesReceived_.fetch_add(int32_t(n), std::memory_order_relaxed);
        block->size = size_t(n);
        incoming->ProcessBlock(*block);
    }
}

ssize_t Connection::SendToServer(std::string_view bytes)
{
    auto transport = CurrentTransport();
    if (!transport || !socketOpen_.load()) return -ENOTCONN;
    const ssize_t n = transport->Write(bytes);
    if (n >= 0) bytesSent_.fetch_add(int32_t(bytes.size()), std::memory_order_relaxed);
    return n;
}

void Connection::SendProtocol(std::string_view bytes)
{
    if (auto transport = CurrentTransport(); transport && socketOpen_.load())
        transport->Write(bytes);
}

bool Connection::ReadByte(char& byte)
{
    auto transport = CurrentTransport();
    if (!transport || transport->Read(&byte, 1) != 1) return false;
    bytesReceived_.fetch_add(1, std::memory_order_relaxed);
    return true;
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
