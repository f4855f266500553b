// SGR colours and resets through OutputBuffer::Append: the 256-colour and 24-bit forms,
// the resets of single attributes, and parameter lists that are cut, out of range or long.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestClient.h"
#include "display/OutputBuffer.h"
#include "display/OutputFormats.h"
#include "display/SgrTable.h"

namespace zel {
namespace {

const Color kError = DefaultOutputFormat(OutputFormat::Error).textColor;
const Color kGrey = MakeColor(192, 192, 192);
constexpr Color kDefault = kWindowDefaultColor;

// The resolved format of the last character appended, after a print in "Output: Error", so
// that a sequence that makes no format current leaves the text in the error colour.
TextFormat FormatAfter(std::string_view input)
{
    OutputBuffer buffer;
    buffer.PushFormat(DefaultOutputFormat(OutputFormat::Error));
    buffer.Append(input);
    const OutputLine* line = buffer.Line(buffer.End() - 1);
    if (!line || line->Length() == 0) return {};
    return buffer.Format(line->Runs().back().format);
}

TEST(Sgr, ExtendedColorsReachTheRuns)
{
    const struct {
        std::string_view input;  // the text after the sequences is "x"
        Color text, back;
        int32_t weight = 400;
    } cases[] = {
        // The palette: the 16 ANSI colours, the cube, the grey ramp.
        {"\x1b[38;5;0mx", MakeColor(0, 0, 0), 0},
        {"\x1b[38;5;1mx", MakeColor(192, 0, 0), 0},
        {"\x1b[38;5;7mx", MakeColor(192, 192, 192), 0},
        {"\x1b[38;5;8mx", MakeColor(128, 128, 128), 0},
        {"\x1b[38;5;9mx", MakeColor(255, 64, 64), 0},
        {"\x1b[38;5;15mx", MakeColor(255, 255, 255), 0},
        {"\x1b[38;5;16mx", MakeColor(0, 0, 0), 0},
        {"\x1b[38;5;17mx", MakeColor(0, 0, 95), 0},
        {"\x1b[38;5;21mx", MakeColor(0, 0, 255), 0},
        {"\x1b[38;5;22mx", MakeColor(0, 95, 0), 0},
        {"\x1b[38;5;52mx", MakeColor(95, 0, 0), 0},
        {"\x1b[38;5;123mx", MakeColor(135, 255, 255), 0},
        {"\x1b[38;5;196mx", MakeColor(255, 0, 0), 0},
        {"\x1b[38;5;209mx", MakeColor(255, 135, 95), 0},
        {"\x1b[38;5;231mx", MakeColor(255, 255, 255), 0},
        {"\x1b[38;5;232mx", MakeColor(8, 8, 8), 0},
        {"\x1b[38;5;244mx", MakeColor(128, 128, 128), 0},
        {"\x1b[38;5;255mx", MakeColor(238, 238, 238), 0},
        {"\x1b[48;5;21mx", kGrey, MakeColor(0, 0, 255)},
        {"\x1b[38;5;0255mx", MakeColor(238, 238, 238), 0},
        // 24-bit: red is the lowest byte.
        {"\x1b[38;2;1;2;3mx", MakeColor(1, 2, 3), 0},
        {"\x1b[38;2;255;128;0mx", MakeColor(255, 128, 0), 0},
        {"\x1b[48;2;10;20;30mx", kGrey, MakeColor(10, 20, 30)},
        {"\x1b[38;2;0;0;0;48;2;255;255;255mx", MakeColor(0, 0, 0), MakeColor(255, 255, 255)},
        {"\x1b[1;38;5;196;48;2;1;2;3;2;1mx", MakeColor(255, 0, 0), MakeColor(1, 2, 3), 700},
        {"\x1b[38;5;196m\x1b[32mx", MakeColor(0, 144, 0), 0},  // the last colour wins
        {"\x1b[0;38;2;9;9;9mx", MakeColor(9, 9, 9), kDefault},
        // With ':' the group is one form: r:g:b, or a colour-space slot and then r:g:b.
        {"\x1b[38:5:196mx", MakeColor(255, 0, 0), 0},
        {"\x1b[38:2:1:2:3mx", MakeColor(1, 2, 3), 0},
        {"\x1b[38:2::1:2:3mx", MakeColor(1, 2, 3), 0},
        {"\x1b[38:2:0:1:2:3mx", MakeColor(1, 2, 3), 0},
        {"\x1b[48:2::7:8:9;1mx", kGrey, MakeColor(7, 8, 9), 700},
        {"\x1b[38:2::0:1:2;1mx", MakeColor(0, 1, 2), 0, 700},
        // The same numbers with ';' are 2;r;g;b and then a code of their own.
        {"\x1b[38;2;0;1;2;1mx", MakeColor(0, 1, 2), 0, 700},
    };
    for (const auto& c : cases) {
        const TextFormat f = FormatAfter(c.input);
        EXPECT_EQ(f.textColor, c.text) << c.input.substr(1);
        EXPECT_EQ(f.backColor, c.back) << c.input.substr(1);
        EXPECT_EQ(f.weight, c.weight) << c.input.substr(1);
        EXPECT_EQ(f.effects, 0u) << c.input.substr(1);  // no number was read as a code
    }
}

TEST(Sgr, ResetsUndoOnlyTheirAttribute)
{
    // Everything on, then one reset: the result is what the attribute never set gives.
    const std::string all = "\x1b[0;1;4;5;7;31;44m";
    const struct {
        std::string_view reset;
        std::string_view without;
    } cases[] = {
        {"22", "0;4;5;7;31;44"},
        {"24", "0;1;5;7;31;44"},
        {"25", "0;1;4;7;31;44"},
        {"27", "0;1;4;5;31;44"},
        {"39", "0;1;4;5;7;44"},
        {"49", "0;1;4;5;7;31"},
        {"23", "0;1;4;5;7;31;44"},  // italic is never set by a code, so nothing changes
        {"2;22", "0;4;5;7;31;44"},
        {"38;5;200;39", "0;1;4;5;7;44"},
        {"48;2;1;2;3;49", "0;1;4;5;7;31"},
        {"39;49", "0;1;4;5;7"},
        {"22;24;25;27;39;49", "0"},
    };
    for (const auto& c : cases) {
        const TextFormat reset = FormatAfter(all + "a\x1b[" + std::string(c.reset) + "mx");
        EXPECT_EQ(reset, FormatAfter("\x1b[" + std::string(c.without) + "mx")) << c.reset;
        if (c.reset != "23") {
            EXPECT_NE(reset, FormatAfter(all + "x")) << c.reset;
        }
    }
    EXPECT_EQ(FormatAfter("\x1b[24mx"), FormatAfter("\x1b[2mx"));  // same as the start state
}

TEST(Sgr, DefaultColorAfterAColour)
{
    OutputBuffer buffer;
    buffer.Append("\x1b[0;31mred \x1b[39mdefault\x1b[0;41mback \x1b[49mplain\r\n");
    const OutputLine& line = *buffer.Line(0);
    ASSERT_EQ(line.Runs().size(), 4u);
    auto run = [&](size_t r) { return buffer.Format(line.Runs()[r].format); };
    EXPECT_EQ(run(0).textColor, MakeColor(192, 0, 0));
    EXPECT_EQ(run(2).backColor, MakeColor(192, 0, 0));
    // A colour reset gives the same format as text that never had a colour.
    OutputBuffer plain;
    plain.Append("\x1b[0mx");
    const TextFormat never = plain.Format(plain.Line(0)->Runs()[0].format);
    EXPECT_EQ(run(1), never);
    EXPECT_EQ(run(3), never);
    // A reset is a listed code: it makes the state current after a print's own format.
    EXPECT_EQ(FormatAfter("\x1b[39mx").textColor, kDefault);
    EXPECT_EQ(FormatAfter("\x1b[22mx").textColor, MakeColor(192, 192, 192));
}

TEST(Sgr, BadColourFormsChangeNothingAndAreConsumed)
{
    const struct {
        std::string_view input;
        Color text;  // kError: no format was made current
        int32_t weight;
        uint32_t effects;
    } cases[] = {
        {"\x1b[38;5;256mx", kError, 400, 0},
        {"\x1b[38;5;99999mx", kError, 400, 0},
        {"\x1b[38;5;4294967297mx", kError, 400, 0},  // saturates rather than wraps to 1
        {"\x1b[48;5;300;4mx", kGrey, 400, effect::kUnderline},
        {"\x1b[38;2;256;1;4mx", kError, 400, 0},  // 1 and 4 belong to the form
        {"\x1b[38;2;1;256;4mx", kError, 400, 0},
        {"\x1b[38;2;1;4;256;7mx", kGrey, 400, effect::kInverse},
        {"\x1b[38;5mx", kError, 400, 0},
        {"\x1b[1;38;5mx", kGrey, 700, 0},
        {"\x1b[38;2;1;4mx", kError, 400, 0},  // cut short: nothing read past the end
        {"\x1b[38;2mx", kError, 400, 0},
        {"\x1b[48mx", kError, 400, 0},
        {"\x1b[38;7;1mx", kGrey, 700, 0},  // an unknown kind: only the kind is consumed
        {"\x1b[38;0;4mx", kGrey, 400, effect::kUnderline},
        {"\x1b[38:5mx", kError, 400, 0},
        {"\x1b[38:2:1:4mx", kError, 400, 0},
        {"\x1b[38:5:256:1mx", kError, 400, 0},  // the whole group goes
        {"\x1b[38:9:1:4;7mx", kGrey, 400, effect::kInverse},
        {"\x1b[38:2:1:2:3:4:5;4mx", MakeColor(2, 3, 4), 400, effect::kUnderline},
    };
    for (const auto& c : cases) {
        const TextFormat f = FormatAfter(c.input);
        EXPECT_EQ(f.textColor, c.text) << c.input.substr(1);
        EXPECT_EQ(f.backColor, 0u) << c.input.substr(1);
        EXPECT_EQ(f.weight, c.weight) << c.input.substr(1);
        EXPECT_EQ(f.effects, c.effects) << c.input.substr(1);
    }
}

TEST(Sgr, LongParameterListsStayWithinTheirBounds)
{
    // The parser keeps kMaximumParams numbers: a form cut by that bound has no effect, and
    // one that ends exactly on it does.
    const size_t kept = AnsiParser::kMaximumParams;
    const struct {
        size_t ones;  // codes 1 before the form
        Color text;
    } cases[] = {
        {kept - 5, MakeColor(1, 2, 3)},
        {kept - 4, kGrey},
        {kept - 2, kGrey},
        {kept, kGrey},
    };
    for (const auto& c : cases) {
        std::string input = "\x1b[";
        for (size_t i = 0; i < c.ones; ++i) input += "1;";
        const TextFormat f = FormatAfter(input + "38;2;1;2;3;4mx");
        EXPECT_EQ(f.textColor, c.text) << c.ones;
        EXPECT_EQ(f.weight, 700) << c.ones;
        EXPECT_EQ(f.effects, 0u) << c.ones;
    }

    // 10,000 parameters: the sequence is abandoned at its length bound and the rest is text
    // in the format that was current, however many lines it takes.
    std::string forms = "\x1b[";
    for (int i = 0; i < 2000; ++i) forms += "38;2;1;2;3;";
    OutputBuffer buffer;
    buffer.Append(forms + "mx\r\n");
    size_t length = 0;
    for (uint64_t n = buffer.LineBase(); n < buffer.End(); ++n) {
        const OutputLine& line = *buffer.Line(n);
        length += line.Length();
        for (const TextRun& run : line.Runs())
            EXPECT_EQ(buffer.Format(run.format), DefaultTextFormat()) << n;
    }
    EXPECT_EQ(length, forms.size() - AnsiParser::kMaximumSequenceLength + 2);
    EXPECT_TRUE(buffer.Line(buffer.End() - 1)->Text().ends_with(";mx"));

    // The rules read only the span they are given: the number after it would complete the
    // colour.
    std::vector<uint32_t> params(10000, 1);
    params.insert(params.end(), {38, 2, 1, 2, 3});
    TextFormat state = DefaultTextFormat();
    EXPECT_TRUE(ApplySgr(std::span(params).first(params.size() - 1), state));
    EXPECT_EQ(state.textColor, kGrey);
    EXPECT_EQ(state.weight, 700);
    EXPECT_TRUE(ApplySgr(params, state));
    EXPECT_EQ(state.textColor, MakeColor(1, 2, 3));
    state = DefaultTextFormat();
    const uint32_t cut[] = {48, 5};
    EXPECT_FALSE(ApplySgr(std::span(cut).first(1), state));
    EXPECT_FALSE(ApplySgr(cut, state));
    EXPECT_EQ(state, DefaultTextFormat());
}

// An action's format names any 24-bit colour as six hex digits; it resolves into the run
// it marks, between runs in the colour the server sent.
TEST(Sgr, ActionColoursAndServerColoursMeetInTheRuns)
{
    test::TestClient t;
    t.Run("|action add tint {troll} {} {textcolor=0A141E backcolor=FF8000}");
    t.Run("|receive \\e[38\\;2\\;1\\;2\\;3ma troll here\\n");
    const OutputBuffer& out = t.client.Output();
    const OutputLine* line = out.Line(out.End() - 1);
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->Text(), "a troll here");
    ASSERT_EQ(line->Runs().size(), 3u);
    const struct {
        Color text, back;
    } runs[] = {
        {MakeColor(1, 2, 3), 0},
        {MakeColor(10, 20, 30), MakeColor(255, 128, 0)},
        {MakeColor(1, 2, 3), 0},
    };
    for (size_t r = 0; r < std::size(runs); ++r) {
        const TextFormat f = out.Format(line->Runs()[r].format);
        EXPECT_EQ(f.textColor, runs[r].text) << r;
        EXPECT_EQ(f.backColor, runs[r].back) << r;
    }
    EXPECT_EQ(line->RunStart(1), 2u);
    EXPECT_EQ(line->Runs()[1].end, 7u);
}

}  // namespace
}  // namespace zel
