// The `option` command: shows and changes the client's options as the option table
// (OptionTable.h) describes them, and prints their listing. The values live in Options,
// SpecialChars and the output views' style; the subsystems that act on them read them there.
#include <dirent.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>

#include "base/TextCodec.h"
#include "engine/ClientWindow.h"
#include "engine/EngineCommands.h"
#include "engine/OptionTable.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr char kUnrecognisedOption[] = "Unrecognised option '%s'\n";
constexpr char kInvalidPriority[] = "Invalid priority class '%s'\n";
// A refused change is an error, never a success message.
constexpr char kPriorityRefused[] = "Unable to set priority class '%s': %s (%d)\n";
constexpr char kListingTitle[] = "Current options:\n";
constexpr size_t kFaceCapacity = 31;  // as the face of a text format

// Options are written on the thread that runs command lines and read by the network
// thread through atomic_ref; the writes go through it too.
template <class T>
void Store(T& field, T value)
{
    std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}

// Hands a changed value to the part that acts on it.
void Apply(ClientWindow& client, OptionEffect effect)
{
    const Options& options = client.GetOptions();
    switch (effect) {
        case OptionEffect::None:
            break;
        case OptionEffect::Ansi: {
            std::scoped_lock lock(client.OutputLock());
            client.Output().SetAnsiEnabled(options.ansi);
            break;
        }
        case OptionEffect::ScrollSize: {
            std::scoped_lock lock(client.OutputLock());
            client.Output().SetMaximumLines(options.scrollSize);
            break;
        }
        case OptionEffect::ScrollMemory: {
            std::scoped_lock lock(client.OutputLock());
            client.Output().SetMaximumBytes(size_t(options.scrollMemory) << 20);
            break;
        }
        case OptionEffect::Tips:
            if (!options.tips) client.GetHost().HideTip();
            break;
        case OptionEffect::Clear:
            client.GetHost().SetClearMode(options.clearMode);
            break;
        case OptionEffect::Encoding:
            client.ApplyEncoding();
            break;
        case OptionEffect::Layout:
            client.GetHost().LayoutChildren();
            break;
    }
}

// Index of the word in the Choice row's list, compared without regard to case, or -1.
int32_t FindWord(const OptionRow& row, std::string_view word)
{
    for (size_t i = 0; i < row.words.size(); ++i)
        if (EqualsIgnoringCase(word, row.words[i])) return int32_t(i);
    return -1;
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
    auto part = [&](size_t i) { return PartValue(row, options, chars, i); };
    constexpr OutputFormat kSystem = OutputFormat::System;
    switch (row.type) {
        case OptionType::Character:
        case OptionType::CommandChar:
            client.PrintFormatted(kSystem, row.report, char(part(0)));
            break;
        case OptionType::ArgumentChars:
            client.PrintFormatted(kSystem, row.report, char(part(0)), char(part(1)));
            break;
        case OptionType::Flag:
            client.PrintFormatted(kSystem, row.report, OnOffWord(part(0) != 0));
            break;
        case OptionType::Number:
            client.PrintFormatted(kSystem, row.report, long(part(0)));
            break;
        case OptionType::Choice:
        case OptionType::Encoding:
            client.PrintFormatted(kSystem, row.report, ShownWord(row, part(0)));
            break;
        case OptionType::History:
            client.PrintFormatted(kSystem, row.report, long(part(0)), long(part(1)), long(part(2)));
            break;
        case OptionType::Priority:
            client.PrintFormatted(kSystem, row.report, CurrentPriorityName());
            break;
        case OptionType::Color: {
            std::unique_lock lock(client.OutputLock());
            const Color color = client.Formats().view.*row.color;
            lock.unlock();
            client.PrintFormatted(kSystem, row.report, static_cast<unsigned long>(color));
            break;
        }
        case OptionType::Font:
            client.Print(kSystem, row.report);
            break;
        case OptionType::Ignored:
            break;
    }
}

// `encoding`: a listed name this machine can convert, or an error and no change.
bool ChangeEncoding(ClientWindow& client, const OptionRow& row, std::string_view argument)
{
    while (!argument.empty() && (argument.front() == ' ' || argument.front() == '\t'))
        argument.remove_prefix(1);
    while (!argument.empty() && (argument.back() == ' ' || argument.back() == '\t'))
        argument.remove_suffix(1);
    const int length = int(std::min<size_t>(argument.size(), 64));
    const std::optional<int32_t> found = FindEncoding(argument);
    if (!found) {
        client.PrintLineFormatted(OutputFormat::Error,
                                  "Unknown encoding '%.*s' (|help option encoding lists them)",
                                  length, argument.data());
        return false;
    }
    if (!EncodingAvailable(*found)) {
        client.PrintLineFormatted(OutputFormat::Error,
                                  "Encoding '%s' is not available on this system",
                                  row.words[size_t(*found)]);
        return false;
    }
    Store(client.GetOptions().*row.numbers[0], *found);
    client.PrintFormatted(OutputFormat::System, row.change, row.words[size_t(*found)]);
    return true;
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
    int32_t& totalField = options.*row.numbers[2];
    if (window > 0) {
        Store(options.*row.numbers[0], window);
        Store(options.*row.numbers[1], active);
        if (total > 0) Store(totalField, total);
        client.History().SetTotalSize(totalField);
        client.PrintFormatted(OutputFormat::System, row.change, long(options.*row.numbers[0]),
                              long(options.*row.numbers[1]), long(totalField));
        client.MarkSettingsChanged();
    } else {
        Report(client, row);
    }
    Apply(client, row.effect);
}

