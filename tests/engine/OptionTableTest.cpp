// What the option table feeds besides the option command: the `option <name>` entries of
// help and completion, and the option lines of settings files, read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "TestClient.h"
#include "engine/OptionTable.h"
#include "engine/SettingsFile.h"

namespace zel {
namespace {

using test::TempFolder;
using test::TestClient;
using Lines = std::vector<std::string>;

struct HelpRow {
    std::string name, syntax, description;
};

// In name order, as help lists them.
// clang-format off
const HelpRow kHelpRows[] = {
    {"achars", "|option achars [begin-argument-char] [end-argument-char]",
     "sets the argument chars"},
    {"ansi", "|option ansi [on|off]", "enables or disables ansi colors"},
    {"autonaws", "|option autonaws [on|off]",
     "enables autonaws (sending the new window size when resizing)"},
    {"cchar", "|option cchar [command-char]", "sets the command character"},
    {"clear", "|option clear [on|mix|off]", "sets the autoclearin mode"},
    {"compact", "|option compact [on|off]", "enables or disables compact mode"},
    {"echar", "|option echar [escape-char]", "sets the escape character"},
    {"echo", "|option echo [on|off]", "turns command echoing on or off"},
    {"encoding",
     "|option encoding [Windows-1252|UTF-8|CP437|CP850|CP1251|KOI8-R|ISO-8859-1|ISO-8859-2|"
     "ISO-8859-15|GBK|Big5|Shift_JIS|EUC-KR]",
     "sets the character set of the server's text"},
    {"histignore", "|option histignore <num_chars>",
     "sets the minimum size of commands to be stored in the history"},
    {"history", "|option history <window_size> <active_window_size> <total_size>",
     "sets the history window size and number of history lines to store"},
    {"linewait", "|option linewait <milliseconds>",
     "sets the time (in milliseconds) to wait for the end of a received line before showing it"},
    {"ochar", "|option ochar [scope-char]", "sets the scope character"},
    {"priority", "|option priority [idle|normal|high|real]", "sets the process priority class"},
    {"schar", "|option schar [split-char]", "sets the split character"},
    {"scrollheight", "|option scrollheight [height(%)]",
     "sets the height (in %) of the scroll-back window"},
    {"scrollmemory", "|option scrollmemory <megabytes>",
     "sets the memory that the scroll-back buffer may hold; the oldest lines go first"},
    {"scrollpos", "|option scrollpos [left|top|right]",
     "sets the position of the scroll-back window"},
    {"scrollrate", "|option scrollrate [lines]",
     "sets the number of lines to display in a go when receiving data"},
    {"scrollsize", "|option scrollsize [lines]",
     "sets the number of lines to store in the scroll-back buffer"},
    {"scrollwidth", "|option scrollwidth [width(%)]",
     "sets the width (in %) of the scroll-back window"},
    {"tips", "|option tips [on|off]", "enables or disables the tooltip help window"},
    {"vchar", "|option vchar [variable-char]", "sets the variable character"},
    {"xchar", "|option xchar [execute-char]", "sets the execute character"},
};
// clang-format on

TEST(OptionTable, HelpShowsEachOptionEntry)
{
    TestClient t;
    for (const HelpRow& row : kHelpRows)
        EXPECT_EQ(t.Run("|help option " + row.name),
                  (Lines{"", "HELP option " + row.name, row.syntax, row.description}))
            << row.name;
    // Abbreviations find the first entry in name order, as for any command.
    EXPECT_EQ(t.Run("|help option scrollh").at(2), "|option scrollheight [height(%)]");
    EXPECT_EQ(t.Run("|help option l").at(2), "|option linewait <milliseconds>");
}

TEST(OptionTable, HelpListsTheEntriesInNameOrderAfterTheCommand)
{
    TestClient t;
    const Lines all = t.Run("|help");
    Lines options;
    for (const std::string& line : all)
        if (line.starts_with("|option")) options.push_back(line);
    Lines expected = {"|option <option> ..."};
    for (const HelpRow& row : kHelpRows) expected.push_back(row.syntax);
    EXPECT_EQ(options, expected);

    // The table gives the registrar the same rows, in its own order.
    std::vector<HelpRow> given;
    ForEachOptionHelpRow(
        [&](std::string_view name, std::string_view syntax, std::string_view description) {
            given.push_back({std::string(name), std::string(syntax), std::string(description)});
        });
    ASSERT_EQ(given.size(), std::size(kHelpRows));
    for (const HelpRow& row : kHelpRows) {
        const auto found = std::find_if(given.begin(), given.end(), [&](const HelpRow& g) {
            return g.name == "option " + row.name;
        });
        ASSERT_NE(found, given.end()) << row.name;
        EXPECT_EQ(found->syntax, row.syntax);
        EXPECT_EQ(found->description, row.description);
    }
}

TEST(OptionTable, EntriesFollowTheCommandCharacter)
{
    TestClient t;
    t.Run("|option cchar #");
    EXPECT_EQ(t.Run("#help option linewait").at(2), "#option linewait <milliseconds>");
    std::scoped_lock lock(t.client.DefinitionLock());
    const auto* completion = t.client.Completions().Find("#option linewait");
    ASSERT_NE(completion, nullptr);
    EXPECT_EQ(completion->description, "#option linewait <milliseconds>");
}

// The lines of a settings file's section, without its heading.
Lines SectionLines(const std::string& text, std::string_view title)
{
    const std::string heading = "|rem -------- " + std::string(title) + " ";
    Lines lines;
    bool inside = false;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.starts_with("|rem")) {
            if (inside) break;
            inside = line.starts_with(heading);
        } else if (inside) {
            lines.push_back(line);
        }
    }
    return lines;
}

