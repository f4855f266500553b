#include "engine/FunctionTable.h"

#include "engine/NotAvailable.h"

namespace zel {
namespace {

// exec(command): runs a console command with its output routed to the output window.
int32_t FnExec(ClientWindow& client, std::string_view, std::string_view, std::string&)
{
    ReportNotAvailable(client, "exec");
    return 0;
}

}  // namespace

FunctionTable::FunctionTable()
{
    entries_.emplace("exec",
                     FunctionEntry{FnExec, "exec(command)\n",
                                   "Executes a local console command and routes the output to "
                                   "the display\n"});
}

const FunctionEntry* FunctionTable::Find(std::string_view name) const
{
    auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : &it->second;
}

}  // namespace zel
