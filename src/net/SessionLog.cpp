#include "net/SessionLog.h"

#include <fcntl.h>

namespace zel {

bool SessionLog::Open(const std::string& name)
{
    Close();
    fd_.Reset(open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    return IsOpen();
}

void SessionLog::Close()
{
    fd_.Reset();
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
