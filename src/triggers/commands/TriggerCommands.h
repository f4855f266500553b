// The action commands: their command handlers and settings-section writers, and the
// module that registers them.
#pragma once

#include "engine/Module.h"

namespace zel {

ZEL_COMMAND(CmdAction);
void WriteActionSettings(ClientWindow& client, SettingsWriter& writer);

extern const Module kTriggerModule;

}  // namespace zel
