// The CHARACTERS and OPTIONS sections of a settings file: an `option` line for each row of
// the option table that the section saves, in the table's file order.
#include <string>

#include "engine/ClientWindow.h"
#include "engine/EngineCommands.h"
#include "engine/OptionTable.h"
#include "lang/SettingsWriter.h"

namespace zel {
namespace {

bool AtDefault(const OptionRow& row, const Options& options, const SpecialChars& chars)
{
    for (size_t i = 0; i < PartCount(row.type); ++i)
        if (PartValue(row, options, chars, i) != row.byDefault[i]) return false;
    return true;
}

// "option <name>" and each part of the value after a space: a character after the escape
// character (reading it back takes it as it is), on or off, a number, a word.
void WriteOption(const OptionRow& row, const Options& options, const SpecialChars& chars,
                 SettingsWriter& writer)
{
    if (row.savedOnlyChanged && AtDefault(row, options, chars)) return;
    std::string line = "option " + std::string(row.name);
    for (size_t i = 0; i < PartCount(row.type); ++i) {
        const int32_t value = PartValue(row, options, chars, i);
        line += ' ';
        switch (row.type) {
            case OptionType::Character:
            case OptionType::CommandChar:
            case OptionType::ArgumentChars:
                line += chars.escape;
                line += char(value);
                break;
            case OptionType::Flag:
                line += OnOffWord(value != 0);
                break;
            case OptionType::Choice:
            case OptionType::Encoding:
                line += SavedWord(row, value);
                break;
            default:
                line += std::to_string(value);
                break;
        }
    }
    writer.PlainCommand(line);
}

void WriteSection(ClientWindow& client, SettingsWriter& writer, OptionSection section)
{
    for (const OptionRow* row : SavedOptionRows(section))
        WriteOption(*row, client.GetOptions(), client.Chars(), writer);
}

}  // namespace

void WriteCharacterSettings(ClientWindow& client, SettingsWriter& writer)
{
    WriteSection(client, writer, OptionSection::Characters);
}

void WriteOptionSettings(ClientWindow& client, SettingsWriter& writer)
{
    WriteSection(client, writer, OptionSection::Options);
}

}  // namespace zel
