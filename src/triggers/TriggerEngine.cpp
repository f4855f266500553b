// The matching of received text against the actions, and the expansion of an action's
// templates with the groups of its match.
#include "triggers/TriggerEngine.h"

#include "lang/WordReader.h"

namespace zel {
namespace {

// Text before a match is processed by a nested call; deeper than this it is printed as it
// is, so a long chain of actions cannot exhaust the stack.
constexpr int kMaxPrefixNesting = 256;

// Group d of the match without the line end it may carry.
std::string_view Group(std::string_view text, const regmatch_t& group)
{
    if (group.rm_so < 0 || group.rm_eo < group.rm_so) return {};
    std::string_view value = text.substr(size_t(group.rm_so), size_t(group.rm_eo - group.rm_so));
    while (!value.empty() && (value.back() == '\r' || value.back() == '\n')) value.remove_suffix(1);
    return value;
}

}  // namespace

std::string ExpandActionTemplate(std::string_view pattern, std::string_view text,
                                 const regmatch_t (&groups)[PosixRegex::kMatches],
                                 const SpecialChars& chars, size_t capacity)
{
    std::string out;
    const auto add = [&](std::string_view part) {
        out.append(part.substr(0, capacity - std::min(capacity, out.size())));
    };
    for (size_t i = 0; i < pattern.size() && out.size() < capacity; ++i) {
        const char c = pattern[i];
        if (c != chars.variable) {
            out += c;
        } else if (i + 1 == pattern.size()) {
            out += chars.escape;
        } else if (pattern[i + 1] == chars.escape) {
            while (i + 1 < pattern.size() && pattern[i + 1] == chars.escape) {
                add(std::string_view(&chars.escape, 1));
                ++i;
            }
        } else if (IsDigit(pattern[i + 1])) {
            add(Group(text, groups[pattern[i + 1] - '0']));
            ++i;
        } else {
            add(std::string{chars.escape, pattern[i + 1]});
            ++i;
        }
    }
    out.resize(std::min(out.size(), capacity));
    return out;
}

void TriggerEngine::Process(std::string_view text, bool print, const SpecialChars& chars,
                            Effects& effects)
{
    if (depth_ > 0) return;
    index_.Refresh(actions_, version_);
    if (index_.Empty()) {
        if (print) effects.PrintMatched(text, nullptr);
        return;
    }
    chars_ = &chars;
    effects_ = &effects;
    // The expressions run on a terminated copy: regexec's callers may look for the end.
    std::string& copy = text_;
    copy.assign(text);
    ProcessPiece(copy, print, 0, nullptr);
}

void TriggerEngine::ProcessPiece(std::string_view text, bool print, int nesting,
                                 const std::vector<uint8_t>* outerPresent)
{
    // Which literals occur: those of the enclosing text are a safe superset for a part of
    // it, as long as the table has not changed.
    std::vector<uint8_t> present;
    uint64_t presentVersion = version_;
    index_.Refresh(actions_, version_);
    if (outerPresent && index_.Version() == version_) {
        present = *outerPresent;
    } else if (!index_.Empty()) {
        index_.Scan(text, present);
    }
    auto match = std::make_unique<ActionIndex::Match>();
    for (;;) {
        if (presentVersion != version_) {
            index_.Refresh(actions_, version_);
            presentVersion = version_;
            if (!index_.Empty()) index_.Scan(text, present);
        }
        if (text.empty() || index_.Empty() || !index_.FindFirst(text, present, *match)) break;
        const regmatch_t& whole = match->groups[0];
        const size_t start = size_t(whole.rm_so), end = size_t(whole.rm_eo);
        if (start > 0) {
            if (nesting < kMaxPrefixNesting) {
                ProcessPiece(text.substr(0, start), print, nesting + 1, &present);
            } else if (print) {
                effects_->PrintMatched(text.substr(0, start), nullptr);
            }
        }
        const Action& action = match->action;
        const TextFormat* format = (action.flags & Action::kHasFormat) ? &action.format : nullptr;
        ++depth_;
        // The replacement follows the print flag too: a prompt kept for the prompt line is
        // printed later as it came, and must not appear twice.
        if (print && (action.flags & Action::kHasReplacement)) {
            effects_->PrintMatched(ExpandActionTemplate(action.replacement, text, match->groups,
                                                        *chars_, kTextCapacity),
                                   format);
        } else if (print) {
            effects_->PrintMatched(text.substr(start, end - start), format);
        }
        effects_->Fired(action, (action.flags & Action::kHasCommand)
                                    ? ExpandActionTemplate(action.command, text, match->groups,
                                                           *chars_, kTextCapacity)
                                    : std::string());
        --depth_;
        text.remove_prefix(end);
        if (text.empty() || end == 0) break;
    }
    if (print && !text.empty()) effects_->PrintMatched(text, nullptr);
}

}  // namespace zel
