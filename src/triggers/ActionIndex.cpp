#include "triggers/ActionIndex.h"

#include <algorithm>
#include <cstring>

namespace zel {
namespace {

// The first occurrence of `literal` in `text` from `at`: memmem skips far better than a
// search on the first byte when that byte is as common as a space.
size_t Find(std::string_view text, std::string_view literal, size_t at)
{
    if (at > text.size()) return std::string_view::npos;
    const void* found = memmem(text.data() + at, text.size() - at, literal.data(), literal.size());
    return found ? size_t(static_cast<const char*>(found) - text.data()) : std::string_view::npos;
}

// Any digit in a template may name a group; without one only the whole match is needed.
size_t GroupsUsed(const Action& action)
{
    size_t groups = 1;
    for (const std::string* text : {&action.command, &action.replacement})
        for (char c : *text)
            if (c >= '0' && c <= '9') groups = std::max<size_t>(groups, size_t(c - '0') + 1);
    return groups;
}

}  // namespace

void ActionIndex::Refresh(const ActionTable& table, uint64_t version)
{
    if (version == version_) return;
    version_ = version;
    actions_.clear();
    std::vector<std::string> literals;
    for (const auto& [name, action] : table.Entries()) {
        int literal = -1;
        if (action.compiled && !action.compiled->facts.literal.empty()) {
            literal = int(literals.size());
            literals.push_back(action.compiled->facts.literal);
        }
        actions_.push_back(Entry{&name, &action, literal, GroupsUsed(action)});
    }
    scanner_.Build(literals);
}

void ActionIndex::Scan(std::string_view text, std::vector<uint8_t>& present) const
{
    scanner_.Scan(text, present);
}

bool ActionIndex::FindFirst(std::string_view text, std::vector<uint8_t>& present,
                            Match& match) const
{
    for (const Entry& entry : actions_) {
        if (entry.action->Disabled() || !entry.action->compiled) continue;
        if (entry.literal >= 0 && !present[size_t(entry.literal)]) continue;
        switch (Matches(entry, text, match.groups)) {
            case Outcome::kMatch:
                match.name = entry.name;
                match.action = *entry.action;
                return true;
            case Outcome::kLiteralAbsent:
                present[size_t(entry.literal)] = 0;
                break;
            case Outcome::kNoMatch:
                break;
        }
    }
    return false;
}

ActionIndex::Outcome ActionIndex::Matches(const Entry& entry, std::string_view text,
                                          regmatch_t (&matches)[PosixRegex::kMatches]) const
{
    const auto outcome = [](bool matched) { return matched ? Outcome::kMatch : Outcome::kNoMatch; };
    const CompiledPattern& pattern = *entry.action->compiled;
    const std::string& literal = pattern.facts.literal;
    if (pattern.facts.pureLiteral && pattern.regex.Valid()) {
        const size_t found = Find(text, literal, 0);
        if (found == std::string_view::npos) return Outcome::kLiteralAbsent;
        matches[0].rm_so = regoff_t(found);
        matches[0].rm_eo = regoff_t(found + literal.size());
        for (size_t i = 1; i < PosixRegex::kMatches; ++i) matches[i].rm_so = matches[i].rm_eo = -1;
        return Outcome::kMatch;
    }
    if (literal.empty() || !pattern.facts.singleLine)
        return outcome(pattern.regex.Search(text.data(), 0, text.size(), matches, entry.groups));
    // Every match lies within a line that holds the literal: run on those lines only, in
    // order, so the first line that matches holds the leftmost match.
    size_t at = 0;
    while (at < text.size()) {
        const size_t found = Find(text, literal, at);
        if (found == std::string_view::npos)
            return at == 0 ? Outcome::kLiteralAbsent : Outcome::kNoMatch;
        const size_t previous = text.rfind('\n', found);
        const size_t lineStart = previous == std::string_view::npos ? 0 : previous + 1;
        size_t lineEnd = text.find('\n', found + literal.size());
        if (lineEnd == std::string_view::npos) lineEnd = text.size();
        if (pattern.regex.Search(text.data(), lineStart, lineEnd, matches, entry.groups))
            return Outcome::kMatch;
        at = lineEnd + 1;
    }
    return Outcome::kNoMatch;
}

}  // namespace zel
