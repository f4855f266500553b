// SettingsWriter: builds the text of a settings file, a file of command lines that gives the
// settings back when it is read. Each table writes its own section through it (see
// SettingsSections.h); the file itself is written by WriteSettingsFile.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "lang/SpecialChars.h"

namespace zel {

// One argument of a written command line.
struct SettingsField {
    enum class Kind : uint8_t {
        Text,        // escaped, in a group
        ScopedName,  // escaped, in a group, kept whole by a reader that drops scope prefixes
        Plain,       // in a group as it is: text that holds no special character
    };
    std::string_view text;
    Kind kind = Kind::Text;
};

class SettingsWriter {
public:
    explicit SettingsWriter(const SpecialChars& chars) : chars_(chars) {}

    const SpecialChars& Chars() const { return chars_; }
    // "rem <text>", or "rem" alone for an empty text. The text stays a comment when read:
    // line ends become spaces, split characters are escaped, variable characters doubled.
    void Comment(std::string_view text);
    // A section's heading, "rem -------- TITLE ------", 32 characters of dashes and title.
    void Heading(std::string_view title);
    // The command character, `words` as they are, each field as a group, then `tail` as it
    // is. A field whose argument characters do not pair up is written between other argument
    // characters, switched to for this line only.
    void Command(std::string_view words, std::initializer_list<SettingsField> fields,
                 std::string_view tail = {});
    // A command line written as it is: the command character, then `words`.
    void PlainCommand(std::string_view words);

    const std::string& Text() const { return text_; }
    std::string TakeText() { return std::move(text_); }

private:
    void AppendCommand(const SpecialChars& chars, std::string_view words,
                       std::initializer_list<SettingsField> fields, std::string_view tail);
    void SwitchArgumentChars(char begin, char end);

    SpecialChars chars_;
    std::string text_;
};

// A field's text as it is written inside a group: the escape, begin-argument and
// end-argument characters get the escape character in front, the variable character is
// doubled, and line feed and carriage return become the escape character with "n" and "r".
// Reading the line back (substitution) gives the text again.
std::string EscapeSettingsField(const SpecialChars& chars, std::string_view text);

// True when `text` in a group of `begin` and `end` reads back as one word: every end
// character closes a begin character of the text itself.
bool ArgumentCharsPairUp(std::string_view text, char begin, char end);

}  // namespace zel
