// Settings files through `read`: the bytes are a file's contents, read line by line and run.
// Commands that wait on purpose (sleep, flash), long repetition counts and anything that
// names a path are left out; files the commands write land in a scratch folder.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ScratchFolder.h"
#include "engine/ClientWindow.h"
#include "modules/AllModules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const zel::fuzz::ScratchFolder scratch;
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (!scratch.Entered() || input.find("sl") != input.npos || input.find('/') != input.npos)
        return 0;
    for (size_t i = 0; i < input.size(); ++i) {
        // "font" may stay; any other word with an f could name flash.
        if (input[i] == 'f' && (i + 1 == input.size() || input[i + 1] != 'o')) return 0;
        if (i > 0 && zel::IsDigit(input[i - 1]) && zel::IsDigit(input[i])) return 0;
    }

    const int fd = memfd_create("settings", MFD_CLOEXEC);
    if (fd < 0) return 0;
    if (write(fd, data, size) == ssize_t(size) && lseek(fd, 0, SEEK_SET) == 0) {
        zel::NullHost host;
        zel::ClientWindow client(host, zel::AllModules());
        client.ExecuteLine("|alias add a {$1;$*;|e $0}", false, false);
        client.ExecuteLine("|read /proc/self/fd/" + std::to_string(fd), false, false);
        // The file's command character was in force only while it was read.
        if (client.Chars().command != '|') std::abort();
    }
    close(fd);
    return 0;
}
