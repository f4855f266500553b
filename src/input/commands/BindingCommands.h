// The key-binding commands: their command handlers and settings-section writers, and the
// module that registers them.
#pragma once

#include "engine/Module.h"

namespace zel {

ZEL_COMMAND(CmdBind);
void WriteBindingSettings(ClientWindow& client, SettingsWriter& writer);

extern const Module kBindingModule;

}  // namespace zel
