// view and edit end to end: `zel --headless` starts the viewer or the editor with the file
// name, detached on a pipe and in the foreground on a terminal.
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HeadlessRun.h"
#include "TempFolder.h"
#include "TerminalRun.h"
#include "WaitUntil.h"
#include "demo/LoopbackServer.h"

namespace zel::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class ViewCommands : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(dir_ / "bin"); }

    // An executable script in the test's folder; returns its path.
    std::string Script(const std::string& name, const std::string& body) const
    {
        const fs::path path = dir_ / "bin" / name;
        std::ofstream(path) << "#!/bin/sh\n" << body;
        fs::permissions(path, fs::perms::owner_all | fs::perms::group_read);
        return path.string();
    }
    // A program that adds its arguments, one a line, to Calls(name).
    std::string Recorder(const std::string& name) const
    {
        return Script(name, "printf '%s\\n' \"$@\" >> '" + Calls(name) + "'\n");
    }
    std::string Calls(const std::string& name) const { return (dir_ / (name + ".calls")).string(); }
    // What Calls(name) holds once it holds `expected`, or when the wait gave up.
    std::string WaitForCalls(const std::string& name, const std::string& expected) const
    {
        std::string calls;
        WaitUntil([&] { return (calls = ReadWholeFile(Calls(name))) == expected; });
        return calls;
    }
    bool Called(const std::string& name) const { return fs::exists(Calls(name)); }
    // The fake opener first on the search path.
    std::string SearchPath() const
    {
        return "PATH=" + (dir_ / "bin").string() + ":" + std::getenv("PATH");
    }

    test::TempFolder folder_{"zel-view"};
    const fs::path& dir_ = folder_.Path();
};

TEST_F(ViewCommands, EditChoosesVisualThenEditorThenTheOpener)
{
    const std::string visual = Recorder("visual"), editor = Recorder("editor");
    Recorder("xdg-open");
    const std::string path = SearchPath();

    // The variable's words carry options; the file name is one argument, spaces and all.
    HeadlessRun run = RunZelHeadless("|edit my 'notes'.txt\n", {},
                                     {"VISUAL=" + visual + " --wait", "EDITOR=" + editor, path});
    EXPECT_EQ(WaitForCalls("visual", "--wait\nmy 'notes'.txt\n"), "--wait\nmy 'notes'.txt\n");
    EXPECT_TRUE(run.out.ends_with("Happy hunting!\n\n")) << run.out;

    // An empty variable counts as unset.
    RunZelHeadless("|edit a.txt\n", {}, {"VISUAL=", "EDITOR=" + editor, path});
    EXPECT_EQ(WaitForCalls("editor", "a.txt\n"), "a.txt\n");

    RunZelHeadless("|edit b.txt\n", {}, {"VISUAL", "EDITOR", path});
    EXPECT_EQ(WaitForCalls("xdg-open", "b.txt\n"), "b.txt\n");
    EXPECT_EQ(ReadWholeFile(Calls("visual")), "--wait\nmy 'notes'.txt\n");
    EXPECT_EQ(ReadWholeFile(Calls("editor")), "a.txt\n");
}

TEST_F(ViewCommands, ViewUsesTheOpenerWhateverTheEditor)
{
    const std::string visual = Recorder("visual");
    Recorder("xdg-open");
    // A name that starts with '-' cannot pass for an option.
    const std::vector<std::string> environment{"VISUAL=" + visual, SearchPath()};
    HeadlessRun run = RunZelHeadless("|view -list.txt\n", {}, environment);
    EXPECT_EQ(WaitForCalls("xdg-open", "./-list.txt\n"), "./-list.txt\n");
    EXPECT_TRUE(run.out.ends_with("Happy hunting!\n\n")) << run.out;
    RunZelHeadless("|view /tmp/-x\n", {}, environment);
    EXPECT_EQ(WaitForCalls("xdg-open", "./-list.txt\n/tmp/-x\n"), "./-list.txt\n/tmp/-x\n");
    EXPECT_FALSE(Called("visual"));
}

