// The `option` command: shows and changes the client's options, one table row per option
// name. The values live in Options, SpecialChars and the output views' style; the
// subsystems that act on them read them there. Settings files write them (elsewhere).
#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/ClientWindow.h"
#include "engine/CommandHandlers.h"
#include "engine/WordReader.h"

namespace zel {
namespace {

constexpr char kUnrecognisedOption[] = "Unrecognised option '%s'\n";
constexpr char kInvalidPriority[] = "Invalid priority class '%s'\n";
// A refused change is an error, never a success message.
constexpr char kPriorityRefused[] = "Unable to set priority class '%s': %s (%d)\n";
constexpr size_t kFaceCapacity = 31;  // as the face of a text format

// How an option's argument is read and its value shown. The comment gives what the
// report and change texts of the kind print.
enum class Kind : uint8_t {
    Character,      // %c: the first character of the argument
    CommandChar,    // %c: as Character, through SetCommandChar
    ArgumentChars,  // %c %c: first character, then the next one after white space
    Boolean,        // %s: NextBoolean, "on" or "off"
    Number,         // %ld: a decimal number, kept within the row's limits
    ScrollPos,      // %s: the whole argument names the position
    Clear,          // %s: the next word names the mode
    History,        // %ld %ld %ld: three numbers
    Priority,       // %s: the process's nice value as a class name
    Color,          // %lX: a colour of the output views
    Font,           // report: no argument; change: %s, the face
    Ignored,        // accepted names without meaning: nothing printed, nothing changed
};

// The arguments each kind passes to its report and change texts, as conversions.
struct KindFormats {
    std::string_view report;
    std::string_view change;
};
constexpr KindFormats FormatsOf(Kind kind)
{
    switch (kind) {
        case Kind::Character:
        case Kind::CommandChar:
            return {"c", "c"};
        case Kind::ArgumentChars:
            return {"cc", "cc"};
        case Kind::Boolean:
        case Kind::ScrollPos:
        case Kind::Clear:
        case Kind::Priority:
            return {"s", "s"};
        case Kind::Number:
            return {"ld", "ld"};
        case Kind::History:
            return {"ldldld", "ldldld"};
        case Kind::Color:
            return {"lX", "lX"};
        case Kind::Font:
            return {"", "s"};
        case Kind::Ignored:
            break;
    }
    return {"", ""};
}

using Apply = void (*)(ClientWindow& client);

struct OptionRow {
    std::string_view name;
    Kind kind = Kind::Ignored;
    const char* report = "";
    const char* change = "";
    char SpecialChars::*character = nullptr;
    bool Options::*flag = nullptr;
    int32_t Options::*number = nullptr;
    Color OutputViewStyle::*color = nullptr;
    int32_t minimum = std::numeric_limits<int32_t>::min();
    int32_t maximum = std::numeric_limits<int32_t>::max();
    bool groupedNumber = false;  // read with NextNumber, which also takes {5}
    Apply apply = nullptr;       // hands a changed value to the part that acts on it
    bool marksChanged = true;    // whether a change sets the settings-changed flag
};

// Options are written on the thread that runs command lines and read by the network
// thread through atomic_ref; the writes go through it too.
template <class T>
void Store(T& field, T value)
{
    std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}

void ApplyAnsi(ClientWindow& client)
{
    std::scoped_lock lock(client.OutputLock());
    client.Output().SetAnsiEnabled(client.GetOptions().ansi);
}

void ApplyScrollSize(ClientWindow& client)
{
    std::scoped_lock lock(client.OutputLock());
    client.Output().SetMaximumLines(client.GetOptions().scrollSize);
}

void ApplyTips(ClientWindow& client)
{
    if (!client.GetOptions().tips) client.GetHost().HideTip();
}

void ApplyClear(ClientWindow& client)
{
    client.GetHost().SetClearMode(client.GetOptions().clearMode);
}

void ApplyLayout(ClientWindow& client)
{
    client.GetHost().LayoutChildren();
}

// clang-format off
constexpr OptionRow kOptions[] = {
    {.name = "achars", .kind = Kind::ArgumentChars,
     .report = "Argument chars are '%c' and '%c'\n",
     .change = "Argument chars set to '%c' and '%c'\n"},
    {.name = "cchar", .kind = Kind::CommandChar,
     .report = "Command char is '%c'\n", .change = "Command char set to '%c'\n",
     .character = &SpecialChars::command},
    {.name = "echar", .kind = Kind::Character,
     .report = "Escape char is '%c'\n", .change = "Escape char set to '%c'\n",
     .character = &SpecialChars::escape},
    {.name = "ochar", .kind = Kind::Character,
     .report = "Scope char is '%c'\n", .change = "Scope char set to '%c'\n",
     .character = &SpecialChars::scope},
    {.name = "schar", .kind = Kind::Character,
     .report = "Split char is '%c'\n", .change = "Split char set to '%c'\n",
     .character = &SpecialChars::split},
    {.name = "vchar", .kind = Kind::Character,
     .report = "Variable char is '%c'\n", .change = "Varialbe char set to '%c'\n",
     .character = &SpecialChars::variable},
    {.name = "xchar", .kind = Kind::Character,
     .report = "Exec char is '%c'\n", .change = "Exec char set to '%c'\n",
     .character = &SpecialChars::execute},
    {.name = "ansi", .kind = Kind::Boolean,
     .report = "ANSI mode is %s\n", .change = "ANSI mode set to %s\n",
     .flag = &Options::ansi, .apply = ApplyAnsi},
    {.name = "compact", .kind = Kind::Boolean,
     .report = "Compact mode is is %s\n", .change = "Compact mode set to %s\n",
     .flag = &Options::compact},
    {.name = "echo", .kind = Kind::Boolean,
     .report = "Local echo is is %s\n", .change = "Local echo set to %s\n",
     .flag = &Options::localEcho},
    {.name = "lock"},
    {.name = "scrollsize", .kind = Kind::Number,
     .report = "Scroll-back buffer size is %ld lines\n",
     .change = "Scroll-back buffer size set to %ld lines\n",
     .number = &Options::scrollSize, .apply = ApplyScrollSize},
    {.name = "scrollpos", .kind = Kind::ScrollPos,
     .report = "Scroll-back position is %s\n", .change = "Scroll-back position set to %s\n",
     .number = &Options::scrollPos, .apply = ApplyLayout},
    {.name = "scrollheight", .kind = Kind::Number,
     .report = "Scroll-back window height is %ld%%\n",
     .change = "Scroll-back window height set to %ld%%\n",
     .number = &Options::scrollHeight, .minimum = 0, .maximum = 100, .apply = ApplyLayout},
    {.name = "scrollwidth", .kind = Kind::Number,
     .report = "Scroll-back window width is %ld%%\n",
     .change = "Scroll-back window width set to %ld%%\n",
     .number = &Options::scrollWidth, .minimum = 0, .maximum = 100, .apply = ApplyLayout},
    {.name = "scrollrate", .kind = Kind::Number,
     .report = "Scroll-back rate is %ld lines\n", .change = "Scroll-rate set to %ld lines\n",
     .number = &Options::scrollRate, .minimum = 0, .apply = ApplyLayout},
    {.name = "history", .kind = Kind::History,
     .report = "History size is %ld (window) / %ld (active) / %ld (total)\n",
     .change = "History size set to %ld (window) / %ld (active) / %ld (total)\n"},
    {.name = "histignore", .kind = Kind::Number,
     .report = "History ignore is %ld chars\n", .change = "History ignore set to %ld chars\n",
     .number = &Options::historyIgnore, .groupedNumber = true},
    {.name = "clear", .kind = Kind::Clear,
     .report = "CLEAR mode is %s\n", .change = "CLEAR mode set to %s\n",
     .number = &Options::clearMode, .apply = ApplyClear},
    {.name = "tips", .kind = Kind::Boolean,
     .report = "TIPs are turned %s\n", .change = "TIPs turned %s\n",
     .flag = &Options::tips, .apply = ApplyTips},
    {.name = "autonaws", .kind = Kind::Boolean,
     .report = "Auto-NAWS is %s\n", .change = "Auto-NAWS set to %s\n",
     .flag = &Options::autoNaws},
    // The priority belongs to the running process, not to the settings.
    {.name = "priority", .kind = Kind::Priority,
     .report = "Current priority class is '%s'\n", .change = "Priority class set to '%s'\n",
     .marksChanged = false},
    {.name = "dialog_backcolor"},
    {.name = "dialog_textcolor"},
    {.name = "dialog_font"},
    // The output window's look is not saved by settings files, so it is no settings change.
    {.name = "output_backcolor", .kind = Kind::Color,
     .report = "Output back color is %06lX\n", .change = "Output window back color set to %06lX\n",
     .color = &OutputViewStyle::backColor, .marksChanged = false},
    {.name = "output_textcolor", .kind = Kind::Color,
     .report = "Output text color is %06lX\n", .change = "Output window text color set to %06lX\n",
     .color = &OutputViewStyle::textColor, .marksChanged = false},
    {.name = "output_font", .kind = Kind::Font,
     .report = "\n", .change = "Output window font set to %s\n",
     .marksChanged = false},
    {.name = "scroll_backcolor"}, {.name = "scroll_textcolor"}, {.name = "scroll_font"},
    {.name = "history_backcolor"}, {.name = "history_textcolor"}, {.name = "history_font"},
    {.name = "input_backcolor"}, {.name = "input_textcolor"}, {.name = "input_font"},
    {.name = "tip_backcolor"}, {.name = "tip_textcolor"}, {.name = "tip_font"},
};
// clang-format on

// The texts are printf formats taken from the table, so the compiler cannot match them to
// their arguments; this does, for every row, at compile time.
constexpr bool ConversionsAre(std::string_view format, std::string_view expected)
{
    std::string_view rest = expected;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') continue;
        if (++i < format.size() && format[i] == '%') continue;
        while (i < format.size() && (format[i] == '-' || IsDigit(format[i]))) ++i;
        const size_t start = i;
        while (i < format.size() && format[i] == 'l') ++i;
        if (i >= format.size()) return false;
        const std::string_view conversion = format.substr(start, i - start + 1);
        if (!rest.starts_with(conversion)) return false;
        rest.remove_prefix(conversion.size());
    }
    return rest.empty();
}

constexpr bool RowsMatchTheirKinds()
{
    for (const OptionRow& row : kOptions) {
        const KindFormats formats = FormatsOf(row.kind);
        if (!ConversionsAre(row.report, formats.report)) return false;
        if (!ConversionsAre(row.change, formats.change)) return false;
    }
    return std::size(kOptions) == 40;
}
static_assert(RowsMatchTheirKinds());

const OptionRow* FindOption(std::string_view name)
{
    for (const OptionRow& row : kOptions)
        if (row.name == name) return &row;
    return nullptr;
}

// Index of the word in `words`, compared without regard to case, or -1.
template <size_t N>
int32_t FindWord(const char* const (&words)[N], std::string_view word)
{
    for (size_t i = 0; i < N; ++i)
        if (EqualsIgnoringCase(word, words[i])) return int32_t(i);
    return -1;
}

const char* ScrollPosName(int32_t position)
{
    const char* word = ScrollPositionWord(position);
    return word ? word : "unknown";
}

// --- Process priority ---

struct PriorityClass {
    const char* name;
    int nice;
};
constexpr PriorityClass kPriorityClasses[] = {
    {"idle", 19}, {"normal", 0}, {"high", -10}, {"real", -20}};

const char* CurrentPriorityName()
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    if (nice == -1 && errno != 0) return "unknown";
    for (const PriorityClass& c : kPriorityClasses)
        if (c.nice == nice) return c.name;
    return "unknown";
}

