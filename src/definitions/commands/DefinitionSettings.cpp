// The ALIASES, COMPLETIONS and SYNTAXES sections of a settings file.
#include "definitions/commands/DefinitionCommands.h"
#include "engine/ClientWindow.h"
#include "lang/SettingsWriter.h"

namespace zel {
namespace {

constexpr auto kName = SettingsField::Kind::ScopedName;

// The command-name completions and syntaxes begin with the command character: the command
// table makes them again, so they are not written.
bool IsUserEntry(const ClientWindow& client, const std::string& name)
{
    return !name.empty() && name[0] != client.Chars().command;
}

}  // namespace

void WriteAliasSettings(ClientWindow& client, SettingsWriter& writer)
{
    for (const auto& [name, alias] : client.Aliases().Entries())
        writer.Command("alias add", {{name, kName}, {alias.command}, {alias.description}});
}

void WriteCompletionSettings(ClientWindow& client, SettingsWriter& writer)
{
    for (const auto& [word, completion] : client.Completions().Entries())
        if (IsUserEntry(client, word))
            writer.Command("complete add", {{word, kName}, {completion.description}});
}

void WriteSyntaxSettings(ClientWindow& client, SettingsWriter& writer)
{
    for (const auto& [text, syntax] : client.Syntaxes().Entries())
        if (IsUserEntry(client, text))
            writer.Command("syntax add", {{text, kName}, {syntax.header}, {syntax.description}});
}

}  // namespace zel
