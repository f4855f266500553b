// DefinitionTable: an ordered map from a name to one definition record. Names compare byte
// by byte as unsigned characters, case-sensitively, a prefix first, so listings and
// settings files show entries in that order. The table takes no lock: its owner,
// ClientWindow, guards every table with DefinitionLock.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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

// Look-ups by exact name (every typed line's first word, every variable reference) go
// through a hash index over the map's keys, so a large table costs no more per look-up
// than a small one; the map keeps the order for listings. The index is open addressing in
// a power-of-two array kept at most half full: one hash, a mask and usually one probe. (With
// std::unordered_map, whose buckets take a division, a line substituted among a thousand
// variables cost a quarter to a third more than among ten, which it scans linearly.)
template <class Record>
class DefinitionTable {
public:
    // std::string compares through char_traits<char>, which orders bytes as unsigned.
    using Map = std::map<std::string, Record, std::less<>>;

    DefinitionTable() = default;
    DefinitionTable(const DefinitionTable&) = delete;
    DefinitionTable& operator=(const DefinitionTable&) = delete;

    Record* Find(std::string_view name)
    {
        const size_t i = SlotOf(name);
        return i == kNone ? nullptr : &slots_[i].entry->second;
    }
    const Record* Find(std::string_view name) const
    {
        const size_t i = SlotOf(name);
        return i == kNone ? nullptr : &slots_[i].entry->second;
    }
    // The record under `name`, created empty when absent; an existing one is kept in place.
    Record& Insert(std::string_view name)
    {
        if (const size_t i = SlotOf(name); i != kNone) return slots_[i].entry->second;
        // Grown first, so that a failed allocation leaves map and index as they were.
        if ((map_.size() + 1) * 2 > slots_.size()) Grow();
        const size_t hash = Hash(name);
        auto entry = map_.emplace(std::string(name), Record{}).first;
        slots_[Probe(name, hash)] = Slot{hash, entry, true};
        return entry->second;
    }
    bool Erase(std::string_view name)
    {
        const size_t i = SlotOf(name);
        if (i == kNone) return false;
        auto entry = slots_[i].entry;
        Remove(i);
        map_.erase(entry);
        return true;
    }
    template <class Predicate>
    void EraseIf(Predicate predicate)
    {
        for (auto it = map_.begin(); it != map_.end();) {
            if (predicate(it->first)) {
                Remove(SlotOf(it->first));
                it = map_.erase(it);
            } else {
                ++it;
            }
        }
    }
    const Map& Entries() const { return map_; }
    size_t Size() const { return map_.size(); }

private:
    struct Slot {
        size_t hash = 0;
        typename Map::iterator entry{};
        bool used = false;
    };

    static constexpr size_t kNone = size_t(-1);

    static size_t Hash(std::string_view name) { return std::hash<std::string_view>{}(name); }

    // The slot holding `name`, or the empty slot that ends its probe run. The array is
    // never more than half full, so the run ends.
    size_t Probe(std::string_view name, size_t hash) const
    {
        const size_t mask = slots_.size() - 1;
        size_t i = hash & mask;
        while (slots_[i].used && !(slots_[i].hash == hash && slots_[i].entry->first == name))
            i = (i + 1) & mask;
        return i;
    }
    size_t SlotOf(std::string_view name) const
    {
        if (map_.empty()) return kNone;
        const size_t i = Probe(name, Hash(name));
        return slots_[i].used ? i : kNone;
    }
    // Backward-shift deletion: later entries of the run move into the hole when it lies on
    // their probe path, so runs stay unbroken without tombstones.
    void Remove(size_t hole)
    {
        const size_t mask = slots_.size() - 1;
        for (size_t i = (hole + 1) & mask; slots_[i].used; i = (i + 1) & mask) {
            const size_t home = slots_[i].hash & mask;
            if (((i - home) & mask) >= ((i - hole) & mask)) {
                slots_[hole] = slots_[i];
                hole = i;
            }
        }
        slots_[hole] = Slot{};
    }
    void Grow()
    {
        std::vector<Slot> grown(std::max<size_t>(16, slots_.size() * 2));
        const size_t mask = grown.size() - 1;
        for (const Slot& slot : slots_) {
            if (!slot.used) continue;
            size_t i = slot.hash & mask;
            while (grown[i].used) i = (i + 1) & mask;
            grown[i] = slot;
        }
        slots_.swap(grown);
    }

    Map map_;
    std::vector<Slot> slots_;
};

using AliasTable = DefinitionTable<Alias>;
using SyntaxTable = DefinitionTable<Syntax>;
using VariableTable = DefinitionTable<Variable>;
using CompletionTable = DefinitionTable<Completion>;

}  // namespace zel
