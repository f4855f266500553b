// The main window's layout in exact pixels for each position of the scroll-back window.
#include <gtest/gtest.h>

#include "window/WindowLayout.h"

namespace zel {
namespace {

// A client area of 1000 by 700: status bar 18, toolbar 26, lines 16, history 3 x 15.
LayoutInput Area(int scrollPos, bool on, bool prompt = true)
{
    LayoutInput in;
    in.width = 1000;
    in.height = 700;
    in.toolbarHeight = 26;
    in.lineHeight = 16;
    in.historyHeight = 45;
    in.promptShown = prompt;
    in.scrollPos = scrollPos;
    in.scrollHeight = 40;
    in.scrollWidth = 30;
    in.scrollBackOn = on;
    return in;
}

TEST(WindowLayout, BottomRowsAreTheSameForEveryScrollPosition)
{
    for (int pos : {0, 1, 2, 3, 7}) {
        const ChildRects r = ComputeLayout(Area(pos, false));
        EXPECT_EQ(r.statusBar, QRect(0, 682, 1000, 18)) << pos;
        EXPECT_EQ(r.toolbar, QRect(0, 656, 1000, 26)) << pos;
        EXPECT_EQ(r.buttonWidth, 111) << pos;
        // Input line above the toolbar, history list above it, a seam, the prompt line.
        EXPECT_EQ(r.input, QRect(0, 640, 1000, 16)) << pos;
        EXPECT_EQ(r.history, QRect(-2, 595, 1004, 45)) << pos;
        EXPECT_EQ(r.prompt, QRect(0, 578, 1001, 16)) << pos;
        // Hidden: the output spans the full width from the top to the prompt line.
        EXPECT_EQ(r.output, QRect(0, 0, 1000, 578)) << pos;
        EXPECT_TRUE(r.scrollBack.isEmpty()) << pos;
    }
}

TEST(WindowLayout, ScrollBackWindowAtEachPosition)
{
    const struct {
        int pos;
        QRect scrollBack, output, input, history, prompt;
    } cases[] = {
        // Top: 40% of the output height, less the seam.
        {1, QRect(0, 0, 1000, 230), QRect(0, 231, 1000, 347), QRect(0, 640, 1000, 16),
         QRect(-2, 595, 1004, 45), QRect(0, 578, 1001, 16)},
        // Left: 30% less the seam, full height above the toolbar; the column moves right.
        {2, QRect(0, 0, 299, 656), QRect(300, 0, 700, 578), QRect(300, 640, 700, 16),
         QRect(298, 595, 704, 45), QRect(300, 578, 701, 16)},
        // Right: after the seam.
        {3, QRect(701, 0, 299, 656), QRect(0, 0, 700, 578), QRect(0, 640, 700, 16),
         QRect(-2, 595, 704, 45), QRect(0, 578, 701, 16)},
        // Any other position is none, even when switched on.
        {4, QRect(), QRect(0, 0, 1000, 578), QRect(0, 640, 1000, 16), QRect(-2, 595, 1004, 45),
         QRect(0, 578, 1001, 16)},
    };
    for (const auto& c : cases) {
        const LayoutInput in = Area(c.pos, true);
        const ChildRects r = ComputeLayout(in);
        EXPECT_EQ(ShownScrollPosition(in), c.pos == 4 ? 0 : c.pos);
        EXPECT_EQ(r.scrollBack, c.scrollBack) << c.pos;
        EXPECT_EQ(r.output, c.output) << c.pos;
        EXPECT_EQ(r.input, c.input) << c.pos;
        EXPECT_EQ(r.history, c.history) << c.pos;
        EXPECT_EQ(r.prompt, c.prompt) << c.pos;
    }
}

TEST(WindowLayout, HiddenPromptFullscreenAndTinyAreas)
{
    LayoutInput in = Area(1, true, false);
    in.toolbarHeight = 0;  // fullscreen
    ChildRects r = ComputeLayout(in);
    EXPECT_EQ(r.toolbar.height(), 0);
    EXPECT_EQ(r.input, QRect(0, 666, 1000, 16));
    EXPECT_EQ(r.history, QRect(-2, 621, 1004, 45));
    EXPECT_EQ(r.prompt.height(), 0);
    // B = 621 - 0 - 1 = 620; Sh = 40 * 620 / 100 - 1 = 247.
    EXPECT_EQ(r.scrollBack, QRect(0, 0, 1000, 247));
    EXPECT_EQ(r.output, QRect(0, 248, 1000, 372));

    // Smaller than its children: nothing gets a negative size.
    in.width = 3;
    in.height = 20;
    r = ComputeLayout(in);
    for (const QRect& rect : {r.output, r.scrollBack, r.prompt, r.history, r.input, r.toolbar})
        EXPECT_TRUE(rect.width() >= 0 && rect.height() >= 0);
    EXPECT_EQ(r.buttonWidth, 0);
}

}  // namespace
}  // namespace zel
