// The connection commands as a module: the command-table rows and settings sections.
#include "net/commands/ConnectionCommands.h"

namespace zel {
namespace {

// clang-format off
constexpr CommandRow kRows[] = {
    {"connect", 10, CmdConnect,
     "|connect <host> <port>\n|connect <session_name>",
     "connects to a remote server - breaks any existing connection"},
    {"disconnect", 11, CmdDisconnect,
     "|disconnect",
     "disconnects from the currently connected remote server"},
    {"log", 20, CmdLog,
     "|log [filename]",
     "starts logging to specified file - to stop the current log, call log with no argument"},
    {"prompt", 23, CmdPrompt,
     "|prompt <set|clear|auto>",
     "manages the prompt line"},
    {"prompt auto", 23, CmdPrompt,
     "|prompt auto>",
     "enables automatic prompting"},
    {"prompt clear", 23, CmdPrompt,
     "|prompt clear",
     "removes the content of the prompt line"},
    {"prompt set", 23, CmdPrompt,
     "|prompt set [text]",
     "sets the prompt line"},
    {"telnet", 34, CmdTelnet,
     "|telnet <command> ...",
     "executes a telnet command"},
    {"telnet naws", 34, CmdTelnet,
     "|telnet naws",
     "sends updated window size to the remote host"},
    {"telnet term", 34, CmdTelnet,
     "|telnet term <terminal-type>",
     "sends terminal-type to the remote host"},
};
// clang-format on

}  // namespace

const Module kConnectionModule = {"net", kRows, {}};

}  // namespace zel
