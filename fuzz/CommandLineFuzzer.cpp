// Command lines through ExecuteLine, each input split into lines at line feeds. Commands
// that wait on purpose (sleep, flash), long repetition counts and paths are left out; files
// that commands write land in a scratch folder.
#include <cstdint>
#include <string_view>

#include "ScratchFolder.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const zel::fuzz::ScratchFolder scratch;
    if (!scratch.Entered() || input.find("sl") != input.npos || input.find('f') != input.npos ||
        input.find('/') != input.npos)
        return 0;
    for (size_t i = 1; i < input.size(); ++i)
        if (zel::IsDigit(input[i - 1]) && zel::IsDigit(input[i])) return 0;
    zel::NullHost host;
    zel::ClientWindow client(host, zel::AllModules());
    client.ExecuteLine("|alias add a {$1;$*;|e $0}", false, false);
    client.ExecuteLine("|variable add v {;}$", false, false);
    while (!input.empty()) {
        size_t end = input.find('\n');
        client.ExecuteLine(input.substr(0, end), true, true);
        input.remove_prefix(end == input.npos ? input.size() : end + 1);
    }
    return 0;
}
