#include "window/WindowMain.h"

#include <QApplication>
#include <cstdio>
#include <exception>

#include "engine/ClientWindow.h"
#include "modules/AllModules.h"
#include "window/MainWindow.h"
#include "window/WindowHost.h"

namespace zel {

int RunWindow(int argc, char** argv, const std::string& commandLine)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("ZEL");
    QApplication::setOrganizationName("Lumenhall");
    QApplication::setApplicationDisplayName(MainWindow::kTitle);
    try {
        WindowHost host;
        ClientWindow client(host, AllModules());
        int code = 0;
        {
            MainWindow window(client);
            host.Attach(client, window);
            window.Start(commandLine);
            code = QApplication::exec();
            // The close request has quit the client; a loop ended otherwise has not.
            client.CloseConnection();
            host.Detach();
        }
        return code;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zel: %s\n", e.what());
        return 1;
    }
}

}  // namespace zel
