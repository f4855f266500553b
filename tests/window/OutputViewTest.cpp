// The output view on a real client: following the end while another thread prints, the
// scroll-back role and the scroll actions, the grid and colours as drawn, blinking, and
// hostile sizes and lines.
#include <QSignalSpy>
#include <atomic>
#include <string>
#include <thread>

#include "OutputViewTestSupport.h"
#include "input/InternalActions.h"

namespace zel::test {
namespace {

using A = InternalAction;

std::string Numbered(int i)
{
    return "line " + std::to_string(i) + "\r\n";
}

TEST_F(OutputViewTest, FollowsTheEndWhileAnotherThreadPrints)
{
    constexpr int kLines = 20000;
    std::atomic<bool> done{false};
    std::thread network([&] {
        for (int i = 0; i < kLines; ++i)
            client.PrintReceived("\x1b[3" + std::to_string(i % 8) + "m" + Numbered(i));
        done = true;
    });
    // The user-interface thread keeps running its loop while the lines arrive.
    const bool shown = ProcessUntil(
        [&] { return done && ShowsEnd() && view.VisibleText().endsWith("line 19999"); });
    network.join();
    ASSERT_TRUE(shown) << view.VisibleText().toStdString();
    EXPECT_EQ(ExpectedVisibleText(), view.VisibleText());
    // The last line is drawn in its colour (19999 % 8 = 7: light grey) in the last full row.
    const QImage image = Render();
    int lit = 0;
    for (int x = 0; x < 10 * kCellWidth; ++x)
        for (int y = 0; y < kCellHeight; ++y)
            if (image.pixelColor(x, (view.FullRows() - 1) * kCellHeight + y) != Qt::black) lit++;
    EXPECT_GT(lit, 10);
}

TEST_F(OutputViewTest, ScrollSizeChangesWhileTextArrives)
{
    std::atomic<bool> stop{false};
    std::thread network([&] {
        for (int i = 0; !stop; ++i) client.PrintReceived(Numbered(i));
    });
    for (const char* size : {"10", "0", "1", "100000", "3", "-5", "16384"}) {
        client.ExecuteLine(std::string("||option scrollsize ") + size, false, false);
        // A few frames with the new size while the lines keep coming.
        for (int frame = 0; frame < 5; ++frame) {
            QTest::qWait(20);
            ASSERT_FALSE(Render().isNull());
            view.ScrollPageUp();
            ASSERT_FALSE(Render().isNull());
            view.ScrollToBottom();
        }
    }
    stop = true;
    network.join();
    client.ExecuteLine("||option scrollsize 50", false, false);
    Receive("the end\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return ShowsEnd() && view.VisibleText().endsWith("the end"); }));
}

TEST_F(OutputViewTest, ScrollActionsStopAndResumeFollowing)
{
    for (int i = 0; i < 100; ++i) Receive(Numbered(i));
    ASSERT_TRUE(ProcessUntil([&] { return ShowsEnd(); }));
    const uint64_t bottom = view.TopLine();

    EXPECT_TRUE(view.PerformScrollAction(int(A::ScrollPageUp)));
    EXPECT_EQ(bottom - uint64_t(view.FullRows()), view.TopLine());
    EXPECT_TRUE(client.OutputSuspended());
    EXPECT_TRUE(view.PerformScrollAction(int(A::ScrollLineUp)));
    const uint64_t held = view.TopLine();
    // While suspended, new lines leave the view where the user put it.
    for (int i = 100; i < 110; ++i) Receive(Numbered(i));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(held, view.TopLine());
    EXPECT_TRUE(
        view.VisibleText().startsWith(QString::fromStdString("line " + std::to_string(held))));

    EXPECT_TRUE(view.PerformScrollAction(int(A::ScrollToTop)));
    EXPECT_EQ(0u, view.TopLine());
    EXPECT_TRUE(view.PerformScrollAction(int(A::ScrollColumnsRight)));
    EXPECT_EQ(8u, view.FirstColumn());
    EXPECT_TRUE(view.PerformScrollAction(int(A::ScrollColumnsLeft)));
    EXPECT_EQ(0u, view.FirstColumn());
    EXPECT_FALSE(view.PerformScrollAction(int(A::HistLineUp)));

    EXPECT_TRUE(view.PerformScrollAction(int(A::ScrollToBottom)));
    EXPECT_FALSE(client.OutputSuspended());
    EXPECT_TRUE(ShowsEnd());
    Receive("after\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return ShowsEnd() && view.VisibleText().endsWith("after"); }));

    // Scrolling down to the end by lines resumes following as well.
    view.ScrollLineUp();
    EXPECT_TRUE(client.OutputSuspended());
    view.ScrollLineDown();
    EXPECT_FALSE(client.OutputSuspended());
    // A typed command also resumes it (the interpreter clears the flag).
    view.ScrollPageUp();
    client.ExecuteLine("|rem", false, false);
    Receive("typed\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return ShowsEnd() && view.VisibleText().endsWith("typed"); }));
}

class ScrollBackViewTest : public OutputViewTest {
protected:
    ScrollBackViewTest() : OutputViewTest(OutputView::Role::ScrollBack) {}
};

TEST_F(ScrollBackViewTest, StaysWhereTheUserPutItAndNeverSuspendsTheOutput)
{
    for (int i = 0; i < 50; ++i) Receive(Numbered(i));
    ASSERT_TRUE(Settle());
    view.ScrollToTop();
    EXPECT_EQ(0u, view.TopLine());
    EXPECT_FALSE(client.OutputSuspended());
    for (int i = 50; i < 60; ++i) Receive(Numbered(i));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(0u, view.TopLine());
    EXPECT_TRUE(view.VisibleText().startsWith("line 0\n"));

    // Lines dropped from the front take the view along to the oldest line held.
    client.ExecuteLine("||option scrollsize 20", false, false);
    Receive(Numbered(60));
    ASSERT_TRUE(Settle());
    EXPECT_EQ(41u, view.TopLine());
    EXPECT_TRUE(view.VisibleText().startsWith("line 41\n"));
    // A change of size brings the newest text to the bottom.
    view.resize(view.width(), view.height() + kCellHeight);
    EXPECT_TRUE(ShowsEnd());
}

TEST_F(OutputViewTest, DrawsRunsOnTheCellGridInTheirColours)
{
    // Two cells of red back, a wide character taking cells 4 and 5, then a green cell at 6;
    // inverse shows the default text colour as back.
    Receive("ab\x1b[41m  \x1b[0m\xe6\x97\xa5\x1b[42m \x1b[0m\x1b[7m \x1b[0m\r\n");
    ASSERT_TRUE(Settle());
    const QImage image = Render();
    const int row = LastRow();
    EXPECT_EQ(QColor(192, 0, 0), CellColor(image, row, 2));
    EXPECT_EQ(QColor(192, 0, 0), CellColor(image, row, 3));
    EXPECT_EQ(QColor(0, 144, 0), CellColor(image, row, 6));
    EXPECT_EQ(QColor(192, 192, 192), CellColor(image, row, 7));
    EXPECT_EQ(QColor(0, 0, 0), CellColor(image, row, 8));

    // The view's default colours replace the window-default colour of the runs.
    view.SetColors(MakeColor(0, 0, 64), MakeColor(255, 255, 255));
    const QImage blue = Render();
    EXPECT_EQ(QColor(0, 0, 64), CellColor(blue, row, 8));
    EXPECT_EQ(QColor(255, 255, 255), CellColor(blue, row, 7));
    EXPECT_EQ(QColor(0, 0, 64), CellColor(blue, row + 1, 0));
}

TEST_F(OutputViewTest, ControlCharactersShowAsOneDotCell)
{
    Receive("a\x07\x1b[41m \x1b[0m\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return view.VisibleText() == QString::fromUtf8("a\u00b7 "); }));
    EXPECT_EQ(QColor(192, 0, 0), CellColor(Render(), LastRow(), 2));
}

TEST_F(OutputViewTest, BlinkTimerRunsOnlyWhileBlinkingTextIsInView)
{
    Receive("\x1b[5;41m    \x1b[0m\r\n");
    ASSERT_TRUE(Settle());
    Render();
    ASSERT_TRUE(ProcessUntil([&] { return view.Blinking(); }));
    const int row = LastRow();
    // Type 3 inverts both colours in the blink phase: red back becomes its complement.
    ASSERT_TRUE(ProcessUntil([&] { return CellColor(Render(), row, 1) == QColor(63, 255, 255); }));
    ASSERT_TRUE(ProcessUntil([&] { return CellColor(Render(), row, 1) == QColor(192, 0, 0); }));

    for (int i = 0; i < 20; ++i) Receive(Numbered(i));
    ASSERT_TRUE(Settle());
    Render();
    EXPECT_TRUE(ProcessUntil([&] { return !view.Blinking(); }));
}

TEST_F(OutputViewTest, LongLinesAndDeepColumnsDrawAndCopy)
{
    std::string wide;
    for (int i = 0; i < 30000; ++i) wide += "\xe6\x97\xa5";  // 日: two cells each
    Receive(wide + "\r\n");
    std::string line(100000, 'x');
    for (size_t i = 0; i < line.size(); i += 1000) line[i] = '|';
    Receive(line + "\r\n");
    ASSERT_TRUE(Settle());
    uint64_t narrow = 0;  // the first piece of the long narrow line
    {
        std::scoped_lock lock(client.OutputLock());
        while (client.Output().Line(narrow)->Text()[0] != '|') narrow++;
    }
    for (qint64 column : {0, 8000, 16376, 16383, 60000, 1000000}) {
        view.ScrollTo(0, column);
        EXPECT_FALSE(Render().isNull());
    }
    // A line holds at most the buffer's maximum; the rest continues on the next lines.
    view.Select({narrow, 0}, {narrow, 200000});
    EXPECT_EQ(int(OutputBuffer::kMaximumLineLength), view.SelectedText().size());
    view.Select({0, 10}, {0, 16});
    EXPECT_EQ(QString::fromUtf8("\xe6\x97\xa5\xe6\x97\xa5\xe6\x97\xa5"), view.SelectedText());
}

TEST_F(OutputViewTest, TinyAndHugeSizesKeepTheGridInStep)
{
    QSignalSpy sizes(&view, &OutputView::CellSizeChanged);
    for (int i = 0; i < 30; ++i) Receive(Numbered(i));
    ASSERT_TRUE(Settle());
    for (QSize size : {QSize(0, 0), QSize(1, 1), QSize(205, 95), QSize(4000, 2500), QSize(9, 19)}) {
        view.resize(size);
        size = view.size();
        EXPECT_EQ((size.width() + kCellWidth - 1) / kCellWidth, view.CellColumns());
        EXPECT_EQ((size.height() + kCellHeight - 1) / kCellHeight, view.CellRows());
        ASSERT_FALSE(sizes.isEmpty());
        EXPECT_EQ(view.CellColumns(), sizes.last().at(0).toInt());
        EXPECT_EQ(view.CellRows(), sizes.last().at(1).toInt());
        for (int action = int(A::ScrollLineUp); action <= int(A::ScrollColumnsRight); ++action)
            view.PerformScrollAction(action);
        view.FollowEnd();
        if (!size.isEmpty()) {
            EXPECT_FALSE(Render().isNull());
        }
        view.Select({0, 0}, {40, 5});
        EXPECT_FALSE(view.SelectedText().isEmpty());
        view.ClearSelection();
    }
    // Absurd fonts and cells are bounded, not obeyed.
    view.SetFont("No Such Face", 100000, 100000, 5000);
    view.SetCellSize(-5, 1 << 30);
    view.resize(300, 300);
    EXPECT_FALSE(Render().isNull());
    EXPECT_GE(view.CellColumns(), 1);
}

TEST_F(OutputViewTest, ClearEmptiesTheViewAndItsSelection)
{
    for (int i = 0; i < 5; ++i) Receive(Numbered(i));
    ASSERT_TRUE(Settle());
    view.Select({1, 0}, {3, 2});
    ASSERT_TRUE(view.HasSelection());
    client.ExecuteLine("|clear", false, false);
    ASSERT_TRUE(ProcessUntil([&] { return view.VisibleText().isEmpty() && !view.HasSelection(); }));
    EXPECT_EQ(QColor(0, 0, 0), CellColor(Render(), 0, 0));
    Receive("fresh\r\n");
    ASSERT_TRUE(ProcessUntil([&] { return view.VisibleText() == "fresh"; }));
}

}  // namespace
}  // namespace zel::test
