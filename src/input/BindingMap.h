// The key bindings: one binding per key code, in key-code order, each executing a command,
// inserting a text into the input line or performing an internal action. The map takes no
// lock: its owner, ClientWindow, guards it with DefinitionLock. The `bind` command is in
// BindCommand.cpp; the input line applies the bindings.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "input/KeyCode.h"
#include "lang/SettingsWriter.h"
#include "lang/SpecialChars.h"

namespace zel {

enum class BindingKind : uint8_t { Exec = 0, Insert = 1, Action = 2 };

struct KeyBinding {
    BindingKind kind = BindingKind::Exec;
    // Exec: the command line; Insert: the text; Action: the action's name as typed.
    std::string command;
    uint8_t action = 0;  // Action: the internal action code
    std::string description;
};

// "EXEC", "INSERT" or "ACTION".
std::string_view KindName(BindingKind kind);
// The kind whose name begins with `word` over its length, without regard to case ("e",
// "ins", "act"); none for an empty or unmatched word.
std::optional<BindingKind> FindKind(std::string_view word);
// What messages and listings show: the action's name for Action, else the command.
std::string_view ShownCommand(const KeyBinding& binding);

class BindingMap {
public:
    using Map = std::map<KeyCode, KeyBinding>;

    const KeyBinding* Find(KeyCode code) const
    {
        const auto it = map_.find(code);
        return it == map_.end() ? nullptr : &it->second;
    }
    // Adds the binding, or replaces the key's binding.
    void Set(KeyCode code, KeyBinding binding) { map_.insert_or_assign(code, std::move(binding)); }
    bool Erase(KeyCode code) { return map_.erase(code) != 0; }
    const Map& Entries() const { return map_; }

    // The settings file's lines, one per binding in key order (see WriteBindingSetting).
    void WriteSettings(SettingsWriter& writer) const;

private:
    Map map_;
};

// The settings file's line for one binding, which reads back as the same binding: "bind add",
// the kind word in lower case ("none" for an unknown kind), then the key name (as it is), the
// command (the action's name for Action; empty for an unknown kind) and the description.
void WriteBindingSetting(SettingsWriter& writer, KeyCode code, const KeyBinding& binding);

// The bindings a client window starts with: every one of kind Action.
BindingMap DefaultBindings();

}  // namespace zel
