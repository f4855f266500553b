// The desktop window's entry: the process entry calls it when a display is present.
#pragma once

#include <string>

namespace zel {

// Creates the application, the client with all modules and the main window, starts the
// client with `commandLine` (host and port, or a settings file) and runs until the window
// closes. Returns the process exit code.
int RunWindow(int argc, char** argv, const std::string& commandLine);

}  // namespace zel
