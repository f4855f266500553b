// Tab completion over the completion store, completion add and delete, and the syntax tip.
#include <gtest/gtest.h>

#include <string>

#include "LineEditClient.h"

namespace zel {
namespace {

using test::LineEditClient;

constexpr const char* kBeep = "beep 4294967295";
constexpr KeyCode kShiftTab = key::kShift | key::kTab;

TEST(Completion, TabCyclesThroughMatchesThenBeeps)
{
    LineEditClient t;
    t.Run("|complete add {kill orc}");
    t.Run("|complete add {kill troll}");
    t.Type("kill");
    t.Press(key::kTab);
    EXPECT_EQ(t.Text(), "kill orc");
    t.Press(key::kTab);
    EXPECT_EQ(t.Text(), "kill troll");
    t.Press(key::kTab);
    EXPECT_EQ(t.host.Count(kBeep), 1);
    EXPECT_EQ(t.Text(), "kill troll");
    t.Press(kShiftTab);
    EXPECT_EQ(t.Text(), "kill orc");
    t.Press(kShiftTab);  // nothing before it
    EXPECT_EQ(t.host.Count(kBeep), 2);
    EXPECT_EQ(t.Text(), "kill orc");

    // Typing ends the cycle: the new text is the prefix, and nothing begins with it.
    t.Type(" x");
    t.Press(key::kTab);
    EXPECT_EQ(t.host.Count(kBeep), 3);
    EXPECT_EQ(t.Text(), "kill orc x");
    EXPECT_EQ(t.edit.Caret(), t.Text().size());

    // Only the command at the caret is replaced; a new backward cycle takes the last match.
    t.Press(key::kEscape);  // any other key ends the cycle
    t.edit.SetText("look;kill tr;north");
    t.edit.Select(12, 12);
    t.Press(key::kTab);
    EXPECT_EQ(t.Text(), "look;kill troll;north");
    EXPECT_EQ(t.edit.Caret(), 15u);
    t.Press(key::kEscape);
    t.Type("say x;ki");
    t.Press(kShiftTab);
    EXPECT_EQ(t.Text(), "say x;kill troll");
}

TEST(Completion, AddAndDeleteTheCommandAtTheCaret)
{
    LineEditClient t;
    const auto has = [&t](const std::string& name) {
        std::scoped_lock lock(t.client.DefinitionLock());
        return t.client.Completions().Find(name) != nullptr;
    };
    t.Type("north;go home");
    t.Press(key::kAlt | key::kInsert);  // COMPLETION_ADD
    EXPECT_TRUE(has("go home"));
    EXPECT_TRUE(t.client.SettingsChanged());
    EXPECT_EQ(t.host.Count("refresh"), 1);
    t.Press(key::kAlt | key::kDelete);  // COMPLETION_DEL
    EXPECT_FALSE(has("go home"));
    t.edit.SetText("");
    t.Press(key::kAlt | key::kInsert);  // nothing at the caret: nothing added
    EXPECT_EQ(t.host.Count("refresh"), 2);
}

TEST(SyntaxTip, CommandEntryWithTheArgumentHighlighted)
{
    LineEditClient t;
    t.Type("|bind ");
    EXPECT_EQ(t.view.scheduled, 100);
    EXPECT_FALSE(t.view.tip);
    t.controller.RefreshTip();  // the timer fired
    ASSERT_TRUE(t.view.tip);
    EXPECT_EQ(t.view.tip->highlight, 1);
    EXPECT_EQ(t.view.tip->syntax, "|bind <add|exec|insert|action|delete|view|list> ...");

    // While shown, the tip follows each key at once.
    t.Type("add ");
    ASSERT_TRUE(t.view.tip);
    EXPECT_EQ(t.view.tip->syntax, "|bind add <exec|insert|action> <key> <command> [description]");
    EXPECT_EQ(t.view.tip->description, "Creates a key binding");
    EXPECT_EQ(t.view.tip->highlight, 2);
    EXPECT_EQ(t.view.tip->backColor, kCommandTipColor);
    EXPECT_EQ(t.view.tip->commandStart, 0u);
    const int shows = t.view.shows;
    t.controller.RefreshTip();  // the same tip is not shown again
    EXPECT_EQ(t.view.shows, shows);

    // Later in the line, quiet form, abbreviated: the tip goes under the command.
    t.edit.SetText("north; ||bind a");
    t.controller.RefreshTip();
    ASSERT_TRUE(t.view.tip);
    EXPECT_EQ(t.view.tip->syntax, "|bind action <key> <command> [description]");
    EXPECT_EQ(t.view.tip->commandStart, 7u);
    EXPECT_EQ(t.view.tip->highlight, 1);

    t.edit.SetText("|nosuchcommand x");
    t.controller.RefreshTip();
    EXPECT_FALSE(t.view.tip);
}

TEST(SyntaxTip, AliasesAndSyntaxesAndMissingDescriptions)
{
    LineEditClient t;
    t.Run("|alias add gg {go north}");
    t.Run("|syntax add cast {cast <spell> <target>} {casts a spell}");
    const struct {
        std::string text, syntax, description;
        Color back;
    } cases[] = {
        {"gg fast", "gg --> go north", std::string(kNoDescription), kAliasTipColor},
        {"look;cast fireball", "cast <spell> <target>", "casts a spell", kSyntaxTipColor},
    };
    for (const auto& c : cases) {
        t.edit.SetText(c.text);
        t.controller.RefreshTip();
        ASSERT_TRUE(t.view.tip) << c.text;
        EXPECT_EQ(t.view.tip->syntax, c.syntax);
        EXPECT_EQ(t.view.tip->description, c.description);
        EXPECT_EQ(t.view.tip->backColor, c.back);
        EXPECT_EQ(t.view.tip->highlight, -1);
    }
    t.edit.SetText("unknown words here");
    t.controller.RefreshTip();
    EXPECT_FALSE(t.view.tip);
}

TEST(SyntaxTip, NothingWhileTipsAreOff)
{
    LineEditClient t;
    t.Run("|alias add gg {go north}");
    t.Run("|option tips off");
    EXPECT_FALSE(t.client.GetOptions().tips);
    for (const char* text : {"|bind add ", "gg", "|help"}) {
        t.edit.SetText("");
        t.Type(text);
        t.controller.RefreshTip();
        EXPECT_FALSE(t.view.tip) << text;
    }
    EXPECT_EQ(t.view.shows, 0);
}

}  // namespace
}  // namespace zel
