// The ACTIONS section of a settings file. The steps of a session's automatic logon are the
// session's, not the player's, and are left out.
#include "engine/ClientWindow.h"
#include "lang/SettingsWriter.h"
#include "triggers/commands/TriggerCommands.h"

namespace zel {

void WriteActionSettings(ClientWindow& client, SettingsWriter& writer)
{
    constexpr auto kName = SettingsField::Kind::ScopedName;
    for (const auto& [name, action] : client.Actions().Entries()) {
        if (action.IsLogonStep()) continue;
        const std::string format =
            action.flags & Action::kHasFormat ? FormatToText(action.format) : std::string();
        if (action.flags & Action::kHasReplacement) {
            writer.Command("action add", {{name, kName},
                                          {action.pattern},
                                          {action.command},
                                          {format},
                                          {action.replacement}});
        } else if (action.flags & Action::kHasFormat) {
            writer.Command("action add",
                           {{name, kName}, {action.pattern}, {action.command}, {format}});
        } else {
            // Without a format group the action reads back without a format.
            writer.Command("action add", {{name, kName}, {action.pattern}, {action.command}});
        }
    }
}

}  // namespace zel
