// Process entry. `zel [options] [host port | settings-file]`: the desktop window when a
// display is there, else the full-screen terminal interface on a terminal, else line mode
// (lines in on standard input, output lines out).
#include <langinfo.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <string_view>

#include "console/ConsoleHost.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"
#include "terminal/TerminalHost.h"

#ifdef ZEL_WITH_WINDOW
#include "window/WindowMain.h"
#endif

namespace {

#ifndef ZEL_VERSION
#define ZEL_VERSION "unknown"
#endif

constexpr char kUsage[] =
    "usage: zel [--headless] [--plain] [host port | settings-file]\n"
    "  --headless  no window: the full-screen terminal interface on a terminal,\n"
    "              line mode when standard input or output is a pipe or file\n"
    "  --plain     line mode even on a terminal: lines in, output lines out\n"
    "              (for screen readers and scripts)\n"
    "  --version   print the version and exit\n"
    "  --help      print this help and exit\n";

struct Arguments {
    bool headless = false;
    bool plain = false;
    std::string commandLine;
};

bool HasDisplay()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value && *value) return true;
    }
    return false;
}

// Curses draws wide characters only under a UTF-8 character type; only the character type
// is taken from the environment, so numbers print as they always do.
void UseUtf8Characters()
{
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}

int RunLineMode(const std::string& commandLine)
{
    zel::ConsoleHost host(STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO);
    zel::ClientWindow client(host, zel::AllModules());
    return host.Run(client, commandLine);
}

int RunTerminal(const std::string& commandLine)
{
    UseUtf8Characters();
    std::unique_ptr<zel::TerminalHost> host;
    try {
        host = std::make_unique<zel::TerminalHost>(STDIN_FILENO, STDOUT_FILENO);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zel: %s; running in line mode\n", e.what());
        return RunLineMode(commandLine);
    }
    zel::ClientWindow client(*host, zel::AllModules());
    return host->Run(client, commandLine);
}

}  // namespace

int main(int argc, char** argv)
{
    Arguments arguments;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--headless") {
            arguments.headless = true;
        } else if (word == "--plain") {
            arguments.plain = true;
        } else if (word == "--help" || word == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (word == "--version") {
            std::puts("zel " ZEL_VERSION);
            return 0;
        } else if (word.size() > 1 && word[0] == '-') {
            std::fprintf(stderr, "zel: unknown option %s\n%s", argv[i], kUsage);
            return 2;
        } else {
            if (!arguments.commandLine.empty()) arguments.commandLine += ' ';
            arguments.commandLine += word;
        }
    }
    std::signal(SIGPIPE, SIG_IGN);
    try {
        if (!arguments.headless && !arguments.plain && HasDisplay()) {
#ifdef ZEL_WITH_WINDOW
            return zel::RunWindow(argc, argv, arguments.commandLine);
#else
            std::fputs("zel: built without the desktop window; using the terminal\n", stderr);
#endif
        }
        const bool terminal = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
        if (terminal && !arguments.plain) return RunTerminal(arguments.commandLine);
        return RunLineMode(arguments.commandLine);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zel: %s\n", e.what());
        return 1;
    }
}
