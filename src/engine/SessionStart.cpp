// Starting a session for `connect <name>`, with the automatic logon: two one-shot actions
// named temp that answer the server's prompts.
#include <memory>

#include "engine/ClientWindow.h"

namespace zel {
namespace {

constexpr char kLogonAction[] = "temp";

// The logon action for one step: answers `trigger` with the next logon line.
void ArmLogon(ClientWindow& client, const std::shared_ptr<const Session>& session, bool password)
{
    Action action;
    action.flags = Action::kHasCommand | (password ? Action::kLogonPassword : Action::kLogonName);
    action.pattern = password ? session->passwordTrigger : session->logonNameTrigger;
    action.compiled =
        std::make_shared<const CompiledPattern>(action.pattern, client.EngineFormUtf8());
    action.logon = session;
    auto locks = client.LockDefinitionsForPrinting();
    client.Actions().Erase(kLogonAction);
    client.Actions().Insert(kLogonAction) = std::move(action);
    client.ActionsChanged();
}

}  // namespace

bool ClientWindow::StartSession(const std::string& name)
{
    std::shared_ptr<const Session> session;
    {
        std::scoped_lock lock(definitionLock_);
        if (const Session* found = sessions_.Find(name))
            session = std::make_shared<const Session>(*found);
    }
    if (!session) return false;
    if (!session->encoding.empty())
        ExecuteLine(std::string(1, chars_.command) + "option encoding " + session->encoding, false,
                    false);
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
        Actions().Erase(kLogonAction);
        ActionsChanged();
    }
    SecretScope secret;
    ExecuteLine(session.password, false, false);
}

}  // namespace zel
