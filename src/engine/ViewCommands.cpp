// view and edit: show a text file, read-only or editable, through the host.
#include <optional>
#include <string>

#include "engine/ClientWindow.h"
#include "engine/EngineCommands.h"
#include "lang/WordReader.h"

namespace zel {
namespace {

constexpr char kFileFilter[] =
    "Text files (*.txt)|*.txt|ZE files (*.zel)|*.zel|All files (*.*)|*.*||";
constexpr char kDefaultExtension[] = "*.txt";
constexpr char kUnableToStart[] = "Unable to start '%s' : %d";

// The whole argument text is the file name; without one the host asks for it.
int32_t ShowFile(ClientWindow& client, std::string_view args, bool editable)
{
    std::string fileName(args.substr(0, kNameCapacity));
    if (fileName.empty()) {
        std::optional<std::string> chosen =
            client.GetHost().AskOpenFileName(kFileFilter, kDefaultExtension);
        if (!chosen || chosen->empty()) return 0;
        fileName = chosen->substr(0, kNameCapacity);
    }
    if (std::optional<StartFailure> failure = client.GetHost().ShowFile(fileName, editable))
        client.PrintLineFormatted(OutputFormat::Error, kUnableToStart, failure->program.c_str(),
                                  failure->error);
    return 0;
}

}  // namespace

int32_t CmdView(ClientWindow& client, uint32_t, std::string_view args)
{
    return ShowFile(client, args, false);
}

int32_t CmdEdit(ClientWindow& client, uint32_t, std::string_view args)
{
    return ShowFile(client, args, true);
}

}  // namespace zel
