// ActionIndex: the actions in table order, prepared for matching a piece of received text:
// one scan tells which actions' required literals occur in it, and only those actions run
// their expression; an expression whose matches lie within one line runs only on the
// lines holding its literal. POSIX semantics are kept exactly: these only skip work whose
// result is known to be "no match".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "triggers/ActionTable.h"
#include "triggers/LiteralScanner.h"

namespace zel {

class ActionIndex {
public:
    struct Match {
        const std::string* name;
        Action action;  // a copy: the action's own command may change the table
        regmatch_t groups[PosixRegex::kMatches];
    };

    // Brings the index up to date with the table when its version changed.
    void Refresh(const ActionTable& table, uint64_t version);
    uint64_t Version() const { return version_; }
    bool Empty() const { return actions_.empty(); }

    // Which actions' literals occur in `text` (present[i] for the i-th action).
    void Scan(std::string_view text, std::vector<uint8_t>& present) const;
    // The first enabled action, in table order, that matches somewhere in `text`; group
    // offsets are relative to `text`, where ^ matches. A literal found missing from `text`
    // is cleared in `present`: it cannot be in any later rest of the same text either.
    bool FindFirst(std::string_view text, std::vector<uint8_t>& present, Match& match) const;

private:
    struct Entry {
        const std::string* name;
        const Action* action;
        int literal;    // index into the scanner, -1 when the action has none
        size_t groups;  // match entries to ask for: 1 + the highest digit in the templates
    };
    enum class Outcome { kMatch, kNoMatch, kLiteralAbsent };
    Outcome Matches(const Entry& entry, std::string_view text,
                    regmatch_t (&groups)[PosixRegex::kMatches]) const;

    uint64_t version_ = ~uint64_t(0);
    std::vector<Entry> actions_;
    std::vector<uint8_t> literalOf_;
    LiteralScanner scanner_;
};

}  // namespace zel
