// The command line interpreter through ExecuteLine: splitting, escapes, substitution,
// alias expansion, dispatch, quiet commands and repetition. Without a connection every sent
// line is shown by its local echo (with its CR LF) followed by "Not connected".
#include <gtest/gtest.h>

#include <random>

#include "TestClient.h"

namespace zel::test {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kNC = "Not connected";

void DefineAlias(TestClient& t, const std::string& name, const std::string& body)
{
    std::scoped_lock lock(t.client.DefinitionLock());
    t.client.Aliases().Insert(name).command = body;
}

void DefineVariable(TestClient& t, const std::string& name, const std::string& value)
{
    std::scoped_lock lock(t.client.DefinitionLock());
    t.client.Variables().Insert(name).value = value;
}

struct Case {
    const char* line;
    Lines out;
};

void ExpectCases(TestClient& t, std::initializer_list<Case> cases)
{
    for (const Case& c : cases) EXPECT_EQ(t.Run(c.line), c.out) << "line: " << c.line;
}

TEST(Interpreter, SplitsSegmentsAtTheSplitCharacter)
{
    TestClient t;
    ExpectCases(t, {
                       {"", {"", kNC}},
                       {"north", {"north", kNC}},
                       {"a;", {"a", kNC}},
                       {"a;;b", {"a", kNC, "", kNC, "b", kNC}},
                       {"say hi\\;there", {"say hi;there", kNC}},
                       {"{say a;b}", {"{say a;b}", kNC}},
                       {"a};b", {"a};b", kNC}},
                       {"{a\\;b}", {"{a;b}", kNC}},  // escape kept in a group, then substituted
                       {"a\nb", {"a", kNC, "b", kNC}},
                   });
}

TEST(Interpreter, SubstitutesEscapesAndVariables)
{
    TestClient t;
    DefineVariable(t, "hp", "10");
    DefineVariable(t, "x", "ex");
    ExpectCases(t, {
                       {"a\\qb", {"aqb", kNC}},
                       {"ab\\", {"ab", kNC}},  // the escape takes the CR of the line end
                       {"a\\\\b", {"a\\b", kNC}},
                       {"a\\tb", {"a\tb", kNC}},
                       {"a\\nb", {"a", "b", kNC}},
                       {"hp $hp", {"hp 10", kNC}},
                       {"$hp$%", {"10%", kNC}},
                       {"$hp2", {"102", kNC}},
                       {"$mana.", {".", kNC}},
                       {"$$hp", {"$hp", kNC}},
                       {"price 5$", {"price 5$", kNC}},
                       {"$_note$x", {"x", kNC}},
                       {"$@nope(1)x", {"Unrecognised function: 'nope'", "x", kNC}},
                       {"$@nope x", {"Unrecognised function: 'nope'", "x", kNC}},
                   });
}

TEST(Interpreter, ExpandsAliasArgumentsAgainstTheTypedLine)
{
    TestClient t;
    DefineAlias(t, "k", "kill $1");
    DefineAlias(t, "ka", "kill $*");
    DefineAlias(t, "k0", "say $0 $1$s $2");
    DefineAlias(t, "k2", "get $*2");
    DefineAlias(t, "kd", "x $$1");
    DefineAlias(t, "ne", "n;e");
    DefineAlias(t, "n", "north");
    DefineAlias(t, "outer", "k $2 ignored");
    ExpectCases(t, {
                       {"k orc", {"kill orc", kNC}},
                       {"k", {"kill ", kNC}},
                       {"ka orc", {"kill  orc", kNC}},
                       {"k0 orc", {"say k0 orcs ", kNC}},
                       {"k2 a b c", {"get  b c", kNC}},
                       {"k {big orc}", {"kill big orc", kNC}},
                       {"kd v", {"x ", kNC}},  // "$$1" gives "$v", an undefined variable
                       {"ne", {"n", kNC, "e", kNC}},
                       {"n;n", {"n", kNC, "n", kNC}},
                       {"outer a b", {"kill a", kNC}},  // a body naming an alias is replaced
                       {"k orc;look", {"kill orc", kNC, "look", kNC}},  // $1 is "orc;look"
                       {"nx", {"nx", kNC}},
                   });
}

TEST(Interpreter, ReportsRecursiveAliasesAndSendsNothing)
{
    TestClient t;
    DefineAlias(t, "a", "b");
    DefineAlias(t, "b", "a");
    DefineAlias(t, "self", "self");
    DefineAlias(t, "grow", "$0 $0");
    EXPECT_EQ(t.Run("a"), Lines{"Recursive alias encountered!"});
    EXPECT_EQ(t.Run("self x"), Lines{"Recursive alias encountered!"});
    EXPECT_TRUE(t.client.History().Lines().empty());
    // An expansion that grows forever is stopped at the nesting bound, not by the stack.
    Lines out = t.Run("grow");
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0], "Too many nested commands!");
}

