// Programs started without a shell: waited for in the foreground, reaped in the background,
// and never left with the signals the client ignores.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "HeadlessRun.h"
#include "TempFolder.h"
#include "WaitUntil.h"
#include "process/ExternalProgram.h"

namespace zel {
namespace {

class ExternalProgram : public ::testing::Test {
protected:
    test::TempFolder folder_{"zel-program"};
    const std::filesystem::path& dir_ = folder_.Path();
};

// The children of this process, running or ended and not yet waited for.
int Children()
{
    int children = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string stat = test::ReadWholeFile(entry.path() / "stat");
        // pid (comm) state ppid ...; comm may hold anything but ends at the last ')'.
        const size_t close = stat.rfind(')');
        if (close == std::string::npos || close + 4 > stat.size()) continue;
        char state = 0;
        int parent = 0;
        if (std::sscanf(stat.c_str() + close + 2, "%c %d", &state, &parent) == 2 &&
            parent == getpid())
            ++children;
    }
    return children;
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
    const int before = Children();  // other tests' children, not yet waited for
    for (int i = 0; i < 3; ++i) EXPECT_EQ(StartDetached({"true"}), std::nullopt);
    // Until they have ended and been waited for; one left a zombie keeps the count up.
    int children = 0;
    EXPECT_TRUE(test::WaitUntil([&] { return (children = Children()) <= before; }))
        << children - before << " not waited for";
}

}  // namespace
}  // namespace zel