std::string FileText(ClientWindow& client)
{
    return SettingsFileText(client, "x.zel", "", SettingsStamp{});
}

const Lines kDefaultOptionLines = {
    "|option echo on",         "|option compact off",      "|option ansi on",
    "|option clear on",        "|option tips on",          "|option scrollsize 16384",
    "|option scrollheight 50", "|option scrollwidth 50",   "|option scrollpos top",
    "|option scrollrate 0",    "|option history 3 3 1000", "|option histignore 0",
    "|option autonaws off",
};

TEST(OptionTable, LineWaitIsSavedOnlyAwayFromItsDefault)
{
    const struct {
        Lines lines;
        std::string saved;  // empty: no line
    } cases[] = {
        {{}, ""},
        {{"|option linewait 200"}, "|option linewait 200"},
        {{"|option linewait 0"}, "|option linewait 0"},
        {{"|option linewait 5000"}, "|option linewait 1000"},
        {{"|option linewait 200", "|option linewait 50"}, ""},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        TestClient first;
        first.RunAll(c.lines);
        Lines expected = kDefaultOptionLines;
        if (!c.saved.empty()) expected.push_back(c.saved);
        const std::string text = FileText(first.client);
        EXPECT_EQ(SectionLines(text, "OPTIONS"), expected) << c.saved;

        const std::string file = folder / "wait.zel";
        first.Run("|write " + file);
        TestClient second;
        second.Run("|read " + file);
        EXPECT_EQ(second.client.GetOptions().lineWait, first.client.GetOptions().lineWait);
        EXPECT_EQ(FileText(second.client), text) << c.saved;
    }
}

// Every option a settings file holds, away from its default, is read back as it was: the
// sections are written again the same, and every option reports the same.
TEST(OptionTable, SavedOptionsReadBack)
{
    const Lines setups[] = {
        {"|option echo off",        "|option compact on",      "|option ansi off",
         "|option clear mix",       "|option tips off",        "|option scrollsize 5000",
         "|option scrollheight 30", "|option scrollwidth 70",  "|option scrollpos left",
         "|option scrollrate 4",    "|option history 5 6 700", "|option histignore 2",
         "|option autonaws on",     "|option linewait 300",    "|option echar ~",
         "|option achars ()",       "|option schar :",         "|option vchar %",
         "|option xchar ?",         "|option ochar ^",         "|option encoding KOI8-R"},
        {"|option clear off", "|option scrollpos none", "|option scrollsize 20000",
         "|option history 1 -2 3", "|option linewait 1000"},
        {"|option scrollpos right", "|option linewait 0"},
    };
    TempFolder folder;
    for (const Lines& setup : setups) {
        TestClient first;
        first.RunAll(setup);
        const std::string file = folder / "all.zel";
        first.Run("|write " + file);
        TestClient second;
        second.Run("|read " + file);
        const std::string text = FileText(first.client);
        for (std::string_view section : {"CHARACTERS", "OPTIONS"})
            EXPECT_EQ(SectionLines(FileText(second.client), section), SectionLines(text, section))
                << setup.front() << " " << section;
        const char command = first.client.Chars().command;
        for (const OptionRow& row : OptionRows()) {
            if (row.savedIn == OptionSection::None) continue;
            const std::string line = command + std::string("option ") + std::string(row.name);
            EXPECT_EQ(second.Run(line), first.Run(line)) << setup.front() << " " << row.name;
        }
    }
}

}  // namespace
}  // namespace zel