// Linux keeps a nice value per thread, and PRIO_PROCESS names a single thread, so the
// calling thread is set first (its refusal is the answer) and then every other thread in
// /proc/self/task. Threads started later inherit the value. Returns 0 or an errno value.
int SetProcessNice(int nice)
{
    const pid_t self = gettid();
    if (setpriority(PRIO_PROCESS, id_t(self), nice) != 0) return errno;
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) return 0;
    int error = 0;
    while (const dirent* entry = readdir(tasks)) {
        const std::string_view name = entry->d_name;
        pid_t tid = 0;
        const auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), tid);
        if (ec != std::errc() || end != name.data() + name.size() || tid == self) continue;
        // A thread may end while we walk the list.
        if (setpriority(PRIO_PROCESS, id_t(tid), nice) != 0 && errno != ESRCH && error == 0)
            error = errno;
    }
    closedir(tasks);
    return error;
}

void ChangePriority(ClientWindow& client, const OptionRow& row, std::string_view argument)
{
    const std::string typed(argument);
    const auto* match =
        std::find_if(std::begin(kPriorityClasses), std::end(kPriorityClasses),
                     [&](const PriorityClass& c) { return EqualsIgnoringCase(argument, c.name); });
    if (match == std::end(kPriorityClasses)) {
        client.PrintFormatted(OutputFormat::Error, kInvalidPriority, typed.c_str());
        return;
    }
    if (const int error = SetProcessNice(match->nice); error != 0) {
        client.PrintFormatted(OutputFormat::Error, kPriorityRefused, typed.c_str(),
                              std::strerror(error), error);
        return;
    }
    client.PrintFormatted(OutputFormat::System, row.change, typed.c_str());
}

