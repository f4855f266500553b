#include "engine/SettingsFile.h"

#include <pwd.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <mutex>

#include "base/FileReplacement.h"
#include "engine/ClientWindow.h"
#include "lang/SettingsWriter.h"

namespace zel {
namespace {

constexpr size_t kNameBufferSize = 512;
constexpr char kRule[] = "--------------------------------";

// The sections in file order. The modules write their lines (Module::sections); a heading
// that no module writes stands alone.
constexpr struct {
    std::string_view title;
    bool separated;  // an empty comment line comes before the heading
} kSections[] = {
    {"CHARACTERS", false}, {"OPTIONS", false},    {"FORMATS", false}, {"ALIASES", true},
    {"BINDINGS", true},    {"COMPLETIONS", true}, {"SYNTAXES", true}, {"ACTIONS", true},
    {"TIMERS", true},      {"VARIABLES", true},   {"SCRIPTS", true},  {"WAVES", true},
    {"SESSIONS", true},    {"WATCHES", true},
};

std::string UserName()
{
    std::array<char, 4096> buffer{};
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return {};
    return std::string(found->pw_name).substr(0, kNameBufferSize - 1);
}

std::string ComputerName()
{
    std::array<char, kNameBufferSize> buffer{};
    if (gethostname(buffer.data(), buffer.size() - 1) != 0) return {};
    return buffer.data();
}

}  // namespace

SettingsStamp SettingsStamp::Now()
{
    SettingsStamp stamp;
    const std::time_t now = std::time(nullptr);
    gmtime_r(&now, &stamp.utc);
    stamp.user = UserName();
    stamp.computer = ComputerName();
    return stamp;
}

std::string SettingsFileText(ClientWindow& client, std::string_view fileName, std::string_view note,
                             const SettingsStamp& stamp)
{
    SettingsWriter writer(client.Chars());
    char date[64];
    const std::tm& t = stamp.utc;
    std::snprintf(date, sizeof date, "SAVED ON: %04hu-%02hu-%02hu %02hu:%02hu:%02hu UTC",
                  static_cast<unsigned short>(t.tm_year + 1900),
                  static_cast<unsigned short>(t.tm_mon + 1), static_cast<unsigned short>(t.tm_mday),
                  static_cast<unsigned short>(t.tm_hour), static_cast<unsigned short>(t.tm_min),
                  static_cast<unsigned short>(t.tm_sec));

    writer.PlainCommand("");
    writer.Comment(kRule);
    writer.Comment("ZEL auto-saved file");
    writer.Comment("NOTE: The first line of this file should contain the file's command char");
    writer.Comment("FILENAME: " + std::string(fileName));
    writer.Comment(date);
    writer.Comment("SAVED BY: " + stamp.user + " ON " + stamp.computer);
    writer.Comment("Written by ZEL, a MUD client: read it back with the read command");
    if (!note.empty()) writer.Comment(note);
    writer.Comment(kRule);
    writer.Comment("");

    // Actions change under both locks, every other table under DefinitionLock: holding it
    // keeps all of them still. Nothing here prints, so OutputLock is not needed first.
    std::scoped_lock lock(client.DefinitionLock());
    for (const auto& section : kSections) {
        if (section.separated) writer.Comment("");
        writer.Heading(section.title);
        for (const Module* module : client.Modules())
            for (const SectionRow& row : module->sections)
                if (row.title == section.title) row.write(client, writer);
    }
    return writer.TakeText();
}

int32_t WriteSettingsFile(ClientWindow& client, std::string_view fileName, std::string_view note)
{
    const std::string text = SettingsFileText(client, fileName, note, SettingsStamp::Now());
    if (!ReplaceFile(std::string(fileName), text)) return -1;
    std::scoped_lock lock(client.DefinitionLock());
    client.SettingsFileName() = fileName;
    return 0;
}

}  // namespace zel
