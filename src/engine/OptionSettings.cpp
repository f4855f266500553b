// The CHARACTERS and OPTIONS sections of a settings file.
#include <string>

#include "engine/ClientWindow.h"
#include "engine/SettingsSections.h"
#include "engine/SettingsWriter.h"

namespace zel {
namespace {

const char* OnOff(bool on)
{
    return on ? "on" : "off";
}

const char* ClearWord(int32_t mode)
{
    return mode == 0 ? "off" : mode == 2 ? "on" : "mix";
}

const char* ScrollPositionWord(int32_t position)
{
    switch (ScrollPosition(position)) {
        case ScrollPosition::Top:
            return "top";
        case ScrollPosition::Left:
            return "left";
        case ScrollPosition::Right:
            return "right";
        default:
            return "none";
    }
}

}  // namespace

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
    writer.PlainCommand(std::string("option echo ") + OnOff(o.localEcho));
    writer.PlainCommand(std::string("option compact ") + OnOff(o.compact));
    writer.PlainCommand(std::string("option ansi ") + OnOff(o.ansi));
    writer.PlainCommand(std::string("option clear ") + ClearWord(o.clearMode));
    writer.PlainCommand(std::string("option tips ") + OnOff(o.tips));
    writer.PlainCommand("option scrollsize " + number(o.scrollSize));
    writer.PlainCommand("option scrollheight " + number(o.scrollHeight));
    writer.PlainCommand("option scrollwidth " + number(o.scrollWidth));
    writer.PlainCommand(std::string("option scrollpos ") + ScrollPositionWord(o.scrollPos));
    writer.PlainCommand("option scrollrate " + number(o.scrollRate));
    writer.PlainCommand("option history " + number(o.historyWindow) + ' ' +
                        number(o.historyActive) + ' ' + number(o.historyTotal));
    writer.PlainCommand("option histignore " + number(o.historyIgnore));
    writer.PlainCommand(std::string("option autonaws ") + OnOff(o.autoNaws));
}

}  // namespace zel