TEST(Interpreter, DispatchesByAbbreviationAndQuietMark)
{
    TestClient t;
    ExpectCases(t, {
                       {"|HELP", {"Unrecognised command: 'HELP'"}},
                       {"||xyz", {"Unrecognised command: 'xyz'"}},
                       {"|||x", {"Unrecognised command: '|x'"}},
                       {"|", {}},
                       {"| help", {"Unrecognised command: ''"}},
                       {"|he zzz", {"|help [command]"}},
                       {"||he zzz", {}},
                       {"|rem anything at all", {}},
                       {"|q", {"You have to type |quit, no more, no less!"}},
                   });
    EXPECT_EQ(t.host.Count("close"), 1);
}

TEST(Interpreter, RepetitionPrefixRunsTheRestWithoutEchoOrHistory)
{
    TestClient t;
    EXPECT_EQ(t.Run("|3 north"), (Lines{kNC, kNC, kNC}));
    EXPECT_EQ(t.client.History().Lines().back(), "|3 north");
    EXPECT_EQ(t.Run("|0 north"), Lines{});
    EXPECT_EQ(t.Run("|2"), (Lines{kNC, kNC}));
    Lines help = t.Run("|2|help zzz");
    EXPECT_EQ(help, (Lines{"|help [command]", "|help [command]"}));
}

TEST(Interpreter, HistoryKeepsTypedLinesLongerThanTheIgnoreLength)
{
    TestClient t;
    t.client.GetOptions().historyIgnore = 3;
    t.Run("abc");
    t.Run("abcd");
    t.client.SetServerEcho(true);
    t.Run("secret");
    ASSERT_EQ(t.client.History().Lines().size(), 1u);
    EXPECT_EQ(t.client.History().Lines().front(), "abcd");
    // While the server echoes, typed text is not shown either.
    EXPECT_EQ(t.Run("secret"), Lines{kNC});
}

TEST(Interpreter, SmallCommands)
{
    const Case cases[] = {
        {"|e hi", {"hi"}},  // no line end of its own
        {"|echo a\\nb", {"a", "b"}},
        {"|send north\\r\\n", {kNC}},
        {"|receive some text\\n", {"some text"}},
        {"|help bi",
         {"", "HELP bi", "|bind <add|exec|insert|action|delete|view|list> ...",
          "manages key bindings (macros)"}},
        {"|help |alias", {"", "HELP |alias", "|alias <add|delete> ...", "manages aliases"}},
        {"|help bind add exec",
         {"", "HELP bind add exec", "|bind add exec <key> <command> [description]",
          "binds a command to a key - the command is executed directly without "
          "affecting the input line"}},
        {"|exec ls", {"'exec' is not available yet"}},
        {"!ls", {"'external command' is not available yet"}},
        {"$@exec(ls)", {"'exec' is not available yet", "", kNC}},
    };
    for (const Case& c : cases) {
        TestClient fresh;
        EXPECT_EQ(fresh.Run(c.line), c.out) << "line: " << c.line;
    }
    TestClient t;
    t.Run("|nonsense");
    EXPECT_EQ(t.printed[0].format.textColor, t.client.Formats()[OutputFormat::Error].textColor);
    t.Run("|help zzz");
    EXPECT_EQ(t.printed[0].format.textColor, t.client.Formats()[OutputFormat::System].textColor);
    t.Run("|flash");
    EXPECT_EQ(t.host.Count("flash on"), 5);
    EXPECT_EQ(t.host.Count("flash off"), 5);
    t.Run("|beep 48");
    EXPECT_EQ(t.host.Count("beep 48"), 1);
    t.Run("|beep");
    EXPECT_EQ(t.host.Count("beep 4294967295"), 1);
}

TEST(Interpreter, HelpListsEveryEntry)
{
    TestClient t;
    Lines out = t.Run("|help");
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[0], "");
    EXPECT_EQ(out[1], "Implemented commands:");
    // 127 entries; two span two lines and two end in a line end of their own.
    EXPECT_EQ(out.size(), 2u + 127 + 2 + 2);
    EXPECT_EQ(out[2], "|action <add|delete|disable|enable> ...");
    EXPECT_EQ(out.back(), "|write <filename>");
    EXPECT_EQ(t.client.Commands().Entries().size(), 127u);
}

