// ClientWindow as the connection's client (net/ConnectionClient.h): each answer is one of the
// window's own operations, under the locks those take.
#include <atomic>

#include "engine/ClientWindow.h"

namespace zel {

ConnectionClient::ReceiveOptions ClientWindow::ReadReceiveOptions()
{
    ReceiveOptions options;
    options.compact = std::atomic_ref(options_.compact).load(std::memory_order_relaxed);
    options.scrollRate = std::atomic_ref(options_.scrollRate).load(std::memory_order_relaxed);
    options.encoding = std::atomic_ref(options_.encoding).load(std::memory_order_relaxed);
    return options;
}

int32_t ClientWindow::LineWaitMilliseconds()
{
    return std::atomic_ref(options_.lineWait).load(std::memory_order_relaxed);
}

void ClientWindow::LogReceived(std::string_view bytes)
{
    WriteReceivedToLog(bytes);
}

bool ClientWindow::ReceivedTextToActions()
{
    return ActionsEnabled();
}

void ClientWindow::ProcessReceivedText(std::string_view text, bool print)
{
    ProcessIncomingText(text, print);
}

// With the actions switched off, received text still reaches the observers.
void ClientWindow::PrintReceivedText(std::string_view text)
{
    std::scoped_lock lock(outputLock_);
    events_.ReceivedText(text);
    PrintReceived(text);
}

void ClientWindow::FlushPendingPrompt()
{
    PrintPendingPrompt();
}

bool ClientWindow::PromptsAutomatically()
{
    return AutomaticPrompting();
}

void ClientWindow::KeepPendingPrompt(std::string_view prompt)
{
    SetPendingPrompt(prompt);
}

void ClientWindow::SwitchServerEcho(bool on)
{
    if (ServerEcho() == on) return;
    SetServerEcho(on);
    ServerEchoChanged();
}

ConnectionClient::WindowSize ClientWindow::TelnetWindowSize()
{
    return {ViewColumns(), ViewRows()};
}

void ClientWindow::ReceivedSubnegotiation(uint8_t option, std::string_view payload)
{
    events_.PublishSubnegotiation(option, payload);
}

void ClientWindow::ConnectionStateChanged(ConnectionClient::ConnectionChange change,
                                          std::string_view where)
{
    events_.PublishConnectionChanged(change == ConnectionClient::ConnectionChange::Opened
                                         ? ConnectionState::Connected
                                         : ConnectionState::Closed,
                                     where);
}

void ClientWindow::ConnectionReport(OutputFormat format, std::string_view text)
{
    Print(format, text);
}

void ClientWindow::ConnectionStatusChanged(std::string_view status)
{
    host_.SetStatusText(0, status);
}

}  // namespace zel
