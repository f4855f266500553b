// The option command, driven as typed lines: reports, changes, limits, the listing and the
// effects on the parts that act on options.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "HeadlessRun.h"
#include "TestClient.h"

namespace zel {
namespace {

using test::TestClient;
using Lines = std::vector<std::string>;

bool Called(const TestClient& t, std::string_view call)
{
    return std::find(t.host.calls.begin(), t.host.calls.end(), call) != t.host.calls.end();
}

std::string Hex(Color color)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06lX", static_cast<unsigned long>(color));
    return text;
}

// clang-format off
TEST(OptionCommand, ReportsAtDefaultsChangeNothing)
{
    const struct { std::string name, report; } cases[] = {
        {"achars", "Argument chars are '{' and '}'"}, {"cchar", "Command char is '|'"},
        {"echar", "Escape char is '\\'"},             {"ochar", "Scope char is '.'"},
        {"schar", "Split char is ';'"},               {"vchar", "Variable char is '$'"},
        {"xchar", "Exec char is '!'"},                {"ansi", "ANSI mode is on"},
        {"compact", "Compact mode is is off"},        {"echo", "Local echo is is on"},
        {"scrollsize", "Scroll-back buffer size is 16384 lines"},
        {"scrollpos", "Scroll-back position is top"},
        {"scrollheight", "Scroll-back window height is 50%"},
        {"scrollwidth", "Scroll-back window width is 50%"},
        {"scrollrate", "Scroll-back rate is 0 lines"},
        {"history", "History size is 3 (window) / 3 (active) / 1000 (total)"},
        {"histignore", "History ignore is 0 chars"}, {"clear", "CLEAR mode is on"},
        {"tips", "TIPs are turned on"},              {"autonaws", "Auto-NAWS is off"},
        {"linewait", "Line wait is 50 ms"},
        {"output_backcolor", "Output back color is " + Hex(OutputViewStyle{}.backColor)},
        {"output_textcolor", "Output text color is " + Hex(OutputViewStyle{}.textColor)},
        {"output_font", ""},
    };
    for (const auto& c : cases) {
        TestClient t;
        EXPECT_EQ(t.RunAll({"|option " + c.name, "|option " + c.name + " \t "}),
                  (Lines{c.report, c.report})) << c.name;
        EXPECT_FALSE(t.client.SettingsChanged()) << c.name;
        EXPECT_FALSE(Called(t, "layout")) << c.name;
    }
}

TEST(OptionCommand, ChangesPrintTheValueNowInForce)
{
    const struct { Lines lines; Lines expected; } cases[] = {
        {{"|option achars ()", "|option achars"},
         {"Argument chars set to '(' and ')'", "Argument chars are '(' and ')'"}},
        {{"|option achars <"}, {"Argument chars set to '<' and '<'"}},
        {{"|option achars [  ]"}, {"Argument chars set to '[' and ']'"}},
        {{"|option cchar #", "#option cchar", "#option cchar |", "|option cchar"},
         {"Command char set to '#'", "Command char is '#'", "Command char set to '|'",
          "Command char is '|'"}},
        {{"|option echar ~", "|option echar"}, {"Escape char set to '~'", "Escape char is '~'"}},
        {{"|option ochar :"}, {"Scope char set to ':'"}},
        {{"|option schar \\;", "|option schar"}, {"Split char set to ';'", "Split char is ';'"}},
        {{"|option vchar %", "|option vchar"},
         {"Varialbe char set to '%'", "Variable char is '%'"}},
        {{"|option xchar ?"}, {"Exec char set to '?'"}},
        {{"|option ansi off", "|option ansi 1", "|option ansi maybe", "|option ansi"},
         {"ANSI mode set to off", "ANSI mode set to on", "ANSI mode set to off",
          "ANSI mode is off"}},
        {{"|option compact YES", "|option compact"},
         {"Compact mode set to on", "Compact mode is is on"}},
        {{"|option echo off", "|option echo"}, {"Local echo set to off", "Local echo is is off"}},
        {{"|option scrollsize 0", "|option scrollsize -5", "|option scrollsize 99999999999"},
         {"Scroll-back buffer size set to 0 lines", "Scroll-back buffer size set to -5 lines",
          "Scroll-back buffer size set to 2147483647 lines"}},
        {{"|option scrollpos LEFT", "|option scrollpos middle", "|option scrollpos none"},
         {"Scroll-back position set to left", "Scroll-back position set to left",
          "Scroll-back position set to none"}},
        {{"|option scrollheight 150", "|option scrollheight"},
         {"Scroll-back window height set to 100%", "Scroll-back window height is 100%"}},
        {{"|option scrollheight -3", "|option scrollheight tall"},
         {"Scroll-back window height set to 0%", "Scroll-back window height set to 0%"}},
        {{"|option scrollwidth 150", "|option scrollwidth 25"},
         {"Scroll-back window width set to 100%", "Scroll-back window width set to 25%"}},
        {{"|option scrollrate -5", "|option scrollrate", "|option scrollrate 7"},
         {"Scroll-rate set to 0 lines", "Scroll-back rate is 0 lines",
          "Scroll-rate set to 7 lines"}},
        {{"|option history 10 4", "|option history 5 -2 20", "|option history {7} {8} {9}"},
         {"History size set to 10 (window) / 4 (active) / 1000 (total)",
          "History size set to 5 (window) / -2 (active) / 20 (total)",
          "History size set to 7 (window) / 8 (active) / 9 (total)"}},
        {{"|option histignore 3", "|option histignore {4}", "|option histignore"},
         {"History ignore set to 3 chars", "History ignore set to 4 chars",
          "History ignore is 4 chars"}},
        {{"|option clear off", "|option clear sometimes", "|option clear MIX", "|option clear"},
         {"CLEAR mode set to off", "CLEAR mode set to off", "CLEAR mode set to mix",
          "CLEAR mode is mix"}},
        {{"|option tips off", "|option tips"}, {"TIPs turned off", "TIPs are turned off"}},
        {{"|option autonaws on", "|option autonaws"}, {"Auto-NAWS set to on", "Auto-NAWS is on"}},
        {{"|option linewait 200", "|option linewait"},
         {"Line wait set to 200 ms", "Line wait is 200 ms"}},
        {{"|option linewait 1001", "|option linewait -1", "|option linewait 1000",
          "|option linewait soon", "|option linewait 50"},
         {"Line wait set to 1000 ms", "Line wait set to 0 ms", "Line wait set to 1000 ms",
          "Line wait set to 0 ms", "Line wait set to 50 ms"}},
    };
    for (const auto& c : cases) {
        TestClient t;
        EXPECT_EQ(t.RunAll(c.lines), c.expected) << c.lines.front();
        EXPECT_TRUE(t.client.SettingsChanged()) << c.lines.front();
    }
}

TEST(OptionCommand, LayoutFollowsScrollingAndHistoryChanges)
{
    const struct { std::string line; bool layout; } cases[] = {
        {"|option scrollpos left", true},  {"|option scrollpos middle", true},
        {"|option scrollheight 20", true}, {"|option scrollwidth 20", true},
        {"|option scrollrate 2", true},    {"|option history 4 4 4", true},
        {"|option history 0 5 5", true},   {"|option scrollsize 10", false},
        {"|option histignore 2", false},   {"|option ansi off", false},
        {"|option linewait 9", false},
        {"|option", false},                {"|option scrollheight", false},
    };
    for (const auto& c : cases) {
        TestClient t;
        t.Run(c.line);
        EXPECT_EQ(Called(t, "layout"), c.layout) << c.line;
    }
}

// The network thread reads the wait from Options; the value kept is the one reported.
TEST(OptionCommand, LineWaitIsKeptInTheOptions)
{
    const struct { std::string line; int32_t kept; } cases[] = {
        {"|option linewait 120", 120}, {"|option linewait 99999999999", 1000},
        {"|option linewait -7", 0},    {"|option linewait 0", 0},
        {"|option linewait", 50},
    };
    for (const auto& c : cases) {
        TestClient t;
        t.Run(c.line);
        EXPECT_EQ(t.client.GetOptions().lineWait, c.kept) << c.line;
    }
}
// clang-format on

TEST(OptionCommand, HistoryRules)
{
    for (const char* line : {"|option history 0 5 5", "|option history -1 5 5", "|option history x",
                             "|option history {}"}) {
        TestClient t;
        EXPECT_EQ(t.Run(line), Lines{"History size is 3 (window) / 3 (active) / 1000 (total)"});
        EXPECT_FALSE(t.client.SettingsChanged()) << line;
    }
    TestClient t;
    t.RunAll({"one", "two", "three", "|option history 3 3 2"});
    EXPECT_EQ(t.client.History().Lines(),
              (std::deque<std::string>{"three", "|option history 3 3 2"}));
    t.Run("|option history 3 3 -4");  // a total of 0 or less keeps the total
    EXPECT_EQ(t.client.GetOptions().historyTotal, 2);

    t.RunAll({"|option histignore 3", "abc"});
    EXPECT_NE(t.client.History().Lines().back(), "abc");
    t.Run("abcd");
    EXPECT_EQ(t.client.History().Lines().back(), "abcd");
}

TEST(OptionCommand, EffectsReachTheOutputBufferAndTheHost)
{
    struct EffectHost : test::RecordingHost {
        void HideTip() override { calls.push_back("hide tip"); }
        void SetClearMode(int mode) override { calls.push_back("clear " + std::to_string(mode)); }
    } host;
    ClientWindow client(host, AllModules());
    auto run = [&](const std::string& line) {
        host.calls.clear();
        client.ExecuteLine(line, false, true);
        return host.calls;
    };
    run("|option ansi off");
    EXPECT_FALSE(client.Output().AnsiEnabled());
    run("|option scrollsize 3");
    for (int i = 0; i < 10; ++i) client.Print(OutputFormat::Default, "line\n");
    EXPECT_LE(client.Output().LineCount(), 4u);
    // Any size is taken as it stands; a huge one allocates nothing by itself.
    const size_t before = client.Output().MemoryUsage();
    run("|option scrollsize 2147483647");
    EXPECT_EQ(client.Output().MaximumLines(), 2147483647);
    EXPECT_LT(client.Output().MemoryUsage(), before + (1u << 20));
    run("|option scrollsize -1");
    client.Print(OutputFormat::Default, "kept nowhere\n");
    EXPECT_EQ(client.Output().MaximumLines(), -1);

    EXPECT_EQ(run("|option tips off"), (Lines{"hide tip", "refresh"}));
    EXPECT_EQ(run("|option tips on"), (Lines{"refresh"}));
    EXPECT_EQ(run("|option clear mix"), (Lines{"clear 1", "refresh"}));
    const Color back = ParseColor("102030");
    EXPECT_EQ(
        run("|option output_backcolor 102030"),
        (Lines{"colors " + std::to_string(back) + " " + std::to_string(OutputViewStyle{}.textColor),
               "repaint", "refresh"}));
    EXPECT_EQ(client.Formats().view.backColor, back);
    EXPECT_EQ(run("|option output_font Lucida Console"),
              (Lines{"font Lucida Console 0 0 400", "repaint", "refresh"}));
    EXPECT_EQ(client.Formats().view.face, "Lucida Console");
    run("|option output_font " + std::string(300, 'F'));
    EXPECT_EQ(client.Formats().view.face, std::string(31, 'F'));
}

TEST(OptionCommand, OutputLookIsNoSettingsChange)
{
    TestClient t;
    const std::string back = Hex(ParseColor("102030"));
    const std::string text = Hex(ParseColor("405060"));
    EXPECT_EQ(
        t.RunAll({"|option output_backcolor 102030", "|option output_backcolor",
                  "|option output_textcolor 405060", "|option output_font Arial"}),
        (Lines{"Output window back color set to " + back, "Output back color is " + back,
               "Output window text color set to " + text, "Output window font set to Arial"}));
    EXPECT_FALSE(t.client.SettingsChanged());
}

TEST(OptionCommand, UnknownAndIgnoredNames)
{
    const struct {
        std::string line, error;
    } unknown[] = {
        {"|option xyz", "Unrecognised option 'xyz'"},
        {"|option ANSI off", "Unrecognised option 'ANSI'"},
        {"|option {} on", "Unrecognised option ''"},
        {"|option priority turbo", "Invalid priority class 'turbo'"},
        {"|option priority {idle}", "Invalid priority class '{idle}'"},
    };
    for (const auto& c : unknown) {
        TestClient t;
        EXPECT_EQ(t.Run(c.line), Lines{c.error});
        EXPECT_EQ(t.printed.at(0).format.textColor,
                  t.client.Formats()[OutputFormat::Error].textColor);
        EXPECT_FALSE(t.client.SettingsChanged()) << c.line;
        EXPECT_TRUE(Called(t, "refresh")) << c.line;
    }
    TestClient t;
    const Lines listing = t.Run("|option");
    for (const char* name :
         {"lock", "dialog_backcolor", "dialog_textcolor", "dialog_font", "scroll_backcolor",
          "scroll_textcolor", "scroll_font", "history_backcolor", "history_textcolor",
          "history_font", "input_backcolor", "input_textcolor", "input_font", "tip_backcolor",
          "tip_textcolor", "tip_font"}) {
        t.host.calls.clear();
        EXPECT_EQ(t.RunAll({std::string("|option ") + name + " Arial",
                            std::string("|option ") + name, "||option quiet"}),
                  Lines{})
            << name;
        EXPECT_TRUE(Called(t, "refresh")) << name;
    }
    EXPECT_FALSE(t.client.SettingsChanged());
    EXPECT_EQ(t.Run("|option"), listing);
}

TEST(OptionCommand, ListingPadsLabelsWithMiddleDots)
{
    TestClient t;
    Lines listing = t.Run("|option");
    ASSERT_EQ(listing.size(), 32u);
    EXPECT_TRUE(listing[28].starts_with("  PRIORITY\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 "))
        << listing[28];
    listing.erase(listing.begin() + 28);
    EXPECT_EQ(
        listing,
        (Lines{
            "Current options:",
            "SPECIAL CHARACTERS:",
            "  CMD-CHAR\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 |",
            "  ESC-CHAR\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 \\",
            "  SPLIT-CHAR\xC2\xB7\xC2\xB7\xC2\xB7 ;",
            "  VAR-CHAR\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 $",
            "  EXEC-CHAR\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 !",
            "  ARG-CHAR1\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 {",
            "  ARG-CHAR2\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 }",
            "OUTPUT:",
            "  ANSI\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 on",
            "  COMPACT\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 off",
            "SCROLLING:",
            "  SCROLL-SIZE\xC2\xB7\xC2\xB7 16384 lines",
            "  SCROLL-POS\xC2\xB7\xC2\xB7\xC2\xB7 top",
            "  SCROLL-HEIGHT    50%",
            "  SCROLL-WIDTH\xC2\xB7    50%",
            "  SCROLL-RATE\xC2\xB7\xC2\xB7     0 lines",
            "HISTORY:",
            "  SIZE\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7     3 "
            "lines",
            "  ACTIVE SIZE\xC2\xB7\xC2\xB7     3 lines",
            "  SIZE\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7  1000 "
            "lines",
            "  IGNORE\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7     0 lines",
            "INPUT:",
            "  AUTO-CLEAR\xC2\xB7\xC2\xB7\xC2\xB7 on",
            "NETWORK:",
            "  AUTO-NAWS\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 off",
            "OTHER:",
            "  LINE-WAIT\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7    50 ms",
            "  SCROLL-MEMORY   256 MB",
            "  ENCODING\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 Windows-1252",
        }));
    for (const auto& line : t.printed) {
        const bool heading = !line.text.starts_with("  ");
        const auto format = heading ? OutputFormat::Header : OutputFormat::System;
        EXPECT_EQ(line.format.textColor, t.client.Formats()[format].textColor) << line.text;
    }
    // Mix mode lists as on.
    listing = t.RunAll({"|option clear mix", "|option scrollsize 123456", "|option"});
    EXPECT_EQ(listing[2 + 13], "  SCROLL-SIZE\xC2\xB7\xC2\xB7 123456 lines");
    EXPECT_EQ(listing[2 + 24], "  AUTO-CLEAR\xC2\xB7\xC2\xB7\xC2\xB7 on");
    listing = t.RunAll({"|option linewait 0", "|option scrollmemory 4096", "|option"});
    EXPECT_EQ(listing[listing.size() - 3], "  LINE-WAIT\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7     0 ms");
    EXPECT_EQ(listing[listing.size() - 2], "  SCROLL-MEMORY  4096 MB");
}

// Runs `body` in a child process, so that priority changes stay there; returns its text.
std::string InChild(const std::function<std::string()>& body)
{
    int fds[2];
    if (pipe(fds) != 0) return "pipe failed";
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string out = body();
        for (size_t done = 0; done < out.size();) {
            const ssize_t n = write(fds[1], out.data() + done, out.size() - done);
            if (n <= 0) break;
            done += size_t(n);
        }
        _exit(0);
    }
    close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, size_t(n));
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return out;
}

