// action add|delete|disable|enable, and the listing. Takes OutputLock, then DefinitionLock.
#include <string>

#include "engine/ClientWindow.h"
#include "engine/Subcommands.h"
#include "lang/WordReader.h"
#include "triggers/commands/TriggerCommands.h"

namespace zel {
namespace {

constexpr char kAdded[] = "ACTION %c%s%c : %c%s%c --> %c%s%c %c%s%c %c%s%c added";
constexpr char kBadPattern[] = "ACTION %c%s%c : the pattern %c%s%c does not compile: %s\n";
constexpr char kDeleteUsage[] = "UNACTION <group> <action>";
constexpr char kRemoved[] = "ACTION %c%s%c %c%s%c removed";
constexpr char kNotDefined[] = "ACTION %c%s%c %c%s%c not defined";
constexpr char kAllDisabled[] = "All ACTIONS disabled";
constexpr char kAllEnabled[] = "All ACTIONS enabled";
constexpr char kEnabled[] = "ACTIONS enabled";
constexpr char kOneDisabled[] = "ACTION '%s' - '%s' disabled";
constexpr char kOneEnabled[] = "ACTION '%s' - '%s' enabled";
constexpr char kNoAction[] = "No ACTION '%s' - '%s'";
constexpr char kHeading[] = "Defined ACTIONS:";
constexpr char kListed[] = "%-20s %s --> %c%s%c %c%s%c %c%s%c";
constexpr size_t kPatternCapacity = 4095;

void Add(ClientWindow& client, WordReader& reader)
{
    std::string name, pattern, command, formatText, replacement;
    reader.NextScopedWord(name, kNameCapacity);
    if (name.empty()) return;
    reader.NextWord(pattern, kPatternCapacity);
    reader.NextWord(command, kTextCapacity);
    const bool hasFormat = reader.NextWord(formatText, kTextCapacity);
    const bool hasReplacement = reader.NextWord(replacement, kTextCapacity);

    Action action;
    if (hasFormat) ParseFormat(formatText, action.format);
    action.flags = (command.empty() ? 0 : Action::kHasCommand) |
                   (hasFormat ? Action::kHasFormat : 0) |
                   (hasReplacement ? Action::kHasReplacement : 0);
    action.pattern = pattern;
    action.command = command;
    action.replacement = replacement;
    action.compiled = std::make_shared<const CompiledPattern>(pattern, client.EngineFormUtf8());

    const char b = client.Chars().beginArgument, e = client.Chars().endArgument;
    auto locks = client.LockDefinitionsForPrinting();
    client.Actions().Erase(name);
    const Action& stored = client.Actions().Insert(name) = std::move(action);
    client.ActionsChanged();
    client.MarkSettingsChanged();
    const std::string shownFormat = hasFormat ? FormatToText(stored.format) : std::string();
    client.PrintLineFormatted(OutputFormat::System, kAdded, b, name.c_str(), e, b, pattern.c_str(),
                              e, b, command.c_str(), e, b, shownFormat.c_str(), e, b,
                              replacement.c_str(), e);
    // Kept, as it never matches; but said, rather than taken silently.
    if (!stored.compiled->regex.Valid())
        client.PrintFormatted(OutputFormat::Error, kBadPattern, b, name.c_str(), e, b,
                              pattern.c_str(), e, stored.compiled->regex.Error().c_str());
}

void Delete(ClientWindow& client, WordReader& reader)
{
    std::string group, name;
    reader.NextScopedWord(group, kNameCapacity);
    reader.NextWord(name, kNameCapacity);
    if (name.empty()) {
        client.PrintLine(OutputFormat::System, kDeleteUsage);
        return;
    }
    const char b = client.Chars().beginArgument, e = client.Chars().endArgument;
    auto locks = client.LockDefinitionsForPrinting();
    if (client.Actions().Erase(name)) {
        client.ActionsChanged();
        client.MarkSettingsChanged();
        client.PrintLineFormatted(OutputFormat::System, kRemoved, b, group.c_str(), e, b,
                                  name.c_str(), e);
    } else {
        client.PrintLineFormatted(OutputFormat::System, kNotDefined, b, group.c_str(), e, b,
                                  name.c_str(), e);
    }
}

void Switch(ClientWindow& client, WordReader& reader, bool enable)
{
    std::string group, name;
    reader.NextScopedWord(group, kNameCapacity);
    reader.NextWord(name, kNameCapacity, true);
    auto locks = client.LockDefinitionsForPrinting();
    if (name.empty()) {
        client.SetActionsEnabled(enable);
        client.PrintLine(OutputFormat::System,
                         !enable ? kAllDisabled : (group.empty() ? kAllEnabled : kEnabled));
        return;
    }
    Action* action = client.Actions().Find(name);
    if (!action) {
        client.PrintLineFormatted(OutputFormat::System, kNoAction, group.c_str(), name.c_str());
        return;
    }
    action->flags =
        enable ? (action->flags & ~Action::kDisabled) : (action->flags | Action::kDisabled);
    client.PrintLineFormatted(OutputFormat::System, enable ? kOneEnabled : kOneDisabled,
                              group.c_str(), name.c_str());
}

void List(ClientWindow& client)
{
    const char b = client.Chars().beginArgument, e = client.Chars().endArgument;
    auto locks = client.LockDefinitionsForPrinting();
    client.PrintLine(OutputFormat::Header, kHeading);
    for (const auto& [name, action] : client.Actions().Entries()) {
        const std::string format =
            (action.flags & Action::kHasFormat) ? FormatToText(action.format) : std::string();
        client.PrintLineFormatted(OutputFormat::System, kListed, name.c_str(),
                                  action.Disabled() ? "DISABLED" : "ENABLED ", b,
                                  action.command.c_str(), e, b, action.replacement.c_str(), e, b,
                                  format.c_str(), e);
    }
}

}  // namespace

int32_t CmdAction(ClientWindow& client, uint32_t, std::string_view args)
{
    return RunSubcommands(client, args,
                          {{"add", Add},
                           {"delete", Delete},
                           {"disable", [](ClientWindow& c, WordReader& r) { Switch(c, r, false); }},
                           {"enable", [](ClientWindow& c, WordReader& r) { Switch(c, r, true); }}},
                          List);
}

}  // namespace zel
