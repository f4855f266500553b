// Finding text in the output: next and previous, wrapping around the buffer, case, the
// highlight, and the find bar driven by keys.
#include <QLineEdit>
#include <string>

#include "OutputViewTestSupport.h"

namespace zel::test {
namespace {

class OutputViewFindTest : public OutputViewTest {
protected:
    OutputViewFindTest()
    {
        // 200 lines; the dragons sit at lines 10, 120 (twice) and 190.
        for (int i = 0; i < 200; ++i) {
            std::string line = "line " + std::to_string(i);
            if (i == 10) line += " a red Dragon";
            if (i == 120) line += " dragon \xe6\x97\xa5 dragon";
            if (i == 190) line += " the dragon";
            Receive(line + "\r\n");
        }
        EXPECT_TRUE(Settle());
    }
    bool MatchIs(uint64_t line, uint32_t start, uint32_t end)
    {
        const auto match = view.CurrentMatch();
        return match && match->line == line && match->start == start && match->end == end;
    }
    bool InView(uint64_t line)
    {
        return line >= view.TopLine() && line < view.TopLine() + uint64_t(view.FullRows());
    }
};

TEST_F(OutputViewFindTest, NextAndPreviousWrapAroundTheBuffer)
{
    // From the top of the view: the last dragon is in view, the next wraps to the start.
    EXPECT_EQ(OutputView::FindResult::Found, view.Find("dragon", false, false));
    EXPECT_TRUE(MatchIs(190, 13, 19));
    EXPECT_FALSE(client.OutputSuspended());
    EXPECT_EQ(OutputView::FindResult::Wrapped, view.Find("dragon", false, false));
    EXPECT_TRUE(MatchIs(10, 14, 20));
    EXPECT_TRUE(InView(10));
    EXPECT_TRUE(client.OutputSuspended());
    EXPECT_EQ(OutputView::FindResult::Found, view.Find("dragon", false, false));
    EXPECT_TRUE(MatchIs(120, 9, 15));
    EXPECT_TRUE(InView(120));
    // Cells, not bytes: the second match follows a wide character.
    EXPECT_EQ(OutputView::FindResult::Found, view.Find("dragon", false, false));
    EXPECT_TRUE(MatchIs(120, 19, 25));
    EXPECT_EQ(OutputView::FindResult::Found, view.Find("dragon", false, false));
    EXPECT_TRUE(MatchIs(190, 13, 19));

    EXPECT_EQ(OutputView::FindResult::Found, view.Find("dragon", true, false));
    EXPECT_TRUE(MatchIs(120, 19, 25));
    EXPECT_EQ(OutputView::FindResult::Found, view.Find("dragon", true, false));
    EXPECT_TRUE(MatchIs(120, 9, 15));
    EXPECT_EQ(OutputView::FindResult::Found, view.Find("dragon", true, false));
    EXPECT_TRUE(MatchIs(10, 14, 20));
    EXPECT_EQ(OutputView::FindResult::Wrapped, view.Find("dragon", true, false));
    EXPECT_TRUE(MatchIs(190, 13, 19));

    // Matching case skips "Dragon"; a lone match wraps onto itself.
    EXPECT_EQ(OutputView::FindResult::Wrapped, view.Find("Dragon", false, true));
    EXPECT_TRUE(MatchIs(10, 14, 20));
    EXPECT_EQ(OutputView::FindResult::Wrapped, view.Find("Dragon", false, true));
    EXPECT_TRUE(MatchIs(10, 14, 20));
    EXPECT_EQ(OutputView::FindResult::Found, view.Find("\xe6\x97\xa5 d", false, true));
    EXPECT_TRUE(MatchIs(120, 16, 20));

    EXPECT_EQ(OutputView::FindResult::NotFound, view.Find("griffin", false, false));
    EXPECT_FALSE(view.CurrentMatch());
    EXPECT_EQ(OutputView::FindResult::NotFound, view.Find("", false, false));
}

TEST_F(OutputViewFindTest, TheMatchIsHighlighted)
{
    view.Find("dragon", true, false);
    ASSERT_TRUE(MatchIs(190, 13, 19));
    const int row = int(190 - view.TopLine());
    const QImage image = Render();
    // The highlight tints the back of the match's cells and nothing beside them.
    const QColor inside = CellColor(image, row, 13, 1, 1);
    EXPECT_GT(inside.red(), 60);
    EXPECT_GT(inside.green(), 40);
    EXPECT_EQ(QColor(0, 0, 0), CellColor(image, row, 12, 1, 1));
    EXPECT_EQ(QColor(0, 0, 0), CellColor(image, row, 19, 1, 1));
    view.ClearFind();
    EXPECT_EQ(QColor(0, 0, 0), CellColor(Render(), row, 13, 1, 1));
}

TEST_F(OutputViewFindTest, TheFindBarWorksFromTheKeyboard)
{
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_F, Qt::ControlModifier);
    FindBar* bar = view.GetFindBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_TRUE(ProcessUntil([&] { return bar->TextField()->hasFocus(); }));

    // Typing finds from the top of the view onwards.
    QTest::keyClicks(bar->TextField(), "dragon");
    EXPECT_TRUE(MatchIs(190, 13, 19));
    EXPECT_EQ("", bar->Status());
    QTest::keyClick(bar->TextField(), Qt::Key_Return);
    EXPECT_TRUE(MatchIs(10, 14, 20));
    EXPECT_EQ("Wrapped around", bar->Status());
    QTest::keyClick(bar->TextField(), Qt::Key_Return);
    EXPECT_TRUE(MatchIs(120, 9, 15));
    EXPECT_EQ("", bar->Status());
    QTest::keyClick(bar->TextField(), Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_TRUE(MatchIs(10, 14, 20));
    QTest::keyClick(bar->TextField(), Qt::Key_F3);
    EXPECT_TRUE(MatchIs(120, 9, 15));
    QTest::keyClicks(bar->TextField(), "fly");
    EXPECT_EQ("Not found", bar->Status());
    EXPECT_FALSE(view.CurrentMatch());

    // Escape closes the bar, drops the highlight and gives the focus back.
    QTest::keyClick(bar->TextField(), Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(ProcessUntil([&] { return view.hasFocus(); }));
    // F3 in the view looks again with the text kept.
    bar->TextField()->setText("the dragon");
    QTest::keyClick(&view, Qt::Key_F3);
    EXPECT_TRUE(MatchIs(190, 9, 19));
}

TEST_F(OutputViewFindTest, AMatchThatLeavesTheBufferIsForgotten)
{
    view.Find("red Dragon", false, true);
    ASSERT_TRUE(MatchIs(10, 10, 20));
    client.ExecuteLine("||option scrollsize 50", false, false);
    Receive("more\r\n");
    ASSERT_TRUE(Settle());
    EXPECT_FALSE(Render().isNull());
    EXPECT_EQ(OutputView::FindResult::NotFound, view.Find("red Dragon", false, true));
    EXPECT_EQ(OutputView::FindResult::Wrapped, view.Find("dragon", false, false));
    EXPECT_TRUE(MatchIs(190, 13, 19));
}

}  // namespace
}  // namespace zel::test
