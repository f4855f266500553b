// Key codes as names and names as key codes.
#include <gtest/gtest.h>

#include <string>

#include "input/KeyNames.h"

namespace zel {
namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return text;
}

// clang-format off
TEST(KeyNames, PrintedNames)
{
    const struct { KeyCode code; const char* name; } cases[] = {
        {0x08, "BACKSPACE"}, {0x0C, "CLEAR"}, {0x14, "CAPSLOCK"}, {0x2C, "SNAPSHOT"},
        {0x2F, "HELP"}, {0x60, "NUMPAD0"}, {0x69, "NUMPAD9"}, {0x6C, "SEPARATOR"},
        {0x70, "F1"}, {0x7B, "F12"}, {0x87, "F24"}, {0x90, "NUMLOCK"}, {0x91, "SCROLLLOCK"},
        {0x41, "A"}, {0x5A, "Z"}, {0x30, "0"}, {0x39, "9"},
        {0xBA, "[BA]"}, {0x00, "[00]"}, {0x15, "[15]"}, {0x1BA, "[BA]"},
        {0x200041, "CONTROL+A"}, {0x1200041, "CONTROL+ALT+A"},
        {0x11240009, "APPS+CONTROL+SHIFT+ALT+TAB"},
        {0x80041, "Left_CONTROL+A"}, {0x180041, "Left_CONTROL+Right_CONTROL+A"},
        {0x280041, "CONTROL+A"},  // either side wins over a side
        {0x30000, "Left_SHIFT+Right_SHIFT+[00]"}, {0xC00000 | 0x91, "Left_ALT+Right_ALT+SCROLLLOCK"},
        {0x8000041, "A"},         // the Windows key is not printed
    };
    for (const auto& c : cases) EXPECT_EQ(KeyName(c.code), c.name) << std::hex << c.code;
}

TEST(KeyNames, ReadsNamesModifiersPrefixesAndNumbers)
{
    const struct { const char* text; KeyCode code; } cases[] = {
        {"ctrl+a", 0x200041}, {"CONTROL-A", 0x200041}, {"^A", 0x200041}, {"a^", 0x200041},
        {"200041", 0x200041}, {"F5", 0x74}, {"SHIFT+TAB", 0x40009}, {"cntrl+x", 0x200058},
        {"menu+1", 0x1000031}, {"Alt+Shift+8", 0x1040038}, {"ALTGR+q", 0x1200051},
        {"win+a", 0x8000041}, {"apps+Return", 0x1000000D}, {"#@z", 0x104005A},
        {"scrolllock", 0x91}, {"NumPad7", 0x67},
        {"BACK", 0xBAC},        // not a name, but hexadecimal digits
        {"F25", 0xF25}, {"12", 0x12}, {"1", 0x31}, {"b", 0x42},
        {"[BA]", 0xBA}, {"[ba", 0xBA}, {"0x41", 0x41}, {"ctrl+[00]", 0x200000},
        {"FFFFFFFFFFFF", 0xFFFFFFFF},  // saturates
    };
    for (const auto& c : cases) EXPECT_EQ(ParseKeyName(c.text), c.code) << c.text;
}

TEST(KeyNames, UnreadableTextsGiveZero)
{
    for (const char* text : {"", "CONTROL+", "+A", "ctrl--a", "^", "xyz", "G1", "ctrl+zz", "[",
                             "[zz]", "Left_CONTROL+A", "Right_ALT+A", "Left_SHIFT", "NONE",
                             "\xE9"})
        EXPECT_EQ(ParseKeyName(text), 0u) << text;
}
// clang-format on

// Every key value with every combination of the modifiers the keyboard sets reads back from
// its name, in upper and in lower case.
TEST(KeyNames, EveryPrintedNameReadsBack)
{
    constexpr KeyCode kModifiers[] = {key::kApps, key::kControl, key::kShift, key::kAlt};
    for (KeyCode k = 0; k <= 0xFF; ++k) {
        for (unsigned set = 0; set < 16; ++set) {
            KeyCode code = k;
            for (unsigned bit = 0; bit < 4; ++bit)
                if (set & (1u << bit)) code |= kModifiers[bit];
            if (code == 0) continue;
            const std::string name = KeyName(code);
            EXPECT_EQ(ParseKeyName(name), code) << name;
            EXPECT_EQ(ParseKeyName(Lower(name)), code) << name;
        }
    }
}

}  // namespace
}  // namespace zel
