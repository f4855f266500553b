// Commands made of subcommands: the first word, in any case, picks one; any other word, or
// none, lists. A change is followed by a refresh of the setup dialog; a listing is not.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/ClientWindow.h"
#include "lang/WordReader.h"

namespace zel {

struct Subcommand {
    std::string_view word;
    void (*run)(ClientWindow& client, WordReader& reader);
};

inline int32_t RunSubcommands(ClientWindow& client, std::string_view args,
                              std::initializer_list<Subcommand> subcommands,
                              void (*list)(ClientWindow& client))
{
    WordReader reader(client.Chars(), args);
    std::string word;
    reader.NextWord(word);
    for (const Subcommand& subcommand : subcommands) {
        if (!EqualsIgnoringCase(word, subcommand.word)) continue;
        subcommand.run(client, reader);
        client.GetHost().RefreshSetupDialog();
        return 0;
    }
    list(client);
    return 0;
}

}  // namespace zel
