// The alias, syntax, variable and complete commands. All four have one shape (add, delete,
// anything else lists) and differ only in their texts and in which record fields the
// arguments fill, so one handler runs them from a description of each kind. The tables
// themselves are DefinitionTable; expansion and substitution live in engine/.
#include <mutex>
#include <string>
#include <string_view>
#include <utility>

#include "definitions/DefinitionTable.h"
#include "definitions/commands/DefinitionCommands.h"
#include "engine/ClientWindow.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

// The label is the kind's word ("ALIAS", ...); every message wraps names and texts in the
// argument characters in force.
constexpr char kShown[] = "%s %c%s%c --> %c%s%c";
constexpr char kNotDefined[] = "%s %c%s%c not defined";
constexpr char kAdded[] = "%s %c%s%c --> %c%s%c added";
constexpr char kNameAdded[] = "%s %c%s%c added";
constexpr char kRemoved[] = "%s %c%s%c removed";
constexpr char kListedGrouped[] = "%-20s --> %c%s%c";
constexpr char kListedPlain[] = "%-20s --> %s";
constexpr char kListedName[] = "%s";

enum class Listing : uint8_t { Grouped, Plain, NameOnly };

struct KindTexts {
    const char* label;         // show, not-defined and added lines
    const char* removedLabel;  // completions say "COMPLETE ... added" but "COMPLETION ... removed"
    const char* deleteUsage;
    const char* heading;
    Listing listing;
};

template <class Record>
struct Kind {
    KindTexts texts;
    DefinitionTable<Record>& (ClientWindow::*table)();
    // What the show form and the added line display. Filled by the argument after the name,
    // or by the rest of the line when the kind has no description. Completions have none,
    // and so no show form.
    std::string Record::*value;
    // Filled by the rest of the line; variables have none.
    std::string Record::*description;
};

constexpr Kind<Alias> kAliases{
    {"ALIAS", "ALIAS", "UNALIAS <alias>", "Defined aliases:", Listing::Grouped},
    &ClientWindow::Aliases,
    &Alias::command,
    &Alias::description,
};
constexpr Kind<Syntax> kSyntaxes{
    {"SYNTAX", "SYNTAX", "UNSYNTAX <syntax>", "Defined syntaxes:", Listing::Grouped},
    &ClientWindow::Syntaxes,
    &Syntax::header,
    &Syntax::description,
};
constexpr Kind<Variable> kVariables{
    {"VARIABLE", "VARIABLE", "VARIABLE delete <name>", "Defined variables:", Listing::Plain},
    &ClientWindow::Variables,
    &Variable::value,
    nullptr,
};
constexpr Kind<Completion> kCompletions{
    {"COMPLETE", "COMPLETION", "UNCOMPLETE <completion>",
     "Defined completions:", Listing::NameOnly},
    &ClientWindow::Completions,
    nullptr,
    &Completion::description,
};

// Adds or replaces, or shows the entry when the value is missing. An empty name does
// nothing at all. Returns true when something was changed or shown.
template <class Record>
bool Add(ClientWindow& client, WordReader& reader, const Kind<Record>& kind)
{
    std::string name;
    reader.NextScopedWord(name, kNameCapacity);
    if (name.empty()) return false;

    std::string value;
    std::string description;
    if (kind.value && kind.description) reader.NextWord(value, kTextCapacity);
    // The rest of the line is taken whole, unless it opens a group: then only the group.
    reader.NextWord(kind.description ? description : value, kTextCapacity, true);

    const char begin = client.Chars().beginArgument;
    const char end = client.Chars().endArgument;
    const char* label = kind.texts.label;
    // Prints while holding DefinitionLock, so OutputLock is taken first.
    auto locks = client.LockDefinitionsForPrinting();
    DefinitionTable<Record>& table = (client.*kind.table)();
    if (kind.value && value.empty()) {
        if (const Record* record = table.Find(name))
            client.PrintLineFormatted(OutputFormat::System, kShown, label, begin, name.c_str(), end,
                                      begin, (record->*kind.value).c_str(), end);
        else
            client.PrintLineFormatted(OutputFormat::System, kNotDefined, label, begin, name.c_str(),
                                      end);
        return true;
    }

    Record& record = table.Insert(name);
    if (kind.value) record.*kind.value = std::move(value);
    if (kind.description) record.*kind.description = std::move(description);
    record.disabled = false;
    client.MarkSettingsChanged();
    if (kind.value)
        client.PrintLineFormatted(OutputFormat::System, kAdded, label, begin, name.c_str(), end,
                                  begin, (record.*kind.value).c_str(), end);
    else
        client.PrintLineFormatted(OutputFormat::System, kNameAdded, label, begin, name.c_str(),
                                  end);
    return true;
}