// --- Report and change ---

void Report(ClientWindow& client, const OptionRow& row)
{
    const SpecialChars& chars = client.Chars();
    const Options& options = client.GetOptions();
    constexpr OutputFormat kSystem = OutputFormat::System;
    switch (row.kind) {
        case Kind::Character:
        case Kind::CommandChar:
            client.PrintFormatted(kSystem, row.report, chars.*row.character);
            break;
        case Kind::ArgumentChars:
            client.PrintFormatted(kSystem, row.report, chars.beginArgument, chars.endArgument);
            break;
        case Kind::Boolean:
            client.PrintFormatted(kSystem, row.report, OnOffWord(options.*row.flag));
            break;
        case Kind::Number:
            client.PrintFormatted(kSystem, row.report, long(options.*row.number));
            break;
        case Kind::ScrollPos:
            client.PrintFormatted(kSystem, row.report, ScrollPosName(options.scrollPos));
            break;
        case Kind::Clear:
            client.PrintFormatted(kSystem, row.report, ClearModeWord(options.clearMode));
            break;
        case Kind::History:
            client.PrintFormatted(kSystem, row.report, long(options.historyWindow),
                                  long(options.historyActive), long(options.historyTotal));
            break;
        case Kind::Priority:
            client.PrintFormatted(kSystem, row.report, CurrentPriorityName());
            break;
        case Kind::Color: {
            std::unique_lock lock(client.OutputLock());
            const Color color = client.Formats().view.*row.color;
            lock.unlock();
            client.PrintFormatted(kSystem, row.report, static_cast<unsigned long>(color));
            break;
        }
        case Kind::Font:
            client.Print(kSystem, row.report);
            break;
        case Kind::Ignored:
            break;
    }
}

