#include <gtest/gtest.h>

#include "base/TextCodec.h"

namespace zel {
namespace {

std::string Utf8(char32_t c)
{
    std::string out;
    AppendUtf8(out, c);
    return out;
}

TEST(TextCodec, EncodesEveryLengthAndRefusesNonCharacters)
{
    const struct {
        char32_t in;
        std::string_view out;
    } cases[] = {
        {U'A', "A"},
        {0xE9, "\xC3\xA9"},
        {0x20AC, "\xE2\x82\xAC"},
        {0x1F600, "\xF0\x9F\x98\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0xD800, "\xEF\xBF\xBD"},    // a surrogate
        {0x110000, "\xEF\xBF\xBD"},  // beyond Unicode
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8(c.in), c.out) << std::hex << uint32_t(c.in);
}

TEST(TextCodec, DecodesAllOfWindows1252ForDisplay)
{
    EXPECT_EQ(Windows1252CodePoint(0x80), U'\u20AC');
    EXPECT_EQ(Windows1252CodePoint(0x81), U'\uFFFD');
    EXPECT_EQ(Windows1252CodePoint(0xB7), U'\u00B7');
    EXPECT_EQ(Windows1252CodePoint(0xFF), U'\u00FF');
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    std::string shown;
    AppendWindows1252AsUtf8(shown, all);
    // No control byte but tab and bell survives: a server cannot drive the terminal.
    for (char c : shown)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\a') << int(c);
    std::string cafe;
    AppendWindows1252AsUtf8(cafe, "caf\xE9 \x1B[1m");
    EXPECT_EQ(cafe, "caf\xC3\xA9 \xC2\xB7[1m");
}

}  // namespace
}  // namespace zel
