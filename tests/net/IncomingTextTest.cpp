// Received text on its way to the output: byte rules, escape sequences, pieces, the prompt
// line. Exact read boundaries go through StreamReplay; timing across reads through a socket.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <set>
#include <vector>

#include "NetTestClient.h"
#include "RecordingConnectionClient.h"
#include "TestClient.h"
#include "ThreadTime.h"
#include "WaitUntil.h"
#include "display/SgrTable.h"
#include "net/IncomingText.h"
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
    EXPECT_TRUE(t.WaitForOutput("end\n"));
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
    const std::string first = "go \x1b[1;3";
    t.server.Send(first);
    ASSERT_TRUE(WaitUntil(
        [&] { return t.client.GetConnection().BytesReceived() == int32_t(first.size()); }));
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

// The stages' effects on a recording client for `stream` cut into reads at `cuts`, then the
// line wait passing: the log, the text handed on and the places in it where pieces meet.
struct Result {
    std::string log;
    std::string handed;
    std::set<size_t> joins;
};

struct Mode {
    bool automaticPrompt = false;
    bool compact = false;
    int32_t scrollRate = 0;
    bool actions = true;
};

Result ReceiveCut(std::string_view stream, std::initializer_list<size_t> cuts, Mode setup = {},
                  size_t readSize = 1 << 20)
{
    RecordingConnectionClient client;
    client.automaticPrompt = setup.automaticPrompt;
    client.options.compact = setup.compact;
    client.options.scrollRate = setup.scrollRate;
    client.actions = setup.actions;
    StreamReplay replay(client);
    size_t from = 0;
    for (size_t cut : cuts) {
        replay.ReceiveHeld(stream.substr(from, cut - from), readSize);
        from = cut;
    }
    replay.ReceiveHeld(stream.substr(from), readSize);
    replay.LineWaitPassed();
    Result result{client.Log(), {}, {}};
    bool afterText = false;
    for (const auto& entry : client.Entries()) {
        const bool text = entry.kind == "text" || entry.kind == "print";
        if (text && afterText) result.joins.insert(result.handed.size());
        if (text) result.handed += entry.text;
        afterText = text;
    }
    return result;
}

// Every position of a short stream; around the bounds and at a stride in a long one.
std::vector<size_t> CutsOf(size_t size)
{
    std::vector<size_t> cuts;
    for (size_t cut = 0; cut <= size; ++cut) {
        const size_t line = cut % IncomingText::kLineLimit;
        if (size < 1000 || cut < 20 || cut + 20 > size || cut % 97 == 0 || line < 4 ||
            line + 4 > IncomingText::kLineLimit || (cut > 4080 && cut < 4100))
            cuts.push_back(cut);
    }
    return cuts;
}