void ChangeView(ClientWindow& client, const OptionRow& row, std::string_view argument)
{
    Host& host = client.GetHost();
    std::unique_lock lock(client.OutputLock());
    OutputViewStyle& view = client.Formats().view;
    if (row.type == OptionType::Color) {
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
    switch (row.type) {
        case OptionType::Character:
            Store(chars.*row.characters[0], argument[0]);
            client.PrintFormatted(kSystem, row.change, chars.*row.characters[0]);
            break;
        case OptionType::CommandChar:
            client.SetCommandChar(argument[0]);
            client.PrintFormatted(kSystem, row.change, chars.*row.characters[0]);
            break;
        case OptionType::ArgumentChars: {
            const std::string_view second = SkipWhiteSpace(argument.substr(1));
            Store(chars.*row.characters[0], argument[0]);
            Store(chars.*row.characters[1], second.empty() ? argument[0] : second[0]);
            client.PrintFormatted(kSystem, row.change, chars.*row.characters[0],
                                  chars.*row.characters[1]);
            break;
        }
        case OptionType::Flag: {
            bool value = false;
            reader.NextBoolean(value);
            Store(options.*row.flag, value);
            client.PrintFormatted(kSystem, row.change, OnOffWord(value));
            break;
        }
        case OptionType::Number: {
            int32_t value = 0;
            if (row.readsWord)
                reader.NextNumber(value);
            else
                value = ParseNumber(argument);
            int32_t& field = options.*row.numbers[0];
            Store(field, std::clamp(value, row.minimum, row.maximum));
            client.PrintFormatted(kSystem, row.change, long(field));
            break;
        }
        case OptionType::Choice: {
            // An unknown word keeps the value, yet is reported and counted as a change.
            std::string word;
            if (row.readsWord) reader.NextWord(word, kNameCapacity);
            int32_t& field = options.*row.numbers[0];
            if (const int32_t found = FindWord(row, row.readsWord ? word : argument); found >= 0)
                Store(field, found);
            client.PrintFormatted(kSystem, row.change, ShownWord(row, field));
            break;
        }
        case OptionType::Encoding:
            if (!ChangeEncoding(client, row, argument)) return;
            break;
        case OptionType::History:
            ChangeHistory(client, row, reader);
            return;
        case OptionType::Priority:
            ChangePriority(client, row, argument);
            return;
        case OptionType::Color:
        case OptionType::Font:
            ChangeView(client, row, argument);
            return;
        case OptionType::Ignored:
            return;
    }
    Apply(client, row.effect);
    if (row.marksChanged) client.MarkSettingsChanged();
}

// --- Listing ---

// Part `i` of the row's value as the listing shows it.
std::string ListedValue(ClientWindow& client, const OptionRow& row, size_t i)
{
    const int32_t value = PartValue(row, client.GetOptions(), client.Chars(), i);
    const OptionListLine& line = row.listed[i];
    if (line.onWhenNonZero) return OnOffWord(value != 0);
    switch (row.type) {
        case OptionType::Character:
        case OptionType::CommandChar:
        case OptionType::ArgumentChars:
            return std::string(1, char(value));
        case OptionType::Flag:
            return OnOffWord(value != 0);
        case OptionType::Choice:
        case OptionType::Encoding:
            return ShownWord(row, value);
        case OptionType::Priority:
            return CurrentPriorityName();
        case OptionType::Number:
        case OptionType::History: {
            char number[16];
            std::snprintf(number, sizeof number, "%5d", int(value));
            return number + std::string(line.unit);
        }
        default:
            return {};
    }
}

// Headings in "Output: Header", lines in "Output: System". Labels are padded to 15
// characters with the middle dot (the byte 0xB7 in Windows-1252).
void PrintListing(ClientWindow& client)
{
    // Held across the listing so that no other thread's text lands inside it.
    std::scoped_lock lock(client.OutputLock());
    client.Print(OutputFormat::Header, kListingTitle);
    OptionGroup group = OptionGroup::None;
    for (const OptionRow& row : OptionRows()) {
        if (row.listedUnder == OptionGroup::None) continue;
        if (row.listedUnder != group) {
            group = row.listedUnder;
            client.Print(OutputFormat::Header, std::string(OptionGroupTitle(group)) + ":\n");
        }
        for (size_t i = 0; i < row.listed.size() && !row.listed[i].label.empty(); ++i) {
            const std::string_view label = row.listed[i].label;
            std::string text = "  " + std::string(label);
            for (size_t pad = label.size(); pad < kOptionListLabelWidth; ++pad)
                text += MiddleDot(client.EngineFormUtf8());
            text += ' ';
            text += ListedValue(client, row, i);
            text += '\n';
            client.Print(OutputFormat::System, text);
        }
    }
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
    } else if (const OptionRow* row = FindOptionRow(name); !row) {
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
