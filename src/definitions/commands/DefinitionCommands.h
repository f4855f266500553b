// The definition commands (aliases, variables, completions, syntaxes, timers,
// stopwatches, sessions): their command handlers and settings-section writers, and the
// module that registers them.
#pragma once

#include "engine/Module.h"

namespace zel {

ZEL_COMMAND(CmdAlias);
ZEL_COMMAND(CmdComplete);
ZEL_COMMAND(CmdSyntax);
ZEL_COMMAND(CmdVariable);
ZEL_COMMAND(CmdTimer);
ZEL_COMMAND(CmdWatch);
ZEL_COMMAND(CmdSession);
void WriteAliasSettings(ClientWindow& client, SettingsWriter& writer);
void WriteCompletionSettings(ClientWindow& client, SettingsWriter& writer);
void WriteSyntaxSettings(ClientWindow& client, SettingsWriter& writer);
void WriteSessionSettings(ClientWindow& client, SettingsWriter& writer);

extern const Module kDefinitionModule;

}  // namespace zel
