// What the console host writes to a terminal: colours at each colour depth, the depth read
// from the environment, and output held back while another program has the terminal.
#include "console/TerminalText.h"

#include <gtest/gtest.h>

#include <string>

#include "TerminalRun.h"

namespace zel {
namespace {

// The line that `input` (ending with a line end) leaves, as written for a terminal.
std::string TerminalLine(std::string_view input, ColorDepth depth)
{
    OutputBuffer buffer;
    buffer.Append(input);
    std::string out;
    AppendTerminalLine(out, buffer, *buffer.Line(0), OutputViewStyle{}, depth);
    return out;
}

TEST(TerminalText, ColoursAtEachDepth)
{
    constexpr auto k16 = ColorDepth::Ansi16, k256 = ColorDepth::Palette256,
                   kTrue = ColorDepth::TrueColor;
    const struct {
        std::string_view input;
        ColorDepth depth;
        std::string_view line;
    } cases[] = {
        // Near black: the cube's black is nearer than the ramp's first grey.
        {"\x1b[38;2;1;2;3mx\n", kTrue, "\x1b[0;38;2;1;2;3mx\x1b[0m\n"},
        {"\x1b[38;2;1;2;3mx\n", k256, "\x1b[0;38;5;16mx\x1b[0m\n"},
        {"\x1b[38;2;1;2;3mx\n", k16, "\x1b[0;30mx\x1b[0m\n"},
        // Pure red: 192,0,0 is nearer than the bright 255,64,64.
        {"\x1b[48;5;196mx\n", kTrue, "\x1b[0;48;2;255;0;0mx\x1b[0m\n"},
        {"\x1b[48;5;196mx\n", k256, "\x1b[0;48;5;196mx\x1b[0m\n"},
        {"\x1b[48;5;196mx\n", k16, "\x1b[0;41mx\x1b[0m\n"},
        // Each channel to its nearest level of the cube: 255,95,95.
        {"\x1b[38;2;250;70;60mx\n", k256, "\x1b[0;38;5;203mx\x1b[0m\n"},
        {"\x1b[38;2;250;70;60mx\n", k16, "\x1b[0;91mx\x1b[0m\n"},
        // A bright back colour.
        {"\x1b[48;2;64;255;255mx\n", k256, "\x1b[0;48;5;87mx\x1b[0m\n"},
        {"\x1b[48;2;64;255;255mx\n", k16, "\x1b[0;106mx\x1b[0m\n"},
        // A grey: the ramp's 98 is nearer than the cube's 95.
        {"\x1b[1;38;2;100;100;100mx\n", k256, "\x1b[0;1;38;5;241mx\x1b[0m\n"},
        {"\x1b[1;38;2;100;100;100mx\n", k16, "\x1b[0;1;90mx\x1b[0m\n"},
        // The ANSI colours themselves.
        {"\x1b[31;42ma\x1b[93;47mb\n", k16, "\x1b[0;31;42ma\x1b[0;93;47mb\x1b[0m\n"},
        {"\x1b[31ma\x1b[93mb\n", k256, "\x1b[0;38;5;124ma\x1b[0;38;5;226mb\x1b[0m\n"},
        // The views' own colours and the window's defaults are left to the terminal.
        {"\x1b[37;40ma\x1b[0mb\n", k16, "ab\n"},
        {"\x1b[38;2;192;192;192;48;5;16mx\n", k256, "x\n"},
        // Colours that come out the same share one code.
        {"\x1b[38;2;1;1;1ma\x1b[38;2;2;2;2mb\n", k16, "\x1b[0;30mab\x1b[0m\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TerminalLine(c.input, c.depth), c.line)
            << c.input.substr(1) << " at depth " << int(c.depth);
}

TEST(TerminalText, DepthFromTheEnvironment)
{
    const struct {
        const char* colorTerm;
        const char* term;
        ColorDepth depth;
    } cases[] = {
        {"truecolor", "xterm", ColorDepth::TrueColor},
        {"24bit", nullptr, ColorDepth::TrueColor},
        {"truecolor", "xterm-256color", ColorDepth::TrueColor},
        {nullptr, "xterm-256color", ColorDepth::Palette256},
        {"yes", "screen-256color", ColorDepth::Palette256},
        {"TRUECOLOR", "xterm", ColorDepth::Ansi16},
        {nullptr, "xterm", ColorDepth::Ansi16},
        {"", "", ColorDepth::Ansi16},
        {nullptr, nullptr, ColorDepth::Ansi16},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColorDepthOf(c.colorTerm, c.term), c.depth)
            << (c.colorTerm ? c.colorTerm : "-") << " " << (c.term ? c.term : "-");
}

// The console host picks the depth from its own environment when it starts.
TEST(TerminalText, HostWritesAtTheTerminalsDepth)
{
    const struct {
        std::vector<std::string> environment;
        std::string shown;
    } cases[] = {
        {{"COLORTERM=truecolor"}, "\x1b[0;1;38;2;192;0;0mred\x1b[0m plain"},
        {{"-u", "COLORTERM", "TERM=xterm-256color"}, "\x1b[0;1;38;5;124mred\x1b[0m plain"},
        {{"-u", "COLORTERM", "TERM=xterm"}, "\x1b[0;1;31mred\x1b[0m plain"},
    };
    for (const auto& c : cases) {
        test::Terminal terminal(c.environment);
        terminal.Type("|receive \\e[1\\;31mred\\e[0m plain\\n\n");
        EXPECT_TRUE(terminal.WaitFor(c.shown)) << c.environment.back() << "\n" << terminal.shown;
        terminal.Type("|quit\n");
        EXPECT_EQ(terminal.Finish(), 0);
    }
}

TEST(HeldOutput, TheOldestWholeLinesGoFirst)
{
    std::string held;
    for (int i = 0; i < 10; ++i) held += "line " + std::to_string(i) + "\n";  // 7 bytes each
    std::string kept = held;
    EXPECT_EQ(DropOldestLines(kept, held.size()), 0u);
    EXPECT_EQ(kept, held);

    // Over the limit, whole lines go until a quarter of it is free: not one at a time.
    EXPECT_EQ(DropOldestLines(kept, 69), 3u);
    EXPECT_EQ(kept.size(), 49u);
    EXPECT_EQ(DropOldestLines(kept, 40), 3u);
    EXPECT_EQ(kept, "line 6\nline 7\nline 8\nline 9\n");

    // A line longer than the limit goes whole.
    kept = std::string(100, 'x') + "\nlast\n";
    EXPECT_EQ(DropOldestLines(kept, 20), 1u);
    EXPECT_EQ(kept, "last\n");
    EXPECT_EQ(DropOldestLines(kept, 0), 1u);
    EXPECT_EQ(kept, "");
}

}  // namespace
}  // namespace zel
