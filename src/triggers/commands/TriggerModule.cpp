// The action commands as a module: the command-table rows and settings sections.
#include "triggers/commands/TriggerCommands.h"

namespace zel {
namespace {

// clang-format off
constexpr CommandRow kRows[] = {
    {"action", 2, CmdAction,
     "|action <add|delete|disable|enable> ...",
     "manages actions (triggers)"},
    {"action add", 2, CmdAction,
     "|action add <name> <pattern> <command> <format> [replace]",
     "creates or changes an action"},
    {"action delete", 2, CmdAction,
     "|action delete <name>",
     "removes an action"},
    {"action disable", 2, CmdAction,
     "|action disable [name-spec]",
     "temporarirly disabled all actions, a group of actions or a specific action"},
    {"action enable", 2, CmdAction,
     "|action enable [name-spec]",
     "enables a previously ignored set of actions"},
};
// clang-format on

constexpr SectionRow kSections[] = {
    {"ACTIONS", WriteActionSettings},
};

}  // namespace

const Module kTriggerModule = {"triggers", kRows, kSections};

}  // namespace zel