TEST(Interpreter, CommandCharacterRewritesSyntaxAndCompletions)
{
    TestClient t;
    {
        std::scoped_lock lock(t.client.DefinitionLock());
        t.client.Completions().Insert("|mine");
        t.client.Completions().Insert("other");
    }
    t.client.SetCommandChar('#');
    EXPECT_EQ(t.Run("#help connect"),
              (Lines{"", "HELP connect", "#connect <host> <port>", "|connect <session_name>",
                     "connects to a remote server - breaks any existing connection"}));
    EXPECT_EQ(t.Run("|help"), (Lines{"|help", kNC}));
    std::scoped_lock lock(t.client.DefinitionLock());
    const auto& completions = t.client.Completions();
    EXPECT_EQ(completions.Find("|mine"), nullptr);
    EXPECT_EQ(completions.Find("|help"), nullptr);
    ASSERT_NE(completions.Find("#help"), nullptr);
    EXPECT_EQ(completions.Find("#help")->description, "#help [command]");
    EXPECT_NE(completions.Find("other"), nullptr);
    EXPECT_EQ(completions.Size(), 127u + 1);
}

TEST(Interpreter, SubstitutionRulesAtTheEndOfTheText)
{
    TestClient t;
    const struct {
        std::string_view in, out;
    } cases[] = {{"ab\\", "ab\\"}, {"$", "$"},  {"$_", "$_"},
                 {"$@", "$@"},     {"$@x", ""}, {"\\e\\a\\b\\f\\v", "\x1b\a\b\f\v"},
                 {"$hp$", ""}};
    std::string out;
    for (const auto& c : cases) {
        t.client.SubstituteText(c.in, out);
        EXPECT_EQ(out, c.out) << c.in;
    }
    t.client.SubstituteText("abcdef", out, 4);
    EXPECT_EQ(out, "abc");
}

TEST(Interpreter, PrintLineMakesControlBytesVisible)
{
    TestClient t;
    t.client.PrintLine(OutputFormat::System, "a\tb\\c\xE9\x01\x1b");
    EXPECT_EQ(t.Texts(), Lines{"a\\tb\\\\c\xC2\xB7\xC2\xB7\\e"});
    t.client.PrintLine(OutputFormat::System, std::string(20000, '\t'));
    EXPECT_EQ(t.Texts().back().size(), 16383u);
}

TEST(Interpreter, CapacitiesCutLongInput)
{
    TestClient t;
    DefineVariable(t, "big", std::string(10000, 'v'));
    // A value is inserted whole or not at all.
    Lines out = t.Run("$big $big");
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], std::string(10000, 'v') + " ");
    // A megabyte line is cut to one command line, and keeps its line end: the next output
    // is a line of its own.
    out = t.Run(std::string(1 << 20, 'x'));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], std::string(16381, 'x'));
    EXPECT_EQ(out[1], "Not connected");
    DefineAlias(t, "k", "kill $1");
    out = t.Run("k " + std::string(1 << 20, 'y'));
    ASSERT_FALSE(out.empty());
    for (const auto& line : out) EXPECT_LE(line.size(), 16384u);
}

TEST(Interpreter, SurvivesRandomLines)
{
    TestClient t;
    DefineAlias(t, "a", "$1;$*;|e $0");
    DefineVariable(t, "v", "{;}$");
    std::mt19937 random(7);
    static const char kAlphabet[] = "|;\\${}!.@_*0123456789 \t\n\raehlrsv\0\xff\x1b";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);
    for (int i = 0; i < 3000; ++i) {
        std::string line;
        size_t length = random() % 40;
        for (size_t j = 0; j < length; ++j) line += alphabet[random() % alphabet.size()];
        // Keep clear of commands that wait on purpose.
        if (line.find("sl") != std::string::npos || line.find('f') != std::string::npos) continue;
        bool longCount = false;
        for (size_t j = 1; j < line.size(); ++j)
            longCount |= IsDigit(line[j - 1]) && IsDigit(line[j]);
        if (longCount) continue;
        t.client.ExecuteLine(line, true, true);
    }
    EXPECT_LE(t.client.Output().LineCount(), 16384u);
}

}  // namespace
}  // namespace zel::test
