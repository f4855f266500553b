// Colour and format text forms, resolution, and the named output formats' defaults.
#include <gtest/gtest.h>

#include "display/OutputFormats.h"
#include "display/TextFormat.h"

namespace zel {
namespace {

TEST(TextFormat, ParseColor)
{
    const struct {
        std::string_view text;
        Color color;
    } cases[] = {
        {"FF8000", MakeColor(255, 128, 0)},
        {"ff8000", MakeColor(255, 128, 0)},
        {"Light_Red", MakeColor(255, 128, 128)},
        {"DARK_GRAY", MakeColor(128, 128, 128)},
        {"light_cyan", MakeColor(128, 255, 255)},
        {"010203", MakeColor(1, 2, 3)},
        {"FF800", 0},    // five digits
        {"FF80000", 0},  // seven digits
        {"FF800G", 0},   // not hexadecimal
        {" FF8000", 0},  // nothing around the digits
        {"red ", 0},     // nor around a name
        {"orange", 0},   // unknown name
        {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseColor(c.text), c.color) << c.text;
}

TEST(TextFormat, ColorToText)
{
    const struct {
        Color color;
        std::string_view text;
    } cases[] = {
        {MakeColor(0, 255, 0), "green"},
        {MakeColor(1, 2, 3), "010203"},
        {MakeColor(192, 192, 192), "light_gray"},
        {MakeColor(255, 128, 0), "FF8000"},
        {MakeColor(0, 0, 0), "black"},
        {kWindowDefaultColor, "FFFFFF"},  // special values lose their high byte
        {kInheritColor, "FEFFFF"},
    };
    for (const auto& c : cases) EXPECT_EQ(ColorToText(c.color), c.text) << std::hex << c.color;

    // Every name and a spread of other values read back as themselves.
    for (uint32_t v = 0; v < 0x1000000; v += 0x10307)
        EXPECT_EQ(ParseColor(ColorToText(v)), v) << std::hex << v;
    for (auto name :
         {"black",        "dark_gray",  "light_gray",    "white",     "red",       "green",
          "yellow",       "blue",       "magenta",       "cyan",      "dark_red",  "dark_green",
          "dark_yellow",  "dark_blue",  "dark_magenta",  "dark_cyan", "light_red", "light_green",
          "light_yellow", "light_blue", "light_magenta", "light_cyan"})
        EXPECT_EQ(ColorToText(ParseColor(name)), name);
}

TEST(TextFormat, ParseAndWrite)
{
    const std::string face40(40, 'f');
    const std::string face31(31, 'f');
    const struct {
        std::string text;
        std::string written;
    } cases[] = {
        {R"(underline=0 face="Courier New" height=14)",
         R"(face="Courier New" height=14 underline=0)"},
        {"italic=1 italic=0", "italic=1"},  // an effect once on stays on
        {"italic=0 italic=1", "italic=1"},
        {"height=10 height=12", "height=12"},  // other keys take the last value
        {"textcolor=light_red weight=700", "textcolor=light_red weight=700"},
        {"BackColor=010203 TEXTCOLOR=ff0000", "backcolor=010203 textcolor=red"},
        {"textcolor=nosuch", "textcolor=black"},
        {"height =5", ""},  // the key is "height " and unknown
        {"height= \t 5", "height=5"},
        {"height=-12 width=abc weight=+7x", "height=-12 width=0 weight=7"},
        {"height=99999999999", "height=2147483647"},
        {"strikeout=2 unknown=5 underline=-1", "strikeout=1 underline=1"},
        {R"(face="Courier New)", R"(face="Courier New")"},  // quote runs to the end
        {R"(face="a b"height=3)", R"(face="a b" height=3)"},
        {"face=" + face40, "face=\"" + face31 + "\""},
        {"face=", ""},    // the text ends after "="
        {"novalue", ""},  // and here before one
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        TextFormat format = DefaultTextFormat();
        EXPECT_TRUE(ParseFormat(c.text, format)) << c.text;
        EXPECT_EQ(FormatToText(format), c.written) << c.text;
    }

    TextFormat untouched = DefaultTextFormat();
    EXPECT_FALSE(ParseFormat(std::nullopt, untouched));
    EXPECT_EQ(untouched, DefaultTextFormat());

    TextFormat italic;
    ParseFormat("italic=1 italic=0", italic);
    EXPECT_EQ(italic.mask, mask::kItalic);
    EXPECT_EQ(italic.effects, effect::kItalic);
}

TEST(TextFormat, Resolve)
{
    using namespace mask;
    constexpr uint32_t kBlink1 = 0x10000, kBlink3 = 0x30000, kXEffect2 = 0x2000000;
    TextFormat inForce = DefaultTextFormat();  // grey on black, weight 400, height 16
    inForce.effects = effect::kItalic | effect::kUnderline | effect::kInverse | kXEffect2 | kBlink1;
    inForce.width = 9;
    const Color kGrey = inForce.textColor;
    const struct {
        const char* name;
        uint32_t mask, effects;
        Color back, text;
        uint32_t effectsOut;
        Color backOut, textOut;
        int32_t widthOut;
        std::string_view faceOut;
    } cases[] = {
        {"text colour only: the rest inherited but inverse, the face dropped", kTextColor, 0, 7,
         0x123456, effect::kItalic | effect::kUnderline | kXEffect2 | kBlink1, 0, 0x123456, 9, ""},
        {"set fields win; window default kept; inherit replaced",
         kUnderline | kBackColor | kTextColor | kFace | effect::kBlink | kWidth, kBlink3,
         kWindowDefaultColor, kInheritColor, effect::kItalic | kXEffect2 | kBlink3,
         kWindowDefaultColor, kGrey, 0, "Mono"},
        {"inverse only where pushed", kInverse, effect::kInverse, 0, 0,
         effect::kItalic | effect::kUnderline | effect::kInverse | kXEffect2 | kBlink1, 0, kGrey, 9,
         ""},
        {"everything set: nothing inherited", kAll, 0, 1, 2, 0, 1, 2, 0, "Mono"},
        {"everything set but inherit colours", kAll, 0, kInheritColor, kInheritColor, 0, 0, kGrey,
         0, "Mono"},
    };
    for (const auto& c : cases) {
        TextFormat pushed;
        pushed.mask = c.mask;
        pushed.effects = c.effects;
        pushed.backColor = c.back;
        pushed.textColor = c.text;
        pushed.weight = pushed.height = 0;
        pushed.SetFace("Mono");
        TextFormat r = ResolveFormat(pushed, inForce);
        EXPECT_EQ(r.mask, kAll) << c.name;
        EXPECT_EQ(r.effects, c.effectsOut) << c.name;
        EXPECT_EQ(r.backColor, c.backOut) << c.name;
        EXPECT_EQ(r.textColor, c.textOut) << c.name;
        EXPECT_EQ(r.width, c.widthOut) << c.name;
        EXPECT_EQ(r.weight, c.mask & kWeight ? 0 : 400) << c.name;
        EXPECT_EQ(r.height, c.mask & kHeight ? 0 : 16) << c.name;
        EXPECT_EQ(r.Face(), c.faceOut) << c.name;
    }
}

TEST(TextFormat, EqualitySeesEveryField)
{
    const TextFormat base = DefaultTextFormat();
    void (*const changes[])(TextFormat&) = {
        [](TextFormat& f) { f.mask ^= 1; },
        [](TextFormat& f) { f.effects ^= effect::kXEffect; },
        [](TextFormat& f) { f.height++; },
        [](TextFormat& f) { f.width++; },
        [](TextFormat& f) { f.weight++; },
        [](TextFormat& f) { f.backColor ^= 0x10000; },
        [](TextFormat& f) { f.textColor ^= 0x10000; },
        [](TextFormat& f) { f.face[0]++; },
        [](TextFormat& f) { f.SetFace("Courier Newt"); },
        [](TextFormat& f) { f.face[30] = 'x'; },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        TextFormat changed = base;
        changes[i](changed);
        EXPECT_FALSE(changed == base) << i;
        EXPECT_TRUE(changed != base) << i;
        EXPECT_TRUE(TextFormat(changed) == changed) << i;
    }
}

TEST(OutputFormats, NamesAndDefaults)
{
    const struct {
        OutputFormat format;
        std::string_view name;
        std::string_view text;
    } cases[] = {
        {OutputFormat::Default, "Output: Default",
         R"(backcolor=black textcolor=light_gray face="Courier New" height=16 weight=400 )"
         "italic=0 strikeout=0 underline=0"},
        {OutputFormat::Highlight, "Output: Highlight", "textcolor=white weight=400 underline=0"},
        {OutputFormat::Error, "Output: Error", "textcolor=light_red weight=400 underline=0"},
        {OutputFormat::System, "Output: System", "textcolor=C0FFC0 weight=400 underline=0"},
        {OutputFormat::Header, "Output: Header", "textcolor=C0FFC0 weight=400 underline=1"},
        {OutputFormat::Echo, "Output: Echo", "textcolor=FFFFC0 weight=400 underline=0"},
        {OutputFormat::Command, "Output: Command", "textcolor=white weight=400 underline=0"},
        {OutputFormat::Prompt, "Output: Prompt",
         R"(backcolor=404040 textcolor=white face="Courier New" height=16 weight=400 )"
         "italic=0 strikeout=0 underline=0"},
    };
    OutputFormatSet set;
    for (const auto& c : cases) {
        EXPECT_EQ(OutputFormatName(c.format), c.name);
        EXPECT_EQ(FindOutputFormat(c.name), c.format);
        EXPECT_EQ(FormatToText(DefaultOutputFormat(c.format)), c.text) << c.name;
        EXPECT_EQ(set[c.format], DefaultOutputFormat(c.format)) << c.name;
    }
    EXPECT_EQ(FindOutputFormat("Output: default"), std::nullopt);
    EXPECT_EQ(FindOutputFormat("Output:"), std::nullopt);
    EXPECT_EQ(set.global, DefaultTextFormat());
}

}  // namespace
}  // namespace zel
