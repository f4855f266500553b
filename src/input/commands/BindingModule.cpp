// The key-binding commands as a module: the command-table rows and settings sections.
#include "input/commands/BindingCommands.h"

namespace zel {
namespace {

// clang-format off
constexpr CommandRow kRows[] = {
    {"bind", 5, CmdBind,
     "|bind <add|exec|insert|action|delete|view|list> ...",
     "manages key bindings (macros)"},
    {"bind action", 5, CmdBind,
     "|bind action <key> <command> [description]",
     "binds an internal action to a key - for a list of internal commands, use 'bind action'"},
    {"bind add", 5, CmdBind,
     "|bind add <exec|insert|action> <key> <command> [description]",
     "Creates a key binding"},
    {"bind add action", 5, CmdBind,
     "|bind add action <key> <command> [description]",
     "binds an internal action to a key - for a list of internal commands, use 'bind action'"},
    {"bind add exec", 5, CmdBind,
     "|bind add exec <key> <command> [description]",
     "binds a command to a key - the command is executed directly without affecting the input line"},
    {"bind add insert", 5, CmdBind,
     "|bind add insert <key> <command> [description]",
     "binds a string to a key -  the string is inserted into the current position of the input line"},
    {"bind delete", 5, CmdBind,
     "|bind delete <key>",
     "removes a key binding"},
    {"bind exec", 5, CmdBind,
     "|bind exec <key> <command> [description]",
     "binds a command to a key - the command is executed directly without affecting the input line"},
    {"bind insert", 5, CmdBind,
     "|bind insert <key> <command> [description]",
     "binds a string to a key -  the string is inserted into the current position of the input line"},
    {"bind list", 5, CmdBind,
     "|bind list [exec|insert|action]",
     "list all or group of key bindings"},
    {"bind list action", 5, CmdBind,
     "|bind list action",
     "list all ACTION key bindings"},
    {"bind list exec", 5, CmdBind,
     "|bind list exec",
     "list all EXEC key bindings"},
    {"bind list insert", 5, CmdBind,
     "|bind list insert]",
     "list all INSERT key bindings"},
    {"bind view", 5, CmdBind,
     "|bind view <key>",
     "view an existing key binding"},
};
// clang-format on

constexpr SectionRow kSections[] = {
    {"BINDINGS", WriteBindingSettings},
};

}  // namespace

const Module kBindingModule = {"input", kRows, kSections};

}  // namespace zel
