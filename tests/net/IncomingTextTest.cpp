// Received text on its way to the output: byte rules, escape sequences, pieces, the prompt
// line. Exact read boundaries go through StreamReplay; timing across reads through a socket.
#include <gtest/gtest.h>

#include "NetTestClient.h"
#include "TestClient.h"
#include "display/SgrTable.h"
#include "net/StreamReplay.h"

namespace zel::test {
namespace {

// Records every piece handed to the output, in order.
class Pieces : public TestClient {
public:
    Pieces() { Run("|option scrollsize 100000"); }
    std::string Received(std::string_view stream, size_t readSize = 4096)
    {
        replay.Receive(stream, readSize);
        return Output();
    }
    std::string Output()
    {
        const OutputBuffer& out = client.Output();
        std::string text;
        for (uint64_t n = out.LineBase(); n < out.End(); ++n) {
            text.append(out.Line(n)->Text());
            if (out.Line(n)->Ended()) text += '\n';
        }
        return text;
    }
    StreamReplay replay{client};
};

std::string Clean(Pieces& p)
{
    p.client.Output().Clear();
    return {};
}

TEST(IncomingText, ControlBytesTabsAndLineEnds)
{
    Pieces p;
    Clean(p);
    EXPECT_EQ(p.Received("abc\r\ndef"), "abc\ndef");
    p.Run("|option compact on");
    Clean(p);
    EXPECT_EQ(p.Received("abc\r\ndef\n"), "abcdef");
    p.Run("|option compact off");
    Clean(p);
    // Bell, form feed and NUL never arrive; a backspace does its work in the buffer.
    EXPECT_EQ(p.Received(std::string("a\a\fb\0c\bd\r\n", 10)), "abd\n");
    Clean(p);
    EXPECT_EQ(p.Received("x\ty\r\n"), "x        y\n");
    EXPECT_EQ(p.replay.LinesReceived(), 5);

    // A tab at line position 4088 or beyond is dropped; just below it still expands.
    Clean(p);
    std::string block = std::string(4087, 'a') + "\t" + "b";
    std::string out = p.Received(block);
    EXPECT_EQ(out.size(), 4087u + 8 + 1);
    Clean(p);
    block = std::string(4088, 'a') + "\t" + "b";
    EXPECT_EQ(p.Received(block), std::string(4088, 'a') + "b");
}

TEST(IncomingText, NoTextOfAReadIsLostToLineEnds)
{
    Pieces p;
    Clean(p);
    // Bare line feeds expand to two bytes each; the whole read still arrives.
    std::string block;
    while (block.size() + 9 <= 4096) block += "12345678\n";
    const std::string out = p.Received(block);
    EXPECT_EQ(out, block);
}

TEST(IncomingText, EscapeSequencesAreCompletedBeforeTheyAreHandedOn)
{
    Pieces p;
    Clean(p);
    // The sequence is cut by the read: the completion reads on to its letter.
    p.replay.Receive("red:\x1b[3", 8);
    p.replay.Receive("1mR\x1b[0m\r\n");
    EXPECT_EQ(p.Output(), "red:R\n");
    const OutputLine* line = p.client.Output().Line(p.client.Output().End() - 1);
    ASSERT_EQ(line->Runs().size(), 2u);
    EXPECT_EQ(p.client.Output().Format(line->Runs()[1].format).textColor, AnsiColor(1, false));

    // A sequence that never ends reads a bounded amount and goes on.
    Clean(p);
    std::string endless = "\x1b[" + std::string(100000, '1') + "mtext\r\n";
    p.Received(endless);
    EXPECT_NE(p.Output().find("text\n"), std::string::npos);
}

TEST(IncomingText, AutomaticPromptKeepsTheOpenLineOutOfTheOutput)
{
    Pieces p;
    p.Run("|prompt auto");
    EXPECT_EQ(p.host.Count("layout"), 1);
    Clean(p);
    EXPECT_EQ(p.Received("You see a troll.\r\n<100hp> "), "You see a troll.\n");
    EXPECT_EQ(p.client.PendingPrompt(), "<100hp> ");
    // The next block prints it first, so the output reads as if it had not been split.
    EXPECT_EQ(p.Received("The troll hits you.\r\n"),
              "You see a troll.\n<100hp> The troll hits you.\n");
    EXPECT_EQ(p.client.PendingPrompt(), "");
    // A block ending with a line end leaves no prompt.
    p.Received("line\r\n");
    EXPECT_EQ(p.client.PendingPrompt(), "");
    // A prompt after many lines is still found.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "line " + std::to_string(i) + "\r\n";
    p.Received(many + "HP:5> ");
    EXPECT_EQ(p.client.PendingPrompt(), "HP:5> ");
    // A sent line prints it before itself.
    Clean(p);
    p.Run("flee");
    EXPECT_EQ(p.Output(), "HP:5> flee\nNot connected\n");

    // Text before and after a telnet command is printed once each, also when the block
    // ends in an unended line.
    Clean(p);
    p.Received("first\r\n\xff\xf9second> ");
    EXPECT_EQ(p.Output(), "first\n");
    EXPECT_EQ(p.client.PendingPrompt(), "second> ");
    p.Received("\r\n");
    EXPECT_EQ(p.Output(), "first\nsecond> \n");

    // A line cut by the read is held as the prompt; text before a command in the next
    // block follows it, not precedes it.
    Clean(p);
    p.Received("The long line is cu");
    p.Received("t here.\r\n\xff\xf9HP> ");
    EXPECT_EQ(p.Output(), "The long line is cut here.\n");
}

TEST(IncomingText, PromptCommand)
{
    Pieces p;
    p.Run("|prompt set  HP: 100");
    EXPECT_EQ(p.client.PromptLine().text, "  HP: 100");
    EXPECT_TRUE(p.client.PromptLine().shown);
    EXPECT_EQ(p.host.Count("layout"), 1);
    p.Run("|prompt SET again");
    EXPECT_EQ(p.host.Count("layout"), 1);
    p.Run("|prompt clear");
    EXPECT_FALSE(p.client.PromptLine().shown);
    EXPECT_EQ(p.client.PromptLine().text, " again");
    EXPECT_EQ(p.host.Count("layout"), 2);
    p.Run("|prompt set back");
    EXPECT_TRUE(p.client.PromptLine().shown);
    EXPECT_EQ(p.client.PromptLine().text, " back");
    EXPECT_TRUE(p.Run("|prompt").empty());
    EXPECT_TRUE(p.Run("|prompt whatever").empty());
    EXPECT_EQ(p.host.Count("layout"), 3);
}

TEST(IncomingText, ScrollRateHandsOnInSteps)
{
    Pieces p;
    p.Run("|option scrollrate 2");
    p.Run("|prompt auto");
    Clean(p);
    p.Received("a> ");
    // The pending prompt goes out at the first step, before the lines of the block.
    p.Received("\r\nb\r\nc\r\nd> ");
    EXPECT_EQ(p.Output(), "a> \nb\nc\n");
    EXPECT_EQ(p.client.PendingPrompt(), "d> ");
}

TEST(IncomingText, WithActionsSwitchedOffTextStillArrives)
{
    Pieces p;
    p.client.SetActionsEnabled(false);
    p.Run("|prompt auto");
    Clean(p);
    EXPECT_EQ(p.Received("plain\r\n> "), "plain\n");
    EXPECT_EQ(p.client.PendingPrompt(), "> ");
}

TEST(IncomingText, AnEndlessLineStaysBounded)
{
    NetTestClient t;
    ASSERT_TRUE(t.Connect());
    const std::string chunk(1 << 20, 'x');
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(t.server.Send(chunk));
    t.server.Send("\r\nend\r\n");
    EXPECT_TRUE(t.WaitForOutput("end\n", 20s));
    std::scoped_lock lock(t.client.OutputLock());
    EXPECT_LT(t.client.Output().MemoryUsage(), 16u << 20);
}

TEST(IncomingText, ColourCarriesAcrossReadsAndTelnetCommands)
{
    Pieces p;
    Clean(p);
    p.replay.Receive("\x1b[31mred across", 12);
    p.replay.Receive(" reads\xff\xf9 and GA\x1b[0m plain\r\n");
    const OutputBuffer& out = p.client.Output();
    const OutputLine* line = out.Line(out.End() - 1);
    EXPECT_EQ(line->Text(), "red across reads and GA plain");
    for (const TextRun& run : line->Runs()) {
        const bool red = run.end <= 23;
        EXPECT_EQ(out.Format(run.format).textColor == AnsiColor(1, false), red) << run.end;
    }
}

TEST(IncomingText, ASequenceSplitOverTheWireArrivesWhole)
{
    NetTestClient t;
    ASSERT_TRUE(t.Connect());
    t.server.Send("go \x1b[1;3");
    std::this_thread::sleep_for(50ms);
    t.server.Send("2mgreen\x1b[0m\r\n");
    ASSERT_TRUE(t.WaitForOutput("go green\n"));
    std::scoped_lock lock(t.client.OutputLock());
    const OutputBuffer& out = t.client.Output();
    for (uint64_t n = out.LineBase(); n < out.End(); ++n) {
        if (out.Line(n)->Text() != "go green") continue;
        ASSERT_EQ(out.Line(n)->Runs().size(), 2u);
        EXPECT_EQ(out.Format(out.Line(n)->Runs()[1].format).textColor, AnsiColor(2, false));
        EXPECT_EQ(out.Format(out.Line(n)->Runs()[1].format).weight, 700);
    }
}

}  // namespace
}  // namespace zel::test
