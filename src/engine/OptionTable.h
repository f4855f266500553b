// The option table: one row for each name that the `option` command knows, saying all there
// is to say about it: how its argument is read, the field it reads and writes, its limits and
// default, its report and change texts, its lines in the listing and in a settings file, and
// the help texts of its `option <name>` entry. The option command, the settings writer and
// the command table read it. It holds no values: they live in Options, SpecialChars and the
// output views' style, where the parts that act on them read them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <string_view>

#include "display/OutputFormats.h"
#include "engine/Options.h"
#include "lang/SpecialChars.h"

namespace zel {

// How an option's argument is read and its value kept. The comment gives the conversions of
// the row's report and change texts, checked at compile time.
enum class OptionType : uint8_t {
    Character,      // %c: the first character of the argument
    CommandChar,    // %c: as Character, applied through SetCommandChar
    ArgumentChars,  // %c %c: first character, then the next after white space (or the first)
    Flag,           // %s: NextBoolean, "on" or "off"
    Number,         // %ld: a decimal number, kept within the row's limits
    Choice,         // %s: a word of the row's list, compared without regard to case
    Encoding,       // %s: a name of the row's list (case, '-' and '_' ignored); an unknown
                    // name or one the C library cannot convert is refused
    History,        // %ld %ld %ld: three numbers read with NextNumber
    Priority,       // %s: the process's priority class by name; not stored
    Color,          // %lX: a colour of the output views
    Font,           // report: no conversion; change: %s, the face of the output views
    Ignored,        // accepted names without meaning: nothing printed, nothing changed
};

// What a change sets in motion besides the stored value.
enum class OptionEffect : uint8_t {
    None,
    Ansi,          // the output buffer's ANSI flag follows the option
    ScrollSize,    // the output buffer's line limit follows it
    ScrollMemory,  // the output buffer's byte limit follows it
    Tips,          // turning tips off hides the tip window
    Clear,         // the input line is given the new mode
    Encoding,      // the output buffer and the actions follow the engine's text form
    Layout,        // the main window is laid out again
};

// The headings of the listing, in listing order.
enum class OptionGroup : uint8_t {
    None,
    Characters,
    Output,
    Scrolling,
    History,
    Input,
    Network,
    Other
};

// The settings-file section that writes an option.
enum class OptionSection : uint8_t { None, Characters, Options };

// One line of the listing: "  " and the label, padded with middle dots to 15 characters,
// a space, then the value of the row's part with the line's index and the unit.
struct OptionListLine {
    std::string_view label{};    // empty: no line
    std::string_view unit{};     // after a number
    bool onWhenNonZero = false;  // "on" for any value but 0, in place of the value's word
};

constexpr size_t kOptionListLabelWidth = 13;

// A value is kept in up to three parts: `characters` for the character types, `flag`,
// `numbers` for Number, Choice and History. The fields a type does not use stay null.
struct OptionRow {
    std::string_view name{};
    OptionType type = OptionType::Ignored;
    std::array<char SpecialChars::*, 2> characters{};
    bool Options::*flag = nullptr;
    std::array<int32_t Options::*, 3> numbers{};
    Color OutputViewStyle::*color = nullptr;
    // Of each part, as kept: a character's byte, 1 for on; equal to the field's initializer.
    std::array<int32_t, 3> byDefault{};
    int32_t minimum = std::numeric_limits<int32_t>::min();
    int32_t maximum = std::numeric_limits<int32_t>::max();
    // Number: NextNumber (which unwraps {5}) instead of the argument as it stands.
    // Choice: the next word instead of the whole argument.
    bool readsWord = false;
    std::span<const char* const> words{};  // Choice: the word of each value from 0
    const char* shownOtherwise = "";       // Choice: shown for a value without a word
    const char* savedOtherwise = "";       // Choice: written for a value without a word
    OptionEffect effect = OptionEffect::None;
    bool marksChanged = true;  // whether a change sets the settings-changed flag
    const char* report = "";
    const char* change = "";
    OptionGroup listedUnder = OptionGroup::None;
    std::array<OptionListLine, 3> listed{};
    OptionSection savedIn = OptionSection::None;
    uint8_t savedAt = 0;             // place in its section, from 1
    bool savedOnlyChanged = false;   // written only when not at its default
    std::string_view arguments{};    // help: the syntax after "|option <name> "; empty: none
    std::string_view description{};  // help
};

// Every row, in listing order.
std::span<const OptionRow> OptionRows();
// The row of an option name, matched exactly; null for none.
const OptionRow* FindOptionRow(std::string_view name);
// The rows a section writes, in file order.
std::span<const OptionRow* const> SavedOptionRows(OptionSection section);
// "SPECIAL CHARACTERS", "OUTPUT", ...
std::string_view OptionGroupTitle(OptionGroup group);

// Parts of the row's value: 1, 2 for achars, 3 for history, 0 for types not kept in fields
// of Options or SpecialChars (Priority counts 1 for its listing line).
constexpr size_t PartCount(OptionType type)
{
    switch (type) {
        case OptionType::Character:
        case OptionType::CommandChar:
        case OptionType::Flag:
        case OptionType::Number:
        case OptionType::Choice:
        case OptionType::Encoding:
        case OptionType::Priority:
            return 1;
        case OptionType::ArgumentChars:
            return 2;
        case OptionType::History:
            return 3;
        default:
            return 0;
    }
}

// Part `i` of the row's value as kept: a character's byte, 0 or 1 for a flag, a number.
constexpr int32_t PartValue(const OptionRow& row, const Options& options, const SpecialChars& chars,
                            size_t i)
{
    switch (row.type) {
        case OptionType::Character:
        case OptionType::CommandChar:
        case OptionType::ArgumentChars:
            return chars.*row.characters[i];
        case OptionType::Flag:
            return options.*row.flag ? 1 : 0;
        case OptionType::Number:
        case OptionType::Choice:
        case OptionType::Encoding:
        case OptionType::History:
            return options.*row.numbers[i];
        default:
            return 0;
    }
}

constexpr const char* OnOffWord(bool on)
{
    return on ? "on" : "off";
}

// A Choice value's word, or the row's word for a value without one.
constexpr const char* ShownWord(const OptionRow& row, int32_t value)
{
    return value >= 0 && size_t(value) < row.words.size() ? row.words[size_t(value)]
                                                          : row.shownOtherwise;
}
constexpr const char* SavedWord(const OptionRow& row, int32_t value)
{
    return value >= 0 && size_t(value) < row.words.size() ? row.words[size_t(value)]
                                                          : row.savedOtherwise;
}

// Calls `visit` for each option with help texts, in table order: `name` is the command-table
// name ("option ansi"), `syntax` the full syntax ("|option ansi [on|off]"). Both are valid
// during the call only; `description` is static.
void ForEachOptionHelpRow(const std::function<void(std::string_view name, std::string_view syntax,
                                                   std::string_view description)>& visit);

}  // namespace zel