// Every cut of every stream gives the same log; the pieces of text meet where they meet
// unsplit, or after a line end: the actions never see a line that a read cut.
TEST(IncomingText, SameResultAtEverySplit)
{
    const std::string tabs =
        std::string(4087, 'a') + "\t" + "b\r\n" + std::string(4088, 'a') + "\tb";
    const std::string endless(IncomingText::kLineLimit * 2 + 10, 'x');
    const struct {
        std::string stream;
        Mode setup;
        std::string log;
    } cases[] = {
        {"abc\r\ndef", {}, "text:abc%0D%0Adef"},
        {"abc\r\ndef\n", {.compact = true}, "text:abcdef"},
        {std::string("a\a\fb\0c\bd\r\n", 10), {}, "text:abc%08d%0D%0A"},
        {"x\ty\r\n", {}, "text:x        y%0D%0A"},
        {tabs,
         {},
         "text:" + std::string(4087, 'a') + "        b%0D%0A" + std::string(4088, 'a') + "b"},
        {"a\xFF\xFF"
         "b\r\n",
         {},
         "text:a%FFb%0D%0A"},
        // Escape sequences stay whole; their bytes follow the byte rules.
        {"red:\x1b[31mR\x1b[0m\r\n", {}, "text:red:%1B[31mR%1B[0m%0D%0A"},
        {"\x1b[1\a;3\nm\x1b\x1b[2J.", {}, "text:%1B[1;3%0D%0Am%1B%1B[2J."},
        {"a\x1b[1"
         "\xFF\xF9"
         "m!",
         {},
         "text:a%1B[1m!"},
        {"ok\r\nx\x1b[1", {}, "text:ok%0D%0Ax"},
        // Prompts: GA or EOR end them at once, the wait otherwise.
        {"line\r\nHP> \xFF\xF9more\r\n", {}, "text:line%0D%0AHP> more%0D%0A"},
        {"line\r\nHP> \xFF\xF9more\r\n",
         {.automaticPrompt = true},
         "text:line%0D%0A|prompt:HP> |match:HP> |prompt printed:HP> |text:more%0D%0A"},
        {"a> \xFF\xEF"
         "b> ",
         {.automaticPrompt = true},
         "prompt:a> |match:a> |prompt printed:a> |prompt:b> |match:b> "},
        {"a\r\nb> ", {.automaticPrompt = true}, "text:a%0D%0A|prompt:b> |match:b> "},
        {"plain\r\n> ", {.automaticPrompt = true, .actions = false}, "print:plain%0D%0A|prompt:> "},
        // Any other command hands on all before it.
        {"Password: \xFF\xFB\x01", {.automaticPrompt = true}, "text:Password: |echo:on"},
        {"a\r\nb\r\nc\r\nd", {.scrollRate = 2}, "text:a%0D%0Ab%0D%0Ac%0D%0Ad"},
        {endless + "\r\nend\r\n", {.automaticPrompt = true}, "text:" + endless + "%0D%0Aend%0D%0A"},
    };
    for (const auto& c : cases) {
        const Result whole = ReceiveCut(c.stream, {}, c.setup);
        EXPECT_EQ(whole.log, c.log) << Escaped(c.stream.substr(0, 60));
        for (size_t cut : CutsOf(c.stream.size())) {
            const Result split = ReceiveCut(c.stream, {cut}, c.setup);
            ASSERT_EQ(split.log, whole.log) << Escaped(c.stream.substr(0, 60)) << " cut " << cut;
            for (size_t join : split.joins)
                ASSERT_TRUE(whole.joins.count(join) || split.handed[join - 1] == '\n')
                    << Escaped(c.stream.substr(0, 60)) << " cut " << cut << " join " << join;
        }
        if (c.stream.size() < 1000) {
            EXPECT_EQ(ReceiveCut(c.stream, {}, c.setup, 1).log, whole.log) << "byte by byte";
        }
    }
}

// The output a window shows, runs and their colour and weight included, is the same at every
// split; actions recolour and replace on lines that reads cut.
TEST(IncomingText, SameOutputAtEverySplit)
{
    const std::string stream =
        "\x1b[1;31mRed\x1b[0m text\twith tab\r\n"
        "HP:42 "
        "\xff\xff"
        " mana\r\n"
        "\x1b[32mgreen across\xff\xf1 a NOP\x1b[0m\r\n"
        "Gandalf tells you 'hello'\r\n"
        "<100hp> \xff\xf9"
        "after the prompt\r\nopen";
    const auto render = [](Pieces& p) {
        const OutputBuffer& out = p.client.Output();
        std::string text;
        for (uint64_t n = out.LineBase(); n < out.End(); ++n) {
            const OutputLine* line = out.Line(n);
            uint32_t start = 0;
            for (const TextRun& run : line->Runs()) {
                const TextFormat& format = out.Format(run.format);
                text += "[" + std::to_string(format.textColor) + "/" +
                        std::to_string(format.weight) + "]" +
                        std::string(line->Text().substr(start, run.end - start));
                start = run.end;
            }
            if (line->Ended()) text += '\n';
        }
        return text + "|prompt " + p.client.PendingPrompt();
    };
    const auto receive = [&](size_t cut, bool automatic) {
        Pieces p;
        p.Run("|action add hp {HP:([0-9]+)} {} {bold=on} {<\\$1>}");
        p.Run("|action add tell {([A-Z][a-z]+) tells you} {} {textcolor=yellow}");
        if (automatic) p.Run("|prompt auto");
        Clean(p);
        p.replay.ReceiveHeld(std::string_view(stream).substr(0, cut));
        p.replay.ReceiveHeld(std::string_view(stream).substr(cut));
        p.replay.LineWaitPassed();
        return render(p);
    };
    for (bool automatic : {false, true}) {
        const std::string whole = receive(stream.size(), automatic);
        EXPECT_NE(whole.find("<42>"), std::string::npos) << whole;
        for (size_t cut = 0; cut < stream.size(); ++cut)
            ASSERT_EQ(receive(cut, automatic), whole) << "cut at " << cut;
    }
}

