// SessionLog: the raw record of a session's traffic, appended to one file. Guarded by
// OutputLock like the rest of the output: the network thread writes received blocks, the
// user-interface thread writes sent lines and opens and closes it.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "base/FileDescriptor.h"

namespace zel {

class SessionLog {
public:
    SessionLog() = default;
    SessionLog(const SessionLog&) = delete;
    SessionLog& operator=(const SessionLog&) = delete;

    // Opens `name` for appending, creating it; false when it cannot be opened or is not a
    // regular file (a FIFO or device could block the opening thread or never take the log).
    bool Open(const std::string& name);
    void Close();
    bool IsOpen() const { return bool(fd_); }

    // Appends bytes as they are. Write failures are ignored.
    void Write(std::string_view bytes);
    // Appends a line that must not be readable (a password): every byte but the line end
    // becomes '*'.
    void WriteMasked(std::string_view line);
    // Whether the log is being written to the file with this device and inode.
    bool Writes(dev_t device, ino_t inode) const;

private:
    FileDescriptor fd_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

}  // namespace zel
