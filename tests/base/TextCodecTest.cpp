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

TEST(TextCodec, Windows1252SurvivesTheTripThroughUnicode)
{
    EXPECT_EQ(Windows1252CodePoint(0x80), U'\u20AC');
    EXPECT_EQ(Windows1252CodePoint(0x81), U'\u0081');
    EXPECT_EQ(Windows1252CodePoint(0xFF), U'\u00FF');
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all);
    EXPECT_EQ(Windows1252ToUtf8("caf\xE9 \x80"), "caf\xC3\xA9 \xE2\x82\xAC");
    // What the code page lacks, and invalid UTF-8, becomes one '?' a character.
    EXPECT_EQ(Utf8ToWindows1252("\xE6\x97\xA5x\xC3"), "?x?");
}

TEST(TextCodec, DisplayTextCannotDriveATerminal)
{
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    std::string shown;
    AppendDisplayText(shown, Windows1252ToUtf8(all));
    for (char c : shown)
        EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\a') << int(c);
    // C1 controls too: U+009B would start a sequence on some terminals.
    EXPECT_EQ(shown.find("\xC2\x9B"), std::string::npos);
    std::string cafe;
    AppendDisplayText(cafe, "caf\xC3\xA9 \x1B[1m \xFF");
    EXPECT_EQ(cafe, "caf\xC3\xA9 \xC2\xB7[1m \xEF\xBF\xBD");
}

TEST(TextCodec, EncodingNamesAreFoundLoosely)
{
    EXPECT_EQ(FindEncoding("utf8"), kUtf8);
    EXPECT_EQ(FindEncoding("UTF-8"), kUtf8);
    EXPECT_EQ(FindEncoding("windows-1252"), kWindows1252);
    EXPECT_EQ(FindEncoding("cp1252"), kWindows1252);
    ASSERT_TRUE(FindEncoding("koi8_r"));
    EXPECT_EQ(Encodings()[size_t(*FindEncoding("koi8_r"))].name, "KOI8-R");
    EXPECT_FALSE(FindEncoding("klingon"));
    EXPECT_FALSE(FindEncoding(""));
    for (size_t i = 0; i < Encodings().size(); ++i)
        EXPECT_TRUE(EncodingAvailable(int32_t(i))) << Encodings()[i].name;
    EXPECT_FALSE(EncodingAvailable(int32_t(Encodings().size())));
}

// The decoded text of `stream` cut into two reads at `cut`, the end included.
std::string DecodedInTwo(int32_t encoding, std::string_view stream, size_t cut)
{
    StreamDecoder decoder(encoding);
    std::string out;
    decoder.Decode(stream.substr(0, cut), out);
    decoder.Decode(stream.substr(cut), out);
    decoder.Finish(out);
    return out;
}

TEST(TextCodec, ACharacterSplitBetweenReadsDecodesWhole)
{
    const struct {
        int32_t encoding;
        std::string_view wire;
        std::string_view text;
    } cases[] = {
        {kUtf8, "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80!",
         "caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80!"},
        {*FindEncoding("CP1251"), "\xCF\xF0\xE8\xE2\xE5\xF2!",
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82!"},
        {*FindEncoding("GBK"), "\xC4\xE3\xBA\xC3 ok", "\xE4\xBD\xA0\xE5\xA5\xBD ok"},
        {*FindEncoding("Big5"), "\xA4\xA4\xA4\xE5", "\xE4\xB8\xAD\xE6\x96\x87"},
        {kWindows1252, "caf\xE9", "caf\xE9"},
    };
    for (const auto& c : cases)
        for (size_t cut = 0; cut <= c.wire.size(); ++cut)
            EXPECT_EQ(DecodedInTwo(c.encoding, c.wire, cut), c.text)
                << Encodings()[size_t(c.encoding)].name << " cut at " << cut;
}

TEST(TextCodec, BadUtf8GivesOneReplacementAndTheStreamGoesOn)
{
    const std::string_view kR = "\xEF\xBF\xBD";
    const struct {
        std::string_view wire;
        std::string text;
    } cases[] = {
        {"a\xC3(b", "a" + std::string(kR) + "(b"},  // truncated
        {"a\xC0\xAF"
         "b",
         "a" + std::string(kR) + std::string(kR) + "b"},  // overlong
        {"a\xE0\x80\xAF"
         "b",
         "a" + std::string(kR) + std::string(kR) + std::string(kR) + "b"},
        {"a\xED\xA0\x80"
         "b",
         "a" + std::string(kR) + std::string(kR) + std::string(kR) + "b"},
        {"a\xF4\x90\x80\x80"
         "b",
         "a" + std::string(kR) + std::string(kR) + std::string(kR) + std::string(kR) + "b"},
        {"a\x80"
         "b",
         "a" + std::string(kR) + "b"},                 // stray continuation
        {"a\xE6\x97", "a" + std::string(kR)},          // cut by the end
        {"ok \xEF\xBF\xBD", "ok " + std::string(kR)},  // a real U+FFFD
    };
    for (const auto& c : cases)
        for (size_t cut = 0; cut <= c.wire.size(); ++cut)
            EXPECT_EQ(DecodedInTwo(kUtf8, c.wire, cut), c.text) << "cut at " << cut;
}

TEST(TextCodec, InvalidDoubleByteTextGivesReplacements)
{
    const int32_t gbk = *FindEncoding("GBK");
    const std::string out = DecodedInTwo(gbk,
                                         "a\xFF\xFF"
                                         "b\xC4",
                                         2);
    EXPECT_EQ(out.front(), 'a');
    EXPECT_NE(out.find("b"), std::string::npos);
    EXPECT_TRUE(out.ends_with("\xEF\xBF\xBD")) << out;
}

TEST(TextCodec, TextIsEncodedForTheWire)
{
    const std::string_view privet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
    EXPECT_EQ(EncodeForWire(*FindEncoding("CP1251"), privet), "\xCF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(EncodeForWire(*FindEncoding("KOI8-R"), privet), "\xF0\xD2\xC9\xD7\xC5\xD4");
    // A character the set lacks is one '?'.
    EXPECT_EQ(EncodeForWire(*FindEncoding("CP1251"),
                            "a\xE6\x97\xA5"
                            "b"),
              "a?b");
    EXPECT_EQ(EncodeForWire(kUtf8, "caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(EncodeForWire(kWindows1252, "caf\xE9"), "caf\xE9");
}

}  // namespace
}  // namespace zel
