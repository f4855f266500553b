// The FORMATS section of a settings file: the face and size of "Output: Default".
#include <string>

#include "display/commands/DisplayCommands.h"
#include "engine/ClientWindow.h"
#include "lang/SettingsWriter.h"

namespace zel {

void WriteFormatSettings(ClientWindow& client, SettingsWriter& writer)
{
    const TextFormat& format = client.Formats()[OutputFormat::Default];
    const std::string size = std::to_string(format.height) + ' ' + std::to_string(format.width);
    // The face is written as it is; the size follows the group.
    writer.Command("font", {{format.Face(), SettingsField::Kind::Plain}}, size);
}

}  // namespace zel
