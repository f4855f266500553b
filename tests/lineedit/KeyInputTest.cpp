// Key classes and typed characters as key codes; the command at the caret.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/KeyNames.h"
#include "lineedit/CommandAtCaret.h"
#include "lineedit/KeyInput.h"

namespace zel {
namespace {

TEST(KeyInput, ClassesOfKeys)
{
    const struct {
        const char* name;
        bool modifier, typing;
    } cases[] = {
        {"A", false, true},          {"SHIFT+A", false, true},    {"CONTROL+ALT+Q", false, true},
        {"CONTROL+A", false, false}, {"ALT+A", false, false},     {"APPS+A", false, false},
        {"F1", false, false},        {"SHIFT+F24", false, false}, {"NUMPAD5", false, true},
        {"RETURN", false, true},     {"[10]", true, true},        {"CONTROL+[11]", true, false},
        {"[12]", true, true},        {"[5D]", true, true},        {"[A3]", true, true},
    };
    for (const auto& c : cases) {
        const KeyCode code = ParseKeyName(c.name);
        ASSERT_NE(code, 0u) << c.name;
        EXPECT_EQ(IsModifierKey(code), c.modifier) << c.name;
        EXPECT_EQ(IsOrdinaryTyping(code), c.typing) << c.name;
    }
    EXPECT_TRUE(IsOrdinaryTyping(0));
}

TEST(KeyInput, TypedCharactersAsKeys)
{
    const struct {
        char32_t c;
        const char* name;  // empty: no key
    } cases[] = {
        {'a', "A"},    {'Z', "SHIFT+Z"},    {'7', "7"},          {'!', "SHIFT+1"}, {')', "SHIFT+0"},
        {';', "[BA]"}, {':', "SHIFT+[BA]"}, {'|', "SHIFT+[DC]"}, {' ', "SPACE"},   {'\r', "RETURN"},
        {'\t', "TAB"}, {0x1B, "ESCAPE"},    {0xE9, ""},          {0x65E5, ""},
    };
    for (const auto& c : cases) {
        const KeyCode code = KeyForCharacter(c.c);
        EXPECT_EQ(code == 0 ? std::string() : KeyName(code), c.name) << uint32_t(c.c);
    }
}

TEST(CommandAtCaret, BoundariesWordsAndArgumentIndex)
{
    const SpecialChars chars;
    const struct {
        std::string text;
        size_t caret;
        std::string command;
        std::vector<std::string> words;
        int index;
    } cases[] = {
        {"kill or", 7, "kill or", {"kill", "or"}, 1},
        {"north;kill", 10, "kill", {"kill"}, 0},
        {"kill tr;north", 7, "kill tr", {"kill", "tr"}, 1},
        {"north;  kill o", 14, "kill o", {"kill", "o"}, 1},
        {"say a\\;b", 8, "say a\\;b", {"say", "a\\;b"}, 1},  // an escaped split
        {"|bind add ", 10, "|bind add ", {"|bind", "add"}, 2},
        {"|bind ad", 8, "|bind ad", {"|bind", "ad"}, 1},
        {"|bind add exec F5 x", 3, "|bind", {"|bind"}, 0},  // ends at the caret's word
        {"a b c d e", 9, "a b c d e", {"a", "b", "c"}, 4},
        {"|if {x} {look;kil}", 16, "kil", {"kil"}, 0},  // inside a group
        {"|if {x} {y} kil", 15, "|if {x} {y} kil", {"|if", "{x}", "{y}"}, 3},
        {"go {north} there", 9, "north", {"north"}, 0},  // ends at the end-argument
        {"", 0, "", {}, 0},
        {"abc", 99, "abc", {"abc"}, 0},
    };
    for (const auto& c : cases) {
        const CommandAtCaret at = FindCommandAtCaret(c.text, c.caret, chars);
        EXPECT_EQ(at.TextIn(c.text), c.command) << c.text;
        EXPECT_EQ(at.words, c.words) << c.text;
        EXPECT_EQ(at.argumentIndex, c.index) << c.text;
    }
}

}  // namespace
}  // namespace zel
