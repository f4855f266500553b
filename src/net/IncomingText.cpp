#include "net/IncomingText.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/ClientWindow.h"

namespace zel {
namespace {

enum ByteClass : uint8_t { kStore, kDrop, kTab, kLineFeed, kEscape, kIac };

constexpr std::array<uint8_t, 256> MakeClasses()
{
    std::array<uint8_t, 256> classes{};
    for (int c = 0; c < 32; ++c) classes[c] = kDrop;
    classes[8] = kStore;
    classes[9] = kTab;
    classes[10] = kLineFeed;
    classes[27] = kEscape;
    classes[255] = kIac;
    return classes;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

IncomingText::IncomingText(ClientWindow& client, ReceiveChannel& channel)
    : client_(client), channel_(channel), telnet_(client, channel)
{
}

void IncomingText::ProcessBlock(ReceiveBlock& block)
{
    Options& options = client_.GetOptions();
    compact_ = std::atomic_ref(options.compact).load(std::memory_order_relaxed);
    scrollRate_ = std::atomic_ref(options.scrollRate).load(std::memory_order_relaxed);
    position_ = flush_ = logged_ = 0;

    size_t i = 0;
    while (i < block.size) {
        if (telnet_.InSubnegotiation()) {
            i = telnet_.SkipSubnegotiation(block, i);
            continue;
        }
        switch (kClasses[uint8_t(block.data[i])]) {
            case kStore: {
                size_t end = i + 1;
                while (end < block.size && kClasses[uint8_t(block.data[end])] == kStore) ++end;
                Store(block.data + i, end - i);
                i = end;
                break;
            }
            case kDrop:
                ++i;
                break;
            case kTab:
                if (position_ < kTabLimit) Store("        ", 8);
                ++i;
                break;
            case kLineFeed:
                LineFeed();
                ++i;
                break;
            case kEscape:
                CompleteEscape(block, i);
                Store(block.data + i, 1);
                ++i;
                break;
            case kIac:
                i = telnet_.ProcessCommand(block, i, *this);
                break;
        }
    }
    EndOfBlock(block);
}

void IncomingText::Store(const char* bytes, size_t count)
{
    count = std::min(count, kLineCapacity - position_);
    std::memcpy(line_ + position_, bytes, count);
    position_ += count;
}

void IncomingText::LineFeed()
{
    const int32_t lines = channel_.CountLine();
    if (scrollRate_ > 0 && lines % scrollRate_ == 0) HandOn(true);
    if (!compact_) Store("\r\n", 2);
}

// A sequence ends at the first letter after the escape. When none is in the block, bytes
// are read until one arrives, so that the output always receives whole sequences.
void IncomingText::CompleteEscape(ReceiveBlock& block, size_t i)
{
    for (size_t k = i + 1; k < block.size; ++k)
        if (IsAsciiLetter(block.data[k])) return;
    // The log gets what came before the escape first: the reads may wait long.
    WriteLog(block, i);
    while (block.size < kEscapeLimit) {
        char byte;
        if (!channel_.ReadByte(byte)) return;
        block.data[block.size++] = byte;
        if (IsAsciiLetter(byte)) return;
    }
}

void IncomingText::HandOn(bool withPrompt)
{
    if (withPrompt) client_.PrintPendingPrompt();
    HandOnText(std::string_view(line_ + flush_, position_ - flush_));
    flush_ = position_;
}

void IncomingText::HandOnText(std::string_view text)
{
    if (text.empty()) return;
    if (client_.ActionsEnabled()) {
        client_.ProcessIncomingText(text, true);
    } else {
        client_.PrintReceived(text);
    }
}

void IncomingText::WriteLog(const ReceiveBlock& block, size_t end)
{
    if (end <= logged_) return;
    client_.WriteReceivedToLog(std::string_view(block.data + logged_, end - logged_));
    logged_ = end;
}

void IncomingText::EndOfBlock(const ReceiveBlock& block)
{
    WriteLog(block, block.size);
    client_.PrintPendingPrompt();
    if (client_.AutomaticPrompting()) {
        const std::string_view open(line_ + flush_, position_ - flush_);
        const size_t lineEnd = open.find_last_of("\r\n");
        const std::string_view tail =
            lineEnd == std::string_view::npos ? open : open.substr(lineEnd + 1);
        client_.SetPendingPrompt(tail);
        if (!tail.empty() && client_.ActionsEnabled()) client_.ProcessIncomingText(tail, false);
        position_ -= tail.size();
    }
    HandOn(false);
    flush_ = 0;
}

}  // namespace zel