// Erases the entry; the message and the settings-changed flag do not depend on whether it
// existed. Returns false when there was no name (only the usage line is printed).
template <class Record>
bool Delete(ClientWindow& client, WordReader& reader, const Kind<Record>& kind)
{
    std::string name;
    reader.NextScopedWord(name, kNameCapacity);
    if (name.empty()) {
        client.PrintLine(OutputFormat::System, kind.texts.deleteUsage);
        return false;
    }
    // Prints while holding DefinitionLock, so OutputLock is taken first.
    auto locks = client.LockDefinitionsForPrinting();
    (client.*kind.table)().Erase(name);
    client.MarkSettingsChanged();
    client.PrintLineFormatted(OutputFormat::System, kRemoved, kind.texts.removedLabel,
                              client.Chars().beginArgument, name.c_str(),
                              client.Chars().endArgument);
    return true;
}

template <class Record>
void List(ClientWindow& client, const Kind<Record>& kind)
{
    const char begin = client.Chars().beginArgument;
    const char end = client.Chars().endArgument;
    // Both locks for the whole listing, OutputLock first: the heading and its entries stay
    // together even when another thread prints or changes the table meanwhile.
    auto locks = client.LockDefinitionsForPrinting();
    client.PrintLine(OutputFormat::Header, kind.texts.heading);
    for (const auto& [name, record] : (client.*kind.table)().Entries()) {
        switch (kind.texts.listing) {
            case Listing::Grouped:
                client.PrintLineFormatted(OutputFormat::System, kListedGrouped, name.c_str(), begin,
                                          (record.*kind.value).c_str(), end);
                break;
            case Listing::Plain:
                client.PrintLineFormatted(OutputFormat::System, kListedPlain, name.c_str(),
                                          (record.*kind.value).c_str());
                break;
            case Listing::NameOnly:
                client.PrintLineFormatted(OutputFormat::System, kListedName, name.c_str());
                break;
        }
    }
}

template <class Record>
int32_t RunDefinitionCommand(ClientWindow& client, std::string_view args, const Kind<Record>& kind)
{
    WordReader reader(client.Chars(), args);
    std::string subcommand;
    reader.NextWord(subcommand, kNameCapacity);
    bool touched = false;
    if (EqualsIgnoringCase(subcommand, "add"))
        touched = Add(client, reader, kind);
    else if (EqualsIgnoringCase(subcommand, "delete"))
        touched = Delete(client, reader, kind);
    else
        List(client, kind);
    // After the locks are released: the dialog reads the tables on its own thread.
    if (touched) client.GetHost().RefreshSetupDialog();
    return 0;
}

}  // namespace

int32_t CmdAlias(ClientWindow& client, uint32_t, std::string_view args)
{
    return RunDefinitionCommand(client, args, kAliases);
}

int32_t CmdSyntax(ClientWindow& client, uint32_t, std::string_view args)
{
    return RunDefinitionCommand(client, args, kSyntaxes);
}

int32_t CmdVariable(ClientWindow& client, uint32_t, std::string_view args)
{
    return RunDefinitionCommand(client, args, kVariables);
}

int32_t CmdComplete(ClientWindow& client, uint32_t, std::string_view args)
{
    return RunDefinitionCommand(client, args, kCompletions);
}

}  // namespace zel
