// ProcessIncomingText: every piece of received text (and `receive`) passes the actions on
// its way to the output. Holds OutputLock for the whole run, the commands of the actions
// included; those commands take DefinitionLock after it when they need it.
#include <mutex>

#include "engine/ClientWindow.h"

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

void ClientWindow::ProcessIncomingText(std::string_view text, bool print)
{
    std::scoped_lock lock(outputLock_);
    // Text fed back by an action's own command is neither matched nor printed.
    if (actionDepth_ > 0) return;
    actionIndex_.Refresh(actions_, actionsVersion_);
    if (actionIndex_.Empty()) {
        if (print) PrintReceived(text);
        return;
    }
    // The expressions run on a terminated copy: regexec's callers may look for the end.
    std::string& copy = actionText_;
    copy.assign(text);
    ProcessActionPiece(copy, print, 0, nullptr);
}

void ClientWindow::ProcessActionPiece(std::string_view text, bool print, int nesting,
                                      const std::vector<uint8_t>* outerPresent)
{
    // Which literals occur: those of the enclosing text are a safe superset for a part of
    // it, as long as the table has not changed.
    std::vector<uint8_t> present;
    uint64_t presentVersion = actionsVersion_;
    actionIndex_.Refresh(actions_, actionsVersion_);
    if (outerPresent && actionIndex_.Version() == actionsVersion_) {
        present = *outerPresent;
    } else if (!actionIndex_.Empty()) {
        actionIndex_.Scan(text, present);
    }
    auto match = std::make_unique<ActionIndex::Match>();
    for (;;) {
        if (presentVersion != actionsVersion_) {
            actionIndex_.Refresh(actions_, actionsVersion_);
            presentVersion = actionsVersion_;
            if (!actionIndex_.Empty()) actionIndex_.Scan(text, present);
        }
        if (text.empty() || actionIndex_.Empty() || !actionIndex_.FindFirst(text, present, *match))
            break;
        const regmatch_t& whole = match->groups[0];
        const size_t start = size_t(whole.rm_so), end = size_t(whole.rm_eo);
        if (start > 0) {
            if (nesting < kMaxPrefixNesting) {
                ProcessActionPiece(text.substr(0, start), print, nesting + 1, &present);
            } else if (print) {
                PrintReceived(text.substr(0, start));
            }
        }
        const Action& action = match->action;
        const TextFormat* format = (action.flags & Action::kHasFormat) ? &action.format : nullptr;
        ++actionDepth_;
        // The replacement follows the print flag too: a prompt kept for the prompt line is
        // printed later as it came, and must not appear twice.
        if (print && (action.flags & Action::kHasReplacement)) {
            PrintReceived(ExpandActionTemplate(action.replacement, text, match->groups, chars_,
                                               kTextCapacity),
                          format);
        } else if (print) {
            PrintReceived(text.substr(start, end - start), format);
        }
        if (action.IsLogonStep())
            RunLogonStep(action);
        else if (action.flags & Action::kHasCommand)
            ExecuteLine(
                ExpandActionTemplate(action.command, text, match->groups, chars_, kTextCapacity),
                false, true);
        --actionDepth_;
        text.remove_prefix(end);
        if (text.empty() || end == 0) break;
    }
    if (print && !text.empty()) PrintReceived(text);
}

}  // namespace zel
