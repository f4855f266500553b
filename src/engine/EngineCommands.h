// The engine's own commands (help, echo, option, read, write, view, quit and the rest) and
// the settings sections it writes, and the module that registers them. Commands of
// subsystems not built yet print one line that says so.
#pragma once

#include "engine/Module.h"

namespace zel {

// engine/SmallCommands.cpp
ZEL_COMMAND(CmdBeep);
ZEL_COMMAND(CmdEcho);
ZEL_COMMAND(CmdFlash);
ZEL_COMMAND(CmdHelp);
ZEL_COMMAND(CmdNothing);    // rem, browser
ZEL_COMMAND(CmdQuitGuard);  // qui, exi
ZEL_COMMAND(CmdQuit);       // quit, exit
ZEL_COMMAND(CmdReceive);
ZEL_COMMAND(CmdSend);
ZEL_COMMAND(CmdSleep);
// engine/NotAvailable.cpp
ZEL_COMMAND(CmdNotAvailable);
// engine/OptionCommand.cpp
ZEL_COMMAND(CmdOption);
// engine/SettingsCommands.cpp
ZEL_COMMAND(CmdRead);
ZEL_COMMAND(CmdWrite);
// engine/ViewCommands.cpp
ZEL_COMMAND(CmdEdit);
ZEL_COMMAND(CmdView);

// engine/OptionSettings.cpp
void WriteCharacterSettings(ClientWindow& client, SettingsWriter& writer);
void WriteOptionSettings(ClientWindow& client, SettingsWriter& writer);

extern const Module kEngineModule;

}  // namespace zel
