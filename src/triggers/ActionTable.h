// The action table: name to action record, in byte order of the names. Changed only under
// OutputLock and DefinitionLock, so received-text processing reads it under OutputLock.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "definitions/DefinitionTable.h"
#include "display/TextFormat.h"
#include "lang/SpecialChars.h"
#include "triggers/PatternFacts.h"
#include "triggers/PosixRegex.h"

namespace zel {

// A pattern compiled once, with what is known about its matches. Shared, so that an
// action's command may delete the action while its match is still being handled.
struct CompiledPattern {
    // `utf8`: the engine's text form is UTF-8, and the pattern reads characters.
    CompiledPattern(const std::string& pattern, bool utf8)
        : regex(pattern, utf8), facts(AnalysePattern(pattern))
    {
    }
    PosixRegex regex;
    PatternFacts facts;
};

struct Action {
    static constexpr uint32_t kDisabled = 0x1, kHasCommand = 0x2, kHasFormat = 0x4,
                              kHasReplacement = 0x8;
    // The steps of a session's automatic logon: their command is the session's logon line,
    // sent as it is (no group references), and they are not part of the player's setup.
    static constexpr uint32_t kLogonName = 0x100, kLogonPassword = 0x200;
    uint32_t flags = 0;
    std::string pattern;
    std::string command;
    TextFormat format{};
    std::string replacement;
    std::shared_ptr<const CompiledPattern> compiled;
    std::shared_ptr<const struct Session> logon;  // the session of a logon step

    bool Disabled() const { return flags & kDisabled; }
    bool IsLogonStep() const { return flags & (kLogonName | kLogonPassword); }
};

using ActionTable = DefinitionTable<Action>;

// Expands an action's command or replacement against a match in `text`: the variable
// character with a digit gives that group (its line end removed), with escape characters
// gives those, with any other character gives the escape character and it. At most
// `capacity` characters.
std::string ExpandActionTemplate(std::string_view pattern, std::string_view text,
                                 const regmatch_t (&groups)[PosixRegex::kMatches],
                                 const SpecialChars& chars, size_t capacity);

}  // namespace zel
