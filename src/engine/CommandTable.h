// The command table: every internal command and sub-command with its identifier, handler,
// syntax and description. DispatchCommand, `help` and the built-in completions read it.
// Built once from the modules' rows when the client is created; afterwards only
// SetCommandChar rewrites the first character of the syntax texts, on the thread that runs
// command lines.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "engine/Module.h"

namespace zel {

struct CommandEntry {
    uint32_t id = 0;
    CommandHandler handler = nullptr;
    std::string syntax;  // its first character stands for the command character
    std::string_view description;
};

class CommandTable {
public:
    using Map = std::map<std::string, CommandEntry, std::less<>>;

    explicit CommandTable(ModuleList modules);
    void Add(const CommandRow& row);

    // The first entry in byte order whose name is not less than `key`, when its name
    // begins with `key`; else null.
    const Map::value_type* FindByAbbreviation(std::string_view key) const;
    // The name of the dispatchable command with this identifier (first in table order).
    std::string_view NameOf(uint32_t id) const;
    // Replaces the first character of every non-empty syntax text.
    void SetSyntaxChar(char c);
    const Map& Entries() const { return entries_; }

private:
    Map entries_;
};

}  // namespace zel
