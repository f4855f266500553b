// Programs started without a shell: waited for in the foreground, reaped in the background,
// and never left with the signals the client ignores.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "HeadlessRun.h"
#include "TempFolder.h"
#include "process/ExternalProgram.h"

namespace zel {
namespace {

using namespace std::chrono_literals;

class ExternalProgram : public ::testing::Test {
protected:
    test::TempFolder folder_{"zel-program"};
    const std::filesystem::path& dir_ = folder_.Path();
};

// The children of this process that have ended and not been waited for.
int ZombieChildren()
{
    int zombies = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string stat = test::ReadWholeFile(entry.path() / "stat");
        // pid (comm) state ppid ...; comm may hold anything but ends at the last ')'.
        const size_t close = stat.rfind(')');
        if (close == std::string::npos || close + 4 > stat.size()) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(stat.c_str() + close + 2, "%c %d", &state, &parent) == 2 && state == 'Z' &&
            parent == getpid())
            ++zombies;
    }
    return zombies;
}

TEST_F(ExternalProgram, ForegroundWaitsAndTheProgramGetsDefaultSignals)
{
    // The client ignores SIGPIPE; a program that inherited that could not be stopped by it.
    auto previous = std::signal(SIGPIPE, SIG_IGN);
    const std::string marker = (dir_ / "survived").string();
    EXPECT_EQ(RunInForeground({"sh", "-c", "kill -PIPE $$; sleep 0.2; : > '" + marker + "'"}),
              std::nullopt);
    std::signal(SIGPIPE, previous);
    EXPECT_FALSE(std::filesystem::exists(marker));

    // Waited for: the file is there on return.
    EXPECT_EQ(RunInForeground({"sh", "-c", "sleep 0.2; : > \"$1\"", "sh", marker}), std::nullopt);
    EXPECT_TRUE(std::filesystem::exists(marker));

    const std::optional<StartFailure> failure = RunInForeground({(dir_ / "missing").string(), "x"});
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->program, (dir_ / "missing").string());
    EXPECT_EQ(failure->error, ENOENT);
}

TEST_F(ExternalProgram, DetachedProgramsAreReaped)
{
    const int before = ZombieChildren();  // other tests' children, not yet waited for
    for (int i = 0; i < 3; ++i) EXPECT_EQ(StartDetached({"true"}), std::nullopt);
    int zombies = 0;
    for (auto deadline = std::chrono::steady_clock::now() + 10s;
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(20ms)) {
        zombies = ZombieChildren();
        if (zombies <= before) break;
    }
    EXPECT_LE(zombies, before);
}

}  // namespace
}  // namespace zel
