// The timer and watch commands. Timers are records in TimerTable whose running state is the
// host's window timer of the same id; ClientWindow::OnWindowTimer runs them at expiry.
// Stopwatches are start times in StopwatchTable.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "definitions/StopwatchTable.h"
#include "definitions/TimerTable.h"
#include "definitions/commands/DefinitionCommands.h"
#include "engine/ClientWindow.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr char kTimerShown[] = "TIMER %ld %ld ms --> %c%s%c";
constexpr char kTimerAdded[] = "TIMER %ld %ld ms --> %c%s%c added";
constexpr char kTimerNotDefined[] = "TIMER %ld not defined";
constexpr char kTimerRemoved[] = "TIMER %ld removed";
constexpr char kTimerStarted[] = "TIMER %ld %ld ms (re)started";
constexpr char kTimerStopped[] = "TIMER %ld stopped";
constexpr char kTimerDeleteUsage[] = "UNTIMER <id>";
constexpr char kTimerStartUsage[] = "STARTTIMER <id>";
constexpr char kTimerStopUsage[] = "STOPTIMER <id>";
constexpr char kTimersHeading[] = "Defined timers:";
constexpr char kTimerListed[] = "%5ld %5ldms --> %s";

constexpr char kWatchStarted[] = "WATCH %ld started";
constexpr char kWatchStopped[] = "WATCH %ld stopped at %lld.%03d seconds";
constexpr char kWatchNotDefined[] = "WATCH %ld not defined";
constexpr char kWatchStartUsage[] = "STARTWATCH <id>";
constexpr char kWatchStopUsage[] = "STOPWATCH <id>";

// Only user timers get a window timer: ids below 100 would start, restart or kill the
// window's own timers (the status bar clock, the tip).
void StartWindowTimer(ClientWindow& client, int32_t id, int32_t period)
{
    if (id >= kFirstUserTimerId) client.GetHost().StartWindowTimer(id, period);
}

void StopWindowTimer(ClientWindow& client, int32_t id)
{
    if (id >= kFirstUserTimerId) client.GetHost().StopWindowTimer(id);
}

// The id is a scoped word read as a decimal number; text that is no number gives 0.
int32_t ReadTimerId(WordReader& reader)
{
    std::string word;
    reader.NextScopedWord(word, kNameCapacity);
    return ParseNumber(word);
}

// Creates or changes a timer without starting it; with no period or no command, shows it.
// An id of 0 or less does nothing at all.
void AddTimer(ClientWindow& client, WordReader& reader, int32_t id)
{
    int32_t period = 0;
    reader.NextNumber(period);
    std::string command;
    std::string description;
    reader.NextWord(command, kTextCapacity);
    reader.NextWord(description, kTextCapacity, true);
    if (id <= 0) return;

    const char begin = client.Chars().beginArgument;
    const char end = client.Chars().endArgument;
    // Prints while holding DefinitionLock, so OutputLock is taken first.
    auto locks = client.LockDefinitionsForPrinting();
    if (period <= 0 || command.empty()) {
        if (const Timer* timer = client.Timers().Find(id))
            client.PrintLineFormatted(OutputFormat::System, kTimerShown, long(id),
                                      long(timer->period), begin, timer->command.c_str(), end);
        else
            client.PrintLineFormatted(OutputFormat::System, kTimerNotDefined, long(id));
        return;
    }
    // A running timer keeps its interval until restarted, and runs the new command.
    Timer& timer = client.Timers().Insert(id);
    timer.period = period;
    timer.command = std::move(command);
    timer.description = std::move(description);
    timer.disabled = false;
    client.MarkSettingsChanged();
    client.PrintLineFormatted(OutputFormat::System, kTimerAdded, long(id), long(period), begin,
                              timer.command.c_str(), end);
}

// The shape of delete, start and stop: the usage line for an id of 0 or less, the
// not-defined line for an absent timer, else `change` on the timer, all under both locks.
template <class Change>
void ChangeTimer(ClientWindow& client, int32_t id, const char* usage, Change change)
{
    if (id <= 0) {
        client.PrintLine(OutputFormat::System, usage);
        return;
    }
    auto locks = client.LockDefinitionsForPrinting();
    Timer* timer = client.Timers().Find(id);
    if (!timer) {
        client.PrintLineFormatted(OutputFormat::System, kTimerNotDefined, long(id));
        return;
    }
    change(*timer);
}

