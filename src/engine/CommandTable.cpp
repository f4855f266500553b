// The command table: the rows that the modules register, in one map ordered by name.
#include "engine/CommandTable.h"

#include "engine/OptionTable.h"

namespace zel {

CommandTable::CommandTable(ModuleList modules)
{
    for (const Module* module : modules)
        for (const CommandRow& row : module->commands) Add(row);
    // The `option <name>` entries come from the option table and share the `option` entry's
    // identifier and handler.
    if (const auto option = entries_.find("option"); option != entries_.end()) {
        const CommandEntry command = option->second;
        ForEachOptionHelpRow([this, &command](std::string_view name, std::string_view syntax,
                                              std::string_view description) {
            entries_.emplace(
                name, CommandEntry{command.id, command.handler, std::string(syntax), description});
        });
    }
}

void CommandTable::Add(const CommandRow& row)
{
    entries_.emplace(row.name, CommandEntry{row.id, row.handler, row.syntax, row.description});
}

const CommandTable::Map::value_type* CommandTable::FindByAbbreviation(std::string_view key) const
{
    auto it = entries_.lower_bound(key);
    if (it == entries_.end() || !it->first.starts_with(key)) return nullptr;
    return &*it;
}

std::string_view CommandTable::NameOf(uint32_t id) const
{
    for (const auto& [name, entry] : entries_)
        if (entry.id == id) return name;
    return {};
}

void CommandTable::SetSyntaxChar(char c)
{
    for (auto& [name, entry] : entries_)
        if (!entry.syntax.empty()) entry.syntax[0] = c;
}

}  // namespace zel
