// The definition commands (aliases, variables, completions, syntaxes, timers,
// stopwatches, sessions) as a module: the command-table rows and settings sections.
#include "definitions/commands/DefinitionCommands.h"

namespace zel {
namespace {

// clang-format off
constexpr CommandRow kRows[] = {
    {"alias", 3, CmdAlias,
     "|alias <add|delete> ...",
     "manages aliases"},
    {"alias add", 3, CmdAlias,
     "|alias add <alias> <command> [description]",
     "creates a new or changes an existing alias"},
    {"alias delete", 3, CmdAlias,
     "|alias delete <alias>",
     "removes an alias"},
    {"complete", 9, CmdComplete,
     "|complete <add|delete> ...",
     "manages tab-completions"},
    {"complete add", 9, CmdComplete,
     "|complete add <completion> [description]",
     "adds a completion (word that automatically expands when the user presses TAB)"},
    {"complete delete", 9, CmdComplete,
     "|complete delete <completion>",
     "removes a word from the tab-completion list"},
    {"session", 30, CmdSession,
     "|session <add|delete> ...",
     "manages sessions"},
    {"session add", 30, CmdSession,
     "|session add <session_name> <host> <port>\r\n|session add <session_name> <host> <port> <logon_name> <logon_name_trigger> <logon_password> <logon_password_trigger>",
     "creates a new session that can be used as an argument to the connect command"},
    {"session delete", 30, CmdSession,
     "|session delete <session_name>",
     "removes an existing session"},
    {"syntax", 33, CmdSyntax,
     "|syntax <add|delete> ...",
     "manages syntaxes (tooltip help strings)"},
    {"syntax add", 33, CmdSyntax,
     "|syntax add <string> [description]",
     "adds a syntax string"},
    {"syntax delete", 33, CmdSyntax,
     "|syntax delete <string>",
     "removes a syntax string"},
    {"timer", 35, CmdTimer,
     "|timer <add|delete|start|stop> ...",
     "managers timers"},
    {"timer add", 35, CmdTimer,
     "|timer add <id> <milliseconds> <command>",
     "creates or changes a timer to be executed at a specified interval"},
    {"timer delete", 35, CmdTimer,
     "|timer delete <id>",
     "removes a timer"},
    {"timer start", 35, CmdTimer,
     "|timer start <id> [milliseconds]",
     "restarts an existing timer"},
    {"timer stop", 35, CmdTimer,
     "|timer stop <id>",
     "stops an existing timer"},
    {"variable", 36, CmdVariable,
     "|variable <add|delete> ...",
     "manages variables"},
    {"variable add", 36, CmdVariable,
     "|variable add <name> [value]",
     "sets an internal variable value - value can be referred to with %<name>"},
    {"variable delete", 36, CmdVariable,
     "|variable delete <name>",
     "removes an internal variable"},
    {"watch", 38, CmdWatch,
     "|watch <start|stop> <id>",
     "manages stop watches"},
    {"watch start", 38, CmdWatch,
     "|watch start <id>",
     "starts a stopwatch"},
    {"watch stop", 38, CmdWatch,
     "|watch stop <id>",
     "stops a stopwatch"},
};
// clang-format on

constexpr SectionRow kSections[] = {
    {"ALIASES", WriteAliasSettings},
    {"COMPLETIONS", WriteCompletionSettings},
    {"SYNTAXES", WriteSyntaxSettings},
    {"SESSIONS", WriteSessionSettings},
};

}  // namespace

const Module kDefinitionModule = {"definitions", kRows, kSections};

}  // namespace zel
