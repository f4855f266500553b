// The bind command, driven as typed lines: its forms, messages, formats and effects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestClient.h"
#include "input/BindingMap.h"
#include "input/KeyNames.h"

namespace zel {
namespace {

using test::TestClient;
using Lines = std::vector<std::string>;

// clang-format off
TEST(BindCommand, Messages)
{
    const struct { Lines lines; Lines expected; } cases[] = {
        {{"|bind add exec F5 {say hi}"}, {"BIND EXEC {00000074} (F5) --> {say hi} added"}},
        {{"|bind add ins ^b text more"}, {"BIND INSERT {00200042} (CONTROL+B) --> {text} added"}},
        {{"|bind ADD Act f5 scroll_left"}, {"BIND ACTION {00000074} (F5) --> {SCROLL_LEFT} added"}},
        {{"|bind add e alt-x north"}, {"BIND EXEC {01000058} (ALT+X) --> {north} added"}},
        {{"|bind exec 0xBA n"}, {"BIND EXEC {000000BA} ([BA]) --> {n} added"}},
        {{"|bind INSERT F5 x"}, {"BIND INSERT {00000074} (F5) --> {x} added"}},
        {{"|bind action a.b.F5 Quit"}, {"BIND ACTION {00000074} (F5) --> {QUIT} added"}},
        {{"|bind add exec F5 a", "|bind add insert F5 b"},
         {"BIND INSERT {00000074} (F5) --> {b} added"}},
        // Nothing at all without a kind, a readable key or a command.
        {{"|bind add bogus F5 x"}, {}}, {{"|bind add {} F5 x"}, {}},
        {{"|bind add exec CONTROL+ x"}, {}}, {{"|bind exec xyz x"}, {}},
        {{"|bind add exec F5"}, {}}, {{"|bind add exec F5 {}"}, {}}, {{"|bind add"}, {}},
        {{"|bind"}, {}}, {{"|bind frob F5 x"}, {}}, {{"|bind execute F5 x"}, {}},
        {{"|bind act F5 quit"}, {}},  // abbreviated kinds only after add
        {{"|bind view F5"}, {"BIND {00000074} (F5) not defined"}},
        {{"|bind view RETURN"}, {"BIND ACTION {0000000D} (RETURN) --> {EXEC}"}},
        {{"|bind exec F5 x", "|bind VIEW f5"}, {"BIND EXEC {00000074} (F5) --> {x}"}},
        {{"|bind view"}, {"Key not supplied"}}, {{"|bind view CONTROL+"}, {"Key not supplied"}},
        {{"|bind delete F5"}, {"BIND 00000074 (F5) removed"}},
        {{"|bind exec F5 x", "|bind Delete F5", "|bind view F5"},
         {"BIND {00000074} (F5) not defined"}},
        {{"|bind delete ctrl+a"}, {"BIND 00200041 (CONTROL+A) removed"}},
        {{"|bind delete"}, {"bind delete <keycode>"}}, {{"|bind delete ^"}, {"bind delete <keycode>"}},
        {{"|option achars ()", "|bind exec F5 (a b)"}, {"BIND EXEC (00000074) (F5) --> (a b) added"}},
        {{"|bind insert F6 {a\\tb}"}, {"BIND INSERT {00000075} (F6) --> {a\\tb} added"}},
    };
    for (const auto& c : cases) {
        TestClient t;
        EXPECT_EQ(t.RunLast(c.lines), c.expected) << c.lines.back();
        for (const auto& printed : t.printed)
            EXPECT_EQ(printed.format.textColor, t.client.Formats()[OutputFormat::System].textColor)
                << printed.text;
    }
}
// clang-format on

TEST(BindCommand, UnknownActionIsAnErrorAndChangesNothing)
{
    for (const char* line :
         {"|bind add action F5 NONE", "|bind action RETURN none", "|bind action F5 SCROLL"}) {
        TestClient t;
        EXPECT_EQ(t.Run(line), Lines{"Invalid internal action"}) << line;
        EXPECT_EQ(t.printed.at(0).format.textColor,
                  t.client.Formats()[OutputFormat::Error].textColor);
        EXPECT_EQ(t.client.Bindings().Find(0x74), nullptr) << line;
        EXPECT_EQ(t.client.Bindings().Find(0x0D)->command, "EXEC") << line;
        EXPECT_FALSE(t.client.SettingsChanged()) << line;
    }
}

TEST(BindCommand, FieldsOfTheRecord)
{
    TestClient t;
    t.RunAll({"|bind exec F5 {say hi} my  key", "|bind insert F6 text {grouped} tail",
              "|bind action F7 exec_3 third", "|bind exec F8 kill$*"});
    const BindingMap& map = t.client.Bindings();
    const struct {
        KeyCode code;
        BindingKind kind;
        std::string command, description;
        int action;
    } expected[] = {
        {0x74, BindingKind::Exec, "say hi", "my  key", 0},
        {0x75, BindingKind::Insert, "text", "grouped", 0},
        {0x76, BindingKind::Action, "exec_3", "third", 5},  // the name as typed
        {0x77, BindingKind::Exec, "kill$*", "", 0},
    };
    for (const auto& e : expected) {
        const KeyBinding* b = map.Find(e.code);
        ASSERT_NE(b, nullptr) << e.code;
        EXPECT_EQ(b->kind, e.kind) << e.code;
        EXPECT_EQ(b->command, e.command) << e.code;
        EXPECT_EQ(b->description, e.description) << e.code;
        EXPECT_EQ(b->action, e.action) << e.code;
    }
}

TEST(BindCommand, Listings)
{
    TestClient t;
    t.RunAll({"|bind delete ctrl+a", "|bind exec F5 {say hi}", "|bind insert ^F5 text",
              "|bind exec 0xBA north"});
    const Lines all = t.Run("|bind list");
    ASSERT_EQ(all.size(), 1 + 52 - 1 + 3);
    EXPECT_EQ(all[0], "Defined NONE bindings:");
    EXPECT_EQ(all[1], "00000009 TAB                  --> COMPLETION_NEXT");
    EXPECT_EQ(all.back(), "01040038 SHIFT+ALT+8          --> SETUP_NEW_SCRIPT");
    EXPECT_EQ(t.printed[0].format.textColor, t.client.Formats()[OutputFormat::Header].textColor);
    EXPECT_EQ(t.printed[1].format.textColor, t.client.Formats()[OutputFormat::System].textColor);
    EXPECT_EQ(t.Run("|bind list foo"), all);

    EXPECT_EQ(t.Run("|bind list exec"),
              (Lines{"Defined EXEC bindings:", "00000074 F5                   --> say hi",
                     "000000BA [BA]                 --> north"}));
    EXPECT_EQ(t.Run("|bind list INS"),
              (Lines{"Defined INSERT bindings:", "00200074 CONTROL+F5           --> text"}));
    const Lines actions = t.Run("|bind list a");
    EXPECT_EQ(actions.size(), 1u + 51u);
    EXPECT_EQ(actions[0], "Defined ACTION bindings:");
    EXPECT_EQ(t.Run("|bind list e"), t.Run("|bind list {EXEC}"));
}

TEST(BindCommand, SettingsChangedAndSetupDialogRefresh)
{
    const struct {
        const char* line;
        bool changed;
    } cases[] = {
        {"|bind exec F5 x", true},
        {"|bind delete F5", true},
        {"|bind delete F5", true},
        {"|bind view RETURN", false},
        {"|bind list", false},
        {"|bind add exec F5", false},
        {"|bind action F5 NONE", false},
        {"|bind delete", false},
        {"||bind insert F9 quietly", true},
        {"|bind", false},
    };
    for (const auto& c : cases) {
        TestClient t;
        t.Run(c.line);
        EXPECT_EQ(t.client.SettingsChanged(), c.changed) << c.line;
        EXPECT_EQ(t.host.Count("refresh"), 1) << c.line;
    }
    TestClient t;
    EXPECT_EQ(t.Run("||bind insert F9 quietly"), Lines{});
    EXPECT_EQ(t.client.Bindings().Find(0x78)->command, "quietly");
}

}  // namespace
}  // namespace zel
