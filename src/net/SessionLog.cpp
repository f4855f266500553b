#include "net/SessionLog.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace zel {

bool SessionLog::Open(const std::string& name)
{
    Close();
    // Without O_NONBLOCK, opening a FIFO that nobody reads waits for ever.
    FileDescriptor fd(
        open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK, 0644));
    struct stat info {};
    if (!fd || fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if (fcntl(fd.Get(), F_SETFL, O_WRONLY | O_APPEND) != 0) return false;
    device_ = info.st_dev;
    inode_ = info.st_ino;
    fd_ = std::move(fd);
    return true;
}

void SessionLog::Close()
{
    fd_.Reset();
}

bool SessionLog::Writes(dev_t device, ino_t inode) const
{
    return fd_ && device == device_ && inode == inode_;
}

void SessionLog::Write(std::string_view bytes)
{
    if (fd_) WriteAll(fd_.Get(), bytes);
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
