// The rows of the option table and the compile-time checks that keep them consistent with
// their types, with the fields' initializers and with each other.
#include "engine/OptionTable.h"

#include <string>

namespace zel {
namespace {

using T = OptionType;
using G = OptionGroup;
using S = OptionSection;
using E = OptionEffect;

// The words of Choice values, from 0; the scroll-back position's are ScrollPosition's.
constexpr const char* kScrollPositionWords[] = {"none", "top", "left", "right"};
constexpr const char* kClearModeWords[] = {"off", "mix", "on"};
// The names of base/TextCodec.h's encodings, in its order (checked by a test).
constexpr const char* kEncodingWords[] = {
    "Windows-1252", "UTF-8",       "CP437", "CP850", "CP1251",    "KOI8-R", "ISO-8859-1",
    "ISO-8859-2",   "ISO-8859-15", "GBK",   "Big5",  "Shift_JIS", "EUC-KR"};
static_assert(std::string_view(kScrollPositionWords[int(ScrollPosition::Right)]) == "right");

// Table order is listing order. Rows that are not listed sit beside their kin.
// clang-format off
constexpr OptionRow kRows[] = {
    // --- Special characters ---
    {.name = "cchar", .type = T::CommandChar, .characters = {&SpecialChars::command},
     .byDefault = {'|'},
     .report = "Command char is '%c'\n", .change = "Command char set to '%c'\n",
     .listedUnder = G::Characters, .listed = {{{"CMD-CHAR"}}},
     // Not in the CHARACTERS section: a settings file's first line names it.
     .arguments = "[command-char]", .description = "sets the command character"},
    {.name = "echar", .type = T::Character, .characters = {&SpecialChars::escape},
     .byDefault = {'\\'},
     .report = "Escape char is '%c'\n", .change = "Escape char set to '%c'\n",
     .listedUnder = G::Characters, .listed = {{{"ESC-CHAR"}}},
     .savedIn = S::Characters, .savedAt = 1,
     .arguments = "[escape-char]", .description = "sets the escape character"},
    {.name = "schar", .type = T::Character, .characters = {&SpecialChars::split},
     .byDefault = {';'},
     .report = "Split char is '%c'\n", .change = "Split char set to '%c'\n",
     .listedUnder = G::Characters, .listed = {{{"SPLIT-CHAR"}}},
     .savedIn = S::Characters, .savedAt = 3,
     .arguments = "[split-char]", .description = "sets the split character"},
    {.name = "vchar", .type = T::Character, .characters = {&SpecialChars::variable},
     .byDefault = {'$'},
     .report = "Variable char is '%c'\n", .change = "Varialbe char set to '%c'\n",
     .listedUnder = G::Characters, .listed = {{{"VAR-CHAR"}}},
     .savedIn = S::Characters, .savedAt = 4,
     .arguments = "[variable-char]", .description = "sets the variable character"},
    {.name = "xchar", .type = T::Character, .characters = {&SpecialChars::execute},
     .byDefault = {'!'},
     .report = "Exec char is '%c'\n", .change = "Exec char set to '%c'\n",
     .listedUnder = G::Characters, .listed = {{{"EXEC-CHAR"}}},
     .savedIn = S::Characters, .savedAt = 5,
     .arguments = "[execute-char]", .description = "sets the execute character"},
    {.name = "achars", .type = T::ArgumentChars,
     .characters = {&SpecialChars::beginArgument, &SpecialChars::endArgument},
     .byDefault = {'{', '}'},
     .report = "Argument chars are '%c' and '%c'\n",
     .change = "Argument chars set to '%c' and '%c'\n",
     .listedUnder = G::Characters, .listed = {{{"ARG-CHAR1"}, {"ARG-CHAR2"}}},
     .savedIn = S::Characters, .savedAt = 2,
     .arguments = "[begin-argument-char] [end-argument-char]",
     .description = "sets the argument chars"},
    {.name = "ochar", .type = T::Character, .characters = {&SpecialChars::scope},
     .byDefault = {'.'},
     .report = "Scope char is '%c'\n", .change = "Scope char set to '%c'\n",
     .savedIn = S::Characters, .savedAt = 6,
     .arguments = "[scope-char]", .description = "sets the scope character"},

    // --- Output ---
    {.name = "ansi", .type = T::Flag, .flag = &Options::ansi, .byDefault = {true},
     .effect = E::Ansi,
     .report = "ANSI mode is %s\n", .change = "ANSI mode set to %s\n",
     .listedUnder = G::Output, .listed = {{{"ANSI"}}},
     .savedIn = S::Options, .savedAt = 3,
     .arguments = "[on|off]", .description = "enables or disables ansi colors"},
    {.name = "compact", .type = T::Flag, .flag = &Options::compact, .byDefault = {false},
     .report = "Compact mode is is %s\n", .change = "Compact mode set to %s\n",
     .listedUnder = G::Output, .listed = {{{"COMPACT"}}},
     .savedIn = S::Options, .savedAt = 2,
     .arguments = "[on|off]", .description = "enables or disables compact mode"},
    {.name = "echo", .type = T::Flag, .flag = &Options::localEcho, .byDefault = {true},
     .report = "Local echo is is %s\n", .change = "Local echo set to %s\n",
     .savedIn = S::Options, .savedAt = 1,
     .arguments = "[on|off]", .description = "turns command echoing on or off"},

    // --- Scrolling ---
    {.name = "scrollsize", .type = T::Number, .numbers = {&Options::scrollSize},
     .byDefault = {16384}, .effect = E::ScrollSize,
     .report = "Scroll-back buffer size is %ld lines\n",
     .change = "Scroll-back buffer size set to %ld lines\n",
     .listedUnder = G::Scrolling, .listed = {{{"SCROLL-SIZE", " lines"}}},
     .savedIn = S::Options, .savedAt = 6,
     .arguments = "[lines]",
     .description = "sets the number of lines to store in the scroll-back buffer"},
    {.name = "scrollpos", .type = T::Choice, .numbers = {&Options::scrollPos},
     .byDefault = {int32_t(ScrollPosition::Top)},
     .words = kScrollPositionWords, .shownOtherwise = "unknown", .savedOtherwise = "none",
     .effect = E::Layout,
     .report = "Scroll-back position is %s\n", .change = "Scroll-back position set to %s\n",
     .listedUnder = G::Scrolling, .listed = {{{"SCROLL-POS"}}},
     .savedIn = S::Options, .savedAt = 9,
     .arguments = "[left|top|right]",
     .description = "sets the position of the scroll-back window"},
    {.name = "scrollheight", .type = T::Number, .numbers = {&Options::scrollHeight},
     .byDefault = {50}, .minimum = 0, .maximum = 100, .effect = E::Layout,
     .report = "Scroll-back window height is %ld%%\n",
     .change = "Scroll-back window height set to %ld%%\n",
     .listedUnder = G::Scrolling, .listed = {{{"SCROLL-HEIGHT", "%"}}},
     .savedIn = S::Options, .savedAt = 7,
     .arguments = "[height(%)]",
     .description = "sets the height (in %) of the scroll-back window"},
    {.name = "scrollwidth", .type = T::Number, .numbers = {&Options::scrollWidth},
     .byDefault = {50}, .minimum = 0, .maximum = 100, .effect = E::Layout,
     .report = "Scroll-back window width is %ld%%\n",
     .change = "Scroll-back window width set to %ld%%\n",
     .listedUnder = G::Scrolling, .listed = {{{"SCROLL-WIDTH", "%"}}},
     .savedIn = S::Options, .savedAt = 8,
     .arguments = "[width(%)]",
     .description = "sets the width (in %) of the scroll-back window"},
    {.name = "scrollrate", .type = T::Number, .numbers = {&Options::scrollRate},
     .byDefault = {0}, .minimum = 0, .effect = E::Layout,
     .report = "Scroll-back rate is %ld lines\n", .change = "Scroll-rate set to %ld lines\n",
     .listedUnder = G::Scrolling, .listed = {{{"SCROLL-RATE", " lines"}}},
     .savedIn = S::Options, .savedAt = 10,
     .arguments = "[lines]",
     .description = "sets the number of lines to display in a go when receiving data"},

    // --- History ---
    {.name = "history", .type = T::History,
     .numbers = {&Options::historyWindow, &Options::historyActive, &Options::historyTotal},
     .byDefault = {3, 3, 1000}, .effect = E::Layout,
     .report = "History size is %ld (window) / %ld (active) / %ld (total)\n",
     .change = "History size set to %ld (window) / %ld (active) / %ld (total)\n",
     .listedUnder = G::History,
     .listed = {{{"SIZE", " lines"}, {"ACTIVE SIZE", " lines"}, {"SIZE", " lines"}}},
     .savedIn = S::Options, .savedAt = 11,
     .arguments = "<window_size> <active_window_size> <total_size>",
     .description = "sets the history window size and number of history lines to store"},
    {.name = "histignore", .type = T::Number, .numbers = {&Options::historyIgnore},
     .byDefault = {0}, .readsWord = true,
     .report = "History ignore is %ld chars\n", .change = "History ignore set to %ld chars\n",
     .listedUnder = G::History, .listed = {{{"IGNORE", " lines"}}},
     .savedIn = S::Options, .savedAt = 12,
     .arguments = "<num_chars>",
     .description = "sets the minimum size of commands to be stored in the history"},

    // --- Input ---
    {.name = "clear", .type = T::Choice, .numbers = {&Options::clearMode},
     .byDefault = {2}, .readsWord = true,
     .words = kClearModeWords, .shownOtherwise = "mix", .savedOtherwise = "mix",
     .effect = E::Clear,
     .report = "CLEAR mode is %s\n", .change = "CLEAR mode set to %s\n",
     .listedUnder = G::Input, .listed = {{{"AUTO-CLEAR", "", true}}},
     .savedIn = S::Options, .savedAt = 4,
     .arguments = "[on|mix|off]", .description = "sets the autoclearin mode"},
    {.name = "tips", .type = T::Flag, .flag = &Options::tips, .byDefault = {true},
     .effect = E::Tips,
     .report = "TIPs are turned %s\n", .change = "TIPs turned %s\n",
     .savedIn = S::Options, .savedAt = 5,
     .arguments = "[on|off]", .description = "enables or disables the tooltip help window"},

    // --- Network ---
    {.name = "autonaws", .type = T::Flag, .flag = &Options::autoNaws, .byDefault = {false},
     .report = "Auto-NAWS is %s\n", .change = "Auto-NAWS set to %s\n",
     .listedUnder = G::Network, .listed = {{{"AUTO-NAWS"}}},
     .savedIn = S::Options, .savedAt = 13,
     .arguments = "[on|off]",
     .description = "enables autonaws (sending the new window size when resizing)"},

    // --- Other ---
    // The priority belongs to the running process, not to the settings.
    {.name = "priority", .type = T::Priority, .marksChanged = false,
     .report = "Current priority class is '%s'\n", .change = "Priority class set to '%s'\n",
     .listedUnder = G::Other, .listed = {{{"PRIORITY"}}},
     .arguments = "[idle|normal|high|real]", .description = "sets the process priority class"},
    // Listed after the older options, and saved only when changed, so that the listing and
    // settings files of a client that never set it read as before it existed.
    {.name = "linewait", .type = T::Number, .numbers = {&Options::lineWait},
     .byDefault = {50}, .minimum = 0, .maximum = 1000,
     .report = "Line wait is %ld ms\n", .change = "Line wait set to %ld ms\n",
     .listedUnder = G::Other, .listed = {{{"LINE-WAIT", " ms"}}},
     .savedIn = S::Options, .savedAt = 14, .savedOnlyChanged = true,
     .arguments = "<milliseconds>",
     .description = "sets the time (in milliseconds) to wait for the end of a received line "
                    "before showing it"},
    {.name = "scrollmemory", .type = T::Number, .numbers = {&Options::scrollMemory},
     .byDefault = {256}, .minimum = 1, .maximum = 65536, .effect = E::ScrollMemory,
     .report = "Scroll-back memory limit is %ld MB\n",
     .change = "Scroll-back memory limit set to %ld MB\n",
     .listedUnder = G::Other, .listed = {{{"SCROLL-MEMORY", " MB"}}},
     .savedIn = S::Options, .savedAt = 15, .savedOnlyChanged = true,
     .arguments = "<megabytes>",
     .description = "sets the memory that the scroll-back buffer may hold; the oldest lines go "
                    "first"},
    {.name = "encoding", .type = T::Encoding, .numbers = {&Options::encoding},
     .byDefault = {0}, .words = kEncodingWords, .effect = E::Encoding,
     .report = "Encoding is %s\n", .change = "Encoding set to %s\n",
     .listedUnder = G::Other, .listed = {{{"ENCODING"}}},
     .savedIn = S::Options, .savedAt = 16, .savedOnlyChanged = true,
     .arguments = "[Windows-1252|UTF-8|CP437|CP850|CP1251|KOI8-R|ISO-8859-1|ISO-8859-2|"
                  "ISO-8859-15|GBK|Big5|Shift_JIS|EUC-KR]",
     .description = "sets the character set of the server's text"},

    // --- The output window's look: not saved by settings files, so no settings change ---
    {.name = "output_backcolor", .type = T::Color, .color = &OutputViewStyle::backColor,
     .marksChanged = false,
     .report = "Output back color is %06lX\n", .change = "Output window back color set to %06lX\n"},
    {.name = "output_textcolor", .type = T::Color, .color = &OutputViewStyle::textColor,
     .marksChanged = false,
     .report = "Output text color is %06lX\n", .change = "Output window text color set to %06lX\n"},
    {.name = "output_font", .type = T::Font, .marksChanged = false,
     .report = "\n", .change = "Output window font set to %s\n"},

    // --- Accepted names without meaning ---
    {.name = "lock"},
    {.name = "dialog_backcolor"}, {.name = "dialog_textcolor"}, {.name = "dialog_font"},
    {.name = "scroll_backcolor"}, {.name = "scroll_textcolor"}, {.name = "scroll_font"},
    {.name = "history_backcolor"}, {.name = "history_textcolor"}, {.name = "history_font"},
    {.name = "input_backcolor"}, {.name = "input_textcolor"}, {.name = "input_font"},
    {.name = "tip_backcolor"}, {.name = "tip_textcolor"}, {.name = "tip_font"},
};
// clang-format on

constexpr size_t kRowCount = std::size(kRows);

// --- Compile-time checks ---

// The conversions that each type passes to its report and change texts.
struct TypeFormats {
    std::string_view report;
    std::string_view change;
};
constexpr TypeFormats FormatsOf(OptionType type)
{
    switch (type) {
        case T::Character:
        case T::CommandChar:
            return {"c", "c"};
        case T::ArgumentChars:
            return {"cc", "cc"};
        case T::Flag:
        case T::Choice:
        case T::Encoding:
        case T::Priority:
            return {"s", "s"};
        case T::Number:
            return {"ld", "ld"};
        case T::History:
            return {"ldldld", "ldldld"};
        case T::Color:
            return {"lX", "lX"};
        case T::Font:
            return {"", "s"};
        case T::Ignored:
            break;
    }
    return {"", ""};
}

// The texts are printf formats taken from the table, so the compiler cannot match them to
// their arguments; this does.
constexpr bool ConversionsAre(std::string_view format, std::string_view expected)
{
    std::string_view rest = expected;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (++i < format.size() && format[i] == '%') continue;
        while (i < format.size() && (format[i] == '-' || (format[i] >= '0' && format[i] <= '9')))
            ++i;
        const size_t start = i;
        while (i < format.size() && format[i] == 'l') ++i;
        if (i >= format.size()) return false;
        const std::string_view conversion = format.substr(start, i - start + 1);
        if (!rest.starts_with(conversion)) return false;
        rest.remove_prefix(conversion.size());
    }
    return rest.empty();
}

constexpr bool FieldsMatchType(const OptionRow& row)
{
    const size_t parts = PartCount(row.type);
    const bool characters =
        row.type == T::Character || row.type == T::CommandChar || row.type == T::ArgumentChars;
    const bool numbers = row.type == T::Number || row.type == T::Choice ||
                         row.type == T::Encoding || row.type == T::History;
    for (size_t i = 0; i < row.characters.size(); ++i)
        if ((row.characters[i] != nullptr) != (characters && i < parts)) return false;
    for (size_t i = 0; i < row.numbers.size(); ++i)
        if ((row.numbers[i] != nullptr) != (numbers && i < parts)) return false;
    return (row.flag != nullptr) == (row.type == T::Flag) &&
           (row.color != nullptr) == (row.type == T::Color) &&
           row.words.empty() == (row.type != T::Choice && row.type != T::Encoding);
}

// The defaults of the table are those of the fields' initializers.
constexpr bool DefaultsMatchFields(const OptionRow& row)
{
    constexpr Options kOptions{};
    constexpr SpecialChars kChars{};
    if (row.type == T::Priority) return true;
    for (size_t i = 0; i < PartCount(row.type); ++i) {
        const int32_t value = PartValue(row, kOptions, kChars, i);
        if (value != row.byDefault[i]) return false;
        if (row.type == T::Number && (value < row.minimum || value > row.maximum)) return false;
    }
    return true;
}

constexpr bool ListingIsWellFormed(const OptionRow& row)
{
    for (size_t i = 0; i < row.listed.size(); ++i) {
        const OptionListLine& line = row.listed[i];
        if (line.label.empty()) continue;
        if (row.listedUnder == G::None || i >= PartCount(row.type)) return false;
        if (line.label.size() > kOptionListLabelWidth) return false;
    }
    return (row.listedUnder == G::None) == row.listed[0].label.empty();
}

constexpr bool RowsAreConsistent()
{
    G lastGroup = G::None;
    for (size_t r = 0; r < kRowCount; ++r) {
        const OptionRow& row = kRows[r];
        const TypeFormats formats = FormatsOf(row.type);
        if (!ConversionsAre(row.report, formats.report)) return false;
        if (!ConversionsAre(row.change, formats.change)) return false;
        if (!FieldsMatchType(row) || !DefaultsMatchFields(row) || !ListingIsWellFormed(row))
            return false;
        if (row.arguments.empty() != row.description.empty()) return false;
        for (size_t other = r + 1; other < kRowCount; ++other)
            if (kRows[other].name == row.name) return false;
        // A listing group is one run of rows: its heading is printed once.
        if (row.listedUnder != G::None) {
            if (row.listedUnder < lastGroup) return false;
            lastGroup = row.listedUnder;
        }
        // Only values kept in fields are saved; places in a section are 1, 2, 3, ...
        const bool saved = row.savedIn != S::None;
        if (saved != (row.savedAt != 0)) return false;
        if (saved && (PartCount(row.type) == 0 || row.type == T::Priority)) return false;
        if (row.savedOnlyChanged && !saved) return false;
        size_t before = 0;
        size_t same = 0;
        for (const OptionRow& other : kRows) {
            if (other.savedIn != row.savedIn) continue;
            before += other.savedAt < row.savedAt ? 1 : 0;
            same += other.savedAt == row.savedAt ? 1 : 0;
        }
        if (saved && (before != size_t(row.savedAt) - 1 || same != 1)) return false;
    }
    return true;
}
static_assert(kRowCount == 43);
static_assert(RowsAreConsistent());

// The rows of each section in file order, found once at compile time.
template <OptionSection section>
constexpr auto SavingOrder()
{
    constexpr size_t count = [] {
        size_t n = 0;
        for (const OptionRow& row : kRows) n += row.savedIn == section ? 1 : 0;
        return n;
    }();
    std::array<const OptionRow*, count> order{};
    for (const OptionRow& row : kRows)
        if (row.savedIn == section) order[row.savedAt - 1] = &row;
    return order;
}
constexpr auto kSavedCharacters = SavingOrder<S::Characters>();
constexpr auto kSavedOptions = SavingOrder<S::Options>();

}  // namespace