// `history`: only a window size above 0 changes anything; the active size is taken as it
// is, the total only when above 0. Lays out in both cases.
void ChangeHistory(ClientWindow& client, const OptionRow& row, WordReader& reader)
{
    int32_t window = 0;
    int32_t active = 0;
    int32_t total = 0;
    reader.NextNumber(window);
    reader.NextNumber(active);
    reader.NextNumber(total);
    Options& options = client.GetOptions();
    if (window > 0) {
        Store(options.historyWindow, window);
        Store(options.historyActive, active);
        if (total > 0) Store(options.historyTotal, total);
        client.History().SetTotalSize(options.historyTotal);
        client.PrintFormatted(OutputFormat::System, row.change, long(options.historyWindow),
                              long(options.historyActive), long(options.historyTotal));
        client.MarkSettingsChanged();
    } else {
        Report(client, row);
    }
    ApplyLayout(client);
}

void ChangeView(ClientWindow& client, const OptionRow& row, std::string_view argument)
{
    Host& host = client.GetHost();
    std::unique_lock lock(client.OutputLock());
    OutputViewStyle& view = client.Formats().view;
    if (row.kind == Kind::Color) {
        view.*row.color = ParseColor(argument);
        const OutputViewStyle style = view;
        lock.unlock();
        host.SetOutputColors(style.backColor, style.textColor);
        host.RepaintOutput();
        client.PrintFormatted(OutputFormat::System, row.change,
                              static_cast<unsigned long>(style.*row.color));
        return;
    }
    view.face.assign(argument.substr(0, kFaceCapacity));
    view.height = 0;
    view.width = 0;
    view.weight = 400;
    const OutputViewStyle style = view;
    lock.unlock();
    host.SetOutputFont(style.face, style.height, style.width, style.weight);
    host.RepaintOutput();
    client.PrintFormatted(OutputFormat::System, row.change, style.face.c_str());
}