std::string Repeated(const std::string& unit, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i) out += unit;
    return out;
}

// No piece of text handed on ends inside a sequence, also where the bound of an endless
// line, a scroll rate step or a full buffer falls inside one: nothing printed between two
// pieces can become part of a sequence.
TEST(IncomingText, NoPieceEndsInsideASequence)
{
    const size_t limit = IncomingText::kLineLimit;
    std::string full;  // whole lines that fill the buffer, then a sequence with line feeds
    while (full.size() < IncomingText::kLineCapacity - 40) full += std::string(99, 'f') + "\n";
    const struct {
        std::string stream;
        Mode setup;
    } cases[] = {
        {std::string(limit - 3, 'x') + "\x1b[1;31mred\r\n", {}},
        {std::string(limit - 3, 'x') + "\x1b[1;31m" + std::string(3 * limit, 'y') + "\r\n", {}},
        {std::string(limit - 3, 'x') + "\x1b[" + Repeated(std::string(511, '\t') + "\n", 7) + "m!",
         {.compact = true}},
        {std::string(limit - 1, 'x') + "\x1b[" + std::string(3000, '1') + "mred\r\n", {}},
        {"a\x1b[1\n2\n3mb\r\nc\x1b[\n4m", {.compact = true, .scrollRate = 1}},
        {"a\x1b[1\n2\n3mb\r\n", {.scrollRate = 1}},
        {full + "\x1b[1\n2\n" + std::string(200, '3') + "m\r\n", {.compact = true}},
    };
    for (const auto& c : cases) {
        for (size_t cut : CutsOf(c.stream.size())) {
            RecordingConnectionClient client;
            client.options.compact = c.setup.compact;
            client.options.scrollRate = c.setup.scrollRate;
            StreamReplay replay(client);
            replay.ReceiveHeld(std::string_view(c.stream).substr(0, cut), 1 << 20);
            replay.ReceiveHeld(std::string_view(c.stream).substr(cut), 1 << 20);
            replay.LineWaitPassed();
            std::string handed;
            for (const auto& entry : client.Entries()) {
                if (entry.kind != "text") continue;
                handed += entry.text;
                const size_t escape = entry.text.rfind('\x1b');
                if (escape == std::string::npos) continue;
                const auto letter = std::find_if(entry.text.begin() + escape, entry.text.end(),
                                                 [](char ch) { return std::isalpha(uint8_t(ch)); });
                ASSERT_NE(letter, entry.text.end())
                    << Escaped(c.stream.substr(0, 40)) << " cut " << cut;
            }
            ASSERT_GT(handed.size(), c.stream.size() / 2);
        }
    }
}

// An action's pattern sees a line whole when a read cuts it.
TEST(IncomingText, ActionsSeeLinesThatAReadCutWhole)
{
    Pieces p;
    p.Run("|action add hp {^HP:([0-9]+)} {} {} {<\\$1>}");
    Clean(p);
    p.replay.ReceiveHeld("HP:4");
    EXPECT_EQ(p.Output(), "");  // held: neither printed nor matched
    p.replay.ReceiveHeld("2\r\nHP:");
    p.replay.ReceiveHeld("7\r\n");
    EXPECT_EQ(p.Output(), "<42>\n<7>\n");
    // The wait passing shows the unended line as it is.
    p.replay.ReceiveHeld("HP:1");
    EXPECT_EQ(p.Output(), "<42>\n<7>\n");
    p.replay.LineWaitPassed();
    EXPECT_EQ(p.Output(), "<42>\n<7>\n<1>");
}

