// WordReader: how every command handler takes its argument text apart: words (grouped in
// the begin/end-argument characters), scoped names, lenient numbers and on/off words.
// It reads a view it does not own and never writes past the capacities it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "lang/SpecialChars.h"

namespace zel {

// Capacities, in characters (the terminating NUL of a C buffer not counted).
constexpr size_t kLineCapacity = 16384;  // a segment, an expansion, a substitution
constexpr size_t kNameCapacity = 511;    // names and words
constexpr size_t kTextCapacity = 16383;  // a command, header, description or value
constexpr size_t kFunctionNameCapacity = 512;
// A line of a settings file: room for the longest definition line, every field escaped.
constexpr size_t kSettingsLineCapacity = 131072;

// Space and the bytes 9 to 13.
constexpr bool IsWhiteSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}
constexpr bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
constexpr bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
std::string_view SkipWhiteSpace(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

class WordReader {
public:
    WordReader(SpecialChars chars, std::string_view text) : chars_(chars), rest_(text) {}

    // Reads the next word into `word` (at most `capacity` characters kept). A word starting
    // with the begin-argument character runs to its matching end character, nesting
    // counted; otherwise it runs to white space, or to the end when `restOfLine` is set.
    // False, with `word` empty, when nothing but white space is left.
    bool NextWord(std::string& word, size_t capacity = kNameCapacity, bool restOfLine = false);
    // As NextWord, keeping the part after the second scope character, or after the only one.
    bool NextScopedWord(std::string& name, size_t capacity = kNameCapacity,
                        bool restOfLine = false);
    // A signed decimal number, optionally in argument characters; no digits read as 0.
    // False, with 0, when nothing is left.
    bool NextNumber(int32_t& value);
    // "yes", "on", "true" (any case) or a word starting with a digit other than 0.
    bool NextBoolean(bool& value);

    void SkipWhiteSpace() { rest_ = zel::SkipWhiteSpace(rest_); }
    std::string_view Rest() const { return rest_; }
    bool AtEnd() const { return rest_.empty(); }

private:
    SpecialChars chars_;  // a copy: eight bytes, and no reference to outlive
    std::string_view rest_;
};

// Reads a signed decimal number at the start of `text` (white space, a sign, digits),
// saturating at the 32-bit range; no digits give 0. `used` receives the characters read.
int32_t ParseNumber(std::string_view text, size_t* used = nullptr);

}  // namespace zel
