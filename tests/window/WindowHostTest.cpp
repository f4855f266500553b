// The desktop host's threading: calls from other threads reach the window in order without
// waiting, window timers start and stop from any thread, RunOnUiThread runs there.
#include <QThread>
#include <atomic>
#include <thread>

#include "WindowFixture.h"
#include "window/StatusBar.h"

namespace zel::test {
namespace {

using WindowHostTest = WindowTest;

TEST_F(WindowHostTest, CallsFromOtherThreadsArriveOnTheUserInterfaceThread)
{
    Start();
    std::thread([&] {
        host->SetStatusText(0, "far away:4000");
        host->SetPromptLine("HP>", true);
        host->SetInputText("typed elsewhere");
    }).join();
    ASSERT_TRUE(WaitInLoop([&] { return InputText() == "typed elsewhere"; }));
    EXPECT_EQ(window->Status().Part(0), "far away:4000");
    EXPECT_EQ(window->Prompt().text(), "HP>");
    EXPECT_TRUE(window->Prompt().isVisible());
    // Off the thread, the input text is the one last seen.
    std::string seen;
    std::thread([&] { seen = host->InputText(); }).join();
    EXPECT_EQ(seen, "typed elsewhere");

    // RunOnUiThread waits for the call, run on the window's thread.
    QThread* ranOn = nullptr;
    std::atomic<bool> done = false;
    std::thread caller([&] {
        host->RunOnUiThread([&] { ranOn = QThread::currentThread(); });
        done = true;
    });
    ASSERT_TRUE(WaitInLoop([&] { return done.load(); }));
    caller.join();
    EXPECT_EQ(ranOn, QApplication::instance()->thread());
}

TEST_F(WindowHostTest, TimersStartAndStopFromAnyThreadInOrder)
{
    Start();
    std::thread([&] {
        host->StartWindowTimer(100, 5000);
        host->StartWindowTimer(101, 10);
        host->StopWindowTimer(100);
        host->StartWindowTimer(102, 20);
    }).join();
    ASSERT_TRUE(WaitInLoop([&] { return host->TimerActive(102); }));
    EXPECT_FALSE(host->TimerActive(100));
    EXPECT_TRUE(host->TimerActive(101));
    EXPECT_EQ(host->TimerInterval(102), 20);

    // A user timer runs its command on expiry.
    client->ExecuteLine("|timer add 150 1 {|echo tick tock}", false, false);
    ASSERT_TRUE(WaitInLoop([&] { return OutputHas("tick tock"); }));
    client->ExecuteLine("|timer delete 150", false, false);
    ASSERT_TRUE(WaitInLoop([&] { return !host->TimerActive(150); }));
}

TEST_F(WindowHostTest, AnExceptionInAPostedCallDoesNotReachTheLoop)
{
    Start();
    std::atomic<bool> after = false;
    std::thread([&] {
        host->PostToUiThread([] { throw std::runtime_error("boom"); });
        host->PostToUiThread([&] { after = true; });
    }).join();
    EXPECT_TRUE(WaitInLoop([&] { return after.load(); }));
}

}  // namespace
}  // namespace zel::test