// GA and EOR end a prompt at once; with automatic prompting it goes to the prompt line.
TEST(IncomingText, AGoAheadEndsThePromptAtOnce)
{
    Pieces p;
    Clean(p);
    p.replay.ReceiveHeld("You see a troll.\r\nHP:5> \xff\xf9");
    EXPECT_EQ(p.Output(), "You see a troll.\nHP:5> ");
    p.Run("|prompt auto");
    Clean(p);
    p.replay.ReceiveHeld("\r\nHP:6> \xff\xef");
    EXPECT_EQ(p.Output(), "\n");
    EXPECT_EQ(p.client.PendingPrompt(), "HP:6> ");
    EXPECT_EQ(p.client.PromptLine().text, "HP:6> ");
    // Without GA the line waits, then the wait makes it the prompt.
    p.replay.ReceiveHeld("The troll hits you.\r\nHP:4> ");
    EXPECT_EQ(p.Output(), "\nHP:6> The troll hits you.\n");
    EXPECT_EQ(p.client.PendingPrompt(), "");
    EXPECT_EQ(p.client.PromptLine().text, "HP:6> ");
    p.replay.LineWaitPassed();
    EXPECT_EQ(p.client.PendingPrompt(), "HP:4> ");
    EXPECT_EQ(p.client.PromptLine().text, "HP:4> ");
}

// The end of the stream drops a sequence it cut off: the client's own text after it is not
// taken into the sequence.
TEST(IncomingText, TheEndDropsAnUnfinishedSequence)
{
    Pieces p;
    Clean(p);
    p.replay.ReceiveHeld("def\x1b[1;3");
    p.replay.EndOfStream();
    p.client.Print(OutputFormat::System, "Connection closed\n");
    EXPECT_EQ(p.Output(), "defConnection closed\n");
}

TEST(IncomingText, TheServersCloseDropsAnUnfinishedSequence)
{
    NetTestClient t;
    ASSERT_TRUE(t.Connect());
    t.server.Send("abc\r\ndef\x1b[1;3");
    t.server.CloseClient();
    const std::string closed = "Connection to 127.0.0.1 (127.0.0.1) on port " +
                               std::to_string(t.server.Port()) + " closed\n";
    ASSERT_TRUE(t.WaitForOutput(closed));
    EXPECT_NE(t.Output().find("abc\ndef" + closed), std::string::npos) << t.Output();

    // A sequence past the bound was read as it came: the report after it is whole too.
    ASSERT_TRUE(t.Connect());
    t.server.Send("ghi\x1b[" + std::string(IncomingText::kEscapeLimit + 10, '1'));
    t.server.CloseClient();
    ASSERT_TRUE(t.WaitForCount(closed, 2));
    EXPECT_TRUE(t.Output().ends_with(std::string(200, '1') + closed))
        << t.Output().substr(t.Output().size() - 300);
}

// Each byte is looked at a bounded number of times: floods of bare escapes or of unfinished
// CSI openers pass in linear time. The replay runs on this thread, so its processor time is
// what the work cost; quadratic work took about 12 s for a flood of this size.
TEST(IncomingText, EscapeFloodsPassInLinearTime)
{
    for (const std::string unit : {"\x1b", "\x1b["}) {
        std::string flood;
        while (flood.size() < (10u << 20)) flood += unit;
        flood += "\r\nend\r\n";  // the line end abandons the last sequence in the output
        for (size_t readSize : {size_t(4096), size_t(65536), size_t(1000)}) {
            Pieces p;
            const auto start = ThreadTime();
            p.replay.Receive(flood, readSize);
            const auto spent = ThreadTime() - start;
            EXPECT_LT(spent, std::chrono::seconds(2))
                << Escaped(unit) << " " << readSize << ": " << spent.count() / 1000000 << " ms";
            EXPECT_TRUE(p.Output().ends_with("end\n")) << Escaped(unit);
        }
    }
}

}  // namespace
}  // namespace zel::test