// Each printed line as "S text" (System) or "E text" (Error).
std::string RunLogged(TestClient& t, const Lines& lines)
{
    std::string log;
    for (const auto& line : lines) {
        t.Run(line);
        for (const auto& p : t.printed) {
            const auto error = t.client.Formats()[OutputFormat::Error].textColor;
            log += (p.format.textColor == error ? "E " : "S ") + p.text + "\n";
        }
    }
    return log;
}

TEST(OptionCommand, PriorityClassesWhenPermitted)
{
    if (geteuid() != 0) GTEST_SKIP() << "raising the priority needs root";
    const std::string out = InChild([] {
        TestClient t;
        return RunLogged(t, {"|option priority Real", "|option priority", "|option priority high",
                             "|option priority", "|option priority NORMAL", "|option priority",
                             "|option priority idle", "|option priority"}) +
               (t.client.SettingsChanged() ? "changed\n" : "unchanged\n");
    });
    EXPECT_EQ(out,
              "S Priority class set to 'Real'\nS Current priority class is 'real'\n"
              "S Priority class set to 'high'\nS Current priority class is 'high'\n"
              "S Priority class set to 'NORMAL'\nS Current priority class is 'normal'\n"
              "S Priority class set to 'idle'\nS Current priority class is 'idle'\nunchanged\n");
}

