// Fuzz targets whose inputs run commands that write files (write, log) run each input in a
// scratch folder of their own, removed at exit, so that nothing lands beside the build. The
// working folder is set back after each input: libFuzzer reads and writes its corpus by
// relative names.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace zel::fuzz {

class ScratchFolder {
public:
    ScratchFolder() : previous_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        const char* folder = Folder();
        // Made again when an earlier input left it empty and it was removed.
        if (*folder != 0 && access(folder, F_OK) != 0) mkdir(folder, 0700);
        entered_ = previous_ >= 0 && *folder != 0 && chdir(folder) == 0;
    }
    ~ScratchFolder()
    {
        if (entered_ && fchdir(previous_) != 0) std::abort();
        if (previous_ >= 0) close(previous_);
        // An empty folder goes at once: libFuzzer may end without running exit handlers.
        if (entered_) rmdir(Folder());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    bool Entered() const { return entered_; }

private:
    // A C array, not a std::string: the removal at exit runs after static objects are gone.
    static const char* Folder()
    {
        static char name[] = "/tmp/zel-fuzz-XXXXXX";
        static const bool made = [] {
            if (!mkdtemp(name)) return false;
            std::atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(name, ignored);
            });
            return true;
        }();
        return made ? name : "";
    }

    int previous_;
    bool entered_ = false;
};

}  // namespace zel::fuzz
