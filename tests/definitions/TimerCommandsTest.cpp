// The timer and watch commands driven as typed lines, and timer expiries as the window
// delivers them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "TestClient.h"

namespace zel {
namespace {

using namespace std::chrono_literals;
using test::TestClient;
using Lines = std::vector<std::string>;

// A timer command that prints one whole line.
const std::string kTick = "|variable add n 1";
const std::string kTicked = "VARIABLE {n} --> {1} added";

// clang-format off
TEST(TimerCommands, MessagesOfEveryForm)
{
    const struct { Lines lines; Lines expected; } cases[] = {
        {{"|timer add 150 100 {say hi} greets"}, {"TIMER 150 100 ms --> {say hi} added"}},
        {{"|timer ADD 150 {100} say"}, {"TIMER 150 100 ms --> {say} added"}},
        // No period or no command shows the timer and changes nothing.
        {{"|timer add 150 100 x", "|timer add 150"}, {"TIMER 150 100 ms --> {x}"}},
        {{"|timer add 150 100 x", "|timer add 150 -5 y"}, {"TIMER 150 100 ms --> {x}"}},
        {{"|timer add 150 100 x", "|timer add 150 200 {}"}, {"TIMER 150 100 ms --> {x}"}},
        {{"|timer add 150 soon x"}, {"TIMER 150 not defined"}},
        // Ids that are no number or not above 0 do nothing at all.
        {{"|timer add 0 100 x"}, {}}, {{"|timer add abc 100 x"}, {}}, {{"|timer add -3 1 x"}, {}},
        {{"|timer add 150 1 x", "|timer delete 150"}, {"TIMER 150 removed"}},
        {{"|timer add 150 1 x", "|timer delete 150", "|timer delete 150"}, {"TIMER 150 not defined"}},
        {{"|timer delete x"}, {"UNTIMER <id>"}},
        {{"|timer add 150 100 x", "|timer start 150"}, {"TIMER 150 100 ms (re)started"}},
        {{"|timer add 150 100 x", "|timer start 150 {250}"}, {"TIMER 150 250 ms (re)started"}},
        {{"|timer start 150"}, {"TIMER 150 not defined"}},
        {{"|timer start 0 100"}, {"STARTTIMER <id>"}},
        {{"|timer add 150 100 x", "|timer stop 150"}, {"TIMER 150 stopped"}},
        {{"|timer stop 150"}, {"TIMER 150 not defined"}},
        {{"|timer stop"}, {"STOPTIMER <id>"}},
        {{"|timer add 2147483647 2147483647 x"}, {"TIMER 2147483647 2147483647 ms --> {x} added"}},
        {{"|option achars ()", "|timer add 150 (100) (a b)"}, {"TIMER 150 100 ms --> (a b) added"}},
        {{"|watch start {2}"}, {"WATCH 2 started"}},
        {{"|watch start 1", "|watch stop 1", "|watch stop 1"}, {"WATCH 1 not defined"}},
        {{"|watch start x"}, {"STARTWATCH <id>"}}, {{"|watch stop -1"}, {"STOPWATCH <id>"}},
        {{"|watch"}, {}}, {{"|watch reset 1"}, {}},
        {{"||timer add 150 100 x", "||timer start 150"}, {}},  // quiet
    };
    for (const auto& c : cases) {
        TestClient t;
        EXPECT_EQ(t.RunLast(c.lines), c.expected) << c.lines.back();
        for (const auto& printed : t.printed)
            EXPECT_EQ(printed.format.textColor, t.client.Formats()[OutputFormat::System].textColor);
    }
}

// What the last line asks of the window. Ids below 100 never reach it: they would restart or
// kill its own timers (the status bar, the tip).
TEST(TimerCommands, WindowTimersDialogAndSettings)
{
    const struct { Lines lines; Lines calls; bool changes; } cases[] = {
        {{"|timer add 150 100 x"}, {"refresh"}, true},
        {{"|timer add 150 100 x", "|timer start 150"}, {"start timer 150 100", "refresh"}, false},
        {{"|timer add 150 100 x", "|timer start 150 40", "|timer start 150"},
         {"start timer 150 40", "refresh"}, false},  // the new period is kept
        {{"|timer add 150 100 x", "|timer start 150", "|timer add 150 30 y"},
         {"refresh"}, true},  // runs on with its old interval until restarted
        {{"|timer add 150 100 x", "|timer stop 150"}, {"stop timer 150", "refresh"}, false},
        {{"|timer add 150 100 x", "|timer delete 150"}, {"stop timer 150", "refresh"}, true},
        {{"|timer delete 150"}, {"refresh"}, false},
        {{"|timer add 99 100 x", "|timer start 99 5"}, {"refresh"}, false},
        {{"|timer add 1 100 x", "|timer stop 1"}, {"refresh"}, false},
        {{"|timer add 1 100 x", "|timer delete 1"}, {"refresh"}, true},
        {{"|timer add 100 100 x", "|timer start 100"}, {"start timer 100 100", "refresh"}, false},
        {{"|timer add 150 100 x", "|timer"}, {}, false},
        {{"|watch start 1"}, {"refresh"}, false},
    };
    for (const auto& c : cases) {
        TestClient t;
        t.RunAll(Lines(c.lines.begin(), c.lines.end() - 1));
        t.client.ClearSettingsChanged();
        t.host.calls.clear();
        t.Run(c.lines.back());
        std::erase_if(t.host.calls, [](const auto& call) { return call.starts_with("history"); });
        EXPECT_EQ(t.host.calls, c.calls) << c.lines.back();
        EXPECT_EQ(t.client.SettingsChanged(), c.changes) << c.lines.back();
    }
}
// clang-format on

TEST(TimerCommands, ListingInIdOrderKeepsStoppedTimers)
{
    TestClient t;
    t.RunAll({"|timer add 1000 7 {say hi} a description", "|timer add 150 100 {" + kTick + "}",
              "|timer add 50 20 {kill orc}", "|timer start 150 250", "|timer stop 150"});
    const Lines listing{"Defined timers:", "   50    20ms --> kill orc",
                        "  150   250ms --> |variable add n 1", " 1000     7ms --> say hi"};
    EXPECT_EQ(t.Run("|timer"), listing);
    EXPECT_EQ(t.printed[0].format.textColor, t.client.Formats()[OutputFormat::Header].textColor);
    EXPECT_EQ(t.Run("|timer anything"), listing);
    t.Run("|timer delete 150");
    EXPECT_EQ(t.Run("|timer"), (Lines{listing[0], listing[1], listing[3]}));
}

TEST(TimerExpiry, RunsUserTimersOnlyWhileTheyExist)
{
    TestClient t;
    t.RunAll({"|timer add 50 10 {" + kTick + "}", "|timer add 150 10 {" + kTick + "}",
              "|timer start 50", "|timer start 150"});
    t.printed.clear();
    for (int id : {1, 2, 3, 4, 50, 99, 150, 150}) t.client.OnWindowTimer(id);
    EXPECT_EQ(t.Texts(), (Lines{kTicked, kTicked}));
    EXPECT_EQ(t.host.Count("history " + kTick), 0);
    t.Run("|timer delete 150");
    t.printed.clear();
    t.client.OnWindowTimer(150);
    EXPECT_EQ(t.Texts(), Lines{});
}

// A command that deletes or replaces its own timer runs to its end, and the next expiry finds
// the timer as the command left it.
TEST(TimerExpiry, ACommandMayDeleteOrReplaceItsOwnTimer)
{
    TestClient t;
    t.Run("|timer add 150 10 {|timer delete 150;" + kTick + "}");
    t.Run("|timer add 160 10 {|timer add 160 10 {|timer start 160 30};" + kTick + "}");
    t.printed.clear();
    for (int id : {150, 150, 160, 160}) t.client.OnWindowTimer(id);
    EXPECT_EQ(t.Texts(), (Lines{"TIMER 150 removed", kTicked,
                                "TIMER 160 10 ms --> {|timer start 160 30} added", kTicked,
                                "TIMER 160 30 ms (re)started"}));
}

// Timer commands from an action on the network thread while the window runs expiries.
TEST(TimerExpiry, ChangesOnAnotherThreadDuringExpiries)
{
    NullHost host;
    ClientWindow client(host, AllModules());
    std::thread other([&] {
        for (int i = 0; i < 2000; ++i) {
            client.ExecuteLine("||timer add 150 10 {||variable add v " + std::to_string(i) + "}",
                               false, false);
            client.ExecuteLine("||timer delete 150", false, false);
        }
    });
    for (int i = 0; i < 4000; ++i) client.OnWindowTimer(150);
    other.join();
    EXPECT_EQ(client.Timers().Size(), 0u);
}

TEST(WatchCommand, ReportsElapsedTimeAndRestarts)
{
    auto seconds = [](const Lines& lines) {
        long whole = 0;
        int thousandths = 0, end = 0;
        if (lines.size() != 1 ||
            std::sscanf(lines[0].c_str(), "WATCH 3 stopped at %ld.%3d seconds%n", &whole,
                        &thousandths, &end) != 2 ||
            size_t(end) != lines[0].size() || lines[0].find('.') + 4 != lines[0].find(" seconds"))
            return -1.0;
        return double(whole) + thousandths / 1000.0;
    };
    // Each reading lies between the pause inside it and the time around it, measured here.
    using Clock = std::chrono::steady_clock;
    auto since = [](Clock::time_point start) {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    TestClient t;
    auto around = Clock::now();
    t.Run("|watch start 3");
    std::this_thread::sleep_for(250ms);
    const double first = seconds(t.Run("|watch stop 3"));
    EXPECT_GE(first, 0.250);
    EXPECT_LE(first, since(around));
    t.Run("|watch start 3");
    std::this_thread::sleep_for(250ms);
    around = Clock::now();
    t.Run("|watch start 3");  // restarts: the pause before does not count
    const double second = seconds(t.Run("|watch stop 3"));
    EXPECT_GE(second, 0.0);
    EXPECT_LE(second, since(around));
}

TEST(WatchTable, ElapsedMillisecondsNeverNegativeNorWrapped)
{
    StopwatchTable table;
    const auto t0 = StopwatchTable::Clock::time_point{} + 1h;
    for (int id : {1, 2, 3}) table.Start(id, t0);
    EXPECT_EQ(table.Stop(1, t0 + 1500ms + 999us), 1500);
    EXPECT_EQ(table.Stop(1, t0 + 1s), std::nullopt);
    EXPECT_EQ(table.Stop(2, t0 + 25 * 24h + 1234ms), 25LL * 24 * 3600 * 1000 + 1234);
    EXPECT_EQ(table.Stop(3, t0 - 5s), 0);
}

}  // namespace
}  // namespace zel
