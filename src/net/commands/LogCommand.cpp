// log [filename]: starts or ends the session log.
#include <mutex>
#include <string>

#include "engine/ClientWindow.h"
#include "net/commands/ConnectionCommands.h"

namespace zel {
namespace {

constexpr char kLogging[] = "Logging to '%s'\n";
constexpr char kUnableToLog[] = "Unable to log to '%s'\n";
constexpr char kLogClosed[] = "Log closed\n";

}  // namespace

int32_t CmdLog(ClientWindow& client, uint32_t, std::string_view args)
{
    std::scoped_lock lock(client.OutputLock());
    SessionLog& log = client.Log();
    log.Close();
    // The name is the rest of the line as typed: inner spaces and brackets kept.
    const std::string name(args.substr(0, kTextCapacity));
    if (name.empty()) {
        client.Print(OutputFormat::System, kLogClosed);
    } else if (log.Open(name)) {
        client.PrintFormatted(OutputFormat::System, kLogging, name.c_str());
    } else {
        client.PrintFormatted(OutputFormat::Error, kUnableToLog, name.c_str());
    }
    return 0;
}

}  // namespace zel
