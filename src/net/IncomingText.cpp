#include "net/IncomingText.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>

namespace zel {
namespace {

enum ByteClass : uint8_t { kStore, kDrop, kTab, kLineFeed, kEscape };

constexpr std::array<uint8_t, 256> MakeClasses()
{
    std::array<uint8_t, 256> classes{};
    for (int c = 0; c < 32; ++c) classes[c] = kDrop;
    classes[8] = kStore;
    classes[9] = kTab;
    classes[10] = kLineFeed;
    classes[27] = kEscape;
    return classes;
}
constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

bool IsAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

IncomingText::IncomingText(ConnectionClient& client, ReceiveChannel& channel)
    : client_(client), channel_(channel), line_(new char[kLineCapacity])
{
}

void IncomingText::BeginRead()
{
    const ConnectionClient::ReceiveOptions options = client_.ReadReceiveOptions();
    compact_ = options.compact;
    scrollRate_ = options.scrollRate;
    if (options.encoding != decoder_->Encoding()) {
        // A character cut by the change cannot be finished in the new set.
        std::string rest;
        decoder_->Finish(rest);
        decoder_ = std::make_unique<StreamDecoder>(options.encoding);
        if (!rest.empty()) Apply(rest);
    }
}

void IncomingText::Text(std::string_view bytes)
{
    if (decoder_->Encoding() == kWindows1252) {
        Apply(bytes);
        return;
    }
    decoded_.clear();
    decoder_->Decode(bytes, decoded_);
    Apply(decoded_);
}

void IncomingText::Apply(std::string_view bytes)
{
    if (heldStart_ < held_.size()) bytes = ContinueHeld(bytes);
    if (bytes.empty()) return;
    const size_t used = Consume(bytes);
    if (used < bytes.size()) {
        held_.assign(bytes.substr(used));
        heldStart_ = 0;
    }
}

std::string_view IncomingText::ContinueHeld(std::string_view bytes)
{
    const std::string_view held = Held();
    // The first held escape has this many bytes left for its letter; a letter among them
    // ends every escape held, which are all before it.
    const size_t look = std::min(kEscapeLimit - held.size(), bytes.size());
    const uint64_t heldEnd = offset_ + held.size();
    for (size_t k = size_t(std::max(noLetterUntil_, heldEnd) - heldEnd); k < look; ++k) {
        if (!IsAsciiLetter(bytes[k])) continue;
        held_.append(bytes.data(), k + 1);
        letterAt_ = heldEnd + k;
        [[maybe_unused]] const size_t used = Consume(Held());
        assert(used == Held().size());
        held_.clear();
        heldStart_ = 0;
        return bytes.substr(k + 1);
    }
    // No letter in reach: the first escape is past the bound. The held bytes and these are
    // read on together; what stays held is shorter than the bound again.
    noLetterUntil_ = std::max(noLetterUntil_, heldEnd + look);
    held_.append(bytes);
    heldStart_ += Consume(Held());
    if (heldStart_ == held_.size()) {
        held_.clear();
        heldStart_ = 0;
    } else if (heldStart_ >= kEscapeLimit) {
        held_.erase(0, heldStart_);
        heldStart_ = 0;
    }
    return {};
}

size_t IncomingText::Consume(std::string_view bytes)
{
    const uint64_t base = offset_;
    const size_t n = bytes.size();
    size_t i = 0;
    while (i < n) {
        switch (kClasses[uint8_t(bytes[i])]) {
            case kStore: {
                size_t end = i + 1;
                while (end < n && kClasses[uint8_t(bytes[end])] == kStore) ++end;
                if (open_ != kNone && base + end > letterAt_) {
                    // The open sequence ends here: its letter is the last byte exempt from
                    // the bound of an endless line.
                    const size_t afterLetter = size_t(letterAt_ - base) + 1;
                    Store(bytes.data() + i, afterLetter - i);
                    open_ = kNone;
                    i = afterLetter;
                }
                if (end > i) Store(bytes.data() + i, end - i);
                i = end;
                break;
            }
            case kDrop:
                ++i;
                break;
            case kTab:
                if (column_ < kTabLimit) Store("        ", 8);
                ++i;
                break;
            case kLineFeed:
                LineFeed();
                ++i;
                break;
            case kEscape:
                if (!SequenceEnds(bytes, base, i)) {
                    offset_ = base + i;
                    return i;
                }
                Store(bytes.data() + i, 1);
                if (open_ == kNone && letterAt_ > base + i) open_ = position_ - 1;
                ++i;
                break;
        }
    }
    offset_ = base + n;
    return n;
}

bool IncomingText::SequenceEnds(std::string_view bytes, uint64_t base, size_t i)
{
    const uint64_t at = base + i;
    // The letter that ended an earlier escape is also the first letter after this one.
    if (letterAt_ > at) return true;
    const uint64_t bound = at + kEscapeLimit;
    const uint64_t stop = std::min<uint64_t>(bound, base + bytes.size());
    for (uint64_t p = std::max(at + 1, noLetterUntil_); p < stop; ++p) {
        if (IsAsciiLetter(bytes[size_t(p - base)])) {
            letterAt_ = p;
            return true;
        }
    }
    noLetterUntil_ = std::max(noLetterUntil_, stop);
    return stop == bound;
}

void IncomingText::Store(const char* bytes, size_t count)
{
    while (count > 0) {
        if (position_ - tailStart_ >= kLineLimit && open_ == kNone) {
            // An endless line: this much goes on as ordinary text, never as a prompt.
            HandOn(position_);
            Rewind();
        }
        if (position_ == kLineCapacity) MakeRoom();
        // An open sequence runs on to its letter: the line's bound is passed by at most
        // kEscapeLimit bytes of the stream.
        const size_t tail = position_ - tailStart_;
        const size_t room = open_ != kNone ? count : kLineLimit - std::min(tail, kLineLimit);
        const size_t n = std::min({count, room, kLineCapacity - position_});
        std::memcpy(line_.get() + position_, bytes, n);
        position_ += n;
        column_ += n;
        bytes += n;
        count -= n;
    }
}

void IncomingText::LineFeed()
{
    const int32_t lines = channel_.CountLine();
    column_ = 0;
    // A line feed inside a sequence ends no piece: the step waits for the next one, and the
    // line is not taken as ended.
    const bool inSequence = open_ != kNone;
    if (scrollRate_ > 0 && lines % scrollRate_ == 0 && !inSequence) {
        client_.FlushPendingPrompt();
        HandOn(position_);
        Rewind();
    }
    if (!compact_) {
        if (position_ + 2 > kLineCapacity) MakeRoom();
        std::memcpy(line_.get() + position_, "\r\n", 2);
        position_ += 2;
    }
    if (!inSequence) tailStart_ = position_;
}

void IncomingText::Command()
{
    client_.FlushPendingPrompt();
    HandOn(position_);
    Rewind();
}

void IncomingText::PromptMark()
{
    client_.FlushPendingPrompt();
    HandOn(tailStart_);
    ReleaseTail();
}

void IncomingText::EndOfRead()
{
    // A sequence's letter is stored by the call that stored its escape, or it is held.
    assert(open_ == kNone);
    HandOn(tailStart_);
    // The tail moves to the start, so that every read has the whole buffer.
    if (flush_ > 0) {
        std::memmove(line_.get(), line_.get() + flush_, position_ - flush_);
        position_ -= flush_;
        tailStart_ -= flush_;
        flush_ = 0;
    }
}

void IncomingText::LineWaitPassed()
{
    HandOn(tailStart_);
    ReleaseTail();
}

void IncomingText::EndOfStream()
{
    std::string rest;
    decoder_->Finish(rest);
    if (!rest.empty()) Apply(rest);
    held_.clear();
    heldStart_ = 0;
    offset_ = letterAt_ = noLetterUntil_ = 0;
    open_ = kNone;
    LineWaitPassed();
}

void IncomingText::HandOn(size_t end)
{
    if (end > flush_) {
        client_.FlushPendingPrompt();
        HandOnText(std::string_view(line_.get() + flush_, end - flush_));
    }
    flush_ = end;
}

void IncomingText::HandOnText(std::string_view text)
{
    if (client_.ReceivedTextToActions()) {
        client_.ProcessReceivedText(text, true);
    } else {
        client_.PrintReceivedText(text);
    }
}

void IncomingText::ReleaseTail()
{
    const std::string_view tail(line_.get() + flush_, position_ - flush_);
    if (!tail.empty()) {
        client_.FlushPendingPrompt();
        if (client_.PromptsAutomatically()) {
            client_.KeepPendingPrompt(tail);
            // Actions fire on the prompt, which is printed later as it came.
            if (client_.ReceivedTextToActions()) client_.ProcessReceivedText(tail, false);
        } else {
            HandOnText(tail);
        }
    }
    flush_ = position_;
    Rewind();
}

void IncomingText::MakeRoom()
{
    HandOn(tailStart_);
    std::memmove(line_.get(), line_.get() + flush_, position_ - flush_);
    position_ -= flush_;
    tailStart_ -= flush_;
    if (open_ != kNone) open_ -= flush_;
    flush_ = 0;
}

void IncomingText::Rewind()
{
    assert(flush_ == position_ && open_ == kNone);
    position_ = flush_ = tailStart_ = 0;
}

}  // namespace zel