void DeleteTimer(ClientWindow& client, int32_t id)
{
    ChangeTimer(client, id, kTimerDeleteUsage, [&](Timer&) {
        StopWindowTimer(client, id);
        client.Timers().Erase(id);
        client.MarkSettingsChanged();
        client.PrintLineFormatted(OutputFormat::System, kTimerRemoved, long(id));
    });
}

// A period given here replaces the stored one for good.
void StartTimer(ClientWindow& client, WordReader& reader, int32_t id)
{
    int32_t period = 0;
    reader.NextNumber(period);
    ChangeTimer(client, id, kTimerStartUsage, [&](Timer& timer) {
        if (period > 0) timer.period = period;
        StartWindowTimer(client, id, timer.period);
        client.PrintLineFormatted(OutputFormat::System, kTimerStarted, long(id),
                                  long(timer.period));
    });
}

void StopTimer(ClientWindow& client, int32_t id)
{
    ChangeTimer(client, id, kTimerStopUsage, [&](Timer&) {
        StopWindowTimer(client, id);
        client.PrintLineFormatted(OutputFormat::System, kTimerStopped, long(id));
    });
}

void ListTimers(ClientWindow& client)
{
    // Both locks for the whole listing, so that heading and entries stay together.
    auto locks = client.LockDefinitionsForPrinting();
    client.PrintLine(OutputFormat::Header, kTimersHeading);
    for (const auto& [id, timer] : client.Timers().Entries())
        client.PrintLineFormatted(OutputFormat::System, kTimerListed, long(id), long(timer.period),
                                  timer.command.c_str());
}

}  // namespace

// Any thread that runs command lines; takes OutputLock, then DefinitionLock.
int32_t CmdTimer(ClientWindow& client, uint32_t, std::string_view args)
{
    WordReader reader(client.Chars(), args);
    std::string subcommand;
    reader.NextWord(subcommand, kNameCapacity);
    const int32_t id = ReadTimerId(reader);
    if (EqualsIgnoringCase(subcommand, "add")) {
        AddTimer(client, reader, id);
    } else if (EqualsIgnoringCase(subcommand, "delete")) {
        DeleteTimer(client, id);
    } else if (EqualsIgnoringCase(subcommand, "start")) {
        StartTimer(client, reader, id);
    } else if (EqualsIgnoringCase(subcommand, "stop")) {
        StopTimer(client, id);
    } else {
        ListTimers(client);
        return 0;
    }
    // After the locks are released: the dialog reads the tables on its own thread.
    client.GetHost().RefreshSetupDialog();
    return 0;
}

// Any thread that runs command lines; the stopwatch table guards itself.
int32_t CmdWatch(ClientWindow& client, uint32_t, std::string_view args)
{
    WordReader reader(client.Chars(), args);
    std::string subcommand;
    reader.NextWord(subcommand, kNameCapacity);
    int32_t id = 0;
    reader.NextNumber(id);
    const bool start = EqualsIgnoringCase(subcommand, "start");
    if (!start && !EqualsIgnoringCase(subcommand, "stop")) return 0;

    const auto now = StopwatchTable::Clock::now();
    if (id <= 0) {
        client.PrintLine(OutputFormat::System, start ? kWatchStartUsage : kWatchStopUsage);
    } else if (start) {
        client.Stopwatches().Start(id, now);
        client.PrintLineFormatted(OutputFormat::System, kWatchStarted, long(id));
    } else if (const auto ms = client.Stopwatches().Stop(id, now)) {
        client.PrintLineFormatted(OutputFormat::System, kWatchStopped, long(id),
                                  static_cast<long long>(*ms / 1000), int(*ms % 1000));
    } else {
        client.PrintLineFormatted(OutputFormat::System, kWatchNotDefined, long(id));
    }
    client.GetHost().RefreshSetupDialog();
    return 0;
}

}  // namespace zel
