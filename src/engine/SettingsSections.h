// The sections of a settings file, in file order. Each table writes its own section beside
// the table's code; a section without a writer is its heading alone.
#pragma once

#include <string_view>

namespace zel {

class ClientWindow;
class SettingsWriter;

using SectionWriter = void (*)(ClientWindow& client, SettingsWriter& writer);

struct SettingsSection {
    std::string_view title;
    bool separated;  // an empty comment line comes before the heading
    SectionWriter write;
};

// engine/OptionSettings.cpp
void WriteCharacterSettings(ClientWindow& client, SettingsWriter& writer);
void WriteOptionSettings(ClientWindow& client, SettingsWriter& writer);
// display/FormatSettings.cpp
void WriteFormatSettings(ClientWindow& client, SettingsWriter& writer);
// definitions/DefinitionSettings.cpp
void WriteAliasSettings(ClientWindow& client, SettingsWriter& writer);
void WriteCompletionSettings(ClientWindow& client, SettingsWriter& writer);
void WriteSyntaxSettings(ClientWindow& client, SettingsWriter& writer);
// input/BindingSettings.cpp
void WriteBindingSettings(ClientWindow& client, SettingsWriter& writer);
// net/ActionSettings.cpp
void WriteActionSettings(ClientWindow& client, SettingsWriter& writer);
// net/SessionSettings.cpp
void WriteSessionSettings(ClientWindow& client, SettingsWriter& writer);

}  // namespace zel
