// connect, disconnect and telnet: the commands that open, close and talk to the connection.
#include <mutex>
#include <string>

#include "engine/ClientWindow.h"
#include "lang/WordReader.h"
#include "net/commands/ConnectionCommands.h"

namespace zel {
namespace {

constexpr char kTryAgain[] = "Connecting... try again\n";
constexpr char kConnecting[] = "Connecting to %s on port %d\n";
constexpr char kSessionNotFound[] = "SESSION %s not found\n";
constexpr char kConnectSyntax[] = "connect <server> <port>\n";
constexpr char kNotConnected[] = "Not connected\n";
constexpr char kWindowSizeSet[] = "TELNET window size set to %d columns, %d rows\n";
constexpr char kTerminalSet[] = "TELNET terminal set to '%s'\n";
constexpr char kUnknownTelnet[] = "Unknown TELNET command: %s\n";

bool Connecting(ClientWindow& client)
{
    std::scoped_lock lock(client.OutputLock());
    return client.GetConnection().ConnectingCount() > 0;
}

// The network thread cannot wait for its own end: a connect or disconnect that an action
// runs there is handed to the user-interface thread and runs there next.
bool DeferredFromNetworkThread(ClientWindow& client, uint32_t id, std::string_view args,
                               int32_t (*handler)(ClientWindow&, uint32_t, std::string_view))
{
    if (!client.GetConnection().OnNetworkThread()) return false;
    client.GetHost().PostToUiThread(
        [&client, id, handler, text = std::string(args)] { handler(client, id, text); });
    return true;
}

}  // namespace

int32_t CmdConnect(ClientWindow& client, uint32_t id, std::string_view args)
{
    if (DeferredFromNetworkThread(client, id, args, CmdConnect)) return 0;
    if (Connecting(client)) {
        client.Print(OutputFormat::System, kTryAgain);
        return 0;
    }
    client.CloseConnection();
    WordReader reader(client.Chars(), args);
    std::string host;
    int32_t port = 0;
    reader.NextWord(host);
    reader.NextNumber(port);
    if (port > 0) {
        client.PrintFormatted(OutputFormat::System, kConnecting, host.c_str(), int(port));
        client.OpenConnection(host, port);
    } else if (!host.empty()) {
        if (!client.StartSession(host))
            client.PrintFormatted(OutputFormat::Error, kSessionNotFound, host.c_str());
    } else {
        client.Print(OutputFormat::System, kConnectSyntax);
    }
    return 0;
}

int32_t CmdDisconnect(ClientWindow& client, uint32_t id, std::string_view args)
{
    if (DeferredFromNetworkThread(client, id, args, CmdDisconnect)) return 0;
    bool connecting, open;
    {
        std::scoped_lock lock(client.OutputLock());
        connecting = client.GetConnection().ConnectingCount() > 0;
        open = client.Connected();
    }
    if (connecting) {
        client.Print(OutputFormat::System, kTryAgain);
    } else if (open) {
        client.CloseConnection();
    } else {
        client.Print(OutputFormat::Error, kNotConnected);
    }
    return 0;
}

int32_t CmdTelnet(ClientWindow& client, uint32_t, std::string_view args)
{
    if (!client.Connected()) {
        client.Print(OutputFormat::Error, kNotConnected);
        return 0;
    }
    WordReader reader(client.Chars(), args);
    std::string command;
    reader.NextWord(command);
    if (EqualsIgnoringCase(command, "naws")) {
        const int32_t columns = client.ViewColumns(), rows = client.ViewRows();
        client.SendWindowSize(columns, rows);
        client.PrintFormatted(OutputFormat::Error, kWindowSizeSet, int(columns), int(rows));
    } else if (EqualsIgnoringCase(command, "term")) {
        std::string type;
        reader.NextWord(type, kNameCapacity, true);
        client.SendTerminalType(type);
        client.PrintFormatted(OutputFormat::Error, kTerminalSet, type.c_str());
    } else {
        client.PrintFormatted(OutputFormat::Error, kUnknownTelnet, command.c_str());
    }
    return 0;
}

}  // namespace zel
