#include "net/StreamReplay.h"

#include <algorithm>
#include <cstring>

namespace zel {

StreamReplay::StreamReplay(ClientWindow& client)
    : block_(std::make_unique<ReceiveBlock>()),
      incoming_(std::make_unique<IncomingText>(client, static_cast<ReceiveChannel&>(*this)))
{
}

StreamReplay::~StreamReplay() = default;

void StreamReplay::Receive(std::string_view stream, size_t readSize)
{
    readSize = std::clamp<size_t>(readSize, 1, ReceiveBlock::kReadSize);
    rest_ = stream;
    while (!rest_.empty()) {
        block_->size = std::min(readSize, rest_.size());
        std::memcpy(block_->data, rest_.data(), block_->size);
        rest_.remove_prefix(block_->size);
        incoming_->ProcessBlock(*block_);
    }
}

bool StreamReplay::ReadByte(char& byte)
{
    if (rest_.empty()) return false;
    byte = rest_.front();
    rest_.remove_prefix(1);
    return true;
}

}  // namespace zel
