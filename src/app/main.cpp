// Process entry. `zel --headless [host port | settings-file]` runs the client on standard
// input and output. The desktop window is not built yet, so every start runs headless.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "console/ConsoleHost.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"

namespace {

constexpr char kUsage[] =
    "usage: zel [--headless] [host port | settings-file]\n"
    "  --headless  run on standard input and output (lines in, output lines out)\n";

}  // namespace

int main(int argc, char** argv)
{
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0) continue;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += argv[i];
    }
    std::signal(SIGPIPE, SIG_IGN);
    try {
        zel::ConsoleHost host(STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO);
        zel::ClientWindow client(host, zel::AllModules());
        return host.Run(client, commandLine);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zel: %s\n", e.what());
        return 1;
    }
}
