// Module: what a subsystem registers with the client. Its commands (rows of the command
// table, with the texts that help and completion show), the settings-file sections it
// writes, and the state it owns. The client is built from a list of modules
// (modules/AllModules.h), so a new subsystem adds its own folder and one line there.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace zel {

class ClientWindow;
class SettingsWriter;

// Returns 0 for success, -1 for the few failures; never throws.
using CommandHandler = int32_t (*)(ClientWindow& client, uint32_t id, std::string_view args);

#define ZEL_COMMAND(name) int32_t name(ClientWindow& client, uint32_t id, std::string_view args)

// One command or sub-command: sub-command rows exist for help and completion and share
// their command's identifier and handler. The syntax's first character stands for the
// command character.
struct CommandRow {
    const char* name;
    uint32_t id;
    CommandHandler handler;
    const char* syntax;
    const char* description;
};

// Writes the lines of one settings-file section, under DefinitionLock.
using SectionWriter = void (*)(ClientWindow& client, SettingsWriter& writer);

// The writer of the section with this heading; the file's order of headings is fixed by
// the settings file itself.
struct SectionRow {
    std::string_view title;
    SectionWriter write;
};

// State a subsystem owns for the life of the client; reached with ClientWindow::State<T>().
class ModuleState {
public:
    virtual ~ModuleState() = default;
};

struct Module {
    std::string_view name;
    std::span<const CommandRow> commands;
    std::span<const SectionRow> sections;
    // Creates the subsystem's state when the client is built; null for none.
    std::unique_ptr<ModuleState> (*createState)(ClientWindow& client) = nullptr;
};

using ModuleList = std::span<const Module* const>;

}  // namespace zel
