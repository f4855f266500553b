#include "engine/NotAvailable.h"

#include <string>

#include "engine/ClientWindow.h"
#include "engine/EngineCommands.h"

namespace zel {

namespace {
constexpr char kNotAvailable[] = "'%s' is not available yet";
}

void ReportNotAvailable(ClientWindow& client, std::string_view what)
{
    client.PrintLineFormatted(OutputFormat::Error, kNotAvailable, std::string(what).c_str());
}

int32_t CmdNotAvailable(ClientWindow& client, uint32_t id, std::string_view)
{
    ReportNotAvailable(client, client.Commands().NameOf(id));
    return 0;
}

}  // namespace zel
