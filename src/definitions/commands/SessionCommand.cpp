// session add|delete and the listing.
#include <algorithm>
#include <string>

#include "base/TextCodec.h"

#include "definitions/commands/DefinitionCommands.h"
#include "engine/ClientWindow.h"
#include "engine/Subcommands.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr char kShown[] = "SESSION %c%s%c --> %s:%d %s";
constexpr char kNotDefined[] = "SESSION %c%s%c not defined";
constexpr char kAdded[] = "SESSION %c%s%c added";
constexpr char kDeleteUsage[] = "SESSION DELETE <session_name>";
constexpr char kRemoved[] = "SESSION %c%s%c removed";
constexpr char kHeading[] = "Defined sessions:";
constexpr char kListed[] = "%-10s --> %s:%d %s";
constexpr std::string_view kEncodingPrefix = "encoding=";
constexpr char kUnknownEncoding[] = "Unknown encoding '%.*s' (|help option encoding lists them)";

void Add(ClientWindow& client, WordReader& reader)
{
    std::string name;
    Session session;
    reader.NextWord(name);
    reader.NextWord(session.host);
    reader.NextNumber(session.port);
    reader.NextWord(session.logonName);
    // An encoding goes before the logon fields; files without one read as they always did.
    if (session.logonName.starts_with(kEncodingPrefix)) {
        session.encoding = session.logonName.substr(kEncodingPrefix.size());
        session.logonName.clear();
        reader.NextWord(session.logonName);
    }
    reader.NextWord(session.logonNameTrigger);
    reader.NextWord(session.password);
    reader.NextWord(session.passwordTrigger);
    if (name.empty()) return;
    const char b = client.Chars().beginArgument, e = client.Chars().endArgument;
    auto locks = client.LockDefinitionsForPrinting();
    if (!session.encoding.empty() && !FindEncoding(session.encoding)) {
        client.PrintLineFormatted(OutputFormat::Error, kUnknownEncoding,
                                  int(std::min<size_t>(session.encoding.size(), 64)),
                                  session.encoding.c_str());
        return;
    }
    if (session.host.empty() || session.port == 0) {
        if (const Session* shown = client.Sessions().Find(name)) {
            client.PrintLineFormatted(OutputFormat::System, kShown, b, name.c_str(), e,
                                      shown->host.c_str(), int(shown->port),
                                      shown->logonName.c_str());
        } else {
            client.PrintLineFormatted(OutputFormat::System, kNotDefined, b, name.c_str(), e);
        }
        return;
    }
    client.Sessions().Insert(name) = std::move(session);
    client.MarkSettingsChanged();
    client.PrintLineFormatted(OutputFormat::System, kAdded, b, name.c_str(), e);
}

void Delete(ClientWindow& client, WordReader& reader)
{
    std::string name;
    reader.NextWord(name);
    if (name.empty()) {
        client.PrintLine(OutputFormat::System, kDeleteUsage);
        return;
    }
    const char b = client.Chars().beginArgument, e = client.Chars().endArgument;
    auto locks = client.LockDefinitionsForPrinting();
    client.Sessions().Erase(name);
    client.MarkSettingsChanged();
    client.PrintLineFormatted(OutputFormat::System, kRemoved, b, name.c_str(), e);
}

void List(ClientWindow& client)
{
    auto locks = client.LockDefinitionsForPrinting();
    client.PrintLine(OutputFormat::Header, kHeading);
    for (const auto& [name, session] : client.Sessions().Entries())
        client.PrintLineFormatted(OutputFormat::System, kListed, name.c_str(), session.host.c_str(),
                                  int(session.port), session.logonName.c_str());
}

}  // namespace

int32_t CmdSession(ClientWindow& client, uint32_t, std::string_view args)
{
    return RunSubcommands(client, args, {{"add", Add}, {"delete", Delete}}, List);
}

}  // namespace zel
