// The main window as started: greeting, children placed from the options in exact pixels,
// the status bar and its timer, and the quit confirmation.
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <thread>

#include "WindowFixture.h"
#include "demo/LoopbackServer.h"
#include "window/ButtonBar.h"
#include "window/OutputView.h"
#include "window/StatusBar.h"

namespace zel::test {
namespace {

using MainWindowTest = WindowTest;

TEST_F(MainWindowTest, StartsWithGreetingTitleStatusAndItsTimer)
{
    Start();
    EXPECT_EQ(window->windowTitle(), "ZEL Alpha Build 10.4");
    const std::vector<std::string> lines = OutputLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("Good ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find(" - you are running an alpha version of ZEL"), std::string::npos);
    const char* initial[] = {"Not connected", "--:--:--", "I: 0", "O: 0", "@ 0/0"};
    for (int part = 0; part < StatusBar::kParts; ++part)
        EXPECT_EQ(window->Status().Part(part).toStdString(), initial[part]) << part;
    ASSERT_TRUE(WaitInLoop([&] { return host->TimerActive(1); }));
    EXPECT_EQ(host->TimerInterval(1), 1000);
    // Part 4 after the first tick: the scroll-back window's first line of the buffer's lines.
    ASSERT_TRUE(WaitInLoop([&] { return window->Status().Part(4) != "@ 0/0"; }));
    EXPECT_EQ(window->Status().Part(4).toStdString(),
              "@ 0/" + std::to_string(OutputLines().size()));
}

TEST_F(MainWindowTest, ChildrenArePlacedFromTheOptionsInPixels)
{
    Start();
    QWidget* area = window->centralWidget();
    const int w = area->width(), h = area->height();
    const LayoutInput in = window->CurrentLayoutInput();
    ASSERT_GT(in.lineHeight, 0);
    ASSERT_GT(in.toolbarHeight, 0);
    // Default: three history rows, no prompt, the scroll-back window hidden.
    EXPECT_EQ(Input().geometry(),
              QRect(0, h - 18 - in.toolbarHeight - in.lineHeight, w, in.lineHeight));
    EXPECT_EQ(in.historyHeight, 3 * window->History().ItemHeight());
    EXPECT_EQ(window->History().geometry().bottom() + 1, Input().geometry().top());
    EXPECT_EQ(window->Output().geometry(),
              QRect(0, 0, w, Input().geometry().top() - in.historyHeight - 1));
    EXPECT_EQ(window->Status().geometry(), QRect(0, h - 18, w, 18));
    EXPECT_EQ(window->Buttons().geometry(),
              QRect(0, h - 18 - in.toolbarHeight, w, in.toolbarHeight));
    EXPECT_EQ(window->Buttons().Button(8)->geometry().left(), 8 * ((w + 4) / 9));
    EXPECT_FALSE(window->ScrollBack().isVisible());

    // The scroll-back window at the left, 30 percent, and the prompt line shown.
    client->ExecuteLine("|option scrollwidth 30", false, false);
    client->ExecuteLine("|option scrollpos left", false, false);
    client->ExecuteLine("|prompt set HP:100>", false, false);
    client->PerformInternalAction(24);  // SCROLL_ON
    ASSERT_TRUE(WaitInLoop([&] { return window->Prompt().isVisible(); }));
    // The text as typed after the word, its white space included.
    EXPECT_EQ(window->Prompt().text(), " HP:100>");
    EXPECT_EQ(window->ScrollBack().geometry(),
              QRect(0, 0, 30 * w / 100 - 1, h - in.toolbarHeight - 18));
    EXPECT_EQ(window->Output().geometry().left(), 30 * w / 100);
    EXPECT_EQ(window->Output().geometry().width(), 70 * w / 100);
    EXPECT_EQ(window->Prompt().geometry().bottom() + 2, window->History().geometry().top());
    EXPECT_EQ(window->Layout().output, ComputeLayout(window->CurrentLayoutInput()).output);

    // SCROLL_TOGGLE moves it on: right, then hidden, then top.
    client->PerformInternalAction(26);
    EXPECT_EQ(window->ScrollBack().geometry().left(), 70 * w / 100 + 1);
    client->PerformInternalAction(26);
    EXPECT_FALSE(window->ScrollBackShown());
    EXPECT_EQ(window->Output().geometry().width(), w);
    client->PerformInternalAction(26);
    EXPECT_EQ(client->GetOptions().scrollPos, 1);
    const int bottom = window->Prompt().geometry().top();
    EXPECT_EQ(window->ScrollBack().geometry(), QRect(0, 0, w, 50 * bottom / 100 - 1));
    EXPECT_EQ(window->Output().geometry().top(), 50 * bottom / 100);

    // Resizing lays out again; the output's size in cells reaches the client.
    window->resize(700, 500);
    ASSERT_TRUE(WaitInLoop([&] { return area->width() != w; }));
    EXPECT_EQ(window->Status().geometry(), QRect(0, area->height() - 18, area->width(), 18));
    const QSize cell = window->Output().CellSize();
    EXPECT_EQ(client->ViewColumns(), window->Output().width() / cell.width());
    EXPECT_EQ(client->ViewRows(), window->Output().height() / cell.height());
}

TEST_F(MainWindowTest, StatusBarShowsTheConnectionEachSecond)
{
    demo::LoopbackServer server;
    Start("127.0.0.1 " + std::to_string(server.Port()));
    ASSERT_TRUE(server.Accept());
    EXPECT_EQ(window->Status().Part(0).toStdString(), "127.0.0.1:" + std::to_string(server.Port()));
    server.Send("\x1b[1;31mred text\x1b[0m\r\n");
    ASSERT_TRUE(WaitInLoop([&] { return OutputHas("red text"); }));
    Type("look");
    Press(Qt::Key_Return);
    EXPECT_EQ(server.ReceiveUntil("\r\n"), "look\r\n");
    ASSERT_TRUE(WaitInLoop([&] { return window->Status().Part(3) == "O: 6"; }));
    EXPECT_EQ(window->Status().Part(2).toStdString(), "I: 21");
    EXPECT_EQ(window->Status().Part(1).toStdString().substr(0, 6), "00:00:");
}

TEST_F(MainWindowTest, CloseAsksAndNoKeepsEverythingRunning)
{
    Start();
    dialogs->quitAnswer = false;
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs->quitQuestions, 1);
    EXPECT_TRUE(window->isVisible());

    // Changed settings ask to save instead; "Don't quit" keeps running too.
    client->ExecuteLine("|alias add gg get gold", false, false);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs->saveQuestions, 1);
    EXPECT_EQ(dialogs->quitQuestions, 1);

    // Saving writes the file under the name given, then the window closes.
    dialogs->saveChoice = QuitChoice::SaveAndQuit;
    dialogs->saveAs = folder / "saved.zel";
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(std::filesystem::exists(dialogs->saveAs));
}

TEST_F(MainWindowTest, QuitActionFromAnotherThreadClosesTheWindow)
{
    Start();
    dialogs->quitAnswer = true;
    std::thread([&] { client->ExecuteLine("|quit", false, false); }).join();
    EXPECT_TRUE(WaitInLoop([&] { return !window->isVisible(); }));
    EXPECT_EQ(dialogs->quitQuestions, 1);
}

}  // namespace
}  // namespace zel::test
