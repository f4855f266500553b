// Binding kinds by name, and the bindings as settings-file lines.
#include "input/BindingMap.h"

#include <array>

#include "engine/SettingsField.h"
#include "engine/WordReader.h"
#include "input/InternalActions.h"
#include "input/KeyNames.h"

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

std::string BindingSettingsLine(const SpecialChars& chars, KeyCode code, const KeyBinding& binding)
{
    const size_t kind = size_t(binding.kind);
    const bool known = kind < kKindWords.size();
    auto group = [&chars](std::string_view text) {
        return chars.beginArgument + std::string(text) + chars.endArgument;
    };
    std::string line(1, chars.command);
    line += "bind add ";
    line += known ? kKindWords[kind] : "none";
    line += ' ' + group(KeyName(code));
    line += ' ' + group(EscapeSettingsField(chars, known ? ShownCommand(binding) : ""));
    line += ' ' + group(EscapeSettingsField(chars, binding.description));
    line += '\n';
    return line;
}

void BindingMap::AppendSettingsLines(const SpecialChars& chars, std::string& out) const
{
    for (const auto& [code, binding] : map_) out += BindingSettingsLine(chars, code, binding);
}

}  // namespace zel
