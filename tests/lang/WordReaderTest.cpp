// The word readers that every command handler uses.
#include "lang/WordReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace zel {
namespace {

std::vector<std::string> Words(std::string_view text, size_t capacity = kNameCapacity,
                               SpecialChars chars = {})
{
    WordReader reader(chars, text);
    std::vector<std::string> words;
    std::string word;
    while (reader.NextWord(word, capacity)) words.push_back(word);
    return words;
}

TEST(WordReader, SplitsWordsAndGroups)
{
    using W = std::vector<std::string>;
    const struct {
        std::string_view text;
        W words;
    } cases[] = {
        {"", {}},
        {" \t\r\n ", {}},
        {"a b  c", {"a", "b", "c"}},
        {"{a b} c", {"a b", "c"}},
        {"{a {b} c}d", {"a {b} c", "d"}},  // inner groups kept, the word ends at the close
        {"{a;b", {"a;b"}},                 // the end of the text ends a group
        {"{}", {""}},
        {"x{a b}", {"x{a", "b}"}},  // groups only at the start of a word
        {"a\\ b", {"a\\", "b"}},    // the escape character means nothing here
        {"}a {", {"}a", ""}},
    };
    for (const auto& c : cases) EXPECT_EQ(Words(c.text), c.words) << c.text;

    SpecialChars parens;
    parens.beginArgument = '(';
    parens.endArgument = ')';
    EXPECT_EQ(Words("(a b) {c d}", kNameCapacity, parens), (W{"a b", "{c", "d}"}));
}

TEST(WordReader, CutsAtCapacityButEndsWhereTheWordEnds)
{
    EXPECT_EQ(Words("abcdef gh", 3), (std::vector<std::string>{"abc", "gh"}));
    EXPECT_EQ(Words("{abc def} gh", 2), (std::vector<std::string>{"ab", "gh"}));
    const std::string longWord = std::string(100000, 'x') + " y";
    WordReader reader({}, longWord);
    std::string word;
    ASSERT_TRUE(reader.NextWord(word));
    EXPECT_EQ(word.size(), kNameCapacity);
    ASSERT_TRUE(reader.NextWord(word));
    EXPECT_EQ(word, "y");
}

TEST(WordReader, RestOfLineTakesEverythingUnlessGrouped)
{
    SpecialChars chars;
    std::string word;
    WordReader plain(chars, "  one two  three ");
    ASSERT_TRUE(plain.NextWord(word, kTextCapacity, true));
    EXPECT_EQ(word, "one two  three ");
    WordReader grouped(chars, "{one two} three");
    ASSERT_TRUE(grouped.NextWord(word, kTextCapacity, true));
    EXPECT_EQ(word, "one two");
    EXPECT_EQ(grouped.Rest(), " three");
}

TEST(WordReader, ScopedWordsDropUpToTwoQualifiers)
{
    const struct {
        std::string_view text, name;
    } cases[] = {{"c", "c"},  {"b.c", "c"},  {"a.b.c", "c"}, {"a.b.c.d", "c.d"},
                 {".c", "c"}, {"a..c", "c"}, {"c.", ""},     {"{x.y z}", "y z"}};
    for (const auto& c : cases) {
        WordReader reader({}, c.text);
        std::string name;
        ASSERT_TRUE(reader.NextScopedWord(name)) << c.text;
        EXPECT_EQ(name, c.name) << c.text;
    }
}

TEST(WordReader, NumbersAreLenient)
{
    const struct {
        std::string_view text;
        std::vector<int32_t> values;
    } cases[] = {
        {"12 34", {12, 34}}, {"{12} {-3}", {12, -3}},       {"-5 7", {-5, 7}},
        {"+8", {8}},         {"99999999999", {2147483647}}, {"-99999999999", {-2147483647 - 1}},
        {"7abc", {7}},
    };
    for (const auto& c : cases) {
        WordReader reader({}, c.text);
        std::vector<int32_t> values;
        int32_t value = -1;
        for (size_t i = 0; i < c.values.size() && reader.NextNumber(value); ++i)
            values.push_back(value);
        EXPECT_EQ(values, c.values) << c.text;
    }
    WordReader empty({}, "   ");
    int32_t value = 5;
    EXPECT_FALSE(empty.NextNumber(value));
    EXPECT_EQ(value, 0);
    WordReader word({}, "abc");
    EXPECT_TRUE(word.NextNumber(value));
    EXPECT_EQ(value, 0);
}

TEST(WordReader, Booleans)
{
    const struct {
        std::string_view text;
        bool value;
    } cases[] = {{"on", true},      {"ON", true},       {"Yes", true}, {"TRUE", true},
                 {"1", true},       {"7x", true},       {"0", false},  {"05", false},
                 {"off", false},    {"nope", false},    {"", false},   {"{on}", true},
                 {"onward", false}, {"true-ish", false}};
    for (const auto& c : cases) {
        WordReader reader({}, c.text);
        bool value = !c.value;
        reader.NextBoolean(value);
        EXPECT_EQ(value, c.value) << c.text;
    }
}

}  // namespace
}  // namespace zel
