// Binding kinds by name, and the bindings as settings-file lines.
#include "input/BindingMap.h"

#include <array>

#include "input/InternalActions.h"
#include "input/KeyNames.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr std::array<std::string_view, 3> kKindNames = {"EXEC", "INSERT", "ACTION"};
constexpr std::array<std::string_view, 3> kKindWords = {"exec", "insert", "action"};

}  // namespace

std::string_view KindName(BindingKind kind)
{
    return size_t(kind) < kKindNames.size() ? kKindNames[size_t(kind)] : "NONE";
}

std::optional<BindingKind> FindKind(std::string_view word)
{
    if (word.empty()) return std::nullopt;
    for (size_t i = 0; i < kKindNames.size(); ++i)
        if (word.size() <= kKindNames[i].size() &&
            EqualsIgnoringCase(word, kKindNames[i].substr(0, word.size())))
            return BindingKind(i);
    return std::nullopt;
}

std::string_view ShownCommand(const KeyBinding& binding)
{
    return binding.kind == BindingKind::Action ? ActionName(binding.action)
                                               : std::string_view(binding.command);
}

void WriteBindingSetting(SettingsWriter& writer, KeyCode code, const KeyBinding& binding)
{
    const size_t kind = size_t(binding.kind);
    const bool known = kind < kKindWords.size();
    const std::string words = "bind add " + std::string(known ? kKindWords[kind] : "none");
    const std::string key = KeyName(code);
    writer.Command(words, {{key, SettingsField::Kind::Plain},
                           {known ? ShownCommand(binding) : ""},
                           {binding.description}});
}

void BindingMap::WriteSettings(SettingsWriter& writer) const
{
    for (const auto& [code, binding] : map_) WriteBindingSetting(writer, code, binding);
}

}  // namespace zel