// `argument` is not empty: the name's white space has been skipped and something follows.
void Change(ClientWindow& client, const OptionRow& row, std::string_view argument)
{
    SpecialChars& chars = client.Chars();
    Options& options = client.GetOptions();
    WordReader reader(chars, argument);
    constexpr OutputFormat kSystem = OutputFormat::System;
    switch (row.kind) {
        case Kind::Character:
            Store(chars.*row.character, argument[0]);
            client.PrintFormatted(kSystem, row.change, chars.*row.character);
            break;
        case Kind::CommandChar:
            client.SetCommandChar(argument[0]);
            client.PrintFormatted(kSystem, row.change, chars.command);
            break;
        case Kind::ArgumentChars: {
            const std::string_view second = SkipWhiteSpace(argument.substr(1));
            Store(chars.beginArgument, argument[0]);
            Store(chars.endArgument, second.empty() ? argument[0] : second[0]);
            client.PrintFormatted(kSystem, row.change, chars.beginArgument, chars.endArgument);
            break;
        }
        case Kind::Boolean: {
            bool value = false;
            reader.NextBoolean(value);
            Store(options.*row.flag, value);
            client.PrintFormatted(kSystem, row.change, OnOffWord(value));
            break;
        }
        case Kind::Number: {
            int32_t value = 0;
            if (row.groupedNumber)
                reader.NextNumber(value);
            else
                value = ParseNumber(argument);
            Store(options.*row.number, std::clamp(value, row.minimum, row.maximum));
            client.PrintFormatted(kSystem, row.change, long(options.*row.number));
            break;
        }
        case Kind::ScrollPos:
            // An unknown word keeps the position, yet is reported and counted as a change.
            if (int32_t found = FindWord(kScrollPositionWords, argument); found >= 0)
                Store(options.scrollPos, found);
            client.PrintFormatted(kSystem, row.change, ScrollPosName(options.scrollPos));
            break;
        case Kind::Clear: {
            std::string word;
            reader.NextWord(word, kNameCapacity);
            if (int32_t found = FindWord(kClearModeWords, word); found >= 0)
                Store(options.clearMode, found);
            client.PrintFormatted(kSystem, row.change, ClearModeWord(options.clearMode));
            break;
        }
        case Kind::History:
            ChangeHistory(client, row, reader);
            return;
        case Kind::Priority:
            ChangePriority(client, row, argument);
            return;
        case Kind::Color:
        case Kind::Font:
            ChangeView(client, row, argument);
            return;
        case Kind::Ignored:
            return;
    }
    if (row.apply) row.apply(client);
    if (row.marksChanged) client.MarkSettingsChanged();
}

