// The `bind` command: adds or replaces, shows, removes and lists key bindings. The map is
// BindingMap, the key names KeyNames, the action names InternalActions.
#include <optional>
#include <string>
#include <string_view>

#include "engine/ClientWindow.h"
#include "input/BindingMap.h"
#include "input/InternalActions.h"
#include "input/KeyNames.h"
#include "input/commands/BindingCommands.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr char kAdded[] = "BIND %s %c%08lX%c (%s) --> %c%s%c added";
constexpr char kInvalidAction[] = "Invalid internal action";
constexpr char kKeyNotSupplied[] = "Key not supplied";
constexpr char kNotDefined[] = "BIND %c%08lX%c (%s) not defined";
constexpr char kShown[] = "BIND %s %c%08lX%c (%s) --> %c%s%c";
constexpr char kDeleteUsage[] = "bind delete <keycode>";
constexpr char kRemoved[] = "BIND %08lX (%s) removed";
constexpr char kHeading[] = "Defined %s bindings:";
constexpr char kListed[] = "%08lX %-20s --> %s";
constexpr char kNoKind[] = "NONE";

constexpr BindingKind kKinds[] = {BindingKind::Exec, BindingKind::Insert, BindingKind::Action};

// The next word as a key code; 0 when missing or unreadable.
KeyCode NextKey(WordReader& reader)
{
    std::string text;
    reader.NextScopedWord(text, kNameCapacity);
    return ParseKeyName(text);
}

// The added and shown lines: kind, key and command with the argument characters around.
void PrintBinding(ClientWindow& client, const char* format, KeyCode code, const KeyBinding& b)
{
    const char begin = client.Chars().beginArgument;
    const char end = client.Chars().endArgument;
    client.PrintLineFormatted(OutputFormat::System, format, std::string(KindName(b.kind)).c_str(),
                              begin, static_cast<unsigned long>(code), end, KeyName(code).c_str(),
                              begin, std::string(ShownCommand(b)).c_str(), end);
}

// Without a kind, a key or a command nothing changes and nothing is said.
void Add(ClientWindow& client, WordReader& reader, std::optional<BindingKind> kind)
{
    const KeyCode code = NextKey(reader);
    KeyBinding binding;
    reader.NextWord(binding.command, kTextCapacity);
    reader.NextWord(binding.description, kTextCapacity, true);
    if (!kind || code == 0 || binding.command.empty()) return;
    binding.kind = *kind;
    if (binding.kind == BindingKind::Action) {
        const int action = FindAction(binding.command);
        if (action < 0) {
            client.PrintLine(OutputFormat::Error, kInvalidAction);
            return;
        }
        binding.action = uint8_t(action);
    }
    // Prints while holding DefinitionLock, so OutputLock is taken first.
    auto locks = client.LockDefinitionsForPrinting();
    client.Bindings().Set(code, binding);
    client.MarkSettingsChanged();
    PrintBinding(client, kAdded, code, binding);
}

void View(ClientWindow& client, WordReader& reader)
{
    const KeyCode code = NextKey(reader);
    if (code == 0) {
        client.PrintLine(OutputFormat::System, kKeyNotSupplied);
        return;
    }
    auto locks = client.LockDefinitionsForPrinting();
    if (const KeyBinding* binding = client.Bindings().Find(code)) {
        PrintBinding(client, kShown, code, *binding);
    } else {
        client.PrintLineFormatted(OutputFormat::System, kNotDefined, client.Chars().beginArgument,
                                  static_cast<unsigned long>(code), client.Chars().endArgument,
                                  KeyName(code).c_str());
    }
}

// The message and the settings-changed flag do not depend on whether the key was bound.
void Delete(ClientWindow& client, WordReader& reader)
{
    const KeyCode code = NextKey(reader);
    if (code == 0) {
        client.PrintLine(OutputFormat::System, kDeleteUsage);
        return;
    }
    auto locks = client.LockDefinitionsForPrinting();
    client.Bindings().Erase(code);
    client.MarkSettingsChanged();
    client.PrintLineFormatted(OutputFormat::System, kRemoved, static_cast<unsigned long>(code),
                              KeyName(code).c_str());
}

// A kind word that names no kind lists every binding, as no word does.
void List(ClientWindow& client, WordReader& reader)
{
    std::string word;
    reader.NextWord(word, kNameCapacity);
    const std::optional<BindingKind> kind = FindKind(word);
    // Both locks for the whole listing: the heading and its lines stay together.
    auto locks = client.LockDefinitionsForPrinting();
    client.PrintLineFormatted(OutputFormat::Header, kHeading,
                              kind ? std::string(KindName(*kind)).c_str() : kNoKind);
    for (const auto& [code, binding] : client.Bindings().Entries()) {
        if (kind && binding.kind != *kind) continue;
        client.PrintLineFormatted(OutputFormat::System, kListed, static_cast<unsigned long>(code),
                                  KeyName(code).c_str(),
                                  std::string(ShownCommand(binding)).c_str());
    }
}

}  // namespace

// Runs on the thread that runs the command line; takes OutputLock, then DefinitionLock.
int32_t CmdBind(ClientWindow& client, uint32_t, std::string_view args)
{
    WordReader reader(client.Chars(), args);
    std::string subcommand;
    reader.NextWord(subcommand, kNameCapacity);
    if (EqualsIgnoringCase(subcommand, "add")) {
        std::string kind;
        reader.NextWord(kind, kNameCapacity);
        Add(client, reader, FindKind(kind));
    } else if (EqualsIgnoringCase(subcommand, "delete")) {
        Delete(client, reader);
    } else if (EqualsIgnoringCase(subcommand, "view")) {
        View(client, reader);
    } else if (EqualsIgnoringCase(subcommand, "list")) {
        List(client, reader);
    } else {
        for (BindingKind kind : kKinds)
            if (EqualsIgnoringCase(subcommand, KindName(kind))) Add(client, reader, kind);
    }
    // After the locks are released: the dialog reads the map on its own thread.
    client.GetHost().RefreshSetupDialog();
    return 0;
}

}  // namespace zel
