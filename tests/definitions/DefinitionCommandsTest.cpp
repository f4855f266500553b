// The alias, syntax, variable and complete commands, driven as typed lines.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <latch>
#include <string>
#include <vector>

#include "HeadlessRun.h"
#include "TestClient.h"

namespace zel {
namespace {

using test::TestClient;
using Lines = std::vector<std::string>;

// clang-format off
TEST(DefinitionCommands, MessagesOfAddShowAndDelete)
{
    const struct { Lines lines; Lines expected; } cases[] = {
        {{"|alias add x y"}, {"ALIAS {x} --> {y} added"}},
        {{"|alias add x y", "|alias add x"}, {"ALIAS {x} --> {y}"}},
        {{"|alias add x"}, {"ALIAS {x} not defined"}},
        {{"|alias add x {}"}, {"ALIAS {x} not defined"}},
        {{"|alias add x y", "|alias add x z"}, {"ALIAS {x} --> {z} added"}},
        {{"|alias delete x"}, {"ALIAS {x} removed"}},
        {{"|alias delete"}, {"UNALIAS <alias>"}},
        {{"|alias ADD x y", "|alias DeLeTe x"}, {"ALIAS {x} removed"}},
        {{"|syntax add k {k <who>} d"}, {"SYNTAX {k} --> {k <who>} added"}},
        {{"|syntax add k {k <who>}", "|syntax add k"}, {"SYNTAX {k} --> {k <who>}"}},
        {{"|syntax add k"}, {"SYNTAX {k} not defined"}},
        {{"|syntax delete k"}, {"SYNTAX {k} removed"}},
        {{"|syntax delete"}, {"UNSYNTAX <syntax>"}},
        {{"|variable add hp 100"}, {"VARIABLE {hp} --> {100} added"}},
        {{"|variable add hp 100", "|variable add hp"}, {"VARIABLE {hp} --> {100}"}},
        {{"|variable add hp"}, {"VARIABLE {hp} not defined"}},
        {{"|variable delete hp"}, {"VARIABLE {hp} removed"}},
        {{"|variable delete"}, {"VARIABLE delete <name>"}},
        {{"|complete add fireball a spell"}, {"COMPLETE {fireball} added"}},
        {{"|complete delete fireball"}, {"COMPLETION {fireball} removed"}},
        {{"|complete delete"}, {"UNCOMPLETE <completion>"}},
        // Empty names do nothing and say nothing.
        {{"|alias add"}, {}}, {{"|alias add {} y"}, {}}, {{"|variable add a. 1"}, {}},
        {{"|complete add"}, {}}, {{"|syntax add {}"}, {}},
        // Texts are wrapped in the argument characters in force.
        {{"|option achars ()", "|alias add x y"}, {"ALIAS (x) --> (y) added"}},
        {{"|option achars <>", "|variable add <a b> <c d>"}, {"VARIABLE <a b> --> <c d> added"}},
        // Names keep their bytes; messages show them visible.
        {{"|alias add \xE9t\xE9 look"}, {"ALIAS {\xC2\xB7t\xC2\xB7} --> {look} added"}},
        {{"|complete add {a\tb}"}, {"COMPLETE {a\\tb} added"}},
    };
    for (const auto& c : cases) {
        TestClient t;
        EXPECT_EQ(t.RunLast(c.lines), c.expected) << c.lines.back();
        for (const auto& printed : t.printed)
            EXPECT_EQ(printed.format.textColor, t.client.Formats()[OutputFormat::System].textColor);
    }
}

TEST(DefinitionCommands, FieldsTakenFromTheArguments)
{
    const struct { Lines lines; std::string value, description; } cases[] = {
        {{"|alias add x {a b} {the desc}"}, "a b", "the desc"},
        {{"|alias add x a b  c"}, "a", "b  c"},
        {{"|alias add x a {b c} d"}, "a", "b c"},
        {{"|alias add x {a {b} c}"}, "a {b} c", ""},
        {{"|alias add x a old", "|alias add x b"}, "b", ""},  // a replacement sets every field
        {{"|syntax add x {h e a d} d e s c"}, "h e a d", "d e s c"},
        {{"|variable add x several  words here"}, "several  words here", ""},
        {{"|variable add x {grouped words} tail"}, "grouped words", ""},
        {{"|complete add x some description"}, "", "some description"},
        {{"|complete add x {in group} tail"}, "", "in group"},
        {{"|complete add x old", "|complete add x"}, "", ""},
        {{"|alias add a.b.x y"}, "y", ""}, {{"|alias add b.x y"}, "y", ""},
        {{"|alias add a..x y"}, "y", ""},  {{"|option ochar :", "|alias add a:x y"}, "y", ""},
        {{"|alias add c.x y", "|alias delete q.c.x"}, "", ""},
        {{"|variable add x 1", "|variable delete b.x"}, "", ""},
    };
    for (const auto& c : cases) {
        TestClient t;
        t.RunLast(c.lines);
        std::string value, description;
        if (const Alias* a = t.client.Aliases().Find("x")) {
            value = a->command;
            description = a->description;
        }
        if (const Syntax* s = t.client.Syntaxes().Find("x")) {
            value = s->header;
            description = s->description;
        }
        if (const Variable* v = t.client.Variables().Find("x")) value = v->value;
        if (const Completion* w = t.client.Completions().Find("x")) description = w->description;
        EXPECT_EQ(value, c.value) << c.lines.back();
        EXPECT_EQ(description, c.description) << c.lines.back();
    }
    TestClient t;
    t.Run("|alias add a.b.c.d y");  // only two qualifiers are dropped
    EXPECT_NE(t.client.Aliases().Find("c.d"), nullptr);
}

TEST(DefinitionCommands, ChangesMarkSettingsAndChangesOrShowsRefreshTheDialog)
{
    const struct { std::string line; bool changes, refreshes; } cases[] = {
        {"|alias add x y", true, true},    {"|alias delete nothing", true, true},
        {"|alias add x", false, true},     {"|alias", false, false},
        {"|alias add", false, false},      {"|alias delete", false, false},
        {"|variable add v 1", true, true}, {"|complete add w", true, true},
        {"|syntax add s", false, true},    {"|complete delete w", true, true},
    };
    for (const auto& c : cases) {
        TestClient t;
        t.client.ClearSettingsChanged();
        t.host.calls.clear();
        t.Run(c.line);
        EXPECT_EQ(t.client.SettingsChanged(), c.changes) << c.line;
        const auto refreshes = std::count(t.host.calls.begin(), t.host.calls.end(), "refresh");
        EXPECT_EQ(refreshes, c.refreshes ? 1 : 0) << c.line;
    }
}
// clang-format on

TEST(DefinitionCommands, QuietCommandsChangeButPrintNothing)
{
    TestClient t;
    for (const char* line : {"||alias add x y", "||variable add v one two", "||syntax add s h",
                             "||complete add w", "||alias add x", "||alias", "||alias delete"})
        EXPECT_EQ(t.Run(line), Lines{}) << line;
    EXPECT_EQ(t.client.Aliases().Find("x")->command, "y");
    EXPECT_EQ(t.client.Variables().Find("v")->value, "one two");
    EXPECT_NE(t.client.Syntaxes().Find("s"), nullptr);
    EXPECT_NE(t.client.Completions().Find("w"), nullptr);
    EXPECT_EQ(t.Run("||alias delete x"), Lines{});
    EXPECT_EQ(t.client.Aliases().Find("x"), nullptr);
    EXPECT_EQ(t.Run("|alias add z y"), Lines{"ALIAS {z} --> {y} added"});  // quiet has ended
}

TEST(DefinitionCommands, ListingsInByteOrderUnderTheirHeadings)
{
    TestClient t;
    t.RunLast({"|alias add b 2", "|alias add B 2", "|alias add a 1", "|alias add \xE9 3",
               "|alias add A 1", "|alias add a_very_long_alias_name_here y"});
    const Lines aliases{
        "Defined aliases:",
        "A                    --> {1}",
        "B                    --> {2}",
        "a                    --> {1}",
        "a_very_long_alias_name_here --> {y}",
        "b                    --> {2}",
        "\xC2\xB7                    --> {3}",
    };
    EXPECT_EQ(t.Run("|alias"), aliases);
    EXPECT_EQ(t.printed[0].format.textColor, t.client.Formats()[OutputFormat::Header].textColor);
    EXPECT_EQ(t.printed[1].format.textColor, t.client.Formats()[OutputFormat::System].textColor);
    EXPECT_EQ(t.Run("|alias list"), aliases);  // any word that is no subcommand lists

    t.RunLast({"|syntax add k {k <who>}", "|variable add hp 100 of 120", "|variable add Hp 1"});
    EXPECT_EQ(t.Run("|syntax"), (Lines{"Defined syntaxes:", "k                    --> {k <who>}"}));
    EXPECT_EQ(t.Run("|variable"), (Lines{"Defined variables:", "Hp                   --> 1",
                                         "hp                   --> 100 of 120"}));

    // Completions hold the command words too, which sort after letters.
    t.RunLast({"|complete add zap", "|complete add Zap"});
    const Lines completions = t.Run("|complete");
    ASSERT_GT(completions.size(), 3u);
    EXPECT_EQ(Lines(completions.begin(), completions.begin() + 3),
              (Lines{"Defined completions:", "Zap", "zap"}));
    EXPECT_NE(std::find(completions.begin(), completions.end(), "|alias"), completions.end());
    EXPECT_TRUE(std::is_sorted(completions.begin() + 1, completions.end()));
}

TEST(DefinitionCommands, CapacitiesCutNamesAndTexts)
{
    TestClient t;
    const std::string exact(kNameCapacity, 'n');
    t.Run("|alias add " + exact + " go");
    EXPECT_NE(t.client.Aliases().Find(exact), nullptr);
    t.Run("|variable add {" + std::string(kNameCapacity + 100, 'v') + "} 1");
    EXPECT_NE(t.client.Variables().Find(std::string(kNameCapacity, 'v')), nullptr);

    t.Run("|alias add long {" + std::string(40000, 'c') + "}");
    t.Run("|variable add long " + std::string(40000, 'w'));
    const std::string& command = t.client.Aliases().Find("long")->command;
    const std::string& value = t.client.Variables().Find("long")->value;
    EXPECT_LE(command.size(), kTextCapacity);
    EXPECT_GT(command.size(), kTextCapacity - 100);
    EXPECT_EQ(command, std::string(command.size(), 'c'));
    EXPECT_LE(value.size(), kTextCapacity);
    EXPECT_EQ(value, std::string(value.size(), 'w'));
    // Showing and listing entries at capacity is cut, not overrun.
    const Lines shown = t.Run("|alias add long");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_LT(shown[0].size(), kLineCapacity);
    EXPECT_EQ(t.Run("|variable").size(), 3u);
}

// An action's command runs with OutputLock held and may change a table, while the
// user-interface thread changes and lists tables. Neither may wait on the other.
TEST(DefinitionCommands, CommandsFromTwoThreadsDoNotDeadlock)
{
    NullHost host;  // the recording host is not made for two threads
    ClientWindow client(host, AllModules());
    std::latch start(2);
    auto run = [&client, &start](bool holdOutputLock) {
        start.arrive_and_wait();
        for (int i = 0; i < 5000; ++i) {
            const std::string n = std::to_string(i % 7);
            if (holdOutputLock) {
                std::scoped_lock lock(client.OutputLock());
                client.ExecuteLine("|variable add v" + n + " " + n, false, true);
            } else {
                client.ExecuteLine("|alias add a" + n + " x", false, true);
                client.ExecuteLine("|variable", false, true);
            }
        }
    };
    auto network = std::async(std::launch::async, run, true);
    auto ui = std::async(std::launch::async, run, false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    if (network.wait_until(deadline) != std::future_status::ready ||
        ui.wait_until(deadline) != std::future_status::ready) {
        ADD_FAILURE() << "definition commands deadlocked";
        std::fflush(nullptr);
        std::abort();  // the threads cannot be joined
    }
    EXPECT_EQ(client.Variables().Size(), 7u);
    EXPECT_EQ(client.Aliases().Size(), 7u);
}

TEST(DefinitionCommands, HeadlessSessionDefinesShowsAndUses)
{
    const test::HeadlessRun run = test::RunZelHeadless(
        "|alias add k {kill $1} fight\n|variable add who orc\n|alias\n"
        "|variable add who\n|echo [$who]\\n\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("ALIAS {k} --> {kill $1} added\nVARIABLE {who} --> {orc} added\n"
                           "Defined aliases:\nk                    --> {kill $1}\n"
                           "VARIABLE {who} --> {orc}\n[orc]\n"),
              std::string::npos)
        << run.out;
}

}  // namespace
}  // namespace zel