// The listing. Labels are padded to 15 characters with the byte 0xB7, drawn as a middle dot.
void PrintListing(ClientWindow& client)
{
    const SpecialChars& c = client.Chars();
    const Options& o = client.GetOptions();
    constexpr OutputFormat kSystem = OutputFormat::System;
    constexpr OutputFormat kHeader = OutputFormat::Header;
    // Held across the listing so that no other thread's text lands inside it.
    std::scoped_lock lock(client.OutputLock());
    client.Print(kHeader, "Current options:\n");
    client.Print(kHeader, "SPECIAL CHARACTERS:\n");
    client.PrintFormatted(kSystem, "  CMD-CHAR\xB7\xB7\xB7\xB7\xB7 %c\n", c.command);
    client.PrintFormatted(kSystem, "  ESC-CHAR\xB7\xB7\xB7\xB7\xB7 %c\n", c.escape);
    client.PrintFormatted(kSystem, "  SPLIT-CHAR\xB7\xB7\xB7 %c\n", c.split);
    client.PrintFormatted(kSystem, "  VAR-CHAR\xB7\xB7\xB7\xB7\xB7 %c\n", c.variable);
    client.PrintFormatted(kSystem, "  EXEC-CHAR\xB7\xB7\xB7\xB7 %c\n", c.execute);
    client.PrintFormatted(kSystem, "  ARG-CHAR1\xB7\xB7\xB7\xB7 %c\n", c.beginArgument);
    client.PrintFormatted(kSystem, "  ARG-CHAR2\xB7\xB7\xB7\xB7 %c\n", c.endArgument);
    client.Print(kHeader, "OUTPUT:\n");
    client.PrintFormatted(kSystem, "  ANSI\xB7\xB7\xB7\xB7\xB7\xB7\xB7\xB7\xB7 %s\n",
                          OnOffWord(o.ansi));
    client.PrintFormatted(kSystem, "  COMPACT\xB7\xB7\xB7\xB7\xB7\xB7 %s\n", OnOffWord(o.compact));
    client.Print(kHeader, "SCROLLING:\n");
    client.PrintFormatted(kSystem, "  SCROLL-SIZE\xB7\xB7 %5d lines\n", int(o.scrollSize));
    client.PrintFormatted(kSystem, "  SCROLL-POS\xB7\xB7\xB7 %s\n", ScrollPosName(o.scrollPos));
    client.PrintFormatted(kSystem, "  SCROLL-HEIGHT %5d%%\n", int(o.scrollHeight));
    client.PrintFormatted(kSystem, "  SCROLL-WIDTH\xB7 %5d%%\n", int(o.scrollWidth));
    client.PrintFormatted(kSystem, "  SCROLL-RATE\xB7\xB7 %5d lines\n", int(o.scrollRate));
    client.Print(kHeader, "HISTORY:\n");
    client.PrintFormatted(kSystem, "  SIZE\xB7\xB7\xB7\xB7\xB7\xB7\xB7\xB7\xB7 %5d lines\n",
                          int(o.historyWindow));
    client.PrintFormatted(kSystem, "  ACTIVE SIZE\xB7\xB7 %5d lines\n", int(o.historyActive));
    client.PrintFormatted(kSystem, "  SIZE\xB7\xB7\xB7\xB7\xB7\xB7\xB7\xB7\xB7 %5d lines\n",
                          int(o.historyTotal));
    client.PrintFormatted(kSystem, "  IGNORE\xB7\xB7\xB7\xB7\xB7\xB7\xB7 %5d lines\n",
                          int(o.historyIgnore));
    client.Print(kHeader, "INPUT:\n");
    client.PrintFormatted(kSystem, "  AUTO-CLEAR\xB7\xB7\xB7 %s\n", OnOffWord(o.clearMode != 0));
    client.Print(kHeader, "NETWORK:\n");
    client.PrintFormatted(kSystem, "  AUTO-NAWS\xB7\xB7\xB7\xB7 %s\n", OnOffWord(o.autoNaws));
    client.Print(kHeader, "OTHER:\n");
    client.PrintFormatted(kSystem, "  PRIORITY\xB7\xB7\xB7\xB7\xB7 %s\n", CurrentPriorityName());
}

}  // namespace

// Runs on the thread that runs the command line. Takes OutputLock around the output buffer
// and the views' style; SetCommandChar takes DefinitionLock for the completions. Never both.
int32_t CmdOption(ClientWindow& client, uint32_t, std::string_view args)
{
    WordReader reader(client.Chars(), args);
    std::string name;
    if (!reader.NextWord(name, kNameCapacity)) {
        PrintListing(client);
    } else if (const OptionRow* row = FindOption(name); !row) {
        client.PrintFormatted(OutputFormat::Error, kUnrecognisedOption, name.c_str());
    } else {
        reader.SkipWhiteSpace();
        if (reader.AtEnd())
            Report(client, *row);
        else
            Change(client, *row, reader.Rest());
    }
    client.GetHost().RefreshSetupDialog();
    return 0;
}

}  // namespace zel
