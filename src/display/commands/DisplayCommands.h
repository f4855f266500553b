// The output commands: their command handlers and settings-section writers, and the
// module that registers them.
#pragma once

#include "engine/Module.h"

namespace zel {

ZEL_COMMAND(CmdClear);
ZEL_COMMAND(CmdFont);
void WriteFormatSettings(ClientWindow& client, SettingsWriter& writer);

extern const Module kDisplayModule;

}  // namespace zel
