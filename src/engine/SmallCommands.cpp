// The small commands that belong to no subsystem: help, echo, send, receive, rem, sleep,
// beep, flash and the quit commands.
#include <chrono>
#include <string>
#include <thread>

#include "engine/ClientWindow.h"
#include "engine/EngineCommands.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr char kImplementedCommands[] = "\nImplemented commands:\n";
constexpr char kHelpHeader[] = "\nHELP %s\n";
constexpr char kHelpUsage[] = "%chelp [command]";
constexpr char kQuitGuard[] = "You have to type %cquit, no more, no less!";
constexpr uint32_t kSimpleBeep = 0xFFFFFFFF;

void SleepMilliseconds(int32_t milliseconds)
{
    if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace

int32_t CmdHelp(ClientWindow& client, uint32_t, std::string_view args)
{
    if (args.empty()) {
        client.Print(OutputFormat::Header, kImplementedCommands);
        for (const auto& [name, entry] : client.Commands().Entries()) {
            client.Print(OutputFormat::System, entry.syntax);
            client.Print(OutputFormat::System, "\n");
        }
        return 0;
    }
    std::string_view key = args;
    if (key[0] == client.Chars().command) key.remove_prefix(1);
    const auto* entry = client.Commands().FindByAbbreviation(key);
    if (!entry) {
        client.PrintLineFormatted(OutputFormat::System, kHelpUsage, client.Chars().command);
        return 0;
    }
    client.PrintFormatted(OutputFormat::Header, kHelpHeader, std::string(args).c_str());
    client.Print(OutputFormat::System, entry->second.syntax);
    client.Print(OutputFormat::System, "\n");
    client.Print(OutputFormat::System, entry->second.description);
    client.Print(OutputFormat::System, "\n");
    return 0;
}

int32_t CmdEcho(ClientWindow& client, uint32_t, std::string_view args)
{
    client.Print(OutputFormat::Echo, args);
    return 0;
}

int32_t CmdSend(ClientWindow& client, uint32_t, std::string_view args)
{
    return client.SendLine(false, args);
}

int32_t CmdReceive(ClientWindow& client, uint32_t, std::string_view args)
{
    client.ProcessIncomingText(args, true);
    return 0;
}

int32_t CmdNothing(ClientWindow&, uint32_t, std::string_view)
{
    return 0;
}

int32_t CmdSleep(ClientWindow&, uint32_t, std::string_view args)
{
    SleepMilliseconds(ParseNumber(args));
    return 0;
}

int32_t CmdBeep(ClientWindow& client, uint32_t, std::string_view args)
{
    client.GetHost().Beep(args.empty() ? kSimpleBeep : uint32_t(ParseNumber(args)));
    return 0;
}

int32_t CmdFlash(ClientWindow& client, uint32_t, std::string_view)
{
    for (int i = 0; i < 5; ++i) {
        client.GetHost().FlashCaption(true);
        SleepMilliseconds(25);
        client.GetHost().FlashCaption(false);
        SleepMilliseconds(25);
    }
    return 0;
}

int32_t CmdQuit(ClientWindow& client, uint32_t, std::string_view)
{
    client.GetHost().RequestClose();
    return 0;
}

int32_t CmdQuitGuard(ClientWindow& client, uint32_t, std::string_view)
{
    client.PrintLineFormatted(OutputFormat::Error, kQuitGuard, client.Chars().command);
    client.GetHost().RequestClose();
    return 0;
}

}  // namespace zel
