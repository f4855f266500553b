// The CHARACTERS and OPTIONS sections of a settings file.
#include <string>

#include "engine/ClientWindow.h"
#include "engine/SettingsSections.h"
#include "engine/SettingsWriter.h"

namespace zel {

void WriteCharacterSettings(ClientWindow& client, SettingsWriter& writer)
{
    const SpecialChars& c = client.Chars();
    auto escaped = [&c](char ch) { return std::string{c.escape, ch}; };
    writer.PlainCommand("option echar " + escaped(c.escape));
    writer.PlainCommand("option achars " + escaped(c.beginArgument) + ' ' + escaped(c.endArgument));
    writer.PlainCommand("option schar " + escaped(c.split));
    writer.PlainCommand("option vchar " + escaped(c.variable));
    writer.PlainCommand("option xchar " + escaped(c.execute));
    writer.PlainCommand("option ochar " + escaped(c.scope));
}

void WriteOptionSettings(ClientWindow& client, SettingsWriter& writer)
{
    const Options& o = client.GetOptions();
    auto number = [](int32_t n) { return std::to_string(n); };
    writer.PlainCommand(std::string("option echo ") + OnOffWord(o.localEcho));
    writer.PlainCommand(std::string("option compact ") + OnOffWord(o.compact));
    writer.PlainCommand(std::string("option ansi ") + OnOffWord(o.ansi));
    writer.PlainCommand(std::string("option clear ") + ClearModeWord(o.clearMode));
    writer.PlainCommand(std::string("option tips ") + OnOffWord(o.tips));
    writer.PlainCommand("option scrollsize " + number(o.scrollSize));
    writer.PlainCommand("option scrollheight " + number(o.scrollHeight));
    writer.PlainCommand("option scrollwidth " + number(o.scrollWidth));
    const char* position = ScrollPositionWord(o.scrollPos);
    writer.PlainCommand(std::string("option scrollpos ") + (position ? position : "none"));
    writer.PlainCommand("option scrollrate " + number(o.scrollRate));
    writer.PlainCommand("option history " + number(o.historyWindow) + ' ' +
                        number(o.historyActive) + ' ' + number(o.historyTotal));
    writer.PlainCommand("option histignore " + number(o.historyIgnore));
    writer.PlainCommand(std::string("option autonaws ") + OnOffWord(o.autoNaws));
}

}  // namespace zel
