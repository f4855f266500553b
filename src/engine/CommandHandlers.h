// The handlers of the command table. Each lives with its subsystem; the table in
// CommandTable.cpp names them. All share the CommandHandler form.
#pragma once

#include <cstdint>
#include <string_view>

namespace zel {

class ClientWindow;

#define ZEL_COMMAND(name) int32_t name(ClientWindow& client, uint32_t id, std::string_view args)

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
// Commands whose subsystem is not built yet: one line that says so.
ZEL_COMMAND(CmdNotAvailable);

// engine/OptionCommand.cpp
ZEL_COMMAND(CmdOption);

// engine/SettingsCommands.cpp
ZEL_COMMAND(CmdRead);
ZEL_COMMAND(CmdWrite);

// definitions/DefinitionCommands.cpp
ZEL_COMMAND(CmdAlias);
ZEL_COMMAND(CmdComplete);
ZEL_COMMAND(CmdSyntax);
ZEL_COMMAND(CmdVariable);

// definitions/TimerCommands.cpp
ZEL_COMMAND(CmdTimer);
ZEL_COMMAND(CmdWatch);

// display/DisplayCommands.cpp
ZEL_COMMAND(CmdClear);
ZEL_COMMAND(CmdFont);

// net/ConnectionCommands.cpp, net/PromptCommand.cpp, net/LogCommand.cpp, net/ActionCommand.cpp
ZEL_COMMAND(CmdAction);
ZEL_COMMAND(CmdConnect);
ZEL_COMMAND(CmdDisconnect);
ZEL_COMMAND(CmdLog);
ZEL_COMMAND(CmdPrompt);
ZEL_COMMAND(CmdSession);
ZEL_COMMAND(CmdTelnet);

// input/BindCommand.cpp
ZEL_COMMAND(CmdBind);

// engine/ViewCommands.cpp
ZEL_COMMAND(CmdEdit);
ZEL_COMMAND(CmdView);

#undef ZEL_COMMAND

}  // namespace zel