TEST_F(ViewCommands, AProgramThatCannotStartIsReported)
{
    const std::string empty = (dir_ / "empty").string();
    fs::create_directories(empty);
    const std::string notExecutable = (dir_ / "plain").string();
    std::ofstream(notExecutable) << "#!/bin/sh\n";

    HeadlessRun run =
        RunZelHeadless("|view a.txt\n|edit b.txt\n", {}, {"VISUAL", "EDITOR", "PATH=" + empty});
    EXPECT_TRUE(
        run.out.ends_with("\n\nUnable to start 'xdg-open' : 2\n"
                          "Unable to start 'xdg-open' : 2\n"))
        << run.out;
    run = RunZelHeadless("|edit b.txt\n", {}, {"VISUAL=" + notExecutable});
    EXPECT_TRUE(run.out.ends_with("\n\nUnable to start '" + notExecutable + "' : 13\n")) << run.out;
}

TEST_F(ViewCommands, WithoutANamePipedInputIsNotAsked)
{
    Recorder("xdg-open");
    const std::string editor = Recorder("editor");
    // The next line is a command, not the file name. The programs started by the last two
    // lines are the first to be called.
    HeadlessRun run = RunZelHeadless("|view\n|edit\n|echo next\\n\n|view last\n|edit last\n", {},
                                     {"VISUAL", "EDITOR=" + editor, SearchPath()});
    EXPECT_TRUE(run.out.ends_with("Happy hunting!\n\nnext\n")) << run.out;
    EXPECT_EQ(run.error, "");
    EXPECT_EQ(WaitForCalls("xdg-open", "last\n"), "last\n");
    EXPECT_EQ(WaitForCalls("editor", "last\n"), "last\n");
}

TEST_F(ViewCommands, OnATerminalTheEditorHasItUntilItEnds)
{
    const std::string started = (dir_ / "started").string(), release = (dir_ / "release").string();
    // The editor waits for the test (at most 30 seconds, so that a failing test ends).
    const std::string editor =
        Script("editor", ": > '" + started + "'\n" + "i=0; while [ ! -e '" + release +
                             "' ] && [ $i -lt 600 ]; do " + "sleep 0.05; i=$((i+1)); done\n" +
                             "printf '%s\\n' \"$@\" > '" + Calls("editor") + "'\n");
    demo::LoopbackServer server;
    Terminal terminal({"VISUAL=" + editor});
    terminal.Type("|connect 127.0.0.1 " + std::to_string(server.Port()) + "\n");
    ASSERT_TRUE(server.Accept(kWaitLimit));
    terminal.Type("|edit notes.txt\n");
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(started); }));

    // What arrives meanwhile waits for the editor to end. Nothing marks that it would have
    // shown, so the terminal is watched for a while.
    server.Send("during the edit\r\n");
    terminal.Watch(300ms);
    EXPECT_EQ(terminal.shown.find("during the edit"), std::string::npos) << terminal.shown;
    std::ofstream(release).close();
    EXPECT_TRUE(terminal.WaitFor("during the edit")) << terminal.shown;
    EXPECT_EQ(ReadWholeFile(Calls("editor")), "notes.txt\n");

    terminal.Type("|quit\n");
    EXPECT_EQ(terminal.Finish(), 0);
}

TEST_F(ViewCommands, OnATerminalANameIsAskedFor)
{
    Terminal terminal({"VISUAL=" + Recorder("editor")});
    terminal.Type("|edit\n");
    ASSERT_TRUE(terminal.WaitFor("File name: ")) << terminal.shown;
    terminal.Type("my notes.txt\n");
    EXPECT_EQ(WaitForCalls("editor", "my notes.txt\n"), "my notes.txt\n");
    // An empty answer cancels.
    terminal.Type("|edit\n");
    ASSERT_TRUE(terminal.WaitFor("File name: ")) << terminal.shown;
    terminal.Type("\n|edit last.txt\n");
    EXPECT_EQ(WaitForCalls("editor", "my notes.txt\nlast.txt\n"), "my notes.txt\nlast.txt\n");
    terminal.Type("|quit\n");
    EXPECT_EQ(terminal.Finish(), 0);
}

}  // namespace
}  // namespace zel::test
