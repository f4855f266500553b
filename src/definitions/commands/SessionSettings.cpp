// The SESSIONS section of a settings file.
#include <string>

#include "definitions/commands/DefinitionCommands.h"
#include "engine/ClientWindow.h"
#include "lang/SettingsWriter.h"

namespace zel {

void WriteSessionSettings(ClientWindow& client, SettingsWriter& writer)
{
    for (const auto& [name, session] : client.Sessions().Entries()) {
        const std::string port = std::to_string(session.port);
        // A session's own encoding follows the port, and only when it has one, so files
        // without encodings stay as they were.
        if (session.encoding.empty()) {
            writer.Command("session add", {{name},
                                           {session.host},
                                           {port, SettingsField::Kind::Plain},
                                           {session.logonName},
                                           {session.logonNameTrigger},
                                           {session.password},
                                           {session.passwordTrigger}});
        } else {
            writer.Command("session add", {{name},
                                           {session.host},
                                           {port, SettingsField::Kind::Plain},
                                           {"encoding=" + session.encoding},
                                           {session.logonName},
                                           {session.logonNameTrigger},
                                           {session.password},
                                           {session.passwordTrigger}});
        }
    }
}

}  // namespace zel
