// Settings files on disk: `write`, `read`, and the quit dialog's saving.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "HeadlessRun.h"
#include "TempFolder.h"
#include "TerminalRun.h"
#include "TestClient.h"
#include "engine/SettingsFile.h"

namespace zel {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::TempFolder;
using test::TestClient;
using ::testing::Contains;
using ::testing::HasSubstr;

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The file without the lines that name the file and the time it was written.
std::string WithoutStamp(const std::string& text)
{
    std::string out;
    for (const std::string& line : Lines(text))
        if (line.find("rem FILENAME") == std::string::npos &&
            line.find("rem SAVED ON") == std::string::npos)
            out += line + '\n';
    return out;
}

// The first line that differs, shortened: a whole file is too long to read in a report.
void ExpectSameLines(const std::string& actual, const std::string& expected)
{
    const auto a = Lines(actual), e = Lines(expected);
    for (size_t i = 0; i < std::min(a.size(), e.size()); ++i)
        if (a[i] != e[i]) {
            ADD_FAILURE() << "line " << i + 1 << ":\n  " << a[i].substr(0, 200) << "\n  "
                          << e[i].substr(0, 200);
            return;
        }
    EXPECT_EQ(a.size(), e.size());
}

// Every byte but NUL, with unbalanced argument characters and line ends among them.
std::string AllBytes()
{
    std::string text;
    for (int c = 255; c >= 1; --c) text += char(c);
    return text;
}

// A setup with every kind of definition, special characters in names and values.
void BuildRichSetup(ClientWindow& client)
{
    const std::vector<std::string> lines = {
        "|option echo off",
        "|option compact on",
        "|option clear mix",
        "|option scrollpos right",
        "|option scrollsize 5000",
        "|option history 5 4 300",
        "|option histignore 2",
        "|option autonaws on",
        "|option scrollrate 7",
        "|font {Liberation Mono} 14 7",
        "|alias add plain {say hello} {}",
        "|alias add braces {say {a} \\\\ $$x;look} {desc with $$ and \\{b\\}}",
        "|alias add \xe9t\xe9 {dis \xb7 \xe9} {caf\xe9}",
        "|alias add ..dotted.name {x} {scoped}",
        "|alias add open a}b{{c",
        "|complete add north {go north}",
        "|complete add {two words} {}",
        "|syntax add {kill} {kill <target>} {attacks}",
        "|bind add exec {F5} {look;score} {two commands}",
        "|bind add insert {CONTROL+F6} {$$target } {}",
        "|bind add action {F7} {scroll_left} {top}",
        "|action add tell {^(\\\\w+) tells you '(.*)'$} {reply $$1 got $$2;say $$hp} {}",
        "|action add hp {HP: ([0-9]+)} {} {bold red}",
        "|action add gag {^You are hungry} {} {} {}",
        "|action add swap {^foo} {} {} {bar $$1}",
        "|action add bad {(unclosed} {x}",
        "|session add home mud.example.org 4000 Hero {name:} {pa$$$$word\\}} {password:}",
        "|session add {s p} localhost 23",
        "|timer add 100 1000 {say tick}",
        "|variable add hp 100",
    };
    for (const std::string& line : lines) client.ExecuteLine(line, false, false);
    std::scoped_lock lock(client.DefinitionLock());
    // Values no typed line could hold: at their capacity, and every byte.
    client.Aliases().Insert("capacity").command = std::string(kTextCapacity, '$');
    client.Aliases().Insert("capacity").description = std::string(kTextCapacity, '{');
    client.Aliases().Insert("bytes").command = AllBytes();
    client.Syntaxes().Insert("lines").header = "one\ntwo\r\nthree";
}

// A fresh client reading the file that a rich setup wrote writes the same file again, and
// holds the same definitions.
TEST(SettingsFile, RoundTripIsLossless)
{
    TempFolder folder;
    for (const char* chars : {"", "|option achars ()", "|option schar :"}) {
        TestClient first;
        BuildRichSetup(first.client);
        first.Run(chars);
        const std::string a = folder / "a.zel";
        ASSERT_EQ(WriteSettingsFile(first.client, a, "note"), 0);

        TestClient second;
        second.Run("|read " + a);
        const std::string b = folder / "b.zel";
        ASSERT_EQ(WriteSettingsFile(second.client, b, "note"), 0);
        const std::string written = ReadWholeFile(a);
        ExpectSameLines(WithoutStamp(ReadWholeFile(b)), WithoutStamp(written));

        ClientWindow& x = first.client;
        ClientWindow& y = second.client;
        ASSERT_EQ(y.Aliases().Size(), x.Aliases().Size()) << chars;
        for (const auto& [name, alias] : x.Aliases().Entries()) {
            const Alias* read = y.Aliases().Find(name);
            ASSERT_NE(read, nullptr) << name;
            EXPECT_EQ(read->command, alias.command) << name;
            EXPECT_EQ(read->description, alias.description) << name;
        }
        EXPECT_EQ(y.Syntaxes().Find("lines")->header, "one\ntwo\r\nthree");
        ASSERT_EQ(y.Actions().Size(), x.Actions().Size());
        for (const auto& [name, action] : x.Actions().Entries()) {
            const Action* read = y.Actions().Find(name);
            ASSERT_NE(read, nullptr) << name;
            EXPECT_EQ(read->pattern, action.pattern) << name;
            EXPECT_EQ(read->command, action.command) << name;
            EXPECT_EQ(read->replacement, action.replacement) << name;
            EXPECT_EQ(read->flags, action.flags) << name;
            EXPECT_EQ(FormatToText(read->format), FormatToText(action.format)) << name;
        }
        const Session* home = y.Sessions().Find("home");
        ASSERT_NE(home, nullptr);
        EXPECT_EQ(home->password, x.Sessions().Find("home")->password);
        EXPECT_EQ(home->port, 4000);
        EXPECT_NE(y.Sessions().Find("s p"), nullptr);
        EXPECT_EQ(y.Bindings().Entries().size(), x.Bindings().Entries().size());
        EXPECT_EQ(y.Bindings().Find(0x74)->command, "look;score");
        EXPECT_EQ(y.Completions().Find("two words")->description, "");
        EXPECT_EQ(y.GetOptions().historyTotal, 300);
        EXPECT_EQ(y.GetOptions().scrollPos, 3);
        EXPECT_EQ(y.GetOptions().clearMode, 1);
        EXPECT_TRUE(y.GetOptions().autoNaws);
        EXPECT_FALSE(y.GetOptions().localEcho);
        EXPECT_EQ(y.Formats()[OutputFormat::Default].Face(), "Liberation Mono");
        EXPECT_EQ(y.Chars().beginArgument, x.Chars().beginArgument);
        EXPECT_EQ(y.Chars().split, x.Chars().split);
        // Timers and variables are not part of the file.
        EXPECT_EQ(y.Timers().Find(100), nullptr);
        EXPECT_EQ(y.Variables().Find("hp"), nullptr);
    }
}

TEST(SettingsFile, HeaderAndSectionsInOrder)
{
    TempFolder folder;
    TestClient client;
    client.Run("|alias add a b");
    client.Run("|timer add 100 1000 {say tick}");
    client.Run("|variable add v 1");
    const std::string file = folder / "order.zel";
    EXPECT_THAT(client.Run("|write " + file + " {my note; kept}"),
                Contains("Current settings written to '" + file + "'"));
    EXPECT_FALSE(client.client.SettingsChanged());
    const std::vector<std::string> lines = Lines(ReadWholeFile(file));
    ASSERT_GT(lines.size(), 12u);
    EXPECT_EQ(lines[0], "|");
    EXPECT_EQ(lines[1], "|rem --------------------------------");
    EXPECT_EQ(lines[2], "|rem ZEL auto-saved file");
    EXPECT_EQ(lines[3],
              "|rem NOTE: The first line of this file should contain the file's command char");
    EXPECT_EQ(lines[4], "|rem FILENAME: " + file);
    // "|rem SAVED ON: 2026-12-07 11:13:01 UTC": digits where the pattern has 9.
    const std::string stampPattern = "|rem SAVED ON: 9999-99-99 99:99:99 UTC";
    ASSERT_EQ(lines[5].size(), stampPattern.size()) << lines[5];
    for (size_t i = 0; i < stampPattern.size(); ++i)
        EXPECT_TRUE(stampPattern[i] == '9' ? IsDigit(lines[5][i]) : lines[5][i] == stampPattern[i])
            << lines[5];
    EXPECT_TRUE(lines[6].starts_with("|rem SAVED BY: ")) << lines[6];
    EXPECT_THAT(lines[6], HasSubstr(" ON "));
    EXPECT_TRUE(lines[7].starts_with("|rem ")) << lines[7];
    // The split character of a note stays inside the comment.
    EXPECT_EQ(lines[8], "|rem my note\\; kept");
    EXPECT_EQ(lines[9], "|rem --------------------------------");
    EXPECT_EQ(lines[10], "|rem");

    std::vector<std::string> rest(lines.begin() + 11, lines.end());
    std::vector<std::string> headings;
    for (const std::string& line : rest)
        if (line.starts_with("|rem --")) headings.push_back(line);
    EXPECT_EQ(headings, (std::vector<std::string>{
                            "|rem -------- CHARACTERS ------------",
                            "|rem -------- OPTIONS ---------------",
                            "|rem -------- FORMATS ---------------",
                            "|rem -------- ALIASES ---------------",
                            "|rem -------- BINDINGS --------------",
                            "|rem -------- COMPLETIONS -----------",
                            "|rem -------- SYNTAXES --------------",
                            "|rem -------- ACTIONS ---------------",
                            "|rem -------- TIMERS ----------------",
                            "|rem -------- VARIABLES -------------",
                            "|rem -------- SCRIPTS ---------------",
                            "|rem -------- WAVES -----------------",
                            "|rem -------- SESSIONS --------------",
                            "|rem -------- WATCHES ---------------",
                        }));
    const std::vector<std::string> start(rest.begin(), rest.begin() + 24);
    EXPECT_EQ(start, (std::vector<std::string>{
                         "|rem -------- CHARACTERS ------------",
                         "|option echar \\\\",
                         "|option achars \\{ \\}",
                         "|option schar \\;",
                         "|option vchar \\$",
                         "|option xchar \\!",
                         "|option ochar \\.",
                         "|rem -------- OPTIONS ---------------",
                         "|option echo on",
                         "|option compact off",
                         "|option ansi on",
                         "|option clear on",
                         "|option tips on",
                         "|option scrollsize 16384",
                         "|option scrollheight 50",
                         "|option scrollwidth 50",
                         "|option scrollpos top",
                         "|option scrollrate 0",
                         "|option history 3 3 1000",
                         "|option histignore 0",
                         "|option autonaws off",
                         "|rem -------- FORMATS ---------------",
                         rest[22],
                         "|rem",
                     }));
    EXPECT_TRUE(rest[22].starts_with("|font {")) << rest[22];
    const std::string text = ReadWholeFile(file);
    EXPECT_THAT(text, HasSubstr("|rem -------- ALIASES ---------------\n|alias add {a} {b} {}\n"));
    EXPECT_THAT(text, HasSubstr("|rem -------- TIMERS ----------------\n|rem\n"
                                "|rem -------- VARIABLES -------------\n|rem\n"
                                "|rem -------- SCRIPTS ---------------\n|rem\n"
                                "|rem -------- WAVES -----------------\n|rem\n"
                                "|rem -------- SESSIONS --------------\n|rem\n"
                                "|rem -------- WATCHES ---------------\n"));
    EXPECT_TRUE(text.ends_with("|rem -------- WATCHES ---------------\n"));
}

// A file written by hand: another command character, carriage returns, empty lines, an
// unescaped action command, and a last line without a line feed.
TEST(SettingsFile, HandWrittenFileReads)
{
    TempFolder folder;
    TestClient client;
    const std::string file = folder / "hand.zel";
    WriteText(file,
              "#\r\n#rem hand made\r\n\r\n\n#alias add {go} {north;east} {walk}\r\n"
              "#action add {t} {^(\\w+) waves} {wave $1}\n#echo read done");
    EXPECT_THAT(client.Run("|read " + file), Contains("read done"));
    EXPECT_EQ(client.client.Chars().command, '|');
    ASSERT_NE(client.client.Aliases().Find("go"), nullptr);
    EXPECT_EQ(client.client.Aliases().Find("go")->command, "north;east");
    EXPECT_EQ(client.client.Actions().Find("t")->command, "wave $1");
    // A first line of more than one character is also run.
    WriteText(file, "/echo hi \n/echo there\n");
    EXPECT_TRUE(client.Run("|read " + file).back().ends_with("hi there"));
    EXPECT_EQ(client.client.Chars().command, '|');
}

TEST(SettingsFile, WriteFailuresKeepTheOldFileAndTheChangedFlag)
{
    TempFolder folder;
    TestClient client;
    client.Run("|alias add a b");
    EXPECT_EQ(client.Run("|write"), (std::vector<std::string>{"WRITE <filename>"}));
    for (const std::string& name : {folder / "missing/x.zel", folder / ""}) {
        EXPECT_EQ(client.Run("|write " + name),
                  (std::vector<std::string>{"Unable to write to '" + name + "'"}));
        EXPECT_TRUE(client.client.SettingsChanged());
    }
    fs::create_directory(folder / "dir");
    EXPECT_THAT(client.Run("|write " + folder / "dir"), Contains(HasSubstr("Unable to write")));

    const std::string kept = folder / "kept.zel";
    WriteText(kept, "old");
    chmod(kept.c_str(), 0444);
    if (access(kept.c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_THAT(client.Run("|write " + kept), Contains(HasSubstr("Unable to write")));
        EXPECT_EQ(ReadWholeFile(kept), "old");
    }
    EXPECT_TRUE(client.client.SettingsChanged());
    EXPECT_EQ(client.client.SettingsFileName(), "");

    // A successful write replaces the file and leaves no temporary file behind.
    const std::string good = folder / "good.zel";
    WriteText(good, "old");
    chmod(good.c_str(), 0640);
    auto entries = [&folder] {
        return std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator());
    };
    const auto before = entries();
    client.Run("|write " + good);
    EXPECT_EQ(entries(), before);
    EXPECT_TRUE(ReadWholeFile(good).starts_with("|\n|rem ---"));
    struct stat info {};
    stat(good.c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(client.client.SettingsFileName(), good);
}

TEST(SettingsFile, ReadRefusesWhatItCannotRun)
{
    TempFolder folder;
    TestClient client;
    const std::string missing = folder / "missing.zel";
    EXPECT_EQ(client.Run("|read " + missing),
              (std::vector<std::string>{"Unable to open file '" + missing + "'"}));
    EXPECT_EQ(client.Run("|read " + folder / ""),
              (std::vector<std::string>{"Unable to open file '" + folder / "" + "'"}));
    const std::string fifo = folder / "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(client.Run("|read " + fifo),
              (std::vector<std::string>{"Unable to open file '" + fifo + "'"}));
    // The group is part of the name.
    EXPECT_THAT(client.Run("|read {" + missing + "}"), Contains(HasSubstr("'{")));

    const std::string binary = folder / "binary";
    WriteText(binary, std::string("\x7f"
                                  "ELF\x02\x01\x01\0\0\0\n|alias add x y\n",
                                  22));
    EXPECT_THAT(client.Run("|read " + binary), Contains(HasSubstr("not a text file")));
    EXPECT_EQ(client.client.Aliases().Find("x"), nullptr);

    // A file that reads itself, directly or through another, is read once.
    const std::string self = folder / "self.zel";
    const std::string other = folder / "other.zel";
    WriteText(self, "|\n|echo <self>\n|read " + other + "\n|read " + self + "\n");
    WriteText(other, "|\n|echo <other>\n|read " + self + "\n");
    std::string printed;
    for (const std::string& line : client.Run("|read " + self)) printed += line + '\n';
    EXPECT_EQ(printed.find("<self>"), printed.rfind("<self>")) << printed;
    EXPECT_EQ(printed.find("<other>"), printed.rfind("<other>")) << printed;
    EXPECT_NE(printed.find("<other>"), std::string::npos) << printed;
    EXPECT_THAT(printed, HasSubstr("being read already"));

    // A line too long is skipped whole, with a message; the next line runs.
    const std::string longLine = folder / "long.zel";
    WriteText(longLine, "|\n|echo " + std::string(200000, 'x') + "y\n|echo after\n");
    const auto lines = client.Run("|read " + longLine);
    EXPECT_THAT(lines, Contains(HasSubstr("Line 2 of file")));
    EXPECT_THAT(lines, Contains("after"));
    for (const std::string& line : lines) EXPECT_EQ(line.find('y'), std::string::npos);
    EXPECT_EQ(client.client.Chars().command, '|');
}

class QuitHost : public test::RecordingHost {
public:
    QuitChoice AskSaveSettings(std::string& fileName) override
    {
        offered.push_back(fileName);
        if (!answerName.empty()) fileName = answerName;
        return choice;
    }
    bool AskQuit() override
    {
        ++quitQuestions;
        return true;
    }
    QuitChoice choice = QuitChoice::SaveAndQuit;
    std::string answerName;
    std::vector<std::string> offered;
    int quitQuestions = 0;
};

TEST(SettingsFile, QuitOffersToSaveChangedSettings)
{
    TempFolder folder;
    QuitHost host;
    ClientWindow client(host, AllModules());
    EXPECT_TRUE(client.HandleCloseRequest());
    EXPECT_EQ(host.quitQuestions, 1);
    EXPECT_TRUE(host.offered.empty());

    client.ExecuteLine("|alias add a b", false, false);
    host.choice = QuitChoice::DontQuit;
    EXPECT_FALSE(client.HandleCloseRequest());
    EXPECT_EQ(host.offered, std::vector<std::string>{""});

    // Saving to a file that cannot be written keeps the client open.
    host.choice = QuitChoice::SaveAndQuit;
    host.answerName = folder / "no/such.zel";
    EXPECT_FALSE(client.HandleCloseRequest());

    const std::string file = folder / "saved.zel";
    client.ExecuteLine("|write " + file, false, false);
    client.ExecuteLine("|alias add c d", false, false);
    host.answerName.clear();
    EXPECT_TRUE(client.HandleCloseRequest());
    EXPECT_EQ(host.offered.back(), file);
    EXPECT_THAT(ReadWholeFile(file), HasSubstr("|alias add {c} {d} {}"));
}

// At a terminal, quitting with changed settings asks whether to save them and where.
TEST(SettingsFile, TerminalQuitAsksAndSaves)
{
    TempFolder folder;
    const std::string file = folder / "quit.zel";
    test::Terminal terminal({});
    terminal.Type("|alias add a b\n|quit\n");
    ASSERT_TRUE(terminal.WaitFor("Save them before quitting?")) << terminal.shown;
    terminal.Type("c\n");  // cancel: the client stays
    terminal.Type("|echo still here\\n\n|quit\n");
    ASSERT_TRUE(terminal.WaitFor("still here")) << terminal.shown;
    ASSERT_TRUE(terminal.WaitFor("Save them before quitting?")) << terminal.shown;
    terminal.Type("y\n");
    ASSERT_TRUE(terminal.WaitFor("Save settings to: ")) << terminal.shown;
    terminal.Type("\n");  // no name: nothing saved, and the client stays
    ASSERT_TRUE(terminal.WaitFor("not quitting")) << terminal.shown;
    terminal.Type("|quit\ny\n" + file + "\n");
    EXPECT_EQ(terminal.Finish(), 0) << terminal.shown;
    EXPECT_THAT(ReadWholeFile(file), HasSubstr("|alias add {a} {b} {}\n"));
}

// Written by one headless run, read by the next from its command line.
TEST(SettingsFile, HeadlessWritesAndReadsBack)
{
    TempFolder folder;
    const std::string file = folder / "play.zel";
    auto first = test::RunZelHeadless("|alias add k {kill $0}\n|write " + file + "\n");
    EXPECT_THAT(first.out, HasSubstr("Current settings written to '" + file + "'"));
    auto second = test::RunZelHeadless("|alias\n", {file});
    EXPECT_THAT(second.out, HasSubstr("kill $0"));
}

}  // namespace
}  // namespace zel
