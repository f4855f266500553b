#include "net/StreamReplay.h"

#include <algorithm>

namespace zel {

StreamReplay::StreamReplay(ConnectionClient& client)
    : path_(client, static_cast<ReceiveChannel&>(*this))
{
}

void StreamReplay::Receive(std::string_view stream, size_t readSize)
{
    ReceiveHeld(stream, readSize);
    path_.LineWaitPassed();
}

void StreamReplay::ReceiveHeld(std::string_view stream, size_t readSize)
{
    readSize = std::max<size_t>(readSize, 1);
    while (!stream.empty()) {
        const size_t size = std::min(readSize, stream.size());
        path_.Read(stream.substr(0, size));
        stream.remove_prefix(size);
    }
}

}  // namespace zel
