// The connection commands: their command handlers and settings-section writers, and the
// module that registers them.
#pragma once

#include "engine/Module.h"

namespace zel {

ZEL_COMMAND(CmdConnect);
ZEL_COMMAND(CmdDisconnect);
ZEL_COMMAND(CmdLog);
ZEL_COMMAND(CmdPrompt);
ZEL_COMMAND(CmdTelnet);

extern const Module kConnectionModule;

}  // namespace zel
