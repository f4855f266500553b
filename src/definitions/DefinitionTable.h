// DefinitionTable: an ordered map from a name to one definition record. Names compare byte
// by byte as unsigned characters, case-sensitively, a prefix first, so listings and
// settings files show entries in that order. The table takes no lock: its owner,
// ClientWindow, guards every table with DefinitionLock.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace zel {

struct Alias {
    std::string command;
    std::string description;
    bool disabled = false;
};

struct Syntax {
    std::string header;  // the help string shown in the tip
    std::string description;
    bool disabled = false;
};

struct Variable {
    std::string value;
    std::string second;  // always empty, never shown
    bool disabled = false;
};

struct Completion {
    std::string description;
    bool disabled = false;
};

template <class Record>
class DefinitionTable {
public:
    // std::string compares through char_traits<char>, which orders bytes as unsigned.
    using Map = std::map<std::string, Record, std::less<>>;

    Record* Find(std::string_view name)
    {
        auto it = map_.find(name);
        return it == map_.end() ? nullptr : &it->second;
    }
    const Record* Find(std::string_view name) const
    {
        auto it = map_.find(name);
        return it == map_.end() ? nullptr : &it->second;
    }
    // The record under `name`, created empty when absent; an existing one is kept in place.
    Record& Insert(std::string_view name)
    {
        auto it = map_.find(name);
        if (it == map_.end()) it = map_.emplace(std::string(name), Record{}).first;
        return it->second;
    }
    bool Erase(std::string_view name)
    {
        auto it = map_.find(name);
        if (it == map_.end()) return false;
        map_.erase(it);
        return true;
    }
    template <class Predicate>
    void EraseIf(Predicate predicate)
    {
        std::erase_if(map_, [&](const auto& entry) { return predicate(entry.first); });
    }
    const Map& Entries() const { return map_; }
    size_t Size() const { return map_.size(); }

private:
    Map map_;
};

using AliasTable = DefinitionTable<Alias>;
using SyntaxTable = DefinitionTable<Syntax>;
using VariableTable = DefinitionTable<Variable>;
using CompletionTable = DefinitionTable<Completion>;

}  // namespace zel
