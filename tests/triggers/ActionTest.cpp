// Actions: the command and its messages, and what received text looks like after them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "TestClient.h"
#include "ThreadTime.h"
#include "WaitUntil.h"
#include "display/SgrTable.h"
#include "net/NetTestClient.h"
#include "net/StreamReplay.h"
#include "triggers/PatternFacts.h"
#include "triggers/PosixRegex.h"

namespace zel::test {
namespace {

// Runs lines; the output is read back with its runs.
class Actions : public ::testing::Test {
protected:
    std::vector<std::string> Run(const std::string& line) { return t.Run(line); }
    // Receives `text` as `receive` does and returns the lines it printed.
    std::vector<std::string> Receive(const std::string& text)
    {
        t.printed.clear();
        t.client.ProcessIncomingText(text, true);
        return t.Texts();
    }
    const OutputLine& LastLine()
    {
        const OutputBuffer& out = t.client.Output();
        return *out.Line(out.End() - 1);
    }
    TestClient t;
};

TEST_F(Actions, AddListDeleteAndTheirMessages)
{
    EXPECT_EQ(
        Run("|action add greet {^You ([a-z]+)} {say \\$1} {textcolor=light_red} {hi}"),
        std::vector<std::string>{
            "ACTION {greet} : {^You ([a-z]+)} --> {say $1} {textcolor=light_red} {hi} added"});
    EXPECT_TRUE(t.client.SettingsChanged());
    Run("|action add x.y.plain {troll}");
    EXPECT_EQ(Run("|action"),
              (std::vector<std::string>{
                  "Defined ACTIONS:",
                  "greet                ENABLED  --> {say $1} {hi} {textcolor=light_red}",
                  "plain                ENABLED  --> {} {} {}"}));
    EXPECT_EQ(Run("|action delete plain"), std::vector<std::string>{"UNACTION <group> <action>"});
    EXPECT_EQ(Run("|action delete grp plain"),
              std::vector<std::string>{"ACTION {grp} {plain} removed"});
    EXPECT_EQ(Run("|action delete grp plain"),
              std::vector<std::string>{"ACTION {grp} {plain} not defined"});
    EXPECT_TRUE(Run("|action add").empty());

    // A pattern that does not compile is kept, said, and never matches.
    const auto bad = Run("|action add bad {a(} {|echo never}");
    ASSERT_EQ(bad.size(), 2u);
    EXPECT_TRUE(bad[1].starts_with("ACTION {bad} : the pattern {a(} does not compile: ")) << bad[1];
    EXPECT_EQ(Receive("a( a(\r\n"), std::vector<std::string>{"a( a("});

    // Repetitions whose expansion would take the regex library seconds to compile, or to
    // match one long line, are refused at once. Measured in this thread's processor time,
    // which a loaded machine does not stretch.
    const auto start = ThreadTime();
    for (const std::string& pattern :
         {"o" + std::string(24, '+'), std::string("(.{1,100}){1,100}"), std::string("x{2049}"),
          std::string("((((((((((((a+)+)+)+)+)+)+)+)+)+)+)+)")}) {
        const auto refused = Run("|action add slow {" + pattern + "} {|echo never}");
        ASSERT_EQ(refused.size(), 2u) << pattern;
        EXPECT_THAT(refused[1], ::testing::HasSubstr("Repetitions too large")) << pattern;
    }
    EXPECT_LT(ThreadTime() - start, std::chrono::seconds(1));
    // What players write stays well inside the limit.
    for (const char* pattern :
         {"^(\\w+) tells you '(.*)'$", ".{1,255}", "[0-9]{1,3}(\\.[0-9]{1,3}){3}",
          "([a-z]+ ){1,50}x", "a{2,}b+[]{}]+[[:alpha:]]{3}"})
        EXPECT_EQ(Run(std::string("|action add fine {") + pattern + "}").size(), 1u) << pattern;
    EXPECT_EQ(ExpandedPatternSize("a{3}(b+c){2,4}"), 3u + 4 * (2 + 1 + 1));
}

TEST_F(Actions, BackReferencesAreRefusedAndCannotFreezeTheClient)
{
    const auto refused = Run("|action add bad {(a+)+\\\\1$} {|echo never}");
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_THAT(refused[1], ::testing::HasSubstr("Back-references are not supported"));
    // Kept, listed, never matching: a server line that took the C library minutes passes
    // at once.
    const auto start = ThreadTime();
    EXPECT_EQ(Receive(std::string(1000, 'a') + "\r\n"),
              std::vector<std::string>{std::string(1000, 'a')});
    EXPECT_LT(ThreadTime() - start, std::chrono::seconds(5));
    // A backslash digit inside brackets, or an escaped backslash before a digit, is none.
    for (const char* pattern : {"[\\\\1]x", "a\\\\\\\\1", "\\\\.5"})
        EXPECT_EQ(Run(std::string("|action add fine {") + pattern + "}").size(), 1u) << pattern;
}

TEST_F(Actions, TableOrderDecidesAndEveryLineFires)
{
    Run("|action add alpha {troll} {|echo alpha}");
    Run("|action add Beta {troll} {|echo Beta}");
    EXPECT_EQ(Receive("a troll\r\n"), std::vector<std::string>{"a trollBeta"});

    Run("|action delete x alpha");
    Run("|action delete x Beta");
    Run("|action add you {^You ([a-z]+)} {|echo [\\$1]}");
    EXPECT_EQ(Receive("You hit.\r\nYou miss.\r\nThey dodge.\r\n"),
              (std::vector<std::string>{"You hit[hit].", "You miss[miss].", "They dodge."}));
    // The group carries no line end.
    Run("|action add whole {^The .*$} {|echo <\\$0>}");
    EXPECT_EQ(Receive("The end\r\n"), (std::vector<std::string>{"The end", "<The end>"}));
}

TEST_F(Actions, FormatAndReplacementShapeTheOutput)
{
    Run("|action add red {troll} {} {textcolor=light_red}");
    Receive("a troll here\r\n");
    const OutputLine& line = LastLine();
    ASSERT_EQ(line.Text(), "a troll here");
    ASSERT_EQ(line.Runs().size(), 3u);
    const OutputBuffer& out = t.client.Output();
    TextFormat red;
    ParseFormat("textcolor=light_red", red);
    EXPECT_NE(out.Format(line.Runs()[0].format).textColor, red.textColor);
    EXPECT_EQ(out.Format(line.Runs()[1].format).textColor, red.textColor);
    EXPECT_EQ(line.RunStart(1), 2u);
    EXPECT_EQ(line.Runs()[1].end, 7u);
    EXPECT_NE(out.Format(line.Runs()[2].format).textColor, red.textColor);

    // An empty replacement gags the match and still runs the command.
    Run("|action delete x red");
    Run("|action add gag {secret [0-9]+} {|echo ran} {} {}");
    EXPECT_EQ(Receive("the secret 42 is out\r\n"), std::vector<std::string>{"the ran is out"});
    Run("|action add swap {orc} {} {} {goblin \\$0}");
    EXPECT_EQ(Receive("an orc\r\n"), std::vector<std::string>{"an goblin orc"});
}

TEST_F(Actions, SwitchesAndDisabledFlags)
{
    Run("|action add one {ping} {|echo !}");
    EXPECT_EQ(Run("|action disable"), std::vector<std::string>{"All ACTIONS disabled"});
    EXPECT_FALSE(t.client.ActionsEnabled());
    // receive runs the actions even with the switch off.
    EXPECT_EQ(Receive("ping\r\n"), std::vector<std::string>{"ping!"});
    EXPECT_EQ(Run("|action enable grp"), std::vector<std::string>{"ACTIONS enabled"});
    EXPECT_EQ(Run("|action disable grp one"),
              std::vector<std::string>{"ACTION 'grp' - 'one' disabled"});
    Run("|action disable");
    Run("|action enable");
    EXPECT_EQ(Receive("ping\r\n"), std::vector<std::string>{"ping"});
    EXPECT_EQ(Run("|action enable grp one"),
              std::vector<std::string>{"ACTION 'grp' - 'one' enabled"});
    EXPECT_EQ(Run("|action enable grp none"), std::vector<std::string>{"No ACTION 'grp' - 'none'"});
    Run("|action disable grp one");
    // Adding under the same name replaces it, enabled.
    Run("|action add one {pong} {|echo ?}");
    EXPECT_EQ(Receive("ping pong\r\n"), std::vector<std::string>{"ping pong?"});
}

TEST_F(Actions, FeedbackAndSelfChangeAreBounded)
{
    // A receive inside an action's command shows nothing and triggers nothing.
    Run("|action add loop {bell} {|receive {bell again}}");
    EXPECT_EQ(Receive("bell\r\n"), std::vector<std::string>{"bell"});
    // An action that deletes itself and adds another mid-piece.
    Run("|action add once {tick} {||action delete x once;||action add next {tock} {|echo +}}");
    EXPECT_EQ(Receive("tick tock tick\r\n").back(), "tick tock+ tick");
    // Empty matches end the piece without looping.
    Run("|action add empty {x*} {}");
    EXPECT_EQ(Receive("abc\r\n").back(), "abc");
}

TEST(PatternFacts, LiteralsAndLinesAreProvenConservatively)
{
    const auto literal = [](std::string_view p) { return AnalysePattern(p).literal; };
    EXPECT_EQ(literal("^You ([a-z]+) tells you"), " tells you");
    EXPECT_EQ(literal("colou?r of!"), "r of!");
    EXPECT_EQ(literal("xab+c"), "xab");
    EXPECT_EQ(literal("ab+cd"), "bcd");
    EXPECT_EQ(literal("a\\.b"), "a.b");
    EXPECT_EQ(literal("\\w+ arrives"), " arrives");
    EXPECT_EQ(literal("cat|dog"), "");
    EXPECT_EQ(literal("x{2,3}yz"), "yz");
    EXPECT_EQ(literal("[]ab]cd"), "cd");
    EXPECT_EQ(literal("(foo|bar) baz"), " baz");
    EXPECT_TRUE(AnalysePattern("^You .* here$").singleLine);
    EXPECT_FALSE(AnalysePattern("a[[:space:]]b").singleLine);
    EXPECT_FALSE(AnalysePattern("a\nb").singleLine);
    EXPECT_FALSE(AnalysePattern("a[\t-\r]b").singleLine);
    EXPECT_TRUE(AnalysePattern("a[^x]b").singleLine);
}

TEST(ActionsOnTheWire, TextSplitAcrossReadsAndPromptsFire)
{
    NetTestClient t;
    t.Run("|action add tell {([A-Z][a-z]+) .*tells you '(.*)'} {reply \\$1 \\$2}");
    t.Run("|action add hp {^HP:([0-9]+)> } {hp \\$1}");
    t.Run("|prompt auto");
    ASSERT_TRUE(t.Connect());
    // Cut after an IAC: the next read completes the command, and the text before it is one
    // piece for the actions.
    const std::string first = "Gandalf \x1b[1mtells you 'run'\xff";
    t.server.Send(first);
    ASSERT_TRUE(WaitUntil(
        [&] { return t.client.GetConnection().BytesReceived() == int32_t(first.size()); }));
    t.server.Send("\xf9\r\nHP:42> ");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "reply Gandalf run\r\n");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "hp 42\r\n");
    t.server.Send("Frodo tells you 'hi'\r\n");
    EXPECT_EQ(t.server.ReceiveUntil("\r\n"), "reply Frodo hi\r\n");
    // Commands run where their match is; a prompt's action sent a line, which printed the
    // prompt before its echo. The server's line ends stay in the order they came.
    EXPECT_TRUE(
        t.WaitForOutput("Gandalf tells you 'run'reply Gandalf run\n\nHP:42> hp 42\n"
                        "Frodo tells you 'hi'reply Frodo hi\n\n"))
        << t.Output();
}

}  // namespace
}  // namespace zel::test
