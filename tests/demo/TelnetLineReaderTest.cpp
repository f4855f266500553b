// TelnetLineReader: line ends, telnet commands taken out, bounds on lines and
// subnegotiations, and the same lines at every split of the input.
#include "demo/TelnetLineReader.h"

#include <gtest/gtest.h>

namespace zel::demo {
namespace {

using Lines = std::vector<std::string>;

Lines Read(std::initializer_list<std::string_view> pieces)
{
    TelnetLineReader reader;
    Lines lines;
    for (const std::string_view piece : pieces) reader.Feed(piece, lines);
    return lines;
}

using namespace std::string_literals;

TEST(DemoTelnetLineReader, SameLinesAtEverySplit)
{
    const struct {
        std::string in;
        Lines lines;
    } cases[] = {
        {"look\r\n", {"look"}},
        {"a\nb\r\nc\r\0d\re\n"s, {"a", "b", "c", "d", "e"}},
        {"\r\n\n", {"", ""}},
        {"no end", {}},
        {"\xff\xfd\x01na\xff\xfb\x1fme\r\n", {"name"}},         // DO ECHO, WILL NAWS
        {"x\xff\xffy\n", {"x\xffy"}},                           // IAC IAC is data
        {"\xff\xfa\x1f\x00\x50\x00\x18\xff\xf0ok\n"s, {"ok"}},  // NAWS subnegotiation
        {"\xff\xfa\x18q\xff\xff\xf0\n\xff\xf0"
         "c\n",
         {"c"}},  // IAC IAC inside SB
        {"\xff\xfa\x18"
         "ab\xff\xf9go\n",
         {"go"}},                                // a command other than SE ends the SB
        {"\xff\xf9go\xff\xf1\n", {"go"}},        // GA, NOP
        {"say \x1b[1mhi\n", {"say \x1b[1mhi"}},  // other bytes pass
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Read({c.in}), c.lines) << testing::PrintToString(c.in);
        for (size_t cut = 0; cut <= c.in.size(); ++cut)
            EXPECT_EQ(
                Read({std::string_view(c.in).substr(0, cut), std::string_view(c.in).substr(cut)}),
                c.lines)
                << testing::PrintToString(c.in) << " cut at " << cut;
    }
}

TEST(DemoTelnetLineReader, BoundsLinesAndSubnegotiations)
{
    const std::string longLine(3 * TelnetLineReader::kMaximumLine, 'a');
    EXPECT_EQ(Read({longLine, "\r\nnext\n"}),
              (Lines{longLine.substr(0, TelnetLineReader::kMaximumLine), "next"}));

    // An IAC SB that never ends gives up; later input is read again.
    const std::string endless =
        "\xff\xfa" + std::string(TelnetLineReader::kMaximumSubnegotiation + 1, 'z');
    EXPECT_EQ(Read({endless, "look\n"}), (Lines{"look"}));
}

}  // namespace
}  // namespace zel::demo
