// The console host quits at once when an action's command quits from the network thread.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "console/ConsoleHost.h"
#include "demo/LoopbackServer.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"

namespace zel {
namespace {

using namespace std::chrono_literals;

TEST(ConsoleQuit, AnActionsQuitEndsTheLoopAtOnce)
{
    demo::LoopbackServer server;
    int input[2];
    ASSERT_EQ(pipe(input), 0);
    const int sink = open("/dev/null", O_WRONLY | O_CLOEXEC);
    ConsoleHost host(input[0], sink, sink);
    ClientWindow client(host, AllModules());
    std::atomic<bool> done{false};
    std::thread loop([&] {
        host.Run(client, "");
        done = true;
    });
    const std::string lines = "|action add bye {^bye} {|quit}\n|connect 127.0.0.1 " +
                              std::to_string(server.Port()) + "\n";
    ASSERT_EQ(write(input[1], lines.data(), lines.size()), ssize_t(lines.size()));
    ASSERT_TRUE(server.Accept(10s));
    // Without the status bar's tick the loop has nothing to wake it but the request itself.
    host.RunOnUiThread([&] { host.StopWindowTimer(1); });
    server.Send("bye\r\n");
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!done && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(done) << "the quit was not seen by the loop";
    close(input[1]);  // ends the loop if the quit was lost
    loop.join();
    close(input[0]);
    close(sink);
    EXPECT_FALSE(client.Connected());
}

}  // namespace
}  // namespace zel
