// Fuzz targets whose inputs run commands that write files (write, log) run in a scratch
// folder of their own, removed at exit, so that nothing lands beside the build.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace zel::fuzz {

inline bool InScratchFolder()
{
    static std::string folder;
    static const bool entered = [] {
        char name[] = "/tmp/zel-fuzz-XXXXXX";
        if (!mkdtemp(name) || chdir(name) != 0) return false;
        folder = name;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
        return true;
    }();
    return entered;
}

}  // namespace zel::fuzz
