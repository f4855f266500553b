// session add|delete and the listing; and starting a session for `connect <name>`, with
// the automatic logon: two one-shot actions named temp that answer the server's prompts.
#include <memory>
#include <string>

#include "engine/ClientWindow.h"
#include "engine/CommandHandlers.h"
#include "engine/Subcommands.h"
#include "engine/WordReader.h"

namespace zel {
namespace {

constexpr char kShown[] = "SESSION %c%s%c --> %s:%d %s";
constexpr char kNotDefined[] = "SESSION %c%s%c not defined";
constexpr char kAdded[] = "SESSION %c%s%c added";
constexpr char kDeleteUsage[] = "SESSION DELETE <session_name>";
constexpr char kRemoved[] = "SESSION %c%s%c removed";
constexpr char kHeading[] = "Defined sessions:";
constexpr char kListed[] = "%-10s --> %s:%d %s";
constexpr char kLogonAction[] = "temp";

void Add(ClientWindow& client, WordReader& reader)
{
    std::string name;
    Session session;
    reader.NextWord(name);
    reader.NextWord(session.host);
    reader.NextNumber(session.port);
    reader.NextWord(session.logonName);
    reader.NextWord(session.logonNameTrigger);
    reader.NextWord(session.password);
    reader.NextWord(session.passwordTrigger);
    if (name.empty()) return;
    const char b = client.Chars().beginArgument, e = client.Chars().endArgument;
    auto locks = client.LockDefinitionsForPrinting();
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

// The logon action for one step: answers `trigger` with the next logon line.
void ArmLogon(ClientWindow& client, const std::shared_ptr<const Session>& session, bool password)
{
    Action action;
    action.flags = Action::kHasCommand | (password ? Action::kLogonPassword : Action::kLogonName);
    action.pattern = password ? session->passwordTrigger : session->logonNameTrigger;
    action.compiled = std::make_shared<const CompiledPattern>(action.pattern);
    action.logon = session;
    auto locks = client.LockDefinitionsForPrinting();
    client.Actions().Erase(kLogonAction);
    client.Actions().Insert(kLogonAction) = std::move(action);
    client.ActionsChanged();
}

}  // namespace

int32_t CmdSession(ClientWindow& client, uint32_t, std::string_view args)
{
    return RunSubcommands(client, args, {{"add", Add}, {"delete", Delete}}, List);
}

bool ClientWindow::StartSession(const std::string& name)
{
    std::shared_ptr<const Session> session;
    {
        std::scoped_lock lock(definitionLock_);
        if (const Session* found = sessions_.Find(name))
            session = std::make_shared<const Session>(*found);
    }
    if (!session) return false;
    if (session->HasLogon()) ArmLogon(*this, session, false);
    OpenConnection(session->host, session->port);
    return true;
}

// A logon action fired: the name step arms the password step and sends the name; the
// password step removes the action and sends the password, which is never echoed and is
// logged as stars.
void ClientWindow::RunLogonStep(const Action& action)
{
    const Session& session = *action.logon;
    if (action.flags & Action::kLogonName) {
        ArmLogon(*this, action.logon, true);
        ExecuteLine(session.logonName, false, true);
        return;
    }
    {
        auto locks = LockDefinitionsForPrinting();
        actions_.Erase(kLogonAction);
        ActionsChanged();
    }
    SecretScope secret;
    ExecuteLine(session.password, false, false);
}

}  // namespace zel