std::span<const OptionRow> OptionRows()
{
    return kRows;
}

const OptionRow* FindOptionRow(std::string_view name)
{
    for (const OptionRow& row : kRows)
        if (row.name == name) return &row;
    return nullptr;
}

std::span<const OptionRow* const> SavedOptionRows(OptionSection section)
{
    switch (section) {
        case S::Characters:
            return kSavedCharacters;
        case S::Options:
            return kSavedOptions;
        case S::None:
            break;
    }
    return {};
}

std::string_view OptionGroupTitle(OptionGroup group)
{
    switch (group) {
        case G::Characters:
            return "SPECIAL CHARACTERS";
        case G::Output:
            return "OUTPUT";
        case G::Scrolling:
            return "SCROLLING";
        case G::History:
            return "HISTORY";
        case G::Input:
            return "INPUT";
        case G::Network:
            return "NETWORK";
        case G::Other:
            return "OTHER";
        case G::None:
            break;
    }
    return {};
}

void ForEachOptionHelpRow(const std::function<void(std::string_view name, std::string_view syntax,
                                                   std::string_view description)>& visit)
{
    for (const OptionRow& row : kRows) {
        if (row.arguments.empty()) continue;
        const std::string name = "option " + std::string(row.name);
        const std::string syntax = "|" + name + " " + std::string(row.arguments);
        visit(name, syntax, row.description);
    }
}

}  // namespace zel
