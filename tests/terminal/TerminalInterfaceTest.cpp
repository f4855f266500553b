// The terminal interface end to end: the real `zel --headless` full-screen in tmux, talking
// to a loopback server.
#include <signal.h>

#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "TmuxTerminal.h"
#include "demo/LoopbackServer.h"

namespace zel::test {
namespace {

const std::string kWillEcho = "\xff\xfb\x01";
const std::string kWontEcho = "\xff\xfc\x01";
const std::string kDoNaws = "\xff\xfd\x1f";
const std::string kGoAhead = "\xff\xf9";

// A client in tmux connected to a loopback server of its own.
struct Session {
    demo::LoopbackServer server;
    TmuxTerminal terminal;
    explicit Session(int columns = 100, int rows = 30)
        : terminal({"127.0.0.1", std::to_string(server.Port())}, columns, rows)
    {
        EXPECT_TRUE(server.Accept());
    }
    // Types a line into the input line; the server receives it.
    void SendLine(const std::string& line)
    {
        terminal.Type(line);
        terminal.Keys("Enter");
        EXPECT_NE(server.ReceiveUntil(line + "\r\n").find(line), std::string::npos);
    }
};

// The row the input line takes: the one above the status line at the bottom.
std::string InputRow(const TmuxTerminal& terminal)
{
    const std::vector<std::string> rows = terminal.Rows();
    return rows.size() >= 2 ? rows[rows.size() - 2] : "";
}

TEST(TerminalInterface, PromptShowsBeforeEnterAndTypedLinesShowOnce)
{
    Session s;
    s.server.Send("Welcome!\r\nBy what name do you wish to be known? " + kGoAhead);
    EXPECT_TRUE(s.terminal.WaitForScreen("By what name do you wish to be known?"));
    s.SendLine("Gandalf");
    EXPECT_TRUE(s.terminal.WaitForScreen("known? Gandalf"));
    // The line shows once: the core's echo, not the terminal's too.
    const std::string screen = s.terminal.Screen();
    EXPECT_EQ(screen.find("Gandalf"), screen.rfind("Gandalf")) << screen;
}

TEST(TerminalInterface, UpRecallsTheLastLineAndTabCompletes)
{
    Session s;
    s.SendLine("say first words");
    s.terminal.Keys("Up");
    EXPECT_TRUE(WaitUntil([&] { return InputRow(s.terminal).find("say first words") == 0; }))
        << s.terminal.Screen();
    s.terminal.Keys("C-c");  // empties the line
    EXPECT_TRUE(WaitUntil(
        [&] { return InputRow(s.terminal).find_first_not_of(' ') == std::string::npos; }));

    s.terminal.Type("|complete add fireball");
    s.terminal.Keys("Enter");
    s.terminal.Type("fir");
    s.terminal.Keys("Tab");
    EXPECT_TRUE(WaitUntil([&] { return InputRow(s.terminal).find("fireball") == 0; }))
        << s.terminal.Screen();
    s.terminal.Keys("Enter");
    EXPECT_NE(s.server.ReceiveUntil("fireball\r\n").find("fireball"), std::string::npos);
}

TEST(TerminalInterface, FunctionKeyRunsItsBinding)
{
    Session s;
    s.terminal.Type("|bind add exec F5 {say hi}");
    s.terminal.Keys("Enter");
    s.terminal.Keys("F5");
    EXPECT_NE(s.server.ReceiveUntil("say hi\r\n").find("say hi"), std::string::npos);
}

TEST(TerminalInterface, ServerEchoOffShowsStars)
{
    Session s;
    s.server.Send("Password: " + kWillEcho);
    EXPECT_TRUE(s.terminal.WaitForScreen("Password:"));
    // The client agrees to the server's echo before the password is typed.
    EXPECT_NE(s.server.ReceiveUntil("\xff\xfd\x01").find("\xff\xfd\x01"), std::string::npos);
    s.terminal.Type("sesame");
    EXPECT_TRUE(WaitUntil([&] { return InputRow(s.terminal).find("******") == 0; }))
        << s.terminal.Screen();
    EXPECT_EQ(s.terminal.Screen().find("sesame"), std::string::npos);
    s.terminal.Keys("Enter");
    EXPECT_NE(s.server.ReceiveUntil("sesame\r\n").find("sesame"), std::string::npos);
    s.server.Send(kWontEcho + "\r\nWelcome.\r\n");
    EXPECT_TRUE(s.terminal.WaitForScreen("Welcome."));
    EXPECT_EQ(s.terminal.Screen().find("sesame"), std::string::npos) << s.terminal.Screen();
}

TEST(TerminalInterface, TextArrivingWhileTypingLeavesTheInputLineWhole)
{
    Session s;
    s.terminal.Type("tell bob hello wor");
    EXPECT_TRUE(WaitUntil([&] { return InputRow(s.terminal).find("tell bob hello wor") == 0; }));
    std::string flood;
    for (int i = 0; i < 2000; ++i)
        flood += "\x1b[1;3" + std::to_string(i % 8) + "mline " + std::to_string(i) +
                 "\x1b[2J\x1b[H\x1b]0;title\x07 of text\x1b[0m\r\n";
    s.server.Send(flood);
    EXPECT_TRUE(s.terminal.WaitForScreen("line 1999"));
    EXPECT_EQ(InputRow(s.terminal).find("tell bob hello wor"), 0u) << s.terminal.Screen();
    s.terminal.Type("ld");
    s.terminal.Keys("Enter");
    EXPECT_NE(s.server.ReceiveUntil("hello world\r\n").find("tell bob hello world"),
              std::string::npos);
    // The server's clears and title sequences were drawn as text, never obeyed: the
    // earlier lines are still on the screen.
    EXPECT_TRUE(s.terminal.WaitForScreen("line 1998"));
}

TEST(TerminalInterface, ResizeSendsTheWindowSize)
{
    Session s;
    s.terminal.Type("|option autonaws on");
    s.terminal.Keys("Enter");
    EXPECT_TRUE(s.terminal.WaitForScreen("Auto-NAWS set to on"));
    s.server.Send(kDoNaws);
    // WILL NAWS, then the output's size: 100 columns.
    EXPECT_NE(s.server.ReceiveUntil(std::string("\xff\xfa\x1f\x00\x64", 5)).size(), 0u);
    s.terminal.Resize(120, 40);
    const std::string naws = s.server.ReceiveUntil(std::string("\xff\xfa\x1f\x00\x78", 5));
    EXPECT_NE(naws.find(std::string("\xff\xfa\x1f\x00\x78", 5)), std::string::npos);
    // Resizes one after another leave a whole screen.
    for (int i = 0; i < 20; ++i) s.terminal.Resize(30 + i * 7, 3 + i % 5);
    s.terminal.Resize(2, 2);
    s.terminal.Resize(100, 30);
    s.server.Send("after the storm\r\n");
    EXPECT_TRUE(s.terminal.WaitForScreen("after the storm"));
}

TEST(TerminalInterface, TerminalIsGivenBackUnchanged)
{
    {
        TmuxTerminal terminal({});
        EXPECT_TRUE(terminal.WaitForScreen("Happy hunting"));
        terminal.Type("|quit");
        terminal.Keys("Enter");
        EXPECT_EQ(terminal.WaitForExit(), 0);
        EXPECT_EQ(terminal.SttyAfter(), terminal.SttyBefore());
    }
    {
        TmuxTerminal terminal({});
        EXPECT_TRUE(terminal.WaitForScreen("Happy hunting"));
        terminal.Type("some words");
        terminal.Keys("C-c");
        EXPECT_TRUE(terminal.WaitForScreen("Press Ctrl-C again to quit"));
        terminal.Keys("C-c");
        EXPECT_EQ(terminal.WaitForExit(), 0);
        EXPECT_EQ(terminal.SttyAfter(), terminal.SttyBefore());
    }
    {
        TmuxTerminal terminal({});
        EXPECT_TRUE(terminal.WaitForScreen("Happy hunting"));
        kill(terminal.ClientPid(), SIGTERM);
        EXPECT_EQ(terminal.WaitForExit(), 0);
        EXPECT_EQ(terminal.SttyAfter(), terminal.SttyBefore());
    }
    {
        // A crash gives the terminal back too, then dies of its signal.
        TmuxTerminal terminal({});
        EXPECT_TRUE(terminal.WaitForScreen("Happy hunting"));
        kill(terminal.ClientPid(), SIGSEGV);
        EXPECT_EQ(terminal.WaitForExit(), 128 + SIGSEGV);
        EXPECT_EQ(terminal.SttyAfter(), terminal.SttyBefore());
    }
}

TEST(TerminalInterface, TinyAndHugeTerminalsWork)
{
    for (auto [columns, rows] : {std::pair{2, 2}, std::pair{1000, 5}}) {
        Session s(columns, rows);
        s.server.Send(std::string(3000, 'x') + "\xe6\x97\xa5\xe6\x9c\xac\r\nend\r\n");
        s.SendLine("still typing");
        s.terminal.Type("|quit");
        s.terminal.Keys("Enter");
        EXPECT_EQ(s.terminal.WaitForExit(), 0) << columns << "x" << rows;
        EXPECT_EQ(s.terminal.SttyAfter(), s.terminal.SttyBefore());
    }
}

TEST(CommandLine, HelpVersionAndUnknownOptions)
{
    const std::string zel = ZEL_BINARY;
    const HeadlessRun help = RunZelHeadless("", {"--help"});
    EXPECT_EQ(WEXITSTATUS(help.status), 0);
    EXPECT_NE(help.out.find("usage: zel"), std::string::npos);
    EXPECT_TRUE(help.error.empty());
    EXPECT_TRUE(std::regex_match(CommandOutput(zel + " --version"),
                                 std::regex("zel [0-9]+\\.[0-9]+(\\.[0-9]+)*\n")));
    const HeadlessRun unknown = RunZelHeadless("", {"--frobnicate"});
    EXPECT_EQ(WEXITSTATUS(unknown.status), 2);
    EXPECT_TRUE(unknown.out.empty());
    EXPECT_NE(unknown.error.find("usage: zel"), std::string::npos);
}

}  // namespace
}  // namespace zel::test