// Without the privilege, raising the priority is refused: an error, not a success, and the
// class in force stays. Lowering it reaches every thread, not only the caller.
TEST(OptionCommand, RefusedPriorityIsAnError)
{
    const std::string out = InChild([] {
        const rlimit none{0, 0};
        setrlimit(RLIMIT_NICE, &none);
        if (geteuid() == 0 && setuid(65534) != 0) return std::string("cannot drop root\n");
        std::mutex mutex;
        std::condition_variable changed;
        bool ready = false;
        int otherNice = 0;
        std::thread other([&] {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return ready; });
            otherNice = getpriority(PRIO_PROCESS, 0);
        });
        TestClient t;
        std::string log = RunLogged(t, {"|option priority idle"});
        {
            std::scoped_lock lock(mutex);
            ready = true;
        }
        changed.notify_one();
        other.join();
        log += "other thread " + std::to_string(otherNice) + "\n";
        log += RunLogged(t, {"|option priority normal", "|option priority"});
        return log + t.Run("|option").at(28) + "\n";
    });
    if (out == "cannot drop root\n") GTEST_SKIP() << out;
    EXPECT_EQ(out,
              "S Priority class set to 'idle'\nother thread 19\n"
              "E Unable to set priority class 'normal': " +
                  std::string(std::strerror(EACCES)) + " (" + std::to_string(EACCES) +
                  ")\nS Current priority class is 'idle'\n  "
                  "PRIORITY\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7\xC2\xB7 idle\n");
}

// A pipe gets the engine's bytes: the padding is the Windows-1252 middle dot, as always.
TEST(OptionCommand, HeadlessSessionWritesTheListingBytes)
{
    const test::HeadlessRun run =
        test::RunZelHeadless("|option scrollheight 150\n|option cchar #\n#option\n");
    EXPECT_EQ(run.status, 0);
    const std::string& out = run.out;
    EXPECT_NE(out.find("Scroll-back window height set to 100%\nCommand char set to '#'\n"
                       "Current options:\nSPECIAL CHARACTERS:\n  CMD-CHAR\xB7\xB7\xB7\xB7\xB7 #\n"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  SCROLL-HEIGHT   100%\n"), std::string::npos) << out;
}

}  // namespace
}  // namespace zel
