// Recording typed lines in the history and browsing it from the input line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineEditClient.h"
#include "input/InternalActions.h"

namespace zel {
namespace {

using test::LineEditClient;
using Lines = std::vector<std::string>;

constexpr const char* kBeep = "beep 4294967295";

void EnterAll(LineEditClient& t, const Lines& lines)
{
    for (const auto& line : lines) t.Enter(line);
}

TEST(CommandHistory, AddFollowsTheCursor)
{
    CommandHistory history;
    history.SetTotalSize(3);
    EXPECT_TRUE(history.Add("a"));
    EXPECT_FALSE(history.Add("a"));  // the last entry again
    history.Add("b");
    history.Add("c");
    history.SetCursor(0);
    EXPECT_TRUE(history.Add("a"));  // recalled: moves to the end, the list stays full
    EXPECT_EQ(history.Lines(), (std::deque<std::string>{"b", "c", "a"}));
    EXPECT_FALSE(history.Cursor());
    history.SetCursor(2);
    EXPECT_FALSE(history.Add("a"));  // the last entry recalled and run again
    history.SetCursor(1);
    EXPECT_TRUE(history.Add("d"));  // the recalled entry, edited, replaces it
    EXPECT_EQ(history.Lines(), (std::deque<std::string>{"b", "a", "d"}));
    history.SetCursor(7);
    EXPECT_FALSE(history.Cursor());
    history.SetCursor(0);
    history.SetTotalSize(2);  // the cursor's entry is dropped: no cursor
    EXPECT_FALSE(history.Cursor());
    EXPECT_EQ(history.Lines(), (std::deque<std::string>{"a", "d"}));
}

TEST(History, IgnoreLimitAndRepeats)
{
    LineEditClient t;
    t.Run("|option histignore 2");
    EnterAll(t, {"n", "ne", "north", "north", "look", "north"});
    EXPECT_EQ(t.HistoryLines(), (Lines{"north", "look", "north"}));
}

TEST(History, RecalledEntryMovesToTheEndEditedOneIsAppended)
{
    LineEditClient t;
    EnterAll(t, {"alpha", "beta", "gamma"});
    t.Press(key::kUp);
    t.Press(key::kUp);
    EXPECT_EQ(t.Text(), "beta");
    EXPECT_EQ(t.client.History().Cursor(), std::optional<size_t>(1));
    EXPECT_TRUE(t.controller.HistoryActive());
    t.Press(key::kReturn);
    EXPECT_EQ(t.HistoryLines(), (Lines{"alpha", "gamma", "beta"}));
    EXPECT_FALSE(t.client.History().Cursor());
    EXPECT_FALSE(t.controller.HistoryActive());

    // Typing ends browsing: the edited text is new, the recalled entry stays.
    t.Press(key::kUp);
    t.Press(key::kUp);
    t.Press(key::kUp);
    EXPECT_EQ(t.Text(), "alpha");
    t.Type("x");
    EXPECT_FALSE(t.client.History().Cursor());
    EXPECT_FALSE(t.controller.HistoryActive());
    t.Press(key::kReturn);
    EXPECT_EQ(t.HistoryLines(), (Lines{"alpha", "gamma", "beta", "alphax"}));
    EXPECT_EQ(t.view.active, (std::vector<bool>{true, false, true, false}));
}

TEST(History, PrefixSearch)
{
    LineEditClient t;
    EnterAll(t, {"kill orc", "look", "kick rat", "north"});
    t.Type("ki");
    t.Press(key::kUp);
    EXPECT_EQ(t.Text(), "kick rat");
    t.Press(key::kUp);
    EXPECT_EQ(t.Text(), "kill orc");
    EXPECT_EQ(t.controller.SearchPrefix(), "ki");
    // Past the oldest match: a beep, no cursor, the line as it was.
    t.Press(key::kUp);
    EXPECT_EQ(t.host.Count(kBeep), 1);
    EXPECT_EQ(t.Text(), "kill orc");
    EXPECT_FALSE(t.client.History().Cursor());
    // DOWN from no cursor looks at the last entry only; UP starts from the end again, the
    // prefix kept.
    t.Press(key::kDown);
    EXPECT_EQ(t.host.Count(kBeep), 2);
    EXPECT_EQ(t.Text(), "kill orc");
    t.Press(key::kUp);
    EXPECT_EQ(t.Text(), "kick rat");

    // Nothing begins with the typed text: a beep, the line unchanged.
    t.Press(key::kEscape);
    t.Type("zz");
    EXPECT_EQ(t.controller.SearchPrefix(), "");
    t.Press(key::kUp);
    EXPECT_EQ(t.host.Count(kBeep), 3);
    EXPECT_EQ(t.Text(), "zz");
}

TEST(History, AfterExecutionAllEntriesMatch)
{
    // In mode "off" the executed command stays in the line; browsing right after it is not
    // filtered by it, and typing after a recall edits the recalled text.
    LineEditClient t;
    t.Run("|option clear off");
    EnterAll(t, {"look", "north"});
    t.Press(key::kUp);
    t.Press(key::kUp);
    EXPECT_EQ(t.Text(), "look");
    t.Type("!");
    EXPECT_EQ(t.Text(), "look!");
    t.Press(key::kReturn);
    EXPECT_EQ(t.HistoryLines(), (Lines{"look", "north", "look!"}));
}

TEST(History, PagesTopBottomAndRun)
{
    LineEditClient t;
    t.view.pageSize = 2;
    EnterAll(t, {"a1", "a2", "a3", "a4", "a5", "a6"});
    const auto perform = [&t](InternalAction action) {
        t.client.PerformInternalAction(int(action));
        return t.Text();
    };
    EXPECT_EQ(perform(InternalAction::HistPageUp), "a5");
    EXPECT_EQ(perform(InternalAction::HistPageUp), "a3");
    EXPECT_EQ(perform(InternalAction::HistTop), "a1");
    EXPECT_EQ(perform(InternalAction::HistPageDown), "a3");
    EXPECT_EQ(perform(InternalAction::HistBottom), "a6");
    EXPECT_EQ(perform(InternalAction::HistPageDown), "a6");  // past the end: the last
    EXPECT_EQ(perform(InternalAction::HistPageUp), "a4");
    // HIST_RUN runs the entry under the cursor like a typed line: it moves to the end.
    perform(InternalAction::HistRun);
    EXPECT_EQ(t.HistoryLines(), (Lines{"a1", "a2", "a3", "a5", "a6", "a4"}));
    EXPECT_FALSE(t.client.History().Cursor());
    // An empty history does nothing but refresh the tip.
    LineEditClient empty;
    EXPECT_EQ(empty.controller.KeyPress(key::kUp), true);
    EXPECT_EQ(empty.host.Count(kBeep), 0);
    EXPECT_EQ(empty.view.scheduled, 100);
}

}  // namespace
}  // namespace zel
