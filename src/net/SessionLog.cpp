#include "net/SessionLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace zel {

bool SessionLog::Open(const std::string& name)
{
    Close();
    fd_ = open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    return fd_ >= 0;
}

void SessionLog::Close()
{
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

void SessionLog::Write(std::string_view bytes)
{
    if (fd_ < 0) return;
    while (!bytes.empty()) {
        const ssize_t n = write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        bytes.remove_prefix(size_t(n));
    }
}

void SessionLog::WriteMasked(std::string_view line)
{
    size_t text = line.size();
    while (text > 0 && (line[text - 1] == '\r' || line[text - 1] == '\n')) --text;
    std::string masked(text, '*');
    masked.append(line.substr(text));
    Write(masked);
}

}  // namespace zel
