#include "lineedit/SyntaxTip.h"

#include <cctype>

#include "engine/ClientWindow.h"
#include "lineedit/CommandAtCaret.h"

namespace zel {
namespace {

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

// The first `count` words joined by single spaces.
std::string JoinWords(const std::vector<std::string>& words, size_t count)
{
    std::string joined;
    for (size_t i = 0; i < count; ++i) {
        if (i) joined += ' ';
        joined += words[i];
    }
    return joined;
}

SyntaxTip MakeTip(const ClientWindow& client, std::string_view syntax, std::string_view description,
                  Color back, int highlight)
{
    return SyntaxTip{
        client.EngineToUtf8(syntax),
        description.empty() ? std::string(kNoDescription) : client.EngineToUtf8(description), back,
        highlight, 0};
}

// The tip for the first `count` words, or none. `command` tells that the first word began
// with the command character (already skipped). Under DefinitionLock.
std::optional<SyntaxTip> TipForWords(ClientWindow& client, const std::vector<std::string>& words,
                                     size_t count, bool command, int argumentIndex)
{
    const std::string name = JoinWords(words, count);
    if (command) {
        const std::string key = Lower(name);
        const auto& entries = client.Commands().Entries();
        const auto it = entries.lower_bound(key);
        if (it == entries.end() || !Lower(it->first).starts_with(key)) return std::nullopt;
        return MakeTip(client, it->second.syntax, it->second.description, kCommandTipColor,
                       argumentIndex);
    }
    if (const Alias* alias = client.Aliases().Find(name); alias && !alias->disabled) {
        const std::string text = name + " --> " + alias->command;
        return MakeTip(client, text, alias->description, kAliasTipColor, -1);
    }
    if (const Syntax* syntax = client.Syntaxes().Find(name); syntax && !syntax->disabled)
        return MakeTip(client, syntax->header, syntax->description, kSyntaxTipColor, -1);
    return std::nullopt;
}

}  // namespace

std::optional<SyntaxTip> FindSyntaxTip(ClientWindow& client, std::string_view text, size_t caret)
{
    if (!client.GetOptions().tips) return std::nullopt;
    const CommandAtCaret at = FindCommandAtCaret(text, caret, client.Chars());
    if (at.words.empty()) return std::nullopt;

    std::vector<std::string> words;
    for (const auto& word : at.words) words.push_back(client.Utf8ToEngine(word));
    // One command character, or two (the quiet form), mark an internal command.
    const char commandChar = client.Chars().command;
    size_t skip = 0;
    while (skip < 2 && skip < words[0].size() && words[0][skip] == commandChar) ++skip;
    const bool command = skip > 0;
    words[0].erase(0, skip);
    if (words[0].empty()) return std::nullopt;

    std::scoped_lock lock(client.DefinitionLock());
    for (size_t count = words.size(); count > 0; --count) {
        if (auto tip = TipForWords(client, words, count, command, at.argumentIndex)) {
            tip->commandStart = at.start;
            return tip;
        }
    }
    return std::nullopt;
}

}  // namespace zel
