// The input line: clear modes, bindings of the three kinds, the line's own actions and
// unbound keys, through the real client and its default bindings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LineEditClient.h"
#include "input/InternalActions.h"

namespace zel {
namespace {

using test::LineEditClient;
using Lines = std::vector<std::string>;

constexpr KeyCode kControl = key::kControl;
constexpr KeyCode kShift = key::kShift;
constexpr KeyCode kAlt = key::kAlt;

std::string Variable(LineEditClient& t, const std::string& name)
{
    std::scoped_lock lock(t.client.DefinitionLock());
    const zel::Variable* v = t.client.Variables().Find(name);
    return v ? v->value : "<none>";
}

TEST(InputLine, ClearModeOnEmptiesTheLine)
{
    LineEditClient t;
    t.Enter("|variable add v 1");
    EXPECT_EQ(Variable(t, "v"), "1");
    EXPECT_EQ(t.Text(), "");
    EXPECT_TRUE(t.controller.Line().ShowsExecutedCommand());
    EXPECT_FALSE(t.controller.Line().Changed());
    // RETURN on the empty line sends an empty command.
    t.printed.clear();
    t.Press(key::kReturn);
    EXPECT_EQ(t.printed, (Lines{"", "Not connected"}));
}

TEST(InputLine, ClearModesMixAndOffKeepTheCommandSelected)
{
    for (const char* mode : {"mix", "off"}) {
        LineEditClient t;
        t.Run(std::string("|option clear ") + mode);
        EXPECT_EQ(t.client.GetOptions().clearMode, std::string(mode) == "off" ? 0 : 1);
        t.Enter("|variable add v 1");
        EXPECT_EQ(t.Text(), "|variable add v 1") << mode;
        EXPECT_TRUE(t.Selected(0, t.Text().size())) << mode;

        // RETURN again without typing sends an empty command, not the same one twice.
        t.printed.clear();
        t.Press(key::kReturn);
        EXPECT_EQ(t.printed, (Lines{"", "Not connected"})) << mode;
        EXPECT_EQ(t.HistoryLines(), Lines{"|variable add v 1"}) << mode;

        // The first letter typed replaces the executed command.
        t.Type("|variable add v 2");
        EXPECT_EQ(t.Text(), "|variable add v 2") << mode;
        t.Press(key::kReturn);
        EXPECT_EQ(Variable(t, "v"), "2") << mode;
    }
}

TEST(InputLine, BindingsOfEachKind)
{
    LineEditClient t;
    t.Run("|bind exec F7 {|variable add v seven}");
    t.Run(t.client.Utf8ToEngine("|bind insert F6 {h\xC3\xA9llo}"));
    t.Run("|bind action F8 select_all");

    t.Type("abc");
    t.Press(key::Function(6));
    EXPECT_EQ(t.Text(), "abch\xC3\xA9llo");
    EXPECT_TRUE(t.controller.Line().Changed());
    t.Press(key::Function(8));
    EXPECT_TRUE(t.Selected(0, t.Text().size()));

    // An EXEC binding runs its command as typed: recorded, and the line is emptied (mode on).
    t.Press(key::Function(7));
    EXPECT_EQ(Variable(t, "v"), "seven");
    EXPECT_EQ(t.HistoryLines(), Lines{"|variable add v seven"});
    EXPECT_EQ(t.Text(), "");
}

TEST(InputLine, UnboundKeysInsertTheirNames)
{
    LineEditClient t;
    t.Press(key::Function(5));     // a function key is never typing
    t.Press(kControl | 'J');       // Control combination
    t.Press(kAlt | kShift | 'P');  // Alt combination
    t.Press(kShift | 0x10);        // a modifier alone is swallowed
    EXPECT_EQ(t.Text(), "F5CONTROL+JSHIFT+ALT+P");
    // The terminal's control owns Ctrl-W: it deletes the word instead.
    t.Type(" go");
    t.Press(kControl | 'W');
    EXPECT_EQ(t.Text(), "F5CONTROL+JSHIFT+ALT+P ");
    // AltGr (Control with Alt) is typing; RETURN and ESCAPE are swallowed when unbound.
    t.Run("|bind delete RETURN");
    t.Run("|bind delete ESCAPE");
    t.controller.Line().Edit().SetText("");
    t.Press(kControl | kAlt | 'Q', "@");
    t.Press(key::kReturn, "\r");
    t.Press(key::kEscape, "\x1B");
    EXPECT_EQ(t.Text(), "@");
}

TEST(InputLine, ForceKeyCodeShowsTheNextKey)
{
    LineEditClient t;
    t.Press(kControl | key::kTab);  // FORCE_KEYCODE
    EXPECT_TRUE(t.controller.Line().ForcingKeyCode());
    t.Press(kControl | 0x11);  // a modifier alone does not end it
    t.Press(kControl | key::kUp);
    EXPECT_EQ(t.Text(), "CONTROL+UP");
    EXPECT_FALSE(t.controller.Line().ForcingKeyCode());
    t.Press(kControl | key::kUp);  // now scrolls: nothing inserted
    EXPECT_EQ(t.Text(), "CONTROL+UP");
    EXPECT_GE(t.host.Count("ui 16"), 1);
}

TEST(InputLine, OwnActions)
{
    LineEditClient t;
    t.Type("a\xC3\xA9z");
    t.Press(key::kLeft);
    t.Press(key::kLeft);
    t.Press(key::kDelete);  // DEL: the character after the caret, é whole
    EXPECT_EQ(t.Text(), "az");
    t.Press(kControl | key::kSpace);   // HARD_SPACE
    t.Press(kControl | key::kReturn);  // HARD_RETURN
    EXPECT_EQ(t.Text(), "a\\ \\r\\nz");
    t.Press(kControl | 'A');  // SELECT_ALL
    EXPECT_TRUE(t.Selected(0, t.Text().size()));
    t.Press(kControl | 'C');  // CLIP_COPY
    t.Press(kControl | 'Q');  // SELECT_NONE: caret to the end
    EXPECT_TRUE(t.Selected(t.Text().size(), t.Text().size()));
    t.Press(kControl | 'V');  // CLIP_PASTE
    EXPECT_EQ(t.Text(), "a\\ \\r\\nza\\ \\r\\nz");
    t.Press(key::kInsert);  // INSERT: nothing
    EXPECT_EQ(t.Text(), "a\\ \\r\\nza\\ \\r\\nz");

    // CLEAR empties the line; on an empty line it performs ESCAPE.
    const int escapes = t.host.Count("ui 13");
    t.Press(key::kEscape);
    EXPECT_EQ(t.Text(), "");
    EXPECT_EQ(t.host.Count("ui 13"), escapes);
    t.Press(key::kEscape);
    EXPECT_EQ(t.host.Count("ui 13"), escapes + 1);
    // Each own action reached through a key ends with HIST_DESELECT.
    EXPECT_GE(t.host.Count("ui 43"), 8);
}

TEST(InputLine, ExecutesInTheEngineFormWithinTheCapacity)
{
    LineEditClient t;
    t.Enter("say caf\xC3\xA9");
    ASSERT_EQ(t.HistoryLines().size(), 1u);
    EXPECT_EQ(t.HistoryLines()[0], t.client.Utf8ToEngine("say caf\xC3\xA9"));

    // A binding's text longer than the command buffer is cut to it.
    t.controller.Line().Execute(std::string(5000, 'x'));
    EXPECT_EQ(t.HistoryLines().back(), std::string(kInputCapacity, 'x'));
}

}  // namespace
}  // namespace zel
