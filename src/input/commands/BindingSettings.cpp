// The BINDINGS section of a settings file.
#include "engine/ClientWindow.h"
#include "input/commands/BindingCommands.h"

namespace zel {

void WriteBindingSettings(ClientWindow& client, SettingsWriter& writer)
{
    client.Bindings().WriteSettings(writer);
}

}  // namespace zel
