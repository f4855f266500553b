// Key presses into the real input line: executing, history browsing, tab completion, the
// clear modes, password mode and the keys the window keeps.
#include <QKeyEvent>
#include <QListWidget>

#include "WindowFixture.h"
#include "demo/LoopbackServer.h"
#include "lineedit/InputController.h"
#include "window/FindBar.h"
#include "window/OutputView.h"
#include "window/TipWindow.h"

namespace zel::test {
namespace {

using InputLineTest = WindowTest;

TEST_F(InputLineTest, EnterRunsTheLineAndRecordsIt)
{
    Start();
    Type("|echo hello from the input line");
    Press(Qt::Key_Return);
    EXPECT_TRUE(OutputHas("hello from the input line"));
    EXPECT_EQ(InputText(), "");  // clear mode "on"
    EXPECT_EQ(HistoryRows(), std::vector<std::string>{"|echo hello from the input line"});

    // Typed text reaches the server as typed, UTF-8 converted at the edge.
    demo::LoopbackServer server;
    client->ExecuteLine("|connect 127.0.0.1 " + std::to_string(server.Port()), false, false);
    ASSERT_TRUE(server.Accept());
    Type("say caf");
    // A character without a key of its own arrives as text with key 0.
    QKeyEvent accent(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u00e9"));
    QApplication::sendEvent(&Input(), &accent);
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(server.ReceiveUntil("\r\n"), "say caf\xE9\r\n");  // Windows-1252 on the wire
}

TEST_F(InputLineTest, UpAndDownBrowseTheHistoryByPrefix)
{
    Start();
    for (const char* line : {"north", "kill orc", "south", "kick door"}) {
        Type(line);
        Press(Qt::Key_Return);
    }
    ASSERT_EQ(HistoryRows().size(), 4u);
    Press(Qt::Key_Up);
    EXPECT_EQ(InputText(), "kick door");
    EXPECT_EQ(window->History().currentRow(), 3);
    Press(Qt::Key_Up);
    EXPECT_EQ(InputText(), "south");
    Press(Qt::Key_Down);
    EXPECT_EQ(InputText(), "kick door");
    // Browsing makes the history window active; typing ends it.
    EXPECT_TRUE(window->Controller().HistoryActive());
    Press(Qt::Key_Escape);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(window->Controller().HistoryActive());
    EXPECT_EQ(window->History().currentRow(), -1);

    // Typed "ki": only entries beginning with it.
    Type("ki");
    Press(Qt::Key_Up);
    EXPECT_EQ(InputText(), "kick door");
    Press(Qt::Key_Up);
    EXPECT_EQ(InputText(), "kill orc");
    EXPECT_EQ(window->History().currentRow(), 1);

    // Recalled and run again, the entry moves to the end.
    Press(Qt::Key_Return);
    EXPECT_EQ(HistoryRows(), (std::vector<std::string>{"north", "south", "kick door", "kill orc"}));

    // No entry further back: the line stays, the cursor goes.
    Type("kick");
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);
    EXPECT_EQ(InputText(), "kick door");
    EXPECT_EQ(window->History().currentRow(), -1);
}

TEST_F(InputLineTest, TabCyclesThroughCompletions)
{
    Start();
    client->ExecuteLine("|complete add {kill orc}", false, false);
    client->ExecuteLine("|complete add {kill troll}", false, false);
    Type("kill");
    Press(Qt::Key_Tab);
    EXPECT_EQ(InputText(), "kill orc");
    Press(Qt::Key_Tab);
    EXPECT_EQ(InputText(), "kill troll");
    Press(Qt::Key_Tab);
    EXPECT_EQ(InputText(), "kill troll");
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(InputText(), "kill orc");
    // Tab completes; it does not move the focus away.
    EXPECT_TRUE(Input().hasFocus());
}

TEST_F(InputLineTest, ClearModes)
{
    Start();
    demo::LoopbackServer server;
    client->ExecuteLine("|connect 127.0.0.1 " + std::to_string(server.Port()), false, false);
    ASSERT_TRUE(server.Accept());

    // "on": Enter empties the line.
    Type("first");
    Press(Qt::Key_Return);
    EXPECT_EQ(server.ReceiveUntil("\r\n"), "first\r\n");
    EXPECT_EQ(InputText(), "");

    for (const char* mode : {"mix", "off"}) {
        client->ExecuteLine(std::string("|option clear ") + mode, false, false);
        Type("again");
        Press(Qt::Key_Return);
        EXPECT_EQ(server.ReceiveUntil("\r\n"), "again\r\n") << mode;
        // The command stays, selected; Enter again sends an empty command.
        EXPECT_EQ(InputText(), "again") << mode;
        EXPECT_EQ(Input().selectedText(), "again") << mode;
        Press(Qt::Key_Return);
        EXPECT_EQ(server.ReceiveUntil("\r\n"), "\r\n") << mode;
        // The next letter typed replaces it.
        Type("x");
        EXPECT_EQ(InputText(), "x") << mode;
        Press(Qt::Key_Escape);
        EXPECT_EQ(InputText(), "") << mode;
    }
}

TEST_F(InputLineTest, PasswordModeShowsStarsAndEndsEmpty)
{
    Start();
    Type("secret");
    client->SetServerEcho(true);
    client->ServerEchoChanged();
    ASSERT_TRUE(WaitInLoop([&] { return Input().echoMode() == QLineEdit::Password; }));
    EXPECT_EQ(Input().selectedText(), "secret");
    EXPECT_NE(Input().displayText(), "secret");
    client->SetServerEcho(false);
    client->ServerEchoChanged();
    ASSERT_TRUE(WaitInLoop([&] { return Input().echoMode() == QLineEdit::Normal; }));
    EXPECT_EQ(InputText(), "");
}

TEST_F(InputLineTest, UnboundKeysInsertTheirNamesAndCtrlFFinds)
{
    Start();
    Press(Qt::Key_F5);
    EXPECT_EQ(InputText(), "F5");
    Press(Qt::Key_Escape);
    // Ctrl+F opens the output's find bar, unless the key is bound.
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(window->Output().GetFindBar(), nullptr);
    EXPECT_TRUE(window->Output().GetFindBar()->isVisible());
    EXPECT_EQ(InputText(), "");
    window->Input().setFocus();
    client->ExecuteLine("|bind add insert ctrl+f {find me}", false, false);
    Press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(InputText(), "find me");
}

TEST_F(InputLineTest, TipShowsTheSyntaxOfTheCommandTyped)
{
    Start();
    Type("|bind add ");
    ASSERT_TRUE(WaitInLoop([&] { return window->Tip().isVisible(); }));
    EXPECT_TRUE(window->Tip().PlainText().startsWith("|bind add"))
        << window->Tip().PlainText().toStdString();
    EXPECT_EQ(window->Tip().Tip().highlight, 2);
    // The tip sits under the input line and leaves the keyboard there.
    EXPECT_EQ(window->Tip().geometry().top(), Input().mapToGlobal(QPoint(0, Input().height())).y());
    EXPECT_TRUE(Input().hasFocus());
    // Switched off, the tip goes at once.
    client->ExecuteLine("|option tips off", false, false);
    EXPECT_FALSE(window->Tip().isVisible());
}

}  // namespace
}  // namespace zel::test
