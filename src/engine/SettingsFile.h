// Settings files: the whole setup as command lines. Written by `write` and the quit
// dialog, read back by `read`.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace zel {

class ClientWindow;

// Who wrote the file and when: the header's time stamp and names.
struct SettingsStamp {
    std::tm utc{};
    std::string user;
    std::string computer;
    static SettingsStamp Now();
};

// The file's text: the header (with the note, when there is one), then every section.
// Reads the tables under DefinitionLock.
std::string SettingsFileText(ClientWindow& client, std::string_view fileName, std::string_view note,
                             const SettingsStamp& stamp);

// What `write` and the quit dialog say when WriteSettingsFile fails, with the file name.
inline constexpr char kUnableToWriteSettings[] = "Unable to write to '%s'";

// Writes the settings file and makes `fileName` the settings file name: 0, or -1 when the
// file cannot be written (the old file, if any, is left as it was).
int32_t WriteSettingsFile(ClientWindow& client, std::string_view fileName, std::string_view note);

}  // namespace zel
